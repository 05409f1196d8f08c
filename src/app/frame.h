// frame.h: one frame of the game, in its fixed order of steps.
#pragma once

#include <windows.h>

// Runs when the message queue is empty: timing, physics, the control mode,
// the mouse-button actions, the lights, and drawing (only while the window
// can be seen).
void runFrame();
// The same frame, `ms` milliseconds long whatever the clock says: a replay
// gives each frame the length it had in the recorded game.
void runFrameOf(DWORD ms);

// The physics of one frame: gravity and the step, as many times as
// planFrameSteps says (a fast crate that can meet something sub-steps the
// whole world, by design).
void advancePhysics(float seconds);
