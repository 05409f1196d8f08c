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

// A device on a test window (testctl::createTestWindow) with the game's
// presentation parameters. Null on failure.
IDirect3DDevice9* createTestDevice(HWND window);
