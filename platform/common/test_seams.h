// test_seams.h: the seams through which the test controls (platform/testing)
// steer the platform. With the defaults every call goes to the real host:
// SDL windows and events, the monotonic clock, OpenGL. Nothing here knows
// about any particular program.
#pragma once

#include <windows.h>

#include "d3d9/renderer_options.h"

struct DeviceState;
struct Host;
struct DrawCall;

struct TestSeams {
    // The host in use (win32/host.h); null: SDL's. The test controls choose
    // the headless one: windows as records, a device that records its draws.
    const Host* host = nullptr;
    // Keyboard, mouse and cursor come only from what the test controls
    // inject; host input events are ignored.
    bool scriptedInput = false;

    // TranslateMessage makes characters of key-downs (off: a replayed
    // recording brings its own characters).
    bool translateKeys = true;

    bool manualClock = false;
    DWORD clockMs = 0;

    // The desktop rectangle reported while headless.
    RECT headlessDesktop = {0, 0, 1920, 1080};

    // Replaces the message box when set; returns the button pressed.
    int (*messageBox)(void* user, HWND owner, const char* text, const char* caption, UINT type) = nullptr;
    void* messageBoxUser = nullptr;

    // Called by PeekMessageA when it has nothing to return. Returning true
    // asks PeekMessageA to look again (input may have been injected);
    // false lets it report an empty queue.
    bool (*idle)(void* user) = nullptr;
    void* idleUser = nullptr;

    // Device faults on request.
    bool refuseDirect3D = false;      // Direct3DCreate9 returns null
    bool refuseDevice = false;        // CreateDevice fails
    bool noHardwareTransform = false; // caps lack D3DDEVCAPS_HWTRANSFORMANDLIGHT
    int failBufferCreationAfter = -1; // that many more buffers succeed, then every creation fails

    // What the renderer of the next device is made with.
    RendererOptions renderer;

    // The headless renderer hands each clear, draw and present here, when
    // set; it draws nothing itself.
    void (*headlessClear)(DWORD flags, DWORD color, float z) = nullptr;
    void (*headlessDraw)(const DeviceState& state, const DrawCall& call) = nullptr;
    void (*headlessPresent)(const RECT* destination) = nullptr;

    // Stands in for the executable's own path (/proc/self/exe) when set.
    const char* executablePath = nullptr;

    // A file fault on request: calls of the file function of this name
    // ("WriteFile", "FlushFileBuffers", "MoveFileExA", ...) fail with
    // fileFaultError once fileFaultSucceedFirst more have succeeded. A
    // failing WriteFile writes half of what it was given first, as a disk
    // that fills up does.
    const char* fileFaultFunction = nullptr;
    DWORD fileFaultError = 0;
    int fileFaultSucceedFirst = 0;
};

TestSeams& testSeams();
