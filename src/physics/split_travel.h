// split_travel.h: how far the boxes that could meet something may travel in
// one step: the figure that decides how finely a frame's physics is split.
#pragma once

#include <stdint.h>

#include <vector>

#include "boxes/box.h"
#include "boxes/box_list.h"

// Where a box can be until the frame ends: the box swept along each axis by
// as far as it could move in the frame, whichever way.
struct SweptBox {
    Vec3 lo, hi;
};

struct FastBox {
    SweptBox path;
    Vec3 velocity;
    float travel; // in one step
    bool reachesSlow;
};

// Kept between frames so that working out a split allocates nothing once
// the number of fast boxes has been seen before.
struct SplitScratch {
    std::vector<FastBox> fast; // ascending by path.lo.y
};

// A box is fast when it could travel more than fastTravel along an axis in
// one step of stepSeconds, allowing for the speed gravity adds meanwhile.
// Only fast boxes can ask for a split, and only by what splitting protects:
// - a fast box whose path this frame (frameSeconds) can reach the ground or
//   a box that is not fast asks for its own travel;
// - one whose path can reach other fast boxes asks for its travel relative
//   to them, at most its own (boxes falling side by side need nothing);
// - one whose path can reach nothing (a crate falling forever below the
//   ground) asks for nothing, and neither does one with a non-finite speed
//   or position, which no split can help.
// Returns the largest travel asked for; 0 when nothing is fast. The paths
// are compared through a sort on height, so a frame's cost grows with the
// boxes that can actually meet, not with the product of fast and slow ones;
// past a budget of comparisons every fast box simply asks for its own.
float splitTravel(const BoxList& list, const Box& ground, float stepSeconds, float frameSeconds, float fastTravel,
                  SplitScratch& scratch);

// The same rule, every fast box compared with every box: the reference the
// sorted version must match exactly.
float splitTravelReference(const BoxList& list, const Box& ground, float stepSeconds, float frameSeconds,
                           float fastTravel);
