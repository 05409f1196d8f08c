// image_file.h: checks an image file's header before it is decoded, so a
// truncated file or one that claims absurd dimensions is refused up front
// instead of being decoded into garbage or an enormous allocation.
#pragma once

#include <stddef.h>
#include <stdint.h>

constexpr int kMaxImageSide = 8192;

struct ImageHeader {
    int width = 0;
    int height = 0;
};

// True when the bytes are a complete file of a known format (JPEG, PNG, BMP,
// GIF, TGA, PNM) whose sides are from 1 to kMaxImageSide; the sides are
// filled in.
bool checkImageFile(const uint8_t* data, size_t size, ImageHeader* header);
