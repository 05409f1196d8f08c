// image_checks.h: checks an image file's bytes before anything decodes them,
// so a truncated file, one that claims absurd dimensions or one built to
// make the decoder work for minutes is refused up front. Plain C++ over
// bytes: the Linux and the Windows loader run the same checks.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "texture_problem.h"

// Files and images past these limits are refused. A texture of 4096x4096
// is already far beyond what the game's surfaces show.
constexpr size_t kMaxImageFileBytes = size_t(64) * 1024 * 1024;
constexpr int kMaxImageSide = 8192;
constexpr long long kMaxImagePixels = 4096LL * 4096LL;
// A progressive JPEG decodes every scan over the whole image; encoders use
// about ten, so a few thousand are a decompression bomb.
constexpr int kMaxJpegScans = 100;

enum class ImageFormat { Jpeg, Png, Bmp, Tga, Pnm };

struct ImageHeader {
    ImageFormat format = ImageFormat::Jpeg;
    int width = 0;
    int height = 0;
};

// Recognises the format by content, as D3DX does (the file's name does not
// matter), and checks that the file is complete and its image within the
// limits; fills in `header` when it is.
TextureVerdict checkImageFile(const uint8_t* data, size_t size, ImageHeader* header);
