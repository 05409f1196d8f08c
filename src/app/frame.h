// frame.h: one frame of the game, in its fixed order of steps.
#pragma once

// Runs when the message queue is empty: timing, physics, the control mode,
// the mouse-button actions, the lights, and drawing.
void runFrame();

// The physics of one frame, split into equal sub-steps so that nothing can
// pass through the ground or a wall in one step: none longer than
// kMaxPhysicsStepSeconds (a stall, a window drag, an open message box make
// long frames; past kMaxPhysicsSubSteps of them the rest of the time is
// dropped), and, for the rare very fast box (a crate dropped from far up),
// none in which it travels more than kMaxTravelPerStep towards anything it
// could meet this frame (see splitTravel). A fast crate that can meet
// nothing, like one falling forever below the ground, splits nothing.
// Ordinary frames are one step, exactly as before.
constexpr float kMaxPhysicsStepSeconds = 1.0f / 30.0f;
constexpr int kMaxPhysicsSubSteps = 10;
constexpr float kMaxTravelPerStep = 1.0f; // half a crate; walls are 2 thick, the ground 5
constexpr int kMaxSpeedSubSteps = 64;
void advancePhysics(float seconds);
