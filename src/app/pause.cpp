// pause.cpp: pausing and resuming.
#include "app/pause.h"

#include "app/game_state.h"
#include "app/window_title.h"

PauseState g_pause;

namespace {

bool isButtonMessage(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_RBUTTONDOWN ||
           message == WM_RBUTTONUP || message == WM_MBUTTONDOWN || message == WM_MBUTTONUP ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
}

UINT buttonUpOf(UINT buttonDown)
{
    switch (buttonDown) {
    case WM_LBUTTONDOWN: return WM_LBUTTONUP;
    case WM_RBUTTONDOWN: return WM_RBUTTONUP;
    case WM_MBUTTONDOWN: return WM_MBUTTONUP;
    default: return 0;
    }
}

} // namespace

void pauseGame()
{
    if (g_pause.paused)
        return;
    g_pause.paused = true;
    g_pause.heldBackButtonUp = 0;
    // A button held now is let go: its release would come while paused.
    g_mouse.buttonBits = 0;
    ShowCursor(TRUE);
    SetWindowTextA(g_window, kPausedWindowTitle);
}

void resumeGame(UINT resumingMessage)
{
    if (!g_pause.paused)
        return;
    g_pause.paused = false;
    g_pause.heldBackButtonUp = buttonUpOf(resumingMessage);
    ShowCursor(FALSE);
    // Back at the centre: what the pointer did while free turns nothing.
    SetCursorPos(g_desktopRect.right / 2, g_desktopRect.bottom / 2);
    g_timer.restart();
    SetWindowTextA(g_window, kWindowTitle);
}

bool pauseHoldsBack(UINT message)
{
    if (g_pause.paused)
        return isButtonMessage(message);
    if (message == g_pause.heldBackButtonUp && message != 0) {
        g_pause.heldBackButtonUp = 0;
        return true;
    }
    return false;
}
