// ground.cpp: grassy earth with bare patches and pebbles.
#include <algorithm>
#include <cmath>

#include "painters.h"

namespace {

constexpr uint32_t kSeed = 0x6A055u;
constexpr int kPebbleCell = 16;       // at most one pebble per cell; must divide the side
constexpr float kPebbleChance = 0.35f;

const Rgb kEarthDark{0.30f, 0.22f, 0.14f};
const Rgb kEarthLight{0.50f, 0.39f, 0.26f};
const Rgb kGrassDark{0.20f, 0.34f, 0.11f};
const Rgb kGrassLight{0.44f, 0.58f, 0.22f};
const Rgb kDryGrass{0.56f, 0.55f, 0.27f};
const Rgb kPebble{0.50f, 0.46f, 0.40f};

// Coverage (0..1) and shading of the pebble in this texel's cell, if any.
float pebble(int x, int y, float& shade)
{
    const int cx = x / kPebbleCell;
    const int cy = y / kPebbleCell;
    if (hashUnit(cx, cy, kSeed + 1u) > kPebbleChance)
        return 0.0f;
    const float radius = 2.0f + 2.0f * hashUnit(cx, cy, kSeed + 2u);
    // Keep the whole pebble inside its cell so the texture still tiles.
    const float room = float(kPebbleCell) - 2.0f * (radius + 1.0f);
    const float px = float(cx * kPebbleCell) + radius + 1.0f + room * hashUnit(cx, cy, kSeed + 3u);
    const float py = float(cy * kPebbleCell) + radius + 1.0f + room * hashUnit(cx, cy, kSeed + 4u);
    const float dx = float(x) + 0.5f - px;
    const float dy = float(y) + 0.5f - py;
    const float d = std::sqrt(dx * dx + dy * dy * 1.4f);
    // Lit from the upper left: brighter on that side of the dome.
    shade = 0.8f + 0.35f * clamp01(0.5f - (dx + dy) / (2.0f * radius));
    return 1.0f - smoothstep(radius - 0.8f, radius, d);
}

} // namespace

void paintGround(TextureImage& image)
{
    for (int y = 0; y < kTextureSide; ++y) {
        for (int x = 0; x < kTextureSide; ++x) {
            const float fx = float(x);
            const float fy = float(y);
            const float clods = fbm(fx, fy, 16, 16, 4, kSeed + 10u);
            Rgb earth = mix(kEarthDark, kEarthLight, smoothstep(0.25f, 0.75f, clods));

            // Blades: streaky noise, narrow across and long along the blade.
            const float blades = fbm(fx, fy, 4, 16, 2, kSeed + 20u);
            const float tufts = fbm(fx, fy, 16, 16, 3, kSeed + 30u);
            Rgb grass = mix(kGrassDark, kGrassLight, smoothstep(0.2f, 0.8f, 0.65f * blades + 0.35f * tufts));
            const float dryness = smoothstep(0.55f, 0.8f, fbm(fx, fy, 128, 128, 3, kSeed + 40u));
            grass = mix(grass, kDryGrass, dryness * 0.6f);

            // Bare patches where the slow noise is low; blade tips reach over their edges.
            const float cover = fbm(fx, fy, 32, 32, 4, kSeed + 50u);
            const float grassiness = smoothstep(0.36f, 0.52f, cover + 0.12f * (blades - 0.5f));
            Rgb c = mix(earth, grass, grassiness);

            float shade = 1.0f;
            const float stone = pebble(x, y, shade) * (1.0f - grassiness * 0.7f);
            c = mix(c, scaled(kPebble, shade), stone);

            // Per-texel grain so close-ups do not look smeared.
            c = scaled(c, 0.93f + 0.14f * hashUnit(x, y, kSeed + 60u));
            image.set(x, y, c);
        }
    }
}
