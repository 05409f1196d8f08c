// message_lines.h: the window messages a recording holds, as script lines,
// and the messages a script's input commands stand for.
//
// A recording keeps every keyboard and mouse-button message, the focus
// messages and WM_CLOSE, in the order the window procedure saw them. Mouse
// moves are left out: the game reads the mouse only through the cursor's
// offset at each frame, which the recording keeps as `cursor` lines. What
// the game does not read is left out too: a key message keeps all but its
// scan code, a character message its character, a button message which
// button and whether it went down (not the pointer's place). Any other
// keyboard or mouse message is kept whole.
#pragma once

#include <windows.h>

#include <string>

#include "script/sim_script.h"

// The line for a message, or "" for a message a recording leaves out.
std::string scriptLineForMessage(UINT message, WPARAM wParam, LPARAM lParam);

// The message an input command stands for. `input` is true for keyboard and
// mouse messages (which update the key-state table when taken from the
// queue), false for focus and close. False for a command that is no message.
bool messageForCommand(const SimCommand& command, MSG& out, bool& input);
