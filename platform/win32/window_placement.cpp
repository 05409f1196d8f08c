// window_placement.cpp: a window's style, position and size, and the
// monitors it can be on: GetWindowLongA, SetWindowLongA, SetWindowPos,
// MonitorFromWindow and GetMonitorInfoA.
//
// A window without a caption moved and sized to cover a monitor is what
// Windows treats as a full-screen window; the host is told so too, so a
// window manager puts it above its panels. Any other placement leaves the
// host's full screen.
#include <SDL.h>

#include "common/hooks.h"
#include "win32/window.h"

namespace {

// Monitor handles are the host's display index plus one, so none is null.
HMONITOR monitorHandle(int display) { return reinterpret_cast<HMONITOR>(uintptr_t(display) + 1); }
int displayOf(HMONITOR monitor) { return int(reinterpret_cast<uintptr_t>(monitor)) - 1; }

int displayCount() { return platformHooks().headless ? 1 : SDL_GetNumVideoDisplays(); }

bool displayBounds(int display, RECT& bounds, RECT& usable)
{
    if (platformHooks().headless) {
        bounds = usable = platformHooks().headlessDesktop;
        return display == 0;
    }
    SDL_Rect b = {0, 0, 0, 0}, u = {0, 0, 0, 0};
    if (SDL_GetDisplayBounds(display, &b) != 0)
        return false;
    if (SDL_GetDisplayUsableBounds(display, &u) != 0)
        u = b;
    bounds = RECT{b.x, b.y, b.x + b.w, b.y + b.h};
    usable = RECT{u.x, u.y, u.x + u.w, u.y + u.h};
    return true;
}

bool coversADisplay(const RECT& r)
{
    for (int d = 0; d < displayCount(); ++d) {
        RECT bounds, usable;
        if (displayBounds(d, bounds, usable) && bounds.left == r.left && bounds.top == r.top &&
            bounds.right == r.right && bounds.bottom == r.bottom)
            return true;
    }
    return false;
}

void placeHost(SDL_Window* host, const RECT& r, UINT flags, bool fullScreen)
{
    if (!fullScreen && (SDL_GetWindowFlags(host) & SDL_WINDOW_FULLSCREEN))
        SDL_SetWindowFullscreen(host, 0);
    if (!(flags & SWP_NOMOVE))
        SDL_SetWindowPosition(host, r.left, r.top);
    if (!(flags & SWP_NOSIZE))
        SDL_SetWindowSize(host, r.right - r.left, r.bottom - r.top);
    if (fullScreen && !(SDL_GetWindowFlags(host) & SDL_WINDOW_FULLSCREEN))
        SDL_SetWindowFullscreen(host, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

} // namespace

LONG WINAPI GetWindowLongA(HWND window, int index)
{
    DWORD style = 0;
    if (index != GWL_STYLE || !windowStyle(window, style)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return LONG(style);
}

// The frame follows the style at once: a caption gives a border, a thick
// frame lets the player resize.
LONG WINAPI SetWindowLongA(HWND window, int index, LONG value)
{
    DWORD before = 0;
    if (index != GWL_STYLE || !windowStyle(window, before)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const DWORD style = DWORD(value);
    windowSetStyle(window, style);
    if (SDL_Window* host = windowHost(window)) {
        SDL_SetWindowBordered(host, (style & WS_CAPTION) ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowResizable(host, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
    }
    return LONG(before);
}

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    RECT now;
    DWORD style = 0;
    if (!windowStyle(window, style) || !GetWindowRect(window, &now))
        return FALSE;
    RECT r = now;
    if (!(flags & SWP_NOMOVE))
        r = RECT{x, y, x + (now.right - now.left), y + (now.bottom - now.top)};
    if (!(flags & SWP_NOSIZE)) {
        if (width <= 0 || height <= 0)
            return FALSE;
        r.right = r.left + width;
        r.bottom = r.top + height;
    }
    if (SDL_Window* host = windowHost(window)) {
        placeHost(host, r, flags, !(style & WS_CAPTION) && coversADisplay(r));
        if (insertAfter == HWND_TOP && !(flags & (SWP_NOZORDER | SWP_NOACTIVATE)))
            SDL_RaiseWindow(host);
    } else {
        windowPlaceHeadless(window, r);
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(window, SW_SHOW);
    return TRUE;
}

HMONITOR WINAPI MonitorFromWindow(HWND window, DWORD flags)
{
    if (!windowIsLive(window))
        return flags == MONITOR_DEFAULTTONULL ? nullptr : monitorHandle(0);
    SDL_Window* host = windowHost(window);
    const int display = host ? SDL_GetWindowDisplayIndex(host) : 0;
    if (display >= 0)
        return monitorHandle(display);
    return flags == MONITOR_DEFAULTTONULL ? nullptr : monitorHandle(0);
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info)
{
    if (!info || info->cbSize < sizeof(MONITORINFO) || !monitor)
        return FALSE;
    const int display = displayOf(monitor);
    RECT bounds, usable;
    if (display < 0 || display >= displayCount() || !displayBounds(display, bounds, usable))
        return FALSE;
    info->rcMonitor = bounds;
    info->rcWork = usable;
    info->dwFlags = display == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
