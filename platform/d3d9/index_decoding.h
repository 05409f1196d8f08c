// index_decoding.h: the triangles of an indexed draw as the stream's vertex
// numbers, read once from the index buffer for whichever renderer draws
// them.
#pragma once

#include <cstdint>
#include <vector>

#include "d3d9/device.h"

// For a draw the device has accepted (its index range lies in the bound
// index buffer): each index in the buffer's width plus BaseVertexIndex,
// three per triangle. A triangle that names a vertex the stream does not
// hold is left out, as Direct3D leaves undefined what it would draw. `out`
// keeps its capacity from draw to draw.
void decodeTriangles(const DeviceState& state, const DrawCall& call, std::vector<uint32_t>& out);
