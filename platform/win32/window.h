// window.h: window classes and windows, for the rest of the platform.
#pragma once

#include <windows.h>

struct Host;
struct HostWindow;

// How many windows may be alive at once (each host keeps as many of its own).
constexpr int kMaxWindows = 16;

// The live window with this handle, or null (destroyed, unknown, desktop).
bool windowIsLive(HWND window);
// The live window a host window shows, or null.
HWND windowFromHost(HostWindow* hostWindow);
HWND windowFirstLive();

// Painting: a window whose client area needs drawing gets WM_PAINT when the
// queue is otherwise empty, until BeginPaint validates it.
void windowInvalidate(HWND window);
HWND windowNeedingPaint();

// The host's window behind a live window. A holder keeps the host window
// alive past DestroyWindow until it lets go, so a device can still tear
// down its context.
HostWindow* windowRetainHost(HWND window);
void windowReleaseHost(HWND window);

// The host's window behind a live window, not held.
HostWindow* windowHost(HWND window);
// A live window's GWL_STYLE. Setting it keeps WS_VISIBLE as ShowWindow left it.
bool windowStyle(HWND window, DWORD& style);
bool windowSetStyle(HWND window, DWORD style);

// The host that made a live window's host window (null for any other).
const Host* windowMaker(HWND window);

// The window procedure of a live window, or null.
WNDPROC windowProc(HWND window);

// Forgets every window and class, as the end of a process does: no
// message is sent, and host windows are closed even if a device still
// holds one (the test controls, between tests).
void windowResetAll();
