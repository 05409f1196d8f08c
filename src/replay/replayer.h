// replayer.h: --replay FILE: a recording shown on screen in real time.
//
// The recording is read and checked whole before the game starts. Then
// each frame runs once its time has come, with the length it had in the
// recorded game, after the input recorded before it; the player's own
// keyboard and mouse do nothing but Escape. Check lines are compared as
// they come, and the first departure goes to standard error. When the
// recording ends, so does the game, as Escape would end it.
#pragma once

#include <windows.h>

#include <string>

#include "script/sim_script.h"

// Reads and checks the whole recording: false with the reason ("line 12: ...").
bool openReplay(const std::string& path, std::string& reason);
// The game has started: the replay begins, its first frame due now.
void startReplay(HWND window);
bool isReplaying();
// The message loop calls it, in place of a frame, when no message waits.
void replayStep();
// True for a message the window procedure leaves alone while a replay
// plays: the player's keyboard and mouse input, but Escape.
bool replayIgnores(UINT message, WPARAM wParam);
// A `look` line: mouse look turns as it did in the recorded game.
void applyLookSettings(const SimCommand& look);
// Forgets the replay (tests, between runs).
void resetReplayer();
