// mip_chain.cpp: stretching to power-of-two sides and box-filtered halving.
#include "d3dx9/mip_chain.h"

namespace {

// Samples at texel centres, clamped at the edges.
MipLevel stretch(const uint8_t* rgba, int width, int height, int toWidth, int toHeight)
{
    MipLevel out;
    out.width = toWidth;
    out.height = toHeight;
    out.rgba.resize(size_t(toWidth) * size_t(toHeight) * 4);
    if (toWidth == width && toHeight == height) {
        out.rgba.assign(rgba, rgba + out.rgba.size());
        return out;
    }
    for (int y = 0; y < toHeight; ++y) {
        float sy = (float(y) + 0.5f) * float(height) / float(toHeight) - 0.5f;
        int y0 = sy < 0.0f ? 0 : int(sy);
        int y1 = y0 + 1 < height ? y0 + 1 : height - 1;
        float fy = sy < 0.0f ? 0.0f : sy - float(y0);
        for (int x = 0; x < toWidth; ++x) {
            float sx = (float(x) + 0.5f) * float(width) / float(toWidth) - 0.5f;
            int x0 = sx < 0.0f ? 0 : int(sx);
            int x1 = x0 + 1 < width ? x0 + 1 : width - 1;
            float fx = sx < 0.0f ? 0.0f : sx - float(x0);
            const uint8_t* a = rgba + (size_t(y0) * size_t(width) + size_t(x0)) * 4;
            const uint8_t* b = rgba + (size_t(y0) * size_t(width) + size_t(x1)) * 4;
            const uint8_t* c = rgba + (size_t(y1) * size_t(width) + size_t(x0)) * 4;
            const uint8_t* d = rgba + (size_t(y1) * size_t(width) + size_t(x1)) * 4;
            uint8_t* o = out.rgba.data() + (size_t(y) * size_t(toWidth) + size_t(x)) * 4;
            for (int k = 0; k < 4; ++k) {
                float top = float(a[k]) + (float(b[k]) - float(a[k])) * fx;
                float bottom = float(c[k]) + (float(d[k]) - float(c[k])) * fx;
                o[k] = uint8_t(top + (bottom - top) * fy + 0.5f);
            }
        }
    }
    return out;
}

MipLevel halve(const MipLevel& in)
{
    MipLevel out;
    out.width = in.width > 1 ? in.width / 2 : 1;
    out.height = in.height > 1 ? in.height / 2 : 1;
    out.rgba.resize(size_t(out.width) * size_t(out.height) * 4);
    int dx = in.width > 1 ? 1 : 0, dy = in.height > 1 ? 1 : 0;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            size_t row0 = size_t(y * 2) * size_t(in.width), row1 = size_t(y * 2 + dy) * size_t(in.width);
            const uint8_t* p[4] = {&in.rgba[(row0 + size_t(x * 2)) * 4], &in.rgba[(row0 + size_t(x * 2 + dx)) * 4],
                                   &in.rgba[(row1 + size_t(x * 2)) * 4], &in.rgba[(row1 + size_t(x * 2 + dx)) * 4]};
            uint8_t* o = &out.rgba[(size_t(y) * size_t(out.width) + size_t(x)) * 4];
            for (int k = 0; k < 4; ++k)
                o[k] = uint8_t((p[0][k] + p[1][k] + p[2][k] + p[3][k] + 2) / 4);
        }
    }
    return out;
}

} // namespace

int powerOfTwoAtLeast(int side, int limit)
{
    int p = 1;
    while (p < side && p < limit)
        p *= 2;
    return p;
}

std::vector<MipLevel> buildMipChain(const uint8_t* rgba, int width, int height, int width0, int height0)
{
    std::vector<MipLevel> levels;
    levels.push_back(stretch(rgba, width, height, width0, height0));
    while (levels.back().width > 1 || levels.back().height > 1)
        levels.push_back(halve(levels.back()));
    return levels;
}
