// frame_steps.h: how a frame's physics is split into steps.
//
// Into equal steps, so that nothing can pass through the ground or a wall
// in one: none longer than kMaxPhysicsStepSeconds (a stall, a window drag,
// an open message box make long frames; past kMaxPhysicsSubSteps of them
// the rest of the time is dropped), and, for the rare very fast box (a
// crate dropped from far up), none in which it travels more than
// kMaxTravelPerStep towards anything it could meet this frame (see
// split_travel.h). A fast crate that can meet nothing, like one falling
// forever below the ground, splits nothing. Every box takes the same steps:
// a fast crate that can meet something sub-steps the whole world, by
// design, so the order of visits within a step stays that of one step.
// Ordinary frames are one step.
#pragma once

#include "boxes/box.h"
#include "boxes/box_list.h"

constexpr float kMaxPhysicsStepSeconds = 1.0f / 30.0f;
constexpr int kMaxPhysicsSubSteps = 10;
constexpr float kMaxTravelPerStep = 1.0f; // half a crate; walls are 2 thick, the ground 5
constexpr int kMaxSpeedSubSteps = 64;

struct FrameSteps {
    int count;
    float seconds; // each
};

// The steps of a frame of `seconds` over the boxes of `list`.
FrameSteps planFrameSteps(const BoxList& list, const Box& ground, float seconds);
