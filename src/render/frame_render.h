// frame_render.h: draws one frame and presents it.
#pragma once

// The aiming marker, the ground, then every listed box in index order, each
// after its shadow slab while shadows are on. False only without a device.
bool renderFrame();
