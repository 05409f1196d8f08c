// box_mesh.cpp: rebuildMesh, which writes a box's mesh and shadow slab from
// its fields, straight into the mapped buffers.
#include "boxes/box.h"

namespace {

// One vertex of a table: which end of each axis it lies at (0 minimum,
// 1 maximum) and which texture coordinates it takes (0, or the scale).
struct Corner {
    unsigned char x, y, z;
    unsigned char u, v;
};

// Faces in the order minimum z, maximum z, maximum x, minimum x, top,
// bottom; two clockwise triangles each, seen from outside. On every side
// face u runs left to right and v top to bottom, so the image stands
// upright and unmirrored.
const Corner kMesh[kBoxMeshVertexCount] = {
    {0, 0, 0, 0, 1}, {0, 1, 0, 0, 0}, {1, 1, 0, 1, 0}, {1, 1, 0, 1, 0}, {1, 0, 0, 1, 1}, {0, 0, 0, 0, 1},
    {1, 0, 1, 0, 1}, {1, 1, 1, 0, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 1, 1, 1}, {1, 0, 1, 0, 1},
    {1, 0, 0, 0, 1}, {1, 1, 0, 0, 0}, {1, 1, 1, 1, 0}, {1, 1, 1, 1, 0}, {1, 0, 1, 1, 1}, {1, 0, 0, 0, 1},
    {0, 1, 1, 0, 0}, {0, 1, 0, 1, 0}, {0, 0, 0, 1, 1}, {0, 0, 0, 1, 1}, {0, 0, 1, 0, 1}, {0, 1, 1, 0, 0},
    {0, 1, 0, 0, 1}, {0, 1, 1, 0, 0}, {1, 1, 1, 1, 0}, {1, 1, 1, 1, 0}, {1, 1, 0, 1, 1}, {0, 1, 0, 0, 1},
    {1, 0, 1, 0, 0}, {0, 0, 1, 1, 0}, {0, 0, 0, 1, 1}, {0, 0, 0, 1, 1}, {1, 0, 0, 0, 1}, {1, 0, 1, 0, 0},
};

// The slab's corners 0..7, the ones its index list refers to. Their
// texture coordinates are fixed values, not scaled.
const Corner kSlab[kSlabVertexCount] = {
    {0, 0, 0, 1, 0}, {0, 1, 0, 0, 0}, {1, 1, 0, 0, 1}, {1, 0, 0, 0, 0},
    {0, 0, 1, 1, 0}, {0, 1, 1, 0, 0}, {1, 1, 1, 0, 1}, {1, 0, 1, 0, 0},
};

// -1 at the minimum of an axis, +1 at the maximum: the three faces meeting
// at a corner share one diagonal normal there.
float normalComponent(unsigned char end) { return end ? 1.0f : -1.0f; }

struct Extent {
    float lo[3];
    float hi[3];
};

void writeVertices(BoxVertex* out, const Corner* table, UINT count, const Extent& e, float uvScale)
{
    for (UINT i = 0; i < count; ++i) {
        const Corner& c = table[i];
        BoxVertex& vertex = out[i];
        vertex = makeVertex(c.x ? e.hi[0] : e.lo[0], c.y ? e.hi[1] : e.lo[1], c.z ? e.hi[2] : e.lo[2]);
        setNormal(vertex, normalComponent(c.x), normalComponent(c.y), normalComponent(c.z));
        setTexCoords(vertex, c.u ? uvScale : 0.0f, c.v ? uvScale : 0.0f);
    }
}

bool writeBuffer(IDirect3DVertexBuffer9* buffer, const Corner* table, UINT count, const Extent& e, float uvScale)
{
    void* data = nullptr;
    if (FAILED(buffer->Lock(0, 0, &data, 0)) || !data)
        return false;
    writeVertices(static_cast<BoxVertex*>(data), table, count, e, uvScale);
    buffer->Unlock();
    return true;
}

} // namespace

BoxVertex makeVertex(float x, float y, float z)
{
    BoxVertex v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

void setNormal(BoxVertex& vertex, float nx, float ny, float nz)
{
    vertex.nx = nx;
    vertex.ny = ny;
    vertex.nz = nz;
}

void setTexCoords(BoxVertex& vertex, float u, float v)
{
    vertex.u = u;
    vertex.v = v;
}

Box::MeshSource Box::meshSource() const
{
    return MeshSource{position, size, textureScale, shadowBaseY, shadowThickness};
}

bool Box::rebuildMesh()
{
    meshWritten = false;
    if (!vertexBuffer)
        return false;
    const Extent mesh = {{position.x, position.y, position.z},
                         {position.x + size.x, position.y + size.y, position.z + size.z}};
    if (!writeBuffer(vertexBuffer, kMesh, kBoxMeshVertexCount, mesh, textureScale))
        return false;
    if (!shadowVertexBuffer)
        return false;
    // The slab follows the box on x and z and lies on the ground whatever the box's height.
    const Extent slab = {{position.x, shadowBaseY, position.z},
                         {position.x + size.x, shadowBaseY + shadowThickness, position.z + size.z}};
    const float kSlabUvScale = 1.0f;
    if (!writeBuffer(shadowVertexBuffer, kSlab, kSlabVertexCount, slab, kSlabUvScale))
        return false;
    written = meshSource();
    meshWritten = true;
    return true;
}
