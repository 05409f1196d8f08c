// matrix4.h: a row-major 4x4 float matrix. The game never touches its
// elements: D3DX fills it and the device or D3DX reads it.
#pragma once

#include <d3dx9.h>

typedef D3DXMATRIX Matrix4;

static_assert(sizeof(Matrix4) == 16 * sizeof(float), "Matrix4 must be sixteen floats");
