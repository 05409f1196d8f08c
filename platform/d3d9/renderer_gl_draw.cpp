// renderer_gl_draw.cpp: placeholder until the fixed-function program lands:
// draws are accepted and not shown.
#include "d3d9/renderer_gl.h"

bool glDrawingCreate(GlRenderer&) { return true; }
void glDrawingDestroy(GlRenderer&) {}
void glDraw(Device&, GlRenderer&, const DrawCall&) {}
void glFlushDraws(Device&, GlRenderer&) {}
void glForgetBuffer(GlRenderer&, BufferData&) {}
