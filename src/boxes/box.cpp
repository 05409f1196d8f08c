// box.cpp: creating, moving and releasing a box and its buffers.
#include "boxes/box.h"

#include <cstring>

namespace {

constexpr UINT kMeshBytes = kBoxMeshVertexCount * sizeof(BoxVertex);
constexpr UINT kSlabBytes = kSlabVertexCount * sizeof(BoxVertex);
constexpr UINT kSlabIndexBytes = kSlabIndexCount * sizeof(WORD);
constexpr float kDefaultTextureScale = 1.0f;
constexpr float kShadowBaseY = -5.0f;
constexpr float kShadowThickness = 0.01f;
static_assert(sizeof(Box::MeshSource) == 9 * sizeof(float), "compared as bytes: no padding");

// The slab's twelve triangles over its corners 0..7, clockwise seen from outside.
const WORD kSlabIndices[kSlabIndexCount] = {
    0, 1, 2, 0, 2, 3, // minimum z
    4, 6, 5, 4, 7, 6, // maximum z
    4, 5, 1, 4, 1, 0, // minimum x
    3, 2, 6, 3, 6, 7, // maximum x
    1, 5, 6, 1, 6, 2, // top
    4, 0, 3, 4, 3, 7, // bottom
};

template <typename Buffer>
void releaseBuffer(Buffer*& buffer)
{
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

void writeSlabIndices(IDirect3DIndexBuffer9* buffer)
{
    void* data = nullptr;
    if (FAILED(buffer->Lock(0, 0, &data, 0)) || !data)
        return;
    WORD* out = static_cast<WORD*>(data);
    for (UINT i = 0; i < kSlabIndexCount; ++i)
        out[i] = kSlabIndices[i];
    buffer->Unlock();
}

} // namespace

// Geometry starts at zero until create or the caller sets it.
Box::Box()
    : vertexBuffer(nullptr), shadowVertexBuffer(nullptr), shadowIndexBuffer(nullptr), castsShadow(true),
      shadowBaseY(0.0f), shadowThickness(0.0f), position(0.0f, 0.0f, 0.0f), size(0.0f, 0.0f, 0.0f),
      velocity(0.0f, 0.0f, 0.0f), textureScale(0.0f), written(), meshWritten(false)
{
}

Box::~Box() { release(); }

bool Box::create(IDirect3DDevice9* device, float px, float py, float pz, float sx, float sy, float sz)
{
    if (!device)
        return false;
    releaseBuffer(vertexBuffer);
    device->CreateVertexBuffer(kMeshBytes, D3DUSAGE_DYNAMIC, kBoxVertexFvf, D3DPOOL_DEFAULT, &vertexBuffer, nullptr);
    if (!vertexBuffer)
        return false;

    position = Vec3(px, py, pz);
    size = Vec3(sx, sy, sz);
    velocity = Vec3(0.0f, 0.0f, 0.0f);
    textureScale = kDefaultTextureScale;
    shadowBaseY = kShadowBaseY;
    shadowThickness = kShadowThickness;

    releaseBuffer(shadowVertexBuffer);
    releaseBuffer(shadowIndexBuffer);
    // Both slab buffers are asked for before either is tested.
    device->CreateVertexBuffer(kSlabBytes, D3DUSAGE_DYNAMIC, kBoxVertexFvf, D3DPOOL_DEFAULT, &shadowVertexBuffer,
                               nullptr);
    device->CreateIndexBuffer(kSlabIndexBytes, D3DUSAGE_DYNAMIC, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &shadowIndexBuffer,
                              nullptr);
    if (!shadowVertexBuffer || !shadowIndexBuffer)
        return false;

    writeSlabIndices(shadowIndexBuffer);
    rebuildMesh();
    return true;
}

void Box::release()
{
    releaseBuffer(vertexBuffer);
    releaseBuffer(shadowVertexBuffer);
    releaseBuffer(shadowIndexBuffer);
    meshWritten = false;
}

bool Box::setPosition(float x, float y, float z)
{
    if (!vertexBuffer)
        return false;
    position = Vec3(x, y, z);
    return rebuildMesh();
}

// The position moves first, in every case, so that a box without buffers
// (a plain geometry record) moves too.
bool Box::moveBy(float dx, float dy, float dz)
{
    position.x += dx;
    position.y += dy;
    position.z += dz;
    if (!vertexBuffer)
        return false;
    const MeshSource now = meshSource();
    if (meshWritten && std::memcmp(&now, &written, sizeof now) == 0)
        return true;
    return rebuildMesh();
}
