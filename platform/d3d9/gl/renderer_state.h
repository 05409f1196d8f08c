// renderer_state.h: the OpenGL 3.3 renderer's state, shared by its files.
//
// The back buffer is an off-screen framebuffer of the device's size with a
// 24-bit depth and 8-bit stencil buffer; Present stretches it onto the
// window's drawable, whatever the window's size or pixel density. Its rows
// are stored top row first, as Direct3D's are (OpenGL's row 0 is the top),
// so edge pixels fall as Direct3D's rasteriser would put them.
#pragma once

#include <epoxy/gl.h>

#include <SDL.h>

#include "d3d9/gl/fixed_function.h"
#include "d3d9/renderer_options.h"

struct GlBatch; // draws gathered for one OpenGL draw (batch.h)

struct GlRenderer {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;
    GLuint depthBuffer = 0;
    GLsizei width = 0;
    GLsizei height = 0;
    bool hasDepthBuffer = false;
    // Depth [0, 1] by glClipControl; otherwise the vertex shader remaps it.
    bool clipControl = false;
    RendererOptions options; // as the device was created with
    GlStateReport stateReport;
    GlBatch* batch = nullptr;
};
