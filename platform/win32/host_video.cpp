// host_video.cpp: lazy start of SDL's video subsystem.
#include "win32/host_video.h"

#include <SDL.h>

#include <stdlib.h>

#include <cstdio>

#include "common/hooks.h"
#include "win32/host_x11.h"

namespace {

// The one line a player sees first when the game cannot show itself; the
// game's own messages follow it.
void reportNoDisplay(const char* reason)
{
    std::fprintf(stderr, "cannot open a display: %s\n", reason);
    std::fflush(stderr);
}

// Without a display server named anywhere, asking SDL would only add the
// warnings of every driver it tries to the player's terminal.
bool noDisplayNamed()
{
    return !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY") && !SDL_getenv("SDL_VIDEODRIVER");
}

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

// Starts SDL video, or says in one line why there is no display.
bool startVideo()
{
    // With only an X display named, trying Wayland first would print
    // Wayland's complaints ahead of the reason that matters.
    const bool onlyX = !SDL_getenv("SDL_VIDEODRIVER") && !SDL_getenv("WAYLAND_DISPLAY");
    if (onlyX)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (noDisplayNamed()) {
        reportNoDisplay("DISPLAY is not set");
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        char reason[256];
        if (onlyX)
            SDL_snprintf(reason, sizeof reason, "no X server answered at DISPLAY=%s", SDL_getenv("DISPLAY"));
        else
            SDL_snprintf(reason, sizeof reason, "%s", SDL_GetError());
        reportNoDisplay(reason);
        return false;
    }
    if (fellBackToNoDisplay()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        reportNoDisplay("no display server answered");
        return false;
    }
    return true;
}

enum class VideoState { Untried, Up, Failed };
VideoState g_videoState = VideoState::Untried;

} // namespace

bool hostVideoReady()
{
    if (platformHooks().headless)
        return false;
    if (g_videoState == VideoState::Untried) {
        // Ctrl+C is taken by the platform itself (interrupt.cpp), not by SDL.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // A click that activates the window is still a click, as on Windows.
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // Leave the desktop compositor alone.
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        // Mesa's driver thread takes OpenGL's work (on llvmpipe, shading
        // every vertex) off the game's thread. Read when the display is
        // opened; a player's own setting wins. Mesa announces every option
        // it takes from the environment on standard error unless its
        // debug output is silenced: for the one we set, it need not be.
        if (!getenv("mesa_glthread")) {
            setenv("mesa_glthread", "true", 0);
            setenv("MESA_DEBUG", "silent", 0);
        }
        g_videoState = startVideo() ? VideoState::Up : VideoState::Failed;
        if (g_videoState == VideoState::Up)
            hostX11Watch();
    }
    return g_videoState == VideoState::Up;
}

void hostVideoForgetFailure()
{
    if (g_videoState == VideoState::Failed)
        g_videoState = VideoState::Untried;
}
