// index_decoding.h: the triangles of an indexed draw as the stream's vertex
// numbers, read from the index buffer in one place for whichever renderer
// draws them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "d3d9/device.h"

// For a draw the device has accepted (its index range lies in the bound
// index buffer), triangles [first, first + count) of it: each index in the
// buffer's width plus BaseVertexIndex, plus `offset`, three per triangle,
// written to `out`, which has room for 3 * count. A triangle that names a
// vertex the stream does not hold is left out, as Direct3D leaves
// undefined what it would draw. Returns the number written.
size_t decodeTriangles(const DeviceState& state, const DrawCall& call, size_t first, size_t count, uint32_t offset,
                       uint32_t* out);
