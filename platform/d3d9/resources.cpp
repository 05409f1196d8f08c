// resources.cpp: vertex buffers, index buffers and textures.
#include "d3d9/resources.h"

#include <new>

#include "common/hooks.h"
#include "d3d9/device.h"

namespace {

// No single buffer of the game comes near this; a larger request is a
// mistake, refused rather than attempted.
constexpr UINT kMaxBufferBytes = 256u * 1024u * 1024u;

void destroyBuffer(BufferData& data)
{
    Device* device = data.device;
    device->renderer->destroyBuffer(*device, data);
    --liveObjectCounts().buffers;
}

// A resource gives up its device reference as soon as the program releases
// it; a binding keeps only the object itself, and the device unbinds
// everything when it goes, so the two never keep each other alive.
template <typename Buffer>
void freeIfUnused(Buffer* b)
{
    if (b->data.counts.publicRefs == 0 && b->data.counts.bindings == 0) {
        destroyBuffer(b->data);
        delete b;
    }
}

void freeTextureIfUnused(Texture* t)
{
    if (t->counts.publicRefs == 0 && t->counts.bindings == 0) {
        Device* device = t->device;
        device->renderer->destroyTexture(*device, *t);
        --liveObjectCounts().textures;
        delete t;
    }
}


HRESULT lockBuffer(BufferData& data, UINT offset, UINT size, void** out)
{
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (offset > data.length || size > data.length - offset)
        return D3DERR_INVALIDCALL;
    if (size == 0)
        size = data.length - offset;
    *out = data.bytes.get() + offset;
    ++data.locks;
    // Any locked range may be written; treat it as changed.
    if (data.dirtyBegin == data.dirtyEnd) {
        data.dirtyBegin = offset;
        data.dirtyEnd = offset + size;
    } else {
        if (offset < data.dirtyBegin) data.dirtyBegin = offset;
        if (offset + size > data.dirtyEnd) data.dirtyEnd = offset + size;
    }
    return D3D_OK;
}

HRESULT unlockBuffer(BufferData& data)
{
    if (data.locks == 0)
        return D3DERR_INVALIDCALL;
    --data.locks;
    ++data.version;
    return D3D_OK;
}

bool allocateBytes(BufferData& data, Device& device, UINT length, DWORD usage)
{
    data.bytes.reset(new (std::nothrow) uint8_t[length]());
    if (!data.bytes)
        return false;
    data.device = &device;
    data.length = length;
    data.usage = usage;
    return true;
}

// Creation may be made to fail on request, so tests can reach the
// program's handling of a refused buffer.
bool creationRefused()
{
    int& remaining = platformHooks().failBufferCreationAfter;
    if (remaining < 0)
        return false;
    if (remaining == 0)
        return true;
    --remaining;
    return false;
}

} // namespace

LiveObjectCounts& liveObjectCounts()
{
    static LiveObjectCounts counts;
    return counts;
}

// ---- Creation ------------------------------------------------------------------------
HRESULT createVertexBuffer(Device& device, UINT length, DWORD usage, DWORD fvf, IDirect3DVertexBuffer9** out)
{
    if (length == 0 || length > kMaxBufferBytes)
        return D3DERR_INVALIDCALL;
    if (creationRefused())
        return D3DERR_OUTOFVIDEOMEMORY;
    VertexBuffer* b = new (std::nothrow) VertexBuffer();
    if (!b || !allocateBytes(b->data, device, length, usage)) {
        delete b;
        return E_OUTOFMEMORY;
    }
    b->fvf = fvf;
    device.AddRef();
    ++liveObjectCounts().buffers;
    *out = b;
    return D3D_OK;
}

