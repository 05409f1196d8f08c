// host_sdl_windows.h: the SDL host's windows and displays (its part of
// host.h's table), and the ways back from an SDL or X window to the Win32
// window it shows.
#pragma once

#include <windows.h>

#include "win32/host.h"

struct SDL_Window;

// The SDL window behind a window of the SDL host.
SDL_Window* sdlWindowOf(HostWindow* window);
// The live Win32 window an SDL window id or an X window belongs to, or null.
HWND windowFromSdlId(unsigned int sdlWindowId);
HWND windowFromX11Window(unsigned long x11Window);

HostWindow* sdlCreateWindow(const char* title, int x, int y, int width, int height, bool resizable);
void sdlDestroyWindow(HostWindow* window);
void sdlShowWindow(HostWindow* window, int showCmd);
bool sdlIsHidden(HostWindow* window);
bool sdlIsMinimized(HostWindow* window);
void sdlSetTitle(HostWindow* window, const char* title);
RECT sdlWindowRect(HostWindow* window);
bool sdlPlaceWindow(HostWindow* window, const RECT& rect, UINT flags, bool fullScreen, bool raise);
void sdlSetFrame(HostWindow* window, bool bordered, bool resizable);
int sdlWindowDisplay(HostWindow* window);
int sdlDisplayCount();
bool sdlDisplayBounds(int display, RECT* bounds, RECT* usable);
