// arena.h: the starting arena, built once after the device exists.
#pragma once

// Makes the player cube, the aiming marker, the ground, four walls and five
// crates, in that order (which fixes the box list's layout, box_list.h),
// fills the player record and puts the camera at its start. On a failure
// it shows why and returns false.
bool buildArena();

// Puts the player cube back where it started, at rest; from there it falls
// to the ground as at the start. Nothing while there is no cube.
void returnPlayerCubeToStart();

// The camera's start: behind the middle of the arena, looking along +z.
void placeCameraAtStart();
