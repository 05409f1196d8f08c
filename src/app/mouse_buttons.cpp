// mouse_buttons.cpp: the mouse-button tracker.
#include "app/mouse_buttons.h"

MouseButtons::MouseButtons() : cursorX(0), cursorY(0), buttonBits(0) {}

void MouseButtons::onMessage(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        cursorX = int(DWORD(lParam) & 0xFFFF);
        cursorY = int(DWORD(lParam) >> 16);
        break;
    case WM_LBUTTONDOWN:
        set(kLeftPressed);
        set(kLeftHeld);
        break;
    case WM_LBUTTONUP:
        set(kLeftReleased);
        clear(kLeftHeld);
        break;
    case WM_RBUTTONDOWN:
        set(kRightPressed);
        set(kRightHeld);
        break;
    case WM_RBUTTONUP:
        set(kRightReleased);
        clear(kRightHeld);
        break;
    default:
        break;
    }
}
