// scene_setup.h: builds the starting scene once, after the device exists.
#pragma once

// The arena (its boxes, the player and the camera's start), then what draws
// it (view, projection, materials, lights and the device states that hold
// for the rest of the run). On a failure it shows why and returns false.
bool setupScene();
