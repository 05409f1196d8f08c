// recorder.h: --record FILE: the game being played, written as a
// quadrill-sim script as it goes.
//
//   recording 1 VERSION          the format and the game's version
//   look SENSITIVITY normal      mouse look's settings (or inverted)
//   arena ...                    the arena the game starts from, whole
//   keydown W / char x / ...     every input message, in the order the window procedure saw it
//   cursor DX DY                 the mouse-look offset a frame found, when not zero
//   frame MS / frames N MS       each frame's milliseconds, as the frame timer gave them
//   expect ... / check F DIGEST  every 60 frames and at the end: the values
//                                changed since the last check, and a digest of all
//
// A quick load writes the loaded arena whole. Lines go to the file in whole
// commands (an arena whole), after each check and when a buffer fills, so
// a game that dies leaves a recording that replays up to its last write. A
// write that fails stops the recording: what the file holds is cut back to
// its last whole command, standard error says why, and the game goes on.
#pragma once

#include <windows.h>

#include <string>

#include "save/arena_state.h"

// Opens FILE for the recording (made anew). False with the reason.
bool openRecording(const std::string& path, std::string& reason);
// Writes the header and the arena as it is: call once the game has started.
void startRecording();
bool isRecording();

// The window procedure's messages, the end of each frame, and an arena
// loaded in play.
void recordMessage(UINT message, WPARAM wParam, LPARAM lParam);
void recordFrameStart();
void recordFrameEnd(DWORD ms);
void recordArenaLoaded(const ArenaState& state);

// The last check, then everything to the disk. Shutdown calls it while the
// boxes are still there.
void finishRecording();
// Forgets a recording without writing anything more (tests, between runs).
void resetRecorder();
