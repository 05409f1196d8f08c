// overlap.h: does any corner of one box lie inside, or on, another box.
#pragma once

#include <stdint.h>

#include "boxes/box.h"
#include "boxes/box_list.h"

// True when one of a's eight corners lies inside b or on b's boundary. Not
// symmetric: a large box around a small one has no corner inside it.
bool boxOverlaps(const Box& a, const Box& b);
// The same test on bare geometry: a's corners against b.
bool cornersInside(const Vec3& aPosition, const Vec3& aSize, const Vec3& bPosition, const Vec3& bSize);

// The lowest index whose box is not `box` itself (by identity) and has one
// of `box`'s corners inside or on it; -1 when there is none.
int32_t findOverlap(const Box* box, const BoxList& list);
