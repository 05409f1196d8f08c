// host_sdl_windows.cpp: windows and displays through SDL.
#include "win32/host_sdl_windows.h"

#include <SDL.h>

#include "win32/host_sdl_video.h"
#include "win32/host_sdl_x11.h"
#include "win32/window.h"

namespace {

struct SdlWindow {
    bool used = false;
    SDL_Window* sdl = nullptr;
    unsigned long x11 = 0; // the X window behind it, when on X11
};

SdlWindow g_windows[kMaxWindows];

SdlWindow* record(HostWindow* w) { return reinterpret_cast<SdlWindow*>(w); }
HostWindow* handleOf(SdlWindow* w) { return reinterpret_cast<HostWindow*>(w); }

RECT rectOf(const SDL_Rect& r) { return RECT{r.x, r.y, r.x + r.w, r.y + r.h}; }

} // namespace

SDL_Window* sdlWindowOf(HostWindow* window) { return window ? record(window)->sdl : nullptr; }

HWND windowFromSdlId(unsigned int sdlWindowId)
{
    for (SdlWindow& w : g_windows)
        if (w.used && SDL_GetWindowID(w.sdl) == sdlWindowId)
            return windowFromHost(handleOf(&w));
    return nullptr;
}

HWND windowFromX11Window(unsigned long x11Window)
{
    for (SdlWindow& w : g_windows)
        if (w.used && x11Window != 0 && w.x11 == x11Window)
            return windowFromHost(handleOf(&w));
    return nullptr;
}

// ---- Windows ----------------------------------------------------------------------
HostWindow* sdlCreateWindow(const char* title, int x, int y, int width, int height, bool resizable)
{
    SdlWindow* w = nullptr;
    for (SdlWindow& slot : g_windows)
        if (!slot.used) {
            w = &slot;
            break;
        }
    if (!w || !sdlVideoReady())
        return nullptr;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    int px = x == CW_USEDEFAULT ? int(SDL_WINDOWPOS_CENTERED) : x;
    int py = y == CW_USEDEFAULT ? int(SDL_WINDOWPOS_CENTERED) : y;
    SDL_Window* sdl = SDL_CreateWindow(title, px, py, width, height, flags);
    if (!sdl)
        return nullptr;
    w->used = true;
    w->sdl = sdl;
    w->x11 = sdlX11Window(sdl);
    return handleOf(w);
}

void sdlDestroyWindow(HostWindow* window)
{
    SdlWindow* w = record(window);
    SDL_DestroyWindow(w->sdl);
    *w = SdlWindow();
}

void sdlShowWindow(HostWindow* window, int showCmd)
{
    SDL_Window* sdl = record(window)->sdl;
    if (showCmd == SW_HIDE) {
        SDL_HideWindow(sdl);
    } else if (showCmd == SW_MINIMIZE || showCmd == SW_SHOWMINIMIZED) {
        SDL_ShowWindow(sdl);
        SDL_MinimizeWindow(sdl);
    } else {
        SDL_ShowWindow(sdl);
        if (showCmd == SW_RESTORE)
            SDL_RestoreWindow(sdl);
        SDL_RaiseWindow(sdl);
    }
}

bool sdlIsHidden(HostWindow* window) { return (SDL_GetWindowFlags(record(window)->sdl) & SDL_WINDOW_HIDDEN) != 0; }

bool sdlIsMinimized(HostWindow* window)
{
    return (SDL_GetWindowFlags(record(window)->sdl) & SDL_WINDOW_MINIMIZED) != 0;
}

void sdlSetTitle(HostWindow* window, const char* title) { SDL_SetWindowTitle(record(window)->sdl, title); }

RECT sdlWindowRect(HostWindow* window)
{
    SDL_Rect r = {0, 0, 0, 0};
    SDL_GetWindowPosition(record(window)->sdl, &r.x, &r.y);
    SDL_GetWindowSize(record(window)->sdl, &r.w, &r.h);
    return rectOf(r);
}

// SDL reports the moves, resizes and exposures it causes as events.
bool sdlPlaceWindow(HostWindow* window, const RECT& r, UINT flags, bool fullScreen, bool raise)
{
    SDL_Window* sdl = record(window)->sdl;
    if (!fullScreen && (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN))
        SDL_SetWindowFullscreen(sdl, 0);
    if (!(flags & SWP_NOMOVE))
        SDL_SetWindowPosition(sdl, r.left, r.top);
    if (!(flags & SWP_NOSIZE))
        SDL_SetWindowSize(sdl, r.right - r.left, r.bottom - r.top);
    if (fullScreen && !(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN))
        SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (raise)
        SDL_RaiseWindow(sdl);
    return false;
}

void sdlSetFrame(HostWindow* window, bool bordered, bool resizable)
{
    SDL_SetWindowBordered(record(window)->sdl, bordered ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(record(window)->sdl, resizable ? SDL_TRUE : SDL_FALSE);
}

int sdlWindowDisplay(HostWindow* window) { return SDL_GetWindowDisplayIndex(record(window)->sdl); }

// ---- Displays ----------------------------------------------------------------------
int sdlDisplayCount() { return sdlVideoReady() ? SDL_GetNumVideoDisplays() : 0; }

bool sdlDisplayBounds(int display, RECT* bounds, RECT* usable)
{
    SDL_Rect b = {0, 0, 0, 0}, u = {0, 0, 0, 0};
    if (!sdlVideoReady() || SDL_GetDisplayBounds(display, &b) != 0)
        return false;
    if (SDL_GetDisplayUsableBounds(display, &u) != 0)
        u = b;
    *bounds = rectOf(b);
    *usable = rectOf(u);
    return true;
}
