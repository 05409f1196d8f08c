// overlap.cpp: the corner-in-box test and the search over the list.
#include "physics/overlap.h"

#include <cmath>

namespace {

// The absolute-difference form decides for any size: a negative size
// contains nothing, a zero size only its own position, and NaN nothing.
bool withinAxis(float c, float position, float size)
{
    return std::fabs(c - position) <= size && std::fabs(c - (position + size)) <= size;
}

bool eitherWithinAxis(float c0, float c1, float position, float size)
{
    return withinAxis(c0, position, size) || withinAxis(c1, position, size);
}

} // namespace

// A corner takes one of a's two ends on each axis, and every combination is
// a corner: so some corner lies inside b exactly when, on every axis, one of
// the two ends does.
bool cornersInside(const Vec3& aPosition, const Vec3& aSize, const Vec3& bPosition, const Vec3& bSize)
{
    return eitherWithinAxis(aPosition.x, aPosition.x + aSize.x, bPosition.x, bSize.x) &&
           eitherWithinAxis(aPosition.y, aPosition.y + aSize.y, bPosition.y, bSize.y) &&
           eitherWithinAxis(aPosition.z, aPosition.z + aSize.z, bPosition.z, bSize.z);
}

bool boxOverlaps(const Box& a, const Box& b) { return cornersInside(a.position, a.size, b.position, b.size); }

int32_t findOverlap(const Box* box, const BoxList& list)
{
    if (list.isEmpty() || !box)
        return -1;
    for (uint32_t i = 0; i < list.count(); ++i) {
        const Box& other = list.at(i);
        if (&other == box)
            continue;
        if (boxOverlaps(*box, other))
            return int32_t(i);
    }
    return -1;
}
