// frame.h: one frame of the game, in its fixed order of steps.
#pragma once

// Runs when the message queue is empty: timing, physics, the control mode,
// the mouse-button actions, the lights, and drawing.
void runFrame();

// The physics of one frame, split into equal sub-steps of at most
// kMaxPhysicsStepSeconds so that one long frame (a stall, a window drag, an
// open message box) cannot carry a box through the ground or a wall.
constexpr float kMaxPhysicsStepSeconds = 1.0f / 30.0f;
constexpr int kMaxPhysicsSubSteps = 10;
void advancePhysics(float seconds);
