// box.h: an axis-aligned cuboid of the world with a velocity, and the three
// Direct3D buffers that draw it: its mesh (36 vertices, world coordinates)
// and its shadow slab on the ground (8 corners, 36 indices).
//
// A box is moved by rewriting its vertices, never by a matrix. A box
// without buffers serves as a plain geometry record: it moves, but has
// nothing to rewrite (tests build scenes of them for the physics step).
#pragma once

#include <d3d9.h>

#include "boxes/box_vertex.h"
#include "math/vec3.h"

constexpr UINT kBoxMeshVertexCount = 36;
constexpr UINT kSlabVertexCount = 8;
constexpr UINT kSlabIndexCount = 36;
constexpr UINT kBoxTriangleCount = 12;

struct Box {
    IDirect3DVertexBuffer9* vertexBuffer;
    IDirect3DVertexBuffer9* shadowVertexBuffer;
    IDirect3DIndexBuffer9* shadowIndexBuffer;
    bool castsShadow;
    float shadowBaseY;
    float shadowThickness;
    Vec3 position; // minimum corner
    Vec3 size;
    Vec3 velocity; // units per second
    float textureScale;

    // The fields the vertex buffers were last written from. A move that
    // leaves them all as they were, bit for bit, writes nothing.
    struct MeshSource {
        Vec3 position;
        Vec3 size;
        float textureScale;
        float shadowBaseY;
        float shadowThickness;
    };
    MeshSource written;
    bool meshWritten; // false until a rebuild writes both buffers

    Box();
    ~Box();
    // A box owns its buffers: it is never copied.
    Box(const Box&) = delete;
    Box& operator=(const Box&) = delete;

    bool create(IDirect3DDevice9* device, float px, float py, float pz, float sx, float sy, float sz);
    void release();
    bool setPosition(float x, float y, float z);
    // Rebuilds the vertex data only when it would change.
    bool moveBy(float dx, float dy, float dz);
    // Writes both vertex buffers from the fields.
    bool rebuildMesh();
    MeshSource meshSource() const;
};
