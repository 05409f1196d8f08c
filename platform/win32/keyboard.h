// keyboard.h: the key-state table and the characters keys produce.
#pragma once

#include <windows.h>

// Updates the key-state table for an input message as it is taken from the
// queue, so GetKeyboardState agrees with the messages already retrieved.
void keyboardApplyInput(const MSG& msg);

// Sets one entry directly (test controls and focus loss).
void keyboardSetKey(int virtualKey, bool down);
bool keyboardIsDown(int virtualKey);
// Every key and button up, Caps Lock off (the test controls, between tests).
void keyboardReset();

// The character a key-down produces under the current Shift, Ctrl and Caps
// Lock state, or 0 when it produces none. A US layout is assumed for
// punctuation.
int keyboardCharFor(int virtualKey);

// The message for a key going down or up: WM_SYSKEYDOWN or WM_SYSKEYUP for
// a system key, else WM_KEYDOWN or WM_KEYUP; adds KF_ALTDOWN to `keyFlags`
// while Alt is held.
UINT keyMessageFor(int virtualKey, bool down, bool altHeld, bool controlHeld, WORD& keyFlags);

// The lParam of a key message: a repeat count of 1, the scan code, and
// `keyFlags` (KF_EXTENDED, KF_REPEAT, KF_UP) in the high word.
LPARAM keyMessageLParam(int scanCode, WORD keyFlags);
// The flags of a key message's lParam.
inline WORD keyMessageFlags(LPARAM lParam) { return HIWORD(lParam); }

// The virtual-key code of an SDL keycode, or 0 when the game has no code for it.
int keyboardVirtualKeyFromSdl(int sdlKeycode, bool* extended);
