// draw.h: a draw of the device handed to the OpenGL renderer.
#pragma once

#include "d3d9/gl/renderer_state.h"

// Joins the draw to the batch (batch.h), through the pool or by copying;
// without batching, draws it at once.
void glDraw(GlRenderer& gl, const DeviceState& state, const DrawCall& call);
