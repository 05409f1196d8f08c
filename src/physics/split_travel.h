// split_travel.h: how far the boxes that could meet something may travel in
// one step: the figure that decides how finely a frame's physics is split.
#pragma once

#include "boxes/box.h"
#include "boxes/box_list.h"

// A box is fast when it could travel more than fastTravel along an axis in
// one step of stepSeconds, allowing for the speed gravity adds meanwhile.
// Only fast boxes can ask for a split, and only by what splitting protects:
// - a fast box whose path this frame (frameSeconds) can reach the ground or
//   a box that is not fast asks for its own travel;
// - one whose path can reach only other fast boxes asks for its travel
//   relative to them, at most its own (boxes falling side by side need
//   nothing);
// - one whose path can reach nothing (a crate falling forever below the
//   ground) asks for nothing, and neither does one with a non-finite speed,
//   which no split can help.
// Returns the largest travel asked for; 0 when nothing is fast.
float splitTravel(const BoxList& list, const Box& ground, float stepSeconds, float frameSeconds, float fastTravel);
