// control_modes.h: the two ways the player steers, one of which runs each
// frame: the player cube (walk, jump, the camera riding on it) or the free
// camera (fly and turn). Both turn the view with the mouse, set the view
// transform and move the aiming marker to the aim point.
#pragma once

#include "math/camera.h"

void updateFreeCameraMode(float frameSeconds);
void updatePlayerMode(float frameSeconds);

// Whether a key is held now, from a fresh keyboard snapshot.
bool isKeyDown(int virtualKey);
// Moves the aiming marker's minimum corner to the camera's target.
bool updateAimer(const Camera& camera);
