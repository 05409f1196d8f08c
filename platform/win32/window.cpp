// window.cpp: window classes, windows, painting and the desktop window.
#include "win32/window.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "win32/host.h"

// ---- Tables --------------------------------------------------------------------
namespace {

constexpr int kMaxClasses = 16;
constexpr int kNameLength = 128;
constexpr int kTitleLength = 256;

struct WindowClass {
    bool used = false;
    char name[kNameLength] = {};
    WNDPROC proc = nullptr;
    UINT style = 0;
};

struct Window {
    bool used = false;
    bool live = false;
    int hostHolders = 0;
    WNDPROC proc = nullptr;
    const Host* maker = nullptr; // the host that made `host`, which ends it
    HostWindow* host = nullptr;
    bool needsPaint = false;
    DWORD style = 0; // GWL_STYLE; WS_VISIBLE while shown
    char title[kTitleLength] = {};
};

WindowClass g_classes[kMaxClasses];
Window g_windows[kMaxWindows];
Window g_desktop;

HWND handleOf(Window* w) { return reinterpret_cast<HWND>(w); }

Window* slotOf(HWND handle)
{
    for (Window& w : g_windows)
        if (w.used && handleOf(&w) == handle)
            return &w;
    return nullptr;
}

Window* liveWindow(HWND handle)
{
    Window* w = slotOf(handle);
    return (w && w->live) ? w : nullptr;
}

WindowClass* findClass(LPCSTR name)
{
    if (!name)
        return nullptr;
    for (WindowClass& c : g_classes)
        if (c.used && strcasecmp(c.name, name) == 0)
            return &c;
    return nullptr;
}

// Frees the slot and the host window once the window is destroyed and
// nobody holds the host window any more.
void collect(Window* w)
{
    if (w->live || w->hostHolders > 0)
        return;
    w->maker->destroyWindow(w->host);
    *w = Window();
}

} // namespace

// ---- Platform-internal interface ----------------------------------------------------
bool windowIsLive(HWND window) { return liveWindow(window) != nullptr; }

HWND windowFromHost(HostWindow* hostWindow)
{
    for (Window& w : g_windows)
        if (w.live && hostWindow && w.host == hostWindow)
            return handleOf(&w);
    return nullptr;
}

HWND windowFirstLive()
{
    for (Window& w : g_windows)
        if (w.live)
            return handleOf(&w);
    return nullptr;
}

void windowInvalidate(HWND window)
{
    if (Window* w = liveWindow(window))
        w->needsPaint = true;
}

HWND windowNeedingPaint()
{
    for (Window& w : g_windows)
        if (w.live && w.needsPaint)
            return handleOf(&w);
    return nullptr;
}

HostWindow* windowRetainHost(HWND window)
{
    Window* w = liveWindow(window);
    if (!w)
        return nullptr;
    ++w->hostHolders;
    return w->host;
}

void windowReleaseHost(HWND window)
{
    Window* w = slotOf(window);
    if (!w || w->hostHolders == 0)
        return;
    --w->hostHolders;
    collect(w);
}

HostWindow* windowHost(HWND window)
{
    Window* w = liveWindow(window);
    return w ? w->host : nullptr;
}

const Host* windowMaker(HWND window)
{
    Window* w = liveWindow(window);
    return w ? w->maker : nullptr;
}

bool windowStyle(HWND window, DWORD& style)
{
    Window* w = liveWindow(window);
    if (!w)
        return false;
    style = w->style;
    return true;
}

bool windowSetStyle(HWND window, DWORD style)
{
    Window* w = liveWindow(window);
    if (!w)
        return false;
    w->style = (style & ~DWORD(WS_VISIBLE)) | (w->style & DWORD(WS_VISIBLE));
    return true;
}

WNDPROC windowProc(HWND window)
{
    Window* w = liveWindow(window);
    return w ? w->proc : nullptr;
}

void windowResetAll()
{
    for (Window& w : g_windows) {
        if (w.used)
            w.maker->destroyWindow(w.host);
        w = Window();
    }
    for (WindowClass& c : g_classes)
        c = WindowClass();
}

