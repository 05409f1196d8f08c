// window.h: window classes and windows, for the rest of the platform.
#pragma once

#include <windows.h>

struct SDL_Window;

// The live window with this handle, or null (destroyed, unknown, desktop).
bool windowIsLive(HWND window);
HWND windowFromHostId(unsigned int sdlWindowId);
HWND windowFromX11Window(unsigned long x11Window);
HWND windowFirstLive();

// Painting: a window whose client area needs drawing gets WM_PAINT when the
// queue is otherwise empty, until BeginPaint validates it.
void windowInvalidate(HWND window);
HWND windowNeedingPaint();

// The SDL window behind a live window (null while headless). A holder keeps
// the host window alive past DestroyWindow until it lets go, so a device can
// still tear down its context.
SDL_Window* windowRetainHost(HWND window);
void windowReleaseHost(HWND window);

// The SDL window behind a live window, not held (null while headless).
SDL_Window* windowHost(HWND window);
// A live window's GWL_STYLE. Setting it keeps WS_VISIBLE as ShowWindow left it.
bool windowStyle(HWND window, DWORD& style);
bool windowSetStyle(HWND window, DWORD style);
// Moves and sizes a headless window (false for any other).
bool windowPlaceHeadless(HWND window, const RECT& rect);

// The window procedure of a live window, or null.
WNDPROC windowProc(HWND window);

// Forgets every window and class, as the end of a process does: no
// message is sent, and host windows are closed even if a device still
// holds one (the test controls, between tests).
void windowResetAll();
