// resources.h: the objects behind the Direct3D 9 interfaces: buffers and
// textures, and the reference counting they share.
//
// Counting follows Direct3D 9: every resource holds a reference on its
// device, released when the program releases the resource. Binding a
// resource to the device (stream source, indices, texture) holds it by a
// separate, internal count, so a released resource that is still bound
// lives on until it is unbound, without keeping its device alive.
#pragma once

#include <d3d9.h>

#include <memory>

struct Device;

struct ResourceCounts {
    ULONG publicRefs = 1;
    ULONG bindings = 0;
};

// Bytes of a vertex or index buffer, kept in CPU memory. `version` rises
// on every Unlock so a renderer can tell when to upload again.
struct BufferData {
    Device* device = nullptr;
    ResourceCounts counts;
    std::unique_ptr<uint8_t[]> bytes;
    UINT length = 0;
    DWORD usage = 0;
    int locks = 0;
    uint32_t version = 0;
    UINT dirtyBegin = 0; // byte range written since the renderer last looked
    UINT dirtyEnd = 0;
    void* rendererData = nullptr;
};

struct VertexBuffer : IDirect3DVertexBuffer9 {
    BufferData data;
    DWORD fvf = 0;
};

struct IndexBuffer : IDirect3DIndexBuffer9 {
    BufferData data;
    D3DFORMAT format = D3DFMT_INDEX16;
};

struct Texture : IDirect3DTexture9 {
    Device* device = nullptr;
    ResourceCounts counts;
    UINT width = 0;
    UINT height = 0;
    DWORD levels = 0;
    void* rendererData = nullptr;
};

inline VertexBuffer* asImpl(IDirect3DVertexBuffer9* b) { return static_cast<VertexBuffer*>(b); }
inline IndexBuffer* asImpl(IDirect3DIndexBuffer9* b) { return static_cast<IndexBuffer*>(b); }
inline Texture* asImpl(IDirect3DBaseTexture9* t) { return static_cast<Texture*>(static_cast<IDirect3DTexture9*>(t)); }

// Points a device binding at `next` (or nothing), holding it by an internal
// reference, and lets go of what the binding held before.
void rebind(VertexBuffer*& slot, VertexBuffer* next);
void rebind(IndexBuffer*& slot, IndexBuffer* next);
void rebind(Texture*& slot, Texture* next);

HRESULT createVertexBuffer(Device& device, UINT length, DWORD usage, DWORD fvf, IDirect3DVertexBuffer9** out);
HRESULT createIndexBuffer(Device& device, UINT length, DWORD usage, D3DFORMAT format, IDirect3DIndexBuffer9** out);

// A texture from RGBA8 pixels, top row first, with a full mip chain made by
// the renderer. Used by the D3DX texture loader.
HRESULT createTextureRgba(IDirect3DDevice9* device, UINT width, UINT height, const uint8_t* rgba,
                          IDirect3DTexture9** out);

// Objects of each kind alive in the process, for leak checks.
struct LiveObjectCounts {
    int devices = 0;
    int buffers = 0;
    int textures = 0;
};
LiveObjectCounts& liveObjectCounts();
