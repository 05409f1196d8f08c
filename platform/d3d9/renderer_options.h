// renderer_options.h: switches a renderer is made with, so that tests and
// benchmarks can compare its ways of drawing; the game runs with the
// defaults. A renderer reads them once, when its device is created.
#pragma once

struct RendererOptions {
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
