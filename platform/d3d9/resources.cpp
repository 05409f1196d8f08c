// resources.cpp: vertex buffers, index buffers and textures.
#include "d3d9/resources.h"

#include <new>

#include "common/test_seams.h"
#include "d3d9/renderer_backend.h"

namespace {

// No single buffer of the game comes near this; a larger request is a
// mistake, refused rather than attempted.
constexpr UINT kMaxBufferBytes = 256u * 1024u * 1024u;
// X8R8G8B8 and A8R8G8B8 alike.
constexpr size_t kTexelBytes = 4;

ResourceCounts& countsOf(VertexBuffer* b) { return b->data.counts; }
ResourceCounts& countsOf(IndexBuffer* b) { return b->data.counts; }
ResourceCounts& countsOf(Texture* t) { return t->counts; }
const ResourceOwner* ownerOf(VertexBuffer* b) { return b->data.owner; }
const ResourceOwner* ownerOf(IndexBuffer* b) { return b->data.owner; }
const ResourceOwner* ownerOf(Texture* t) { return t->owner; }

void destroy(VertexBuffer* b)
{
    b->data.owner->renderer->destroyBuffer(*b->data.owner->device, b->data);
    --liveObjectCounts().buffers;
    delete b;
}

void destroy(IndexBuffer* b)
{
    b->data.owner->renderer->destroyBuffer(*b->data.owner->device, b->data);
    --liveObjectCounts().buffers;
    delete b;
}

void destroy(Texture* t)
{
    t->owner->renderer->destroyTexture(*t->owner->device, *t);
    --liveObjectCounts().textures;
    delete t;
}

template <typename Resource>
void freeIfUnused(Resource* r)
{
    const ResourceCounts& counts = countsOf(r);
    if (counts.publicRefs == 0 && counts.bindings == 0)
        destroy(r);
}

// A resource gives up its device reference as soon as the program releases
// it; a binding keeps only the object itself, and the device unbinds
// everything when it goes, so the two never keep each other alive.
template <typename Resource>
ULONG releasePublic(Resource* r)
{
    ResourceCounts& counts = countsOf(r);
    if (counts.publicRefs == 0)
        return 0;
    IDirect3DDevice9* device = ownerOf(r)->object;
    ULONG left = --counts.publicRefs;
    if (left == 0) {
        freeIfUnused(r);
        device->Release();
    }
    return left;
}

template <typename Resource>
void rebindSlot(Resource*& slot, Resource* next)
{
    if (slot == next)
        return;
    if (next)
        ++countsOf(next).bindings;
    Resource* old = slot;
    slot = next;
    if (old) {
        --countsOf(old).bindings;
        freeIfUnused(old);
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

// Creation may be made to fail on request, so tests can reach the
// program's handling of a refused buffer.
bool creationRefused()
{
    int& remaining = testSeams().failBufferCreationAfter;
    if (remaining < 0)
        return false;
    if (remaining == 0)
        return true;
    --remaining;
    return false;
}

// A buffer of `length` zeroed bytes, holding a reference on its device.
template <typename Buffer>
HRESULT createBuffer(const ResourceOwner& owner, UINT length, DWORD usage, Buffer** out)
{
    if (length == 0 || length > kMaxBufferBytes)
        return D3DERR_INVALIDCALL;
    if (creationRefused())
        return D3DERR_OUTOFVIDEOMEMORY;
    Buffer* b = new (std::nothrow) Buffer();
    if (!b)
        return E_OUTOFMEMORY;
    b->data.bytes.reset(new (std::nothrow) uint8_t[length]());
    if (!b->data.bytes) {
        delete b;
        return E_OUTOFMEMORY;
    }
    b->data.owner = &owner;
    b->data.length = length;
    b->data.usage = usage;
    owner.object->AddRef();
    ++liveObjectCounts().buffers;
    *out = b;
    return D3D_OK;
}

} // namespace

LiveObjectCounts& liveObjectCounts()
{
    static LiveObjectCounts counts;
    return counts;
}

// ---- Creation ------------------------------------------------------------------------
HRESULT createVertexBuffer(const ResourceOwner& owner, UINT length, DWORD usage, DWORD fvf,
                           IDirect3DVertexBuffer9** out)
{
    VertexBuffer* b = nullptr;
    HRESULT result = createBuffer(owner, length, usage, &b);
    if (SUCCEEDED(result)) {
        b->fvf = fvf;
        *out = b;
    }
    return result;
}

HRESULT createIndexBuffer(const ResourceOwner& owner, UINT length, DWORD usage, D3DFORMAT format,
                          IDirect3DIndexBuffer9** out)
{
    if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)
        return D3DERR_INVALIDCALL;
    IndexBuffer* b = nullptr;
    HRESULT result = createBuffer(owner, length, usage, &b);
    if (SUCCEEDED(result)) {
        b->format = format;
        *out = b;
    }
    return result;
}

HRESULT createTexture(const ResourceOwner& owner, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                      D3DPOOL pool, IDirect3DTexture9** out)
{
    if (!out || width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize)
        return D3DERR_INVALIDCALL;
    // This subset holds static 32-bit textures in the managed pool, the
    // kind D3DX makes from a file.
    if (usage != 0 || pool != D3DPOOL_MANAGED || (format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8))
        return D3DERR_INVALIDCALL;
    UINT fullChain = 1;
    for (UINT side = width > height ? width : height; side > 1; side /= 2)
        ++fullChain;
    if (levels > fullChain)
        return D3DERR_INVALIDCALL;
    Texture* t = new (std::nothrow) Texture();
    if (!t)
        return E_OUTOFMEMORY;
    t->owner = &owner;
    t->width = width;
    t->height = height;
    t->levels = levels == 0 ? fullChain : levels;
    t->format = format;
    TextureLevel last = textureLevel(*t, t->levels - 1);
    t->bytes.reset(new (std::nothrow) uint8_t[last.offset + size_t(last.width) * last.height * kTexelBytes]());
    if (!t->bytes) {
        delete t;
        return E_OUTOFMEMORY;
    }
    if (!owner.renderer->createTexture(*owner.device, *t)) {
        delete t;
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    owner.object->AddRef();
    ++liveObjectCounts().textures;
    *out = t;
    return D3D_OK;
}

TextureLevel textureLevel(const Texture& t, UINT level)
{
    TextureLevel at;
    at.width = t.width;
    at.height = t.height;
    for (UINT i = 0; i < level; ++i) {
        at.offset += size_t(at.width) * at.height * kTexelBytes;
        at.width = at.width > 1 ? at.width / 2 : 1;
        at.height = at.height > 1 ? at.height / 2 : 1;
    }
    return at;
}

// ---- Bindings ------------------------------------------------------------------------
void rebind(VertexBuffer*& slot, VertexBuffer* next) { rebindSlot(slot, next); }
void rebind(IndexBuffer*& slot, IndexBuffer* next) { rebindSlot(slot, next); }
void rebind(Texture*& slot, Texture* next) { rebindSlot(slot, next); }

// ---- The interfaces --------------------------------------------------------------------
ULONG IDirect3DVertexBuffer9::AddRef() { return ++asImpl(this)->data.counts.publicRefs; }
ULONG IDirect3DVertexBuffer9::Release() { return releasePublic(asImpl(this)); }
HRESULT IDirect3DVertexBuffer9::Lock(UINT offset, UINT size, void** data, DWORD)
{
    return lockBuffer(asImpl(this)->data, offset, size, data);
}
HRESULT IDirect3DVertexBuffer9::Unlock() { return unlockBuffer(asImpl(this)->data); }

ULONG IDirect3DIndexBuffer9::AddRef() { return ++asImpl(this)->data.counts.publicRefs; }
ULONG IDirect3DIndexBuffer9::Release() { return releasePublic(asImpl(this)); }
HRESULT IDirect3DIndexBuffer9::Lock(UINT offset, UINT size, void** data, DWORD)
{
    return lockBuffer(asImpl(this)->data, offset, size, data);
}
HRESULT IDirect3DIndexBuffer9::Unlock() { return unlockBuffer(asImpl(this)->data); }

ULONG IDirect3DBaseTexture9::AddRef() { return ++asImpl(this)->counts.publicRefs; }
ULONG IDirect3DBaseTexture9::Release() { return releasePublic(asImpl(this)); }
DWORD IDirect3DBaseTexture9::GetLevelCount() { return asImpl(this)->levels; }

HRESULT IDirect3DTexture9::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    Texture* t = asImpl(this);
    if (!desc || level >= t->levels)
        return D3DERR_INVALIDCALL;
    TextureLevel at = textureLevel(*t, level);
    *desc = D3DSURFACE_DESC();
    desc->Format = t->format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Pool = D3DPOOL_MANAGED;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = at.width;
    desc->Height = at.height;
    return D3D_OK;
}

// Whole levels only: D3DX locks no part of one.
HRESULT IDirect3DTexture9::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    Texture* t = asImpl(this);
    if (!locked || rect || level >= t->levels || (t->lockedLevels & (1u << level)))
        return D3DERR_INVALIDCALL;
    const uint32_t bit = 1u << level;
    TextureLevel at = textureLevel(*t, level);
    locked->Pitch = INT(at.width * kTexelBytes);
    locked->pBits = t->bytes.get() + at.offset;
    t->lockedLevels |= bit;
    if (!(flags & D3DLOCK_READONLY))
        t->writableLevels |= bit;
    return D3D_OK;
}

HRESULT IDirect3DTexture9::UnlockRect(UINT level)
{
    Texture* t = asImpl(this);
    if (level >= t->levels || !(t->lockedLevels & (1u << level)))
        return D3DERR_INVALIDCALL;
    const uint32_t bit = 1u << level;
    t->lockedLevels &= ~bit;
    if (t->writableLevels & bit) {
        t->writableLevels &= ~bit;
        t->owner->renderer->updateTexture(*t->owner->device, *t, level);
    }
    return D3D_OK;
}
