// host_sdl.cpp: the SDL host's table, with its pointer and its waiting.
// Its windows and displays are in host_sdl_windows.cpp, its events in
// host_sdl_events.cpp, its message boxes in host_sdl_message_box.cpp, its
// start in host_sdl_video.cpp; its devices draw with OpenGL.
#include <SDL.h>

#include "d3d9/renderer_backend.h"
#include "win32/host.h"
#include "win32/host_sdl_events.h"
#include "win32/host_sdl_message_box.h"
#include "win32/host_sdl_windows.h"

namespace {

// ---- Waiting -------------------------------------------------------------------------
// A null event leaves what arrives in SDL's queue for the pump.
bool waitForEvents(DWORD ms)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_WaitEventTimeout(nullptr, int(ms));
    else
        SDL_Delay(Uint32(ms));
    return true;
}

// ---- The pointer ---------------------------------------------------------------------
bool hasPointer() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

POINT pointerInWindow()
{
    POINT p = {0, 0};
    SDL_GetMouseState(&p.x, &p.y);
    return p;
}

POINT pointerOnScreen()
{
    POINT p = {0, 0};
    SDL_GetGlobalMouseState(&p.x, &p.y);
    return p;
}

void warpPointer(int x, int y) { SDL_WarpMouseGlobal(x, y); }

void setPointerMode(bool captured, bool cursorShown)
{
    if (!hasPointer())
        return;
    if (bool(SDL_GetRelativeMouseMode()) != captured)
        SDL_SetRelativeMouseMode(captured ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(cursorShown ? SDL_ENABLE : SDL_DISABLE);
}

} // namespace

const Host kSdlHost = {
    "sdl",
    sdlCreateWindow, sdlDestroyWindow, sdlShowWindow, sdlIsHidden, sdlIsMinimized, sdlSetTitle, sdlWindowRect,
    sdlPlaceWindow, sdlSetFrame, sdlWindowDisplay,
    sdlDisplayCount, sdlDisplayBounds,
    sdlPumpEvents, waitForEvents,
    hasPointer, pointerInWindow, pointerOnScreen, warpPointer, setPointerMode,
    sdlMessageBox,
    &kOpenGLRenderer,
};
