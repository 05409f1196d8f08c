// renderer.h: switches of the OpenGL renderer for tests and
// benchmarks. Free of GL and SDL headers so test code can include it.
#pragma once

#include <d3d9.h>

struct GlRendererOptions {
    // Gather draws into large batches; off, every draw is flushed on its own
    // (the reference the batched picture must equal).
    bool batching = true;
    // Use glClipControl for Direct3D's [0, 1] depth range when the context
    // has it; off, the vertex shader remaps depth itself.
    bool clipControl = true;
    // Keep small vertex buffers on the OpenGL side and upload only what
    // changed; off, every draw copies its vertices into the batch (the
    // straightforward path, for comparison).
    bool residentBuffers = true;
};

// Read when a device is created and on every draw; change it before the device.
GlRendererOptions& glRendererOptions();

// True when the device is an OpenGL one that uses glClipControl.
bool glUsesClipControl(IDirect3DDevice9* device);

// How many vertices the pool of resident vertex buffers has room for now;
// 0 when the device is not an OpenGL one. Tests see by it that the pool grew.
UINT glResidentPoolCapacity(IDirect3DDevice9* device);

// Puts every recorded draw into the back buffer and waits until OpenGL has
// finished with it. False when the device is not an OpenGL one.
bool glFinishDevice(IDirect3DDevice9* device);
