// spawning.h: what a mouse button does to the world.
#pragma once

// Adds a 2x2x2 crate centred on the aim point with the given velocity. If
// one of its corners would touch a box or the ground, the crate is taken
// back at once and the box it met (the lowest index) gains the velocity
// instead, provided its index is 4 or more. False only when the crate could
// not be created.
bool spawnOrPush(float vx, float vy, float vz);

// The right button throws a crate this fast along the view.
constexpr float kThrowSpeed = 10.0f;
