// texture_image.h: an RGB image in memory, tileable value noise, and JPEG output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kTextureSide = 256;

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

struct TextureImage {
    int width = kTextureSide;
    int height = kTextureSide;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(std::size_t(kTextureSide) * kTextureSide * 3, 0);

    void set(int x, int y, Rgb c);
    Rgb get(int x, int y) const;
};

Rgb mix(Rgb a, Rgb b, float t);
Rgb scaled(Rgb c, float k);
float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);

// A well-mixed 32-bit hash of a lattice point; the same input always gives the same value.
uint32_t hash2(int x, int y, uint32_t seed);
// hash2 mapped to [0, 1).
float hashUnit(int x, int y, uint32_t seed);

// Smooth value noise in [0, 1) on a lattice that repeats every periodX by
// periodY cells, so a texture built from it tiles seamlessly.
float valueNoise(float x, float y, int periodX, int periodY, uint32_t seed);
// Sum of `octaves` noise layers, each twice as fine and half as strong. x and y
// are in texels; cellX by cellY is the coarsest cell in texels (powers of two up
// to kTextureSide, so every layer repeats across the texture). Unequal cells
// stretch the noise into streaks.
float fbm(float x, float y, int cellX, int cellY, int octaves, uint32_t seed);

bool saveJpeg(const TextureImage& image, const char* path);
