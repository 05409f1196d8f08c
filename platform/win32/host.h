// host.h: the one seam between the Win32 layer and what shows it: windows
// on a screen, displays, input events, the pointer, message boxes and the
// renderer devices draw with. A host fills this table; the Win32 layer
// calls through host() and knows no host by name.
//
// Two hosts fill it: SDL's (host_sdl.cpp: a display through SDL, OpenGL)
// and the headless one (host_headless.cpp: no display, no input, windows
// kept as records, a device that records its draws), which the test
// controls choose.
#pragma once

#include <windows.h>

// A window as its host shows it; each host has its own kind.
struct HostWindow;
struct RendererBackend;

struct Host {
    const char* name;

    // ---- Windows
    // A hidden window with a client area of this size; x and y may be
    // CW_USEDEFAULT. Null when the host cannot make one.
    HostWindow* (*createWindow)(const char* title, int x, int y, int width, int height, bool resizable);
    void (*destroyWindow)(HostWindow* window);
    // As ShowWindow's command: hide, minimise, or show (restoring and raising).
    void (*showWindow)(HostWindow* window, int showCmd);
    // Hidden by the host itself (another program unmapped it, say).
    bool (*isHidden)(HostWindow* window);
    bool (*isMinimized)(HostWindow* window);
    void (*setTitle)(HostWindow* window, const char* title);
    // Where the window is on the desktop, the size of its client area.
    RECT (*windowRect)(HostWindow* window);
    // Moves and sizes it as SetWindowPos (SWP_NOMOVE, SWP_NOSIZE), covering
    // its display when `fullScreen`, and raises it when asked. True when
    // the window must be painted again now; a host that reports its own
    // exposures says false.
    bool (*placeWindow)(HostWindow* window, const RECT& rect, UINT flags, bool fullScreen, bool raise);
    // A border with a caption; a frame the player may resize.
    void (*setFrame)(HostWindow* window, bool bordered, bool resizable);
    // The display the window is on, -1 when unknown.
    int (*windowDisplay)(HostWindow* window);

    // ---- Displays
    int (*displayCount)();
    // A display's whole rectangle and the part windows may use.
    bool (*displayBounds)(int display, RECT* bounds, RECT* usable);

    // ---- Events
    // Turns what the host has seen into queued messages.
    void (*pumpEvents)();
    // Sleeps until the host has something to pump or `ms` pass. False at
    // once when nothing can ever arrive.
    bool (*waitForEvents)(DWORD ms);

    // ---- The pointer
    // True while the host has a pointer for the cursor calls to follow.
    bool (*hasPointer)();
    POINT (*pointerInWindow)();
    POINT (*pointerOnScreen)();
    void (*warpPointer)(int x, int y);
    // Captured: the pointer is held and only its motion reported.
    void (*setPointerMode)(bool captured, bool cursorShown);

    // ---- Message boxes
    // Shows a box and returns when it is dismissed, calling `whileOpen`
    // over and over meanwhile. False at once when it cannot be shown.
    bool (*messageBox)(const char* caption, const char* text, UINT type, void (*whileOpen)());

    // ---- Devices
    const RendererBackend* renderer;
};

// The host in use: SDL's, unless the test seams name another.
const Host& host();

extern const Host kSdlHost;
extern const Host kHeadlessHost;
