// cull.h: dropping draws of pooled buffers that lie wholly
// outside the view volume, before any vertex of theirs is shaded.
//
// A buffer's bounding box is known from its bytes; when all eight corners
// lie beyond one of the six clip planes, by a margin far above rounding,
// no triangle of the buffer can give a pixel, so the picture is the same
// without the draw.
#pragma once

#include "d3d9/gl/fixed_function.h"

struct GlBounds {
    float lo[3] = {};
    float hi[3] = {};
};

// World * View * Projection of a batch, with the half-pixel shift the
// vertex shader adds (Direct3D rows, as the batch state holds them).
struct GlClipTransform {
    double m[4][4] = {};
};

void glClipTransformOf(const GlBatchState& state, const float pixelOffset[3], GlClipTransform& out);

// The box around `count` 32-byte vertices; false when a coordinate is not
// finite (such a buffer is always drawn).
bool glBoundsOf(const uint8_t* vertices, uint32_t count, GlBounds& out);

// True when the box cannot reach the screen.
bool glOutsideView(const GlClipTransform& clip, const GlBounds& bounds);
