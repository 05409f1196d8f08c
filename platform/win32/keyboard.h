// keyboard.h: the key-state table and the characters keys produce.
#pragma once

#include <windows.h>

// Updates the key-state table for an input message as it is taken from the
// queue, so GetKeyboardState agrees with the messages already retrieved.
void keyboardApplyInput(const MSG& msg);

// Sets one entry directly (test controls and focus loss).
void keyboardSetKey(int virtualKey, bool down);
bool keyboardIsDown(int virtualKey);

// The character a key-down produces under the current Shift, Ctrl and Caps
// Lock state, or 0 when it produces none. A US layout is assumed for
// punctuation.
int keyboardCharFor(int virtualKey);

// The virtual-key code of an SDL keycode, or 0 when the game has no code for it.
int keyboardVirtualKeyFromSdl(int sdlKeycode, bool* extended);
