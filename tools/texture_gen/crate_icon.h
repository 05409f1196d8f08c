// crate_icon.h: the game's icon, a crate seen at an angle, and the PNG and
// Windows icon files it is saved as.
#pragma once

#include <cstdint>
#include <vector>

#include "texture_image.h"

struct IconImage {
    int side = 0;
    std::vector<uint8_t> rgba; // side * side * 4 bytes, top row first, straight alpha
};

// A cube seen from above and to its right, the crate face on each of its
// three visible faces, each face lit differently; transparent around it.
IconImage paintCrateIcon(const TextureImage& crateFace, int side);

bool saveIconPng(const IconImage& image, const char* path);
// A Windows .ico of every image: the ones of 256 pixels PNG-compressed,
// smaller ones as 32-bit bitmaps with a mask, as Windows' own icons are.
bool saveIco(const std::vector<IconImage>& images, const char* path);
