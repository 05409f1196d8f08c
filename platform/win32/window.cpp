// window.cpp: window classes, windows, painting and the desktop window.
#include "win32/window.h"

#include <SDL.h>

#include "common/hooks.h"
#include "win32/host_video.h"
#include "win32/host_x11.h"

// ---- Tables --------------------------------------------------------------------
namespace {

constexpr int kMaxClasses = 16;
constexpr int kMaxWindows = 16;
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
    SDL_Window* host = nullptr;
    unsigned long x11Window = 0; // the X window behind `host`, when on X11
    bool needsPaint = false;
    DWORD style = 0;        // GWL_STYLE; WS_VISIBLE while shown
    bool minimized = false; // while headless (the host keeps its own)
    int x = 0;              // while headless (the host keeps its own)
    int y = 0;
    int clientWidth = 0;
    int clientHeight = 0;
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
        if (c.used && SDL_strcasecmp(c.name, name) == 0)
            return &c;
    return nullptr;
}

// Frees the slot and the host window once the window is destroyed and
// nobody holds the host window any more.
void collect(Window* w)
{
    if (w->live || w->hostHolders > 0)
        return;
    if (w->host)
        SDL_DestroyWindow(w->host);
    *w = Window();
}

} // namespace

// ---- Platform-internal interface ----------------------------------------------------
bool windowIsLive(HWND window) { return liveWindow(window) != nullptr; }

HWND windowFromHostId(unsigned int sdlWindowId)
{
    for (Window& w : g_windows)
        if (w.live && w.host && SDL_GetWindowID(w.host) == sdlWindowId)
            return handleOf(&w);
    return nullptr;
}

HWND windowFromX11Window(unsigned long x11Window)
{
    for (Window& w : g_windows)
        if (w.live && x11Window != 0 && w.x11Window == x11Window)
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

SDL_Window* windowRetainHost(HWND window)
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

SDL_Window* windowHost(HWND window)
{
    Window* w = liveWindow(window);
    return w ? w->host : nullptr;
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

bool windowPlaceHeadless(HWND window, const RECT& rect)
{
    Window* w = liveWindow(window);
    if (!w || w->host)
        return false;
    w->x = rect.left;
    w->y = rect.top;
    w->clientWidth = rect.right - rect.left;
    w->clientHeight = rect.bottom - rect.top;
    w->needsPaint = true;
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
        if (w.host)
            SDL_DestroyWindow(w.host);
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
    if (findClass(wc->lpszClassName) || SDL_strlen(wc->lpszClassName) >= size_t(kNameLength))
        return 0;
    for (int i = 0; i < kMaxClasses; ++i) {
        WindowClass& c = g_classes[i];
        if (c.used)
            continue;
        c.used = true;
        SDL_strlcpy(c.name, wc->lpszClassName, sizeof c.name);
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

    SDL_Window* host = nullptr;
    if (!platformHooks().headless) {
        if (!hostVideoReady())
            return nullptr;
        Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
        if (style & WS_THICKFRAME)
            flags |= SDL_WINDOW_RESIZABLE;
        int px = x == CW_USEDEFAULT ? int(SDL_WINDOWPOS_CENTERED) : x;
        int py = y == CW_USEDEFAULT ? int(SDL_WINDOWPOS_CENTERED) : y;
        host = SDL_CreateWindow(windowName ? windowName : "", px, py, width, height, flags);
        if (!host)
            return nullptr;
    }

    *w = Window();
    w->used = true;
    w->live = true;
    w->proc = c->proc;
    w->host = host;
    w->style = style & ~DWORD(WS_VISIBLE);
    w->x11Window = hostX11Window(host);
    w->clientWidth = width;
    w->clientHeight = height;
    SDL_strlcpy(w->title, windowName ? windowName : "", sizeof w->title);
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
    if (w->host)
        SDL_HideWindow(w->host);
    collect(w);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int showCmd)
{
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    bool show = showCmd != SW_HIDE;
    const bool minimize = showCmd == SW_MINIMIZE || showCmd == SW_SHOWMINIMIZED;
    if (w->host) {
        if (!show) {
            SDL_HideWindow(w->host);
        } else if (minimize) {
            SDL_ShowWindow(w->host);
            SDL_MinimizeWindow(w->host);
        } else {
            SDL_ShowWindow(w->host);
            if (showCmd == SW_RESTORE)
                SDL_RestoreWindow(w->host);
            SDL_RaiseWindow(w->host);
        }
    }
    // SW_SHOW and SW_HIDE leave a window minimised as it was.
    if (minimize)
        w->minimized = true;
    else if (showCmd == SW_RESTORE || showCmd == SW_SHOWNORMAL || showCmd == SW_SHOWDEFAULT)
        w->minimized = false;
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
    SDL_strlcpy(w->title, text ? text : "", sizeof w->title);
    if (w->host)
        SDL_SetWindowTitle(w->host, w->title);
    return TRUE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size)
{
    Window* w = liveWindow(window);
    if (!w || !text || size <= 0)
        return 0;
    SDL_strlcpy(text, w->title, size_t(size));
    return int(SDL_strlen(text));
}

BOOL WINAPI IsWindow(HWND window) { return windowIsLive(window) ? TRUE : FALSE; }

// Hidden also when the host hid it (another program unmapped it, say).
BOOL WINAPI IsWindowVisible(HWND window)
{
    Window* w = liveWindow(window);
    if (!w || !(w->style & WS_VISIBLE))
        return FALSE;
    return (w->host && (SDL_GetWindowFlags(w->host) & SDL_WINDOW_HIDDEN)) ? FALSE : TRUE;
}

BOOL WINAPI IsIconic(HWND window)
{
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    if (w->host)
        return (SDL_GetWindowFlags(w->host) & SDL_WINDOW_MINIMIZED) ? TRUE : FALSE;
    return w->minimized ? TRUE : FALSE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect)
{
    Window* w = liveWindow(window);
    if (!w || !rect)
        return FALSE;
    int width = w->clientWidth, height = w->clientHeight;
    if (w->host)
        SDL_GetWindowSize(w->host, &width, &height);
    *rect = RECT{0, 0, width, height};
    return TRUE;
}

HWND WINAPI GetDesktopWindow(void) { return handleOf(&g_desktop); }

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    if (!rect)
        return FALSE;
    if (window == handleOf(&g_desktop)) {
        if (platformHooks().headless) {
            *rect = platformHooks().headlessDesktop;
            return TRUE;
        }
        SDL_Rect bounds = {0, 0, 0, 0};
        if (!hostVideoReady() || SDL_GetDisplayBounds(0, &bounds) != 0)
            return FALSE;
        *rect = RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
        return TRUE;
    }
    Window* w = liveWindow(window);
    if (!w)
        return FALSE;
    int x = w->x, y = w->y, width = w->clientWidth, height = w->clientHeight;
    if (w->host) {
        SDL_GetWindowPosition(w->host, &x, &y);
        SDL_GetWindowSize(w->host, &width, &height);
    }
    *rect = RECT{x, y, x + width, y + height};
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