// ---- Classes ----------------------------------------------------------------------
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpszClassName || !wc->lpfnWndProc)
        return 0;
    if (findClass(wc->lpszClassName) || std::strlen(wc->lpszClassName) >= size_t(kNameLength))
        return 0;
    for (int i = 0; i < kMaxClasses; ++i) {
        WindowClass& c = g_classes[i];
        if (c.used)
            continue;
        c.used = true;
        std::memcpy(c.name, wc->lpszClassName, std::strlen(wc->lpszClassName) + 1);
        c.proc = wc->lpfnWndProc;
        c.style = wc->style;
        return ATOM(0xC000 + i);
    }
    return 0;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE)
{
    WindowClass* c = findClass(className);
    if (!c)
        return FALSE;
    *c = WindowClass();
    return TRUE;
}

// ---- Windows ----------------------------------------------------------------------
HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND, HMENU, HINSTANCE, LPVOID)
{
    WindowClass* c = findClass(className);
    if (!c || width <= 0 || height <= 0)
        return nullptr;
    Window* w = nullptr;
    for (Window& slot : g_windows)
        if (!slot.used) {
            w = &slot;
            break;
        }
    if (!w)
        return nullptr;

    const Host& maker = host();
    HostWindow* shown = maker.createWindow(windowName ? windowName : "", x, y, width, height,
                                           (style & WS_THICKFRAME) != 0);
    if (!shown)
        return nullptr;

    *w = Window();
    w->used = true;
    w->live = true;
    w->proc = c->proc;
    w->maker = &maker;
    w->host = shown;
    w->style = style & ~DWORD(WS_VISIBLE);
    std::snprintf(w->title, sizeof w->title, "%s", windowName ? windowName : "");
    HWND handle = handleOf(w);
    w->proc(handle, WM_CREATE, 0, 0);
    if (style & WS_VISIBLE)
        ShowWindow(handle, SW_SHOW);
    return handle;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    w->proc(window, WM_DESTROY, 0, 0);
    w->proc(window, WM_NCDESTROY, 0, 0);
    w->live = false;
    w->maker->showWindow(w->host, SW_HIDE);
    collect(w);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int showCmd)
{
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    bool show = showCmd != SW_HIDE;
    w->maker->showWindow(w->host, showCmd);
    w->style = show ? (w->style | DWORD(WS_VISIBLE)) : (w->style & ~DWORD(WS_VISIBLE));
    w->proc(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (show)
        w->needsPaint = true;
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND window)
{
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    if (w->needsPaint)
        w->proc(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text)
{
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    std::snprintf(w->title, sizeof w->title, "%s", text ? text : "");
    w->maker->setTitle(w->host, w->title);
    return TRUE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size)
{
    Window* w = liveWindow(window);
    if (!w || !text || size <= 0)
        return 0;
    std::snprintf(text, size_t(size), "%s", w->title);
    return int(std::strlen(text));
}

BOOL WINAPI IsWindow(HWND window) { return windowIsLive(window) ? TRUE : FALSE; }

// Hidden also when the host hid it (another program unmapped it, say).
BOOL WINAPI IsWindowVisible(HWND window)
{
    Window* w = liveWindow(window);
    if (!w || !(w->style & WS_VISIBLE))
        return FALSE;
    return w->maker->isHidden(w->host) ? FALSE : TRUE;
}

BOOL WINAPI IsIconic(HWND window)
{
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    return w->maker->isMinimized(w->host) ? TRUE : FALSE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect)
{
    Window* w = liveWindow(window);
    if (!w || !rect)
        return FALSE;
    const RECT r = w->maker->windowRect(w->host);
    *rect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    return TRUE;
}

HWND WINAPI GetDesktopWindow(void) { return handleOf(&g_desktop); }

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    if (!rect)
        return FALSE;
    if (window == handleOf(&g_desktop)) {
        RECT usable;
        return host().displayBounds(0, rect, &usable) ? TRUE : FALSE;
    }
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    *rect = w->maker->windowRect(w->host);
    return TRUE;
}

// ---- Default handling and painting ---------------------------------------------------
// Alt+F4 closes the window, through the window menu's Close as on Windows;
// the other system keys and characters do nothing.
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = windowProc(window);
    return proc ? proc(window, message, wParam, lParam) : 0;
}

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    Window* w = liveWindow(window);
    if (!w || !paint)
        return nullptr;
    w->needsPaint = false;
    *paint = PAINTSTRUCT();
    paint->hdc = reinterpret_cast<HDC>(w);
    GetClientRect(window, &paint->rcPaint);
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    return (liveWindow(window) && paint) ? TRUE : FALSE;
}
