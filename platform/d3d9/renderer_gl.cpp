// renderer_gl.cpp: the OpenGL renderer's context, back buffer, Clear and Present.
#include "d3d9/renderer_gl.h"

#include <new>
#include <string>

#include "d3d9/renderer_gl_fixed_function.h"

namespace {

constexpr int kGlMajor = 3;
constexpr int kGlMinor = 3;
constexpr int kRequiredGlVersion = 33;
constexpr int kClipControlGlVersion = 45;

bool createBackBuffer(GlRenderer& gl)
{
    glGenRenderbuffers(1, &gl.colorBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, gl.colorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, gl.width, gl.height);
    glGenRenderbuffers(1, &gl.depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, gl.depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, gl.width, gl.height);
    glGenFramebuffers(1, &gl.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, gl.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gl.colorBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, gl.depthBuffer);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void destroyContext(GlRenderer* gl)
{
    if (gl->context) {
        glMakeCurrent(*gl);
        glDrawingDestroy(*gl);
        glDeleteFramebuffers(1, &gl->framebuffer);
        glDeleteRenderbuffers(1, &gl->colorBuffer);
        glDeleteRenderbuffers(1, &gl->depthBuffer);
        SDL_GL_MakeCurrent(gl->window, nullptr);
        SDL_GL_DeleteContext(gl->context);
    }
    delete gl;
}

bool create(Device& device, SDL_Window* window)
{
    if (!window)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kGlMajor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kGlMinor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    GlRenderer* gl = new (std::nothrow) GlRenderer();
    if (!gl)
        return false;
    gl->window = window;
    gl->context = SDL_GL_CreateContext(window);
    if (!gl->context) {
        const std::string error = SDL_GetError();
        destroyContext(gl);
        glReportNoContext(window, error.c_str());
        return false;
    }
    if (epoxy_gl_version() < kRequiredGlVersion) {
        glReportTooOld();
        destroyContext(gl);
        return false;
    }
    glMakeCurrent(*gl);
    // No vsync: Present returns at once. Some servers refuse to change the
    // interval; that is not an error, they have no vsync to wait for.
    bool vsync = device.params.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE;
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);
    gl->width = GLsizei(device.params.BackBufferWidth);
    gl->height = GLsizei(device.params.BackBufferHeight);
    gl->hasDepthBuffer = device.params.EnableAutoDepthStencil != FALSE;
    // Direct3D's depth range is [0, 1]; without glClipControl the vertex
    // shader remaps it.
    gl->clipControl = glRendererOptions().clipControl &&
                      (epoxy_gl_version() >= kClipControlGlVersion || epoxy_has_gl_extension("GL_ARB_clip_control"));
    if (gl->clipControl)
        glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    if (!createBackBuffer(*gl) || !glDrawingCreate(*gl)) {
        destroyContext(gl);
        return false;
    }
    device.rendererData = gl;
    return true;
}

void destroy(Device& device)
{
    destroyContext(&glRenderer(device));
    device.rendererData = nullptr;
}

void clear(Device& device, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    GlRenderer& gl = glRenderer(device);
    glMakeCurrent(gl);
    glFlushDraws(gl);
    glBindFramebuffer(GL_FRAMEBUFFER, gl.framebuffer);
    glViewport(0, 0, gl.width, gl.height);
    glDisable(GL_SCISSOR_TEST);
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        float rgba[4];
        glColourFromArgb(color, rgba);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        glDepthMask(GL_TRUE);
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_STENCIL) {
        glStencilMask(0xFF);
        glClearStencil(GLint(stencil & 0xFF));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    glClear(mask);
}

void draw(Device& device, const DrawCall& call)
{
    GlRenderer& gl = glRenderer(device);
    glMakeCurrent(gl);
    glDraw(device, gl, call);
}

// A destination in the window's client coordinates, in the drawable's pixels
// (more of them on a high-density display), with OpenGL's rows upward.
struct BlitTarget {
    GLint x0, y0, x1, y1;
};

BlitTarget blitTarget(GlRenderer& gl, const RECT* destination, int drawableWidth, int drawableHeight)
{
    if (!destination)
        return BlitTarget{0, drawableHeight, drawableWidth, 0};
    int windowWidth = 0, windowHeight = 0;
    SDL_GetWindowSize(gl.window, &windowWidth, &windowHeight);
    const double sx = windowWidth > 0 ? double(drawableWidth) / windowWidth : 1.0;
    const double sy = windowHeight > 0 ? double(drawableHeight) / windowHeight : 1.0;
    return BlitTarget{GLint(destination->left * sx + 0.5), GLint(drawableHeight - destination->top * sy + 0.5),
                      GLint(destination->right * sx + 0.5), GLint(drawableHeight - destination->bottom * sy + 0.5)};
}

void present(Device& device, const RECT* destination)
{
    GlRenderer& gl = glRenderer(device);
    glMakeCurrent(gl);
    glFlushDraws(gl);
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(gl.window, &drawableWidth, &drawableHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, gl.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    if (destination) {
        // Outside the destination the window shows black.
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // The back buffer holds its top row first: the blit turns it upright.
    const BlitTarget t = blitTarget(gl, destination, drawableWidth, drawableHeight);
    const bool sameSize = t.x1 - t.x0 == gl.width && t.y0 - t.y1 == gl.height;
    glBlitFramebuffer(0, 0, gl.width, gl.height, t.x0, t.y0, t.x1, t.y1, GL_COLOR_BUFFER_BIT,
                      sameSize ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(gl.window);
    glBindFramebuffer(GL_FRAMEBUFFER, gl.framebuffer);
}

bool createTexture(Device& device, Texture& texture, const uint8_t* rgba)
{
    GlRenderer& gl = glRenderer(device);
    glMakeCurrent(gl);
    return glCreateTexture(gl, texture, rgba);
}

void destroyTexture(Device& device, Texture& texture)
{
    GlRenderer& gl = glRenderer(device);
    glMakeCurrent(gl);
    glDestroyTexture(gl, texture);
}

void destroyBuffer(Device& device, BufferData& buffer)
{
    GlRenderer* gl = static_cast<GlRenderer*>(device.rendererData);
    if (gl)
        glMakeCurrent(*gl);
    glForgetBuffer(gl, buffer);
}

// The renderer of an OpenGL device, or null for any other.
GlRenderer* openGlRendererOf(IDirect3DDevice9* device)
{
    if (!device)
        return nullptr;
    Device& d = asImpl(device);
    if (d.renderer != &kOpenGLRenderer || !d.rendererData)
        return nullptr;
    return static_cast<GlRenderer*>(d.rendererData);
}

} // namespace

GlRenderer& glRenderer(Device& device) { return *static_cast<GlRenderer*>(device.rendererData); }

void glMakeCurrent(GlRenderer& gl)
{
    if (SDL_GL_GetCurrentContext() != gl.context)
        SDL_GL_MakeCurrent(gl.window, gl.context);
}

// ---- Controls for tests and benchmarks ------------------------------------------------
GlRendererOptions& glRendererOptions()
{
    static GlRendererOptions options;
    return options;
}

bool glUsesClipControl(IDirect3DDevice9* device)
{
    GlRenderer* gl = openGlRendererOf(device);
    return gl && gl->clipControl;
}

UINT glResidentPoolCapacity(IDirect3DDevice9* device)
{
    GlRenderer* gl = openGlRendererOf(device);
    return gl ? glPoolCapacity(*gl) : 0;
}

bool glFinishDevice(IDirect3DDevice9* device)
{
    GlRenderer* gl = openGlRendererOf(device);
    if (!gl)
        return false;
    glMakeCurrent(*gl);
    glFlushDraws(*gl);
    glFinish();
    return true;
}

bool glReadBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>& rgba, int& width, int& height)
{
    GlRenderer* found = openGlRendererOf(device);
    if (!found)
        return false;
    GlRenderer& gl = *found;
    glMakeCurrent(gl);
    glFlushDraws(gl);
    width = gl.width;
    height = gl.height;
    // OpenGL's first row is the back buffer's top row (see renderer_gl.h).
    rgba.resize(size_t(width) * 4 * size_t(height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, gl.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glFinish();
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_FRAMEBUFFER, gl.framebuffer);
    return true;
}

const RendererBackend kOpenGLRenderer = {
    "opengl", create, destroy, clear, draw, present, createTexture, destroyTexture, destroyBuffer,
};
