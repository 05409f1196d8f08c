// mip_chain.h: the levels of a texture as D3DX makes them by default: the
// image stretched to power-of-two sides (bilinear), then halved level by
// level down to 1x1, each texel the mean of the 2x2 (or 2x1) it covers.
// Plain C++ over RGBA8, for a loader that fills the levels itself.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct MipLevel {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // top row first
};

// The smallest power of two not below `side`, at most `limit` (a power of two).
int powerOfTwoAtLeast(int side, int limit);

// Level 0 is `rgba` (width x height) stretched to width0 x height0.
std::vector<MipLevel> buildMipChain(const uint8_t* rgba, int width, int height, int width0, int height0);
