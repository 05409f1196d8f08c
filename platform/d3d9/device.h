// device.h: the Direct3D 9 device behind IDirect3DDevice9: its state, the
// draw calls it hands to a renderer, and the list of what a renderer must
// provide.
#pragma once

#include <d3d9.h>

#include "resources.h" // beside it: test_controls.h reaches this header by its path

struct SDL_Window;

constexpr int kMaxLights = 8;
constexpr int kRenderStateCount = 256;
constexpr int kSamplerStateCount = 14;
// The one vertex layout the renderers draw: position, normal, one texture coordinate.
constexpr DWORD kSupportedFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr UINT kSupportedFvfSize = 32;

// Everything a draw depends on. The renderers read it; only the device's
// setters write it.
struct DeviceState {
    D3DMATRIX world;
    D3DMATRIX view;
    D3DMATRIX projection;
    D3DLIGHT9 lights[kMaxLights];
    bool lightEnabled[kMaxLights];
    D3DMATERIAL9 material;
    DWORD renderStates[kRenderStateCount];
    DWORD samplerStates[kSamplerStateCount]; // sampler 0
    Texture* texture;                        // stage 0, may be null
    VertexBuffer* stream;                    // stream 0, may be null
    UINT streamOffset;
    UINT streamStride;
    IndexBuffer* indices;
    DWORD fvf;
    // Rises whenever transforms, lights, render or sampler states change
    // (not material, texture or bindings), so a renderer can keep batching
    // while it stays the same.
    uint32_t version;
};

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

struct Device;

// What a renderer provides. Each is called with the device's state already
// updated; results of drawing are not reported back, as on Direct3D 9.
struct RendererBackend {
    const char* name;
    // Sets up on the window (null while headless). False: the device is refused.
    bool (*create)(Device& device, SDL_Window* window);
    void (*destroy)(Device& device);
    void (*clear)(Device& device, DWORD flags, D3DCOLOR color, float z, DWORD stencil);
    void (*draw)(Device& device, const DrawCall& call);
    // Shows the back buffer stretched over `destination` of the window's
    // client area, the rest black; over the whole client area when null.
    void (*present)(Device& device, const RECT* destination);
    // Pixels are RGBA8, top row first; the renderer makes the mip chain.
    bool (*createTexture)(Device& device, Texture& texture, const uint8_t* rgba);
    void (*destroyTexture)(Device& device, Texture& texture);
    // A buffer is going away; drop anything kept for it.
    void (*destroyBuffer)(Device& device, BufferData& buffer);
};

extern const RendererBackend kHeadlessRenderer;
extern const RendererBackend kOpenGLRenderer;


struct Device : IDirect3DDevice9 {
    ULONG refs = 1;
    IDirect3D9* direct3d = nullptr; // held while the device lives
    const RendererBackend* renderer = nullptr;
    void* rendererData = nullptr;
    HWND window = nullptr;
    SDL_Window* host = nullptr;
    D3DPRESENT_PARAMETERS params = {};
    DeviceState state = {};
    DWORD behaviorFlags = 0;
    bool inScene = false;
};

inline Device& asImpl(IDirect3DDevice9* d) { return *static_cast<Device*>(d); }

// Resets the state to Direct3D 9's defaults for a device with these
// presentation parameters.
void resetDeviceState(DeviceState& state, const D3DPRESENT_PARAMETERS& params);

// Releases the reference a resource holds on its device.
void releaseDeviceFromResource(Device* device);
