// cursor.cpp: SetCursorPos, GetCursorPos and ShowCursor over SDL.
#include "win32/cursor.h"

#include <mmsystem.h>

#include <SDL.h>

#include "common/hooks.h"
#include "win32/host_video.h"

namespace {

// A jump to the held point, when the host reports one at all, comes right
// after relative mode starts; motion later than this is the player's own.
constexpr DWORD kJumpWindowMs = 200;

int g_displayCount = 0; // the cursor shows while this is 0 or more
POINT g_position = {0, 0};
bool g_focused = true;
bool g_boxOpen = false;
bool g_dropNextMotion = false;
DWORD g_dropArmedAt = 0;
int g_setCount = 0;

bool hidden() { return g_displayCount < 0; }

bool hostControlled()
{
    return !platformHooks().headless && !platformHooks().scriptedInput && SDL_WasInit(SDL_INIT_VIDEO);
}

bool looking() { return hidden() && g_focused && !g_boxOpen; }

void armDrop(bool armed)
{
    g_dropNextMotion = armed;
    g_dropArmedAt = timeGetTime();
}

void applyHostMode()
{
    if (!hostControlled())
        return;
    bool relative = looking();
    if (bool(SDL_GetRelativeMouseMode()) != relative) {
        SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE);
        // Entering relative mode can report the jump to the held point as motion.
        armDrop(relative);
    }
    SDL_ShowCursor(hidden() && !g_boxOpen ? SDL_DISABLE : SDL_ENABLE);
}

} // namespace

void cursorOnMotion(int dx, int dy)
{
    if (!looking())
        return;
    if (g_dropNextMotion) {
        g_dropNextMotion = false;
        // X11 reports no jump: without this limit the player's first real
        // move, however much later, would be lost.
        if (timeGetTime() - g_dropArmedAt <= kJumpWindowMs)
            return;
    }
    g_position.x += dx;
    g_position.y += dy;
}

void cursorOnFocus(bool gained)
{
    g_focused = gained;
    armDrop(gained);
    applyHostMode();
}

void cursorOnMessageBox(bool open)
{
    g_boxOpen = open;
    applyHostMode();
}

void cursorSetPosition(POINT p) { g_position = p; }

int cursorSetPosCount() { return g_setCount; }

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
