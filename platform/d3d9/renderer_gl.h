// renderer_gl.h: the OpenGL 3.3 renderer, shared between its files.
//
// The back buffer is an off-screen framebuffer of the device's size with a
// 24-bit depth and 8-bit stencil buffer; Present stretches it onto the
// window's drawable, whatever the window's size or pixel density. Its rows
// are stored top row first, as Direct3D's are (OpenGL's row 0 is the top),
// so edge pixels fall as Direct3D's rasteriser would put them.
#pragma once

#include <epoxy/gl.h>

#include <SDL.h>

#include <vector>

#include "d3d9/device.h"
#include "d3d9/renderer_gl_controls.h"

struct GlDrawing; // batching and the fixed-function program (renderer_gl_draw.cpp)

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
    GlDrawing* drawing = nullptr;
};

GlRenderer& glRenderer(Device& device);

// Makes the device's context current on this thread.
void glMakeCurrent(GlRenderer& gl);

// Drawing (renderer_gl_draw.cpp). Draws are batched; glFlushDraws puts
// everything recorded so far into the back buffer.
bool glDrawingCreate(GlRenderer& gl);
void glDrawingDestroy(GlRenderer& gl);
void glDraw(Device& device, GlRenderer& gl, const DrawCall& call);
void glFlushDraws(GlRenderer& gl);
// A texture is going away: draws recorded with it are flushed first.
void glForgetTexture(GlRenderer& gl, const Texture& texture);
// A buffer is going away: draws recorded from its pooled copy are flushed
// first. `gl` is null once the renderer is gone.
void glForgetBuffer(GlRenderer* gl, BufferData& buffer);
// The vertices the pool of resident buffers has room for.
uint32_t glPoolCapacity(const GlRenderer& gl);

// No OpenGL 3.3 core context (renderer_gl_version.cpp): says why on standard
// error, with the version the driver offers when it offers any.
void glReportTooOld();
void glReportNoContext(SDL_Window* window, const char* error);

// Textures (renderer_gl_texture.cpp).
bool glCreateTexture(GlRenderer& gl, Texture& texture, const uint8_t* rgba);
void glDestroyTexture(GlRenderer& gl, Texture& texture);
GLuint glTextureName(const Texture& texture);

// The back buffer's pixels, RGBA8 with the top row first. For tests and
// screenshots; false when the device is not an OpenGL one.
bool glReadBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>& rgba, int& width, int& height);
