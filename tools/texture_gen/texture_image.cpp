// texture_image.cpp: pixel access, hashing, tileable value noise and JPEG output.
#include "texture_image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kJpegQuality = 92;

uint8_t toByte(float v) { return uint8_t(std::lround(clamp01(v) * 255.0f)); }

int wrap(int v, int period) { return ((v % period) + period) % period; }

float fade(float t) { return t * t * (3.0f - 2.0f * t); }

} // namespace

void TextureImage::set(int x, int y, Rgb c)
{
    uint8_t* p = &pixels[(size_t(y) * width + x) * 3];
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
}

Rgb TextureImage::get(int x, int y) const
{
    const uint8_t* p = &pixels[(size_t(y) * width + x) * 3];
    return Rgb{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
}

Rgb mix(Rgb a, Rgb b, float t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaled(Rgb c, float k) { return Rgb{c.r * k, c.g * k, c.b * k}; }

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

float smoothstep(float edge0, float edge1, float v)
{
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

uint32_t hash2(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u ^ uint32_t(x) * 0x85EBCA6Bu ^ uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float hashUnit(int x, int y, uint32_t seed) { return float(hash2(x, y, seed) >> 8) / float(1u << 24); }

float valueNoise(float x, float y, int periodX, int periodY, uint32_t seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = wrap(int(fx), periodX);
    const int y0 = wrap(int(fy), periodY);
    const int x1 = wrap(x0 + 1, periodX);
    const int y1 = wrap(y0 + 1, periodY);
    const float tx = fade(x - fx);
    const float ty = fade(y - fy);
    const float a = hashUnit(x0, y0, seed);
    const float b = hashUnit(x1, y0, seed);
    const float c = hashUnit(x0, y1, seed);
    const float d = hashUnit(x1, y1, seed);
    const float top = a + (b - a) * tx;
    const float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fbm(float x, float y, int cellX, int cellY, int octaves, uint32_t seed)
{
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int i = 0; i < octaves && cellX >= 1 && cellY >= 1; ++i) {
        sum += weight * valueNoise(x / float(cellX), y / float(cellY), kTextureSide / cellX,
                                   kTextureSide / cellY, seed + uint32_t(i) * 101u);
        total += weight;
        weight *= 0.5f;
        cellX /= 2;
        cellY /= 2;
    }
    return total > 0.0f ? sum / total : 0.0f;
}
bool saveJpeg(const TextureImage& image, const char* path)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint8_t*>(image.pixels.data()), image.width, image.height, 24, image.width * 3,
        SDL_PIXELFORMAT_RGB24);
    if (!surface) {
        std::fprintf(stderr, "texture_gen: cannot wrap the image: %s\n", SDL_GetError());
        return false;
    }
    const bool ok = IMG_SaveJPG(surface, path, kJpegQuality) == 0;
    if (!ok)
        std::fprintf(stderr, "texture_gen: cannot write %s: %s\n", path, IMG_GetError());
    SDL_FreeSurface(surface);
    return ok;
}
