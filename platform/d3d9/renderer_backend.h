// renderer_backend.h: the list of what a renderer must provide, the draw
// calls the device hands it, and what a resource knows of the device that
// made it.
#pragma once

#include <d3d9.h>

struct HostWindow;
struct Device;
struct Texture;
struct BufferData;
struct RendererOptions;

struct DrawCall {
    D3DPRIMITIVETYPE type;
    bool indexed;
    UINT startVertex;  // non-indexed
    UINT primitiveCount;
    INT baseVertexIndex; // indexed
    UINT minVertexIndex;
    UINT numVertices;
    UINT startIndex;
};

// What a renderer provides. Each is called with the device's state already
// updated; results of drawing are not reported back, as on Direct3D 9.
struct RendererBackend {
    const char* name;
    // Sets up on the host's window. False: the device is refused.
    bool (*create)(Device& device, HostWindow* window, const RendererOptions& options);
    void (*destroy)(Device& device);
    void (*clear)(Device& device, DWORD flags, D3DCOLOR color, float z, DWORD stencil);
    void (*draw)(Device& device, const DrawCall& call);
    // Shows the back buffer stretched over `destination` of the window's
    // client area, the rest black; over the whole client area when null.
    void (*present)(Device& device, const RECT* destination);
    // Storage for every level, holding the texture's bytes.
    bool (*createTexture)(Device& device, Texture& texture);
    // The program has written a level of the texture's bytes (see textureLevel).
    void (*updateTexture)(Device& device, Texture& texture, UINT level);
    void (*destroyTexture)(Device& device, Texture& texture);
    // A buffer is going away; drop anything kept for it.
    void (*destroyBuffer)(Device& device, BufferData& buffer);
};

extern const RendererBackend kHeadlessRenderer;
extern const RendererBackend kOpenGLRenderer;

// The device as its resources see it: the object they hold a reference
// on, and the renderer they tell of their lives, with the device as it
// takes it. Each device keeps one; its resources point at it.
struct ResourceOwner {
    IDirect3DDevice9* object = nullptr;
    Device* device = nullptr;
    const RendererBackend* renderer = nullptr;
};
