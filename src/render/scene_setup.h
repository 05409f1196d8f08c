// scene_setup.h: builds the starting arena once, after the device exists.
#pragma once

// The player cube, the aiming marker, the ground, four walls and five
// crates; the camera, view and projection; the materials and lights; and
// the sampler and render states that hold for the rest of the run. On a
// failure it shows why and returns false.
bool setupScene();
