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

#include <cstddef>
#include <cstdint>
#include <memory>

struct ResourceOwner;

struct ResourceCounts {
    ULONG publicRefs = 1;
    ULONG bindings = 0;
};

// Bytes of a vertex or index buffer, kept in CPU memory. `version` rises
// on every Unlock so a renderer can tell when to upload again.
struct BufferData {
    const ResourceOwner* owner = nullptr;
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

// The largest side of a texture or back buffer (the caps' MaxTextureWidth).
constexpr UINT kMaxTextureSize = 8192;

// A texture in the managed pool: the program's copy of every level lives in
// system memory, as Direct3D keeps it, and the renderer is told when the
// program unlocks a level it may have written.
struct Texture : IDirect3DTexture9 {
    const ResourceOwner* owner = nullptr;
    ResourceCounts counts;
    UINT width = 0;
    UINT height = 0;
    DWORD levels = 0;
    D3DFORMAT format = D3DFMT_X8R8G8B8;
    std::unique_ptr<uint8_t[]> bytes; // every level, level 0 first, rows packed
    uint32_t lockedLevels = 0;        // one bit per level
    uint32_t writableLevels = 0;      // locked without D3DLOCK_READONLY
    void* rendererData = nullptr;
};

// Where a level lies in Texture::bytes: 4 bytes a texel (B, G, R, then A or
// unused), rows packed, top row first.
struct TextureLevel {
    UINT width = 0;
    UINT height = 0;
    size_t offset = 0;
};
TextureLevel textureLevel(const Texture& texture, UINT level);

inline VertexBuffer* asImpl(IDirect3DVertexBuffer9* b) { return static_cast<VertexBuffer*>(b); }
inline IndexBuffer* asImpl(IDirect3DIndexBuffer9* b) { return static_cast<IndexBuffer*>(b); }
inline Texture* asImpl(IDirect3DBaseTexture9* t) { return static_cast<Texture*>(static_cast<IDirect3DTexture9*>(t)); }

// Points a device binding at `next` (or nothing), holding it by an internal
// reference, and lets go of what the binding held before.
void rebind(VertexBuffer*& slot, VertexBuffer* next);
void rebind(IndexBuffer*& slot, IndexBuffer* next);
void rebind(Texture*& slot, Texture* next);

HRESULT createVertexBuffer(const ResourceOwner& owner, UINT length, DWORD usage, DWORD fvf,
                           IDirect3DVertexBuffer9** out);
HRESULT createIndexBuffer(const ResourceOwner& owner, UINT length, DWORD usage, D3DFORMAT format,
                          IDirect3DIndexBuffer9** out);

HRESULT createTexture(const ResourceOwner& owner, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                      D3DPOOL pool, IDirect3DTexture9** out);

// Objects of each kind alive in the process, for leak checks.
struct LiveObjectCounts {
    int devices = 0;
    int buffers = 0;
    int textures = 0;
};
LiveObjectCounts& liveObjectCounts();
