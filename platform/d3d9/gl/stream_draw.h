// stream_draw.h: a draw joining the batch by copying its vertices, as they
// are at the time of the call, into the batch stream in CPU memory. Every
// draw can go this way; small vertex buffers usually go through the pool
// (pool_draw.h) instead.
#pragma once

#include "d3d9/gl/batch.h"

// `tag` is the draw's material slot and textured bit, given to each vertex.
void glStreamDraw(GlRenderer& gl, const DeviceState& state, const DrawCall& call, uint32_t tag);
