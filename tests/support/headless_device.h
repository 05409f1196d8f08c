// headless_device.h: a window and a recording Direct3D device for tests that
// exercise game code without running WinMain.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "test_controls.h"

struct HeadlessDevice {
    HWND window = nullptr;
    IDirect3DDevice9* device = nullptr;

    HeadlessDevice();
    ~HeadlessDevice();
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;
};

// A window of a test class, and a device on it with the game's presentation
// parameters. Null on failure.
HWND createTestWindow(const char* title = "test window");
IDirect3DDevice9* createTestDevice(HWND window);
