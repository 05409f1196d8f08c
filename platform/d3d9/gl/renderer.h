// renderer.h: what the test controls ask of the OpenGL renderer. Each
// answers false (or 0) for a device that is not an OpenGL one.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

// True when the device uses glClipControl for Direct3D's depth range.
bool glUsesClipControl(IDirect3DDevice9* device);

// How many vertices the pool of resident vertex buffers has room for now.
UINT glResidentPoolCapacity(IDirect3DDevice9* device);

// Puts every recorded draw into the back buffer and waits until OpenGL has
// finished with it.
bool glFinishDevice(IDirect3DDevice9* device);

// The back buffer's pixels, RGBA8 with the top row first.
bool glReadBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>& rgba, int& width, int& height);
