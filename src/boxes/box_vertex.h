// box_vertex.h: one vertex of a box mesh or shadow slab, in the flexible
// vertex format position + normal + one texture coordinate.
#pragma once

#include <d3d9.h>

struct BoxVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

constexpr DWORD kBoxVertexFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
static_assert(sizeof(BoxVertex) == 32, "BoxVertex must be 32 bytes");
static_assert(kBoxVertexFvf == 274, "box vertex format");

// Position set; normal and texture coordinates left unset.
BoxVertex makeVertex(float x, float y, float z);
void setNormal(BoxVertex& vertex, float nx, float ny, float nz);
void setTexCoords(BoxVertex& vertex, float u, float v);
