// pool_draw.h: a draw joining the batch as indices into the pool of
// resident vertex buffers (resident_pool.h), uploading the buffer first if
// the program changed it since.
#pragma once

#include "d3d9/gl/batch.h"

// False when the draw's vertex buffer cannot be drawn from the pool: copy
// it instead (stream_draw.h). `tag` is the draw's material slot and
// textured bit.
bool glPoolDraw(GlRenderer& gl, const DeviceState& state, const DrawCall& call, uint32_t tag);