HRESULT createIndexBuffer(Device& device, UINT length, DWORD usage, D3DFORMAT format, IDirect3DIndexBuffer9** out)
{
    if (length == 0 || length > kMaxBufferBytes || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    if (creationRefused())
        return D3DERR_OUTOFVIDEOMEMORY;
    IndexBuffer* b = new (std::nothrow) IndexBuffer();
    if (!b || !allocateBytes(b->data, device, length, usage)) {
        delete b;
        return E_OUTOFMEMORY;
    }
    b->format = format;
    device.AddRef();
    ++liveObjectCounts().buffers;
    *out = b;
    return D3D_OK;
}

HRESULT createTextureRgba(IDirect3DDevice9* device, UINT width, UINT height, const uint8_t* rgba,
                          IDirect3DTexture9** out)
{
    if (!device || !rgba || !out || width == 0 || height == 0)
        return D3DERR_INVALIDCALL;
    Device& d = asImpl(device);
    Texture* t = new (std::nothrow) Texture();
    if (!t)
        return E_OUTOFMEMORY;
    t->device = &d;
    t->width = width;
    t->height = height;
    t->levels = 1;
    for (UINT size = width > height ? width : height; size > 1; size /= 2)
        ++t->levels;
    if (!d.renderer->createTexture(d, *t, rgba)) {
        delete t;
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    d.AddRef();
    ++liveObjectCounts().textures;
    *out = t;
    return D3D_OK;
}

// ---- Bindings ------------------------------------------------------------------------
void bindVertexBuffer(VertexBuffer* b) { if (b) ++b->data.counts.bindings; }
void bindIndexBuffer(IndexBuffer* b) { if (b) ++b->data.counts.bindings; }
void bindTexture(Texture* t) { if (t) ++t->counts.bindings; }

void unbindVertexBuffer(VertexBuffer* b)
{
    if (!b) return;
    --b->data.counts.bindings;
    freeIfUnused(b);
}

void unbindIndexBuffer(IndexBuffer* b)
{
    if (!b) return;
    --b->data.counts.bindings;
    freeIfUnused(b);
}

void unbindTexture(Texture* t)
{
    if (!t) return;
    --t->counts.bindings;
    freeTextureIfUnused(t);
}

// ---- IDirect3DVertexBuffer9 ------------------------------------------------------------
ULONG IDirect3DVertexBuffer9::AddRef() { return ++asImpl(this)->data.counts.publicRefs; }

ULONG IDirect3DVertexBuffer9::Release()
{
    VertexBuffer* b = asImpl(this);
    if (b->data.counts.publicRefs == 0)
        return 0;
    Device* device = b->data.device;
    ULONG left = --b->data.counts.publicRefs;
    if (left == 0) {
        freeIfUnused(b);
        releaseDeviceFromResource(device);
    }
    return left;
}

HRESULT IDirect3DVertexBuffer9::Lock(UINT offset, UINT size, void** data, DWORD)
{
    return lockBuffer(asImpl(this)->data, offset, size, data);
}

HRESULT IDirect3DVertexBuffer9::Unlock() { return unlockBuffer(asImpl(this)->data); }

// ---- IDirect3DIndexBuffer9 -------------------------------------------------------------
ULONG IDirect3DIndexBuffer9::AddRef() { return ++asImpl(this)->data.counts.publicRefs; }

ULONG IDirect3DIndexBuffer9::Release()
{
    IndexBuffer* b = asImpl(this);
    if (b->data.counts.publicRefs == 0)
        return 0;
    Device* device = b->data.device;
    ULONG left = --b->data.counts.publicRefs;
    if (left == 0) {
        freeIfUnused(b);
        releaseDeviceFromResource(device);
    }
    return left;
}

HRESULT IDirect3DIndexBuffer9::Lock(UINT offset, UINT size, void** data, DWORD)
{
    return lockBuffer(asImpl(this)->data, offset, size, data);
}

HRESULT IDirect3DIndexBuffer9::Unlock() { return unlockBuffer(asImpl(this)->data); }

// ---- IDirect3DBaseTexture9 -------------------------------------------------------------
ULONG IDirect3DBaseTexture9::AddRef() { return ++asImpl(this)->counts.publicRefs; }

ULONG IDirect3DBaseTexture9::Release()
{
    Texture* t = asImpl(this);
    if (t->counts.publicRefs == 0)
        return 0;
    Device* device = t->device;
    ULONG left = --t->counts.publicRefs;
    if (left == 0) {
        freeTextureIfUnused(t);
        releaseDeviceFromResource(device);
    }
    return left;
}

DWORD IDirect3DBaseTexture9::GetLevelCount() { return asImpl(this)->levels; }
