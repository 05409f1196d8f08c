// cursor.h: the cursor position the program sees, and mouse look.
//
// While the cursor is hidden and the window has focus, SDL's relative mouse
// mode holds the pointer; GetCursorPos then reports the point last given to
// SetCursorPos plus the motion since, so "offset from the centre" logic works
// on any display server. Without focus, or while a message box is open, the
// pointer is released and the reported position does not move.
#pragma once

#include <windows.h>

// One motion of the host's pointer: where it is now in the window, how far
// it moved, and the window's size.
struct CursorMotion {
    int x = 0;
    int y = 0;
    int dx = 0;
    int dy = 0;
    int windowWidth = 0;
    int windowHeight = 0;
};

void cursorOnMotion(const CursorMotion& motion);
void cursorOnFocus(bool gained);
void cursorOnMessageBox(bool open);

// Test controls: move the reported position and count SetCursorPos calls.
void cursorSetPosition(POINT p);
int cursorSetPosCount();
// Back to a fresh process's cursor: shown, at (0, 0), focused, no calls
// counted, and the host's pointer released (the test controls, between tests).
void cursorReset();
