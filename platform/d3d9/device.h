// device.h: the Direct3D 9 device behind IDirect3DDevice9 and the state a
// renderer draws with.
#pragma once

#include <d3d9.h>

#include "d3d9/renderer_backend.h"
#include "d3d9/resources.h"

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

struct Device : IDirect3DDevice9 {
    ULONG refs = 1;
    IDirect3D9* direct3d = nullptr; // held while the device lives
    const RendererBackend* renderer = nullptr;
    void* rendererData = nullptr;
    ResourceOwner owner; // this device and its renderer, for its resources
    HWND window = nullptr;
    HostWindow* host = nullptr;
    D3DPRESENT_PARAMETERS params = {};
    DeviceState state = {};
    DWORD behaviorFlags = 0;
    bool inScene = false;
};

inline Device& asImpl(IDirect3DDevice9* d) { return *static_cast<Device*>(d); }

// Whole vertices the bound stream holds past its offset; draws are checked
// against it before a renderer sees them.
inline UINT streamVertexCount(const DeviceState& s)
{
    UINT length = s.stream->data.length;
    return s.streamOffset >= length ? 0 : (length - s.streamOffset) / s.streamStride;
}

// Resets the state to Direct3D 9's defaults for a device with these
// presentation parameters.
void resetDeviceState(DeviceState& state, const D3DPRESENT_PARAMETERS& params);

