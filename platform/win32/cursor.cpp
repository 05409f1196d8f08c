// cursor.cpp: SetCursorPos, GetCursorPos and ShowCursor over SDL.
#include "win32/cursor.h"

#include <SDL.h>

#include "common/hooks.h"
#include "win32/host_video.h"

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

bool hostControlled()
{
    return !platformHooks().headless && !platformHooks().scriptedInput && SDL_WasInit(SDL_INIT_VIDEO);
}

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
        SDL_GetMouseState(&g_warp.fromX, &g_warp.fromY);
        g_warp.armed = true;
    }
    if (bool(SDL_GetRelativeMouseMode()) != nowLooking)
        SDL_SetRelativeMouseMode(nowLooking ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(hidden() && !g_boxOpen ? SDL_DISABLE : SDL_ENABLE);
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
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_SetRelativeMouseMode(SDL_FALSE);
        SDL_ShowCursor(SDL_ENABLE);
    }
}

BOOL WINAPI SetCursorPos(int x, int y)
{
    ++g_setCount;
    g_position = POINT{x, y};
    if (hostControlled() && !hidden())
        SDL_WarpMouseGlobal(x, y);
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    if (hostControlled() && !hidden()) {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        g_position = POINT{x, y};
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
