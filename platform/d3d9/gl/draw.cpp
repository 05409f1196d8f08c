// draw.cpp: a draw joining the batch. Each of its vertices carries a tag:
// the slot of the draw's material in the batch's table and whether its
// texture applies. A draw from a small vertex buffer names the buffer's
// vertices in the pool of resident buffers; any other draw copies its
// vertices into the batch stream.
#include "d3d9/gl/draw.h"

#include "d3d9/gl/batch.h"
#include "d3d9/gl/pool_draw.h"
#include "d3d9/gl/stream_draw.h"

void glDraw(GlRenderer& gl, const DeviceState& s, const DrawCall& call)
{
    glBatchJoin(gl, s);
    const uint32_t tag = glMaterialSlot(gl, s.material) | (s.texture ? kGlTexturedBit : 0u);
    if (!gl.options.residentBuffers || !glPoolDraw(gl, s, call, tag))
        glStreamDraw(gl, s, call, tag);
    if (!gl.options.batching)
        glBatchEnd(gl);
}
