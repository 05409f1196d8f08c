// device_creation.h: the one Direct3D 9 device of the game.
#pragma once

#include <windows.h>
#include <d3d9.h>

// A windowed HAL device with a 32-bit back buffer of width x height, a
// 24-bit depth and 8-bit stencil buffer, and no wait for the vertical
// retrace. True when it was made and stored through `device`.
bool createDevice(IDirect3DDevice9** device, HWND window, UINT width, UINT height);
