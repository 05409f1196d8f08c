// texture_decoding.h: the texture loader's checks and decoders, which the
// Linux and the Windows builds share, for the tests that check them on
// their own: a file's bytes in, pixels or the loader's reason out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testctl {

struct DecodedPicture {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;     // the file's format carries alpha
    std::vector<uint8_t> rgba; // width * height * 4 bytes, top row first
};

// Checks and decodes a texture file's bytes as D3DXCreateTextureFromFileA
// does. Empty when they decode; otherwise the reason the loader gives on
// standard error ("corrupt: a truncated PNG").
std::string decodeTextureFile(const std::vector<uint8_t>& bytes, DecodedPicture& picture);

} // namespace testctl
