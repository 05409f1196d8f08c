// window_placement.cpp: a window's style, position and size, and the
// monitors it can be on: GetWindowLongA, SetWindowLongA, SetWindowPos,
// MonitorFromWindow and GetMonitorInfoA.
//
// A window without a caption moved and sized to cover a monitor is what
// Windows treats as a full-screen window; the host is told so too, so a
// window manager puts it above its panels. Any other placement leaves the
// host's full screen.
#include <cstdint>

#include "win32/host.h"
#include "win32/window.h"

namespace {

// Monitor handles are the host's display index plus one, so none is null.
HMONITOR monitorHandle(int display) { return reinterpret_cast<HMONITOR>(uintptr_t(display) + 1); }
int displayOf(HMONITOR monitor) { return int(reinterpret_cast<uintptr_t>(monitor)) - 1; }

bool coversADisplay(const Host& shownBy, const RECT& r)
{
    for (int d = 0; d < shownBy.displayCount(); ++d) {
        RECT bounds, usable;
        if (shownBy.displayBounds(d, &bounds, &usable) && bounds.left == r.left && bounds.top == r.top &&
            bounds.right == r.right && bounds.bottom == r.bottom)
            return true;
    }
    return false;
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
    windowMaker(window)->setFrame(windowHost(window), (style & WS_CAPTION) != 0, (style & WS_THICKFRAME) != 0);
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
    const Host& shownBy = *windowMaker(window);
    const bool fullScreen = !(style & WS_CAPTION) && coversADisplay(shownBy, r);
    const bool raise = insertAfter == HWND_TOP && !(flags & (SWP_NOZORDER | SWP_NOACTIVATE));
    if (shownBy.placeWindow(windowHost(window), r, flags, fullScreen, raise))
        windowInvalidate(window);
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(window, SW_SHOW);
    return TRUE;
}

HMONITOR WINAPI MonitorFromWindow(HWND window, DWORD flags)
{
    if (!windowIsLive(window))
        return flags == MONITOR_DEFAULTTONULL ? nullptr : monitorHandle(0);
    const int display = windowMaker(window)->windowDisplay(windowHost(window));
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
    if (display < 0 || display >= host().displayCount() || !host().displayBounds(display, &bounds, &usable))
        return FALSE;
    info->rcMonitor = bounds;
    info->rcWork = usable;
    info->dwFlags = display == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
