// host_video.cpp: lazy start of SDL's video subsystem.
#include "win32/host_video.h"

#include <SDL.h>

#include <stdlib.h>

#include "common/hooks.h"

namespace {

// With no display SDL quietly falls back to a driver that shows nothing. A
// player would get an invisible game, so that counts as no display unless
// the driver was asked for by name (the tests do).
bool fellBackToNoDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0))
        return false;
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    return !requested || SDL_strcasecmp(requested, driver) != 0;
}

} // namespace

bool hostVideoReady()
{
    if (platformHooks().headless)
        return false;
    static int state = 0; // 0 untried, 1 up, -1 failed
    if (state == 0) {
        // Ctrl+C in a terminal should end the process, not turn into a close message.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // A click that activates the window is still a click, as on Windows.
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // Leave the desktop compositor alone.
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        // Mesa's driver thread takes OpenGL's work (on llvmpipe, shading
        // every vertex) off the game's thread. Read when the display is
        // opened; a player's own setting wins.
        setenv("mesa_glthread", "true", 0);
        state = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 ? 1 : -1;
        if (state == 1 && fellBackToNoDisplay()) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            state = -1;
        }
    }
    return state == 1;
}
