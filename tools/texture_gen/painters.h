// painters.h: the three procedural textures the game loads.
#pragma once

#include "texture_image.h"

// A wooden crate face: a frame of four boards, horizontal planks inside and a
// diagonal brace from the lower left to the upper right corner.
void paintCrate(TextureImage& image);
// Grassy earth with bare patches and pebbles; tiles seamlessly.
void paintGround(TextureImage& image);
// A running-bond brick wall with mortar joints; tiles seamlessly.
void paintBrick(TextureImage& image);
