// device_creation.h: the one Direct3D 9 device of the game.
#pragma once

#include <windows.h>
#include <d3d9.h>

// The game's back buffer, whatever the size of its window.
constexpr UINT kBackBufferWidth = 800;
constexpr UINT kBackBufferHeight = 600;

// A windowed HAL device with a 32-bit back buffer of width x height and a
// 24-bit depth and 8-bit stencil buffer. Present waits for the vertical
// retrace only when asked (D3DPRESENT_INTERVAL_ONE). True when it was made
// and stored through `device`.
bool createDevice(IDirect3DDevice9** device, HWND window, UINT width, UINT height,
                  UINT presentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE);
