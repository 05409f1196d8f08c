// cursor.cpp: SetCursorPos, GetCursorPos and ShowCursor over the host's pointer.
#include "win32/cursor.h"

#include "common/test_seams.h"
#include "win32/host.h"

namespace {

int g_displayCount = 0; // the cursor shows while this is 0 or more
POINT g_position = {0, 0};
bool g_focused = true;
bool g_boxOpen = false;
bool g_wasLooking = false;
int g_setCount = 0;

// Starting mouse look can make the host warp the pointer to the window's
// centre, and some hosts report that warp as motion. Only that motion is
// dropped: the first one after mouse look starts, landing exactly on the
// centre, by exactly the distance from where the pointer was. Anything else
// is the player's own move, however soon it comes.
struct PendingWarp {
    bool armed = false;
    int fromX = 0;
    int fromY = 0;
};
PendingWarp g_warp;

bool hidden() { return g_displayCount < 0; }

bool hostControlled() { return !testSeams().scriptedInput && host().hasPointer(); }

bool looking() { return hidden() && g_focused && !g_boxOpen; }

bool isWarpEcho(const CursorMotion& m)
{
    const int centreX = m.windowWidth / 2;
    const int centreY = m.windowHeight / 2;
    return m.x == centreX && m.y == centreY && m.dx == centreX - g_warp.fromX && m.dy == centreY - g_warp.fromY;
}

// Brings the host's pointer into line with whether mouse look is on; as it
// starts, notes where the pointer is, before any warp.
void applyHostMode()
{
    const bool nowLooking = looking();
    const bool started = nowLooking && !g_wasLooking;
    g_wasLooking = nowLooking;
    if (!hostControlled())
        return;
    if (started) {
        const POINT from = host().pointerInWindow();
        g_warp.fromX = from.x;
        g_warp.fromY = from.y;
        g_warp.armed = true;
    }
    host().setPointerMode(nowLooking, !(hidden() && !g_boxOpen));
}

} // namespace

void cursorOnMotion(const CursorMotion& m)
{
    if (!looking())
        return;
    if (g_warp.armed) {
        g_warp.armed = false;
        if (isWarpEcho(m))
            return;
    }
    g_position.x += m.dx;
    g_position.y += m.dy;
}

void cursorOnFocus(bool gained)
{
    g_focused = gained;
    applyHostMode();
}

void cursorOnMessageBox(bool open)
{
    g_boxOpen = open;
    applyHostMode();
}

void cursorSetPosition(POINT p) { g_position = p; }

int cursorSetPosCount() { return g_setCount; }

void cursorReset()
{
    g_displayCount = 0;
    g_position = POINT{0, 0};
    g_focused = true;
    g_boxOpen = false;
    g_wasLooking = false;
    g_setCount = 0;
    g_warp = PendingWarp();
    host().setPointerMode(false, true);
}

BOOL WINAPI SetCursorPos(int x, int y)
{
    ++g_setCount;
    g_position = POINT{x, y};
    if (hostControlled() && !hidden())
        host().warpPointer(x, y);
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    if (hostControlled() && !hidden()) {
        g_position = host().pointerOnScreen();
    }
    *point = g_position;
    return TRUE;
}

int WINAPI ShowCursor(BOOL show)
{
    g_displayCount += show ? 1 : -1;
    applyHostMode();
    return g_displayCount;
}
