// render_setup.h: the device state that draws the arena, set once after
// the arena and the camera's start exist.
#pragma once

// The view from the camera and the projection; the three materials; the
// point light and the spot light, both enabled; and the sampler and render
// states that hold for the rest of the run.
void setUpRendering();
