// fullscreen.cpp: full screen and the letterbox.
#include "app/fullscreen.h"

#include "app/device_creation.h"
#include "app/game_state.h"

FullscreenState g_fullscreen;

namespace {

// The largest rectangle of the back buffer's shape that fits the client
// area, in its middle.
RECT letterboxed(LONG clientWidth, LONG clientHeight)
{
    LONG width = clientWidth, height = clientHeight;
    if (int64_t(clientWidth) * kBackBufferHeight > int64_t(clientHeight) * kBackBufferWidth)
        width = LONG(int64_t(clientHeight) * kBackBufferWidth / kBackBufferHeight);
    else
        height = LONG(int64_t(clientWidth) * kBackBufferHeight / kBackBufferWidth);
    const LONG left = (clientWidth - width) / 2;
    const LONG top = (clientHeight - height) / 2;
    return RECT{left, top, left + width, top + height};
}

} // namespace

void setFullscreen(HWND window, bool on)
{
    if (on == g_fullscreen.on || !window)
        return;
    if (on) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        g_fullscreen.windowedStyle = GetWindowLongA(window, GWL_STYLE);
        GetWindowRect(window, &g_fullscreen.windowedRect);
        const RECT& m = monitor.rcMonitor;
        SetWindowLongA(window, GWL_STYLE,
                       LONG((DWORD(g_fullscreen.windowedStyle) & ~DWORD(WS_OVERLAPPEDWINDOW)) | DWORD(WS_POPUP)));
        SetWindowPos(window, HWND_TOP, m.left, m.top, m.right - m.left, m.bottom - m.top,
                     SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    } else {
        const RECT& r = g_fullscreen.windowedRect;
        SetWindowLongA(window, GWL_STYLE, g_fullscreen.windowedStyle);
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    }
    g_fullscreen.on = on;
}

void toggleFullscreen(HWND window) { setFullscreen(window, !g_fullscreen.on); }

const RECT* presentDestination()
{
    RECT client;
    if (!g_fullscreen.on || !GetClientRect(g_window, &client))
        return nullptr;
    g_fullscreen.letterbox = letterboxed(client.right, client.bottom);
    return &g_fullscreen.letterbox;
}
