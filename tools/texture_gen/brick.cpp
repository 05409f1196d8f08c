// brick.cpp: a running-bond brick wall.
#include <algorithm>
#include <cmath>

#include "painters.h"

namespace {

constexpr uint32_t kSeed = 0xB51Cu;
constexpr int kBrickLength = 64;   // course length of one brick plus its joint; divides the side
constexpr int kBrickHeight = 32;   // course height plus joint; divides the side into an even count
constexpr float kJoint = 2.0f;     // half the mortar joint's width, in texels
constexpr float kPitChance = 0.012f;

const Rgb kBrickRed{0.66f, 0.31f, 0.21f};
const Rgb kBrickDark{0.50f, 0.23f, 0.17f};
const Rgb kBrickOrange{0.74f, 0.43f, 0.25f};
const Rgb kMortar{0.64f, 0.62f, 0.56f};

} // namespace

void paintBrick(TextureImage& image)
{
    for (int y = 0; y < kTextureSide; ++y) {
        for (int x = 0; x < kTextureSide; ++x) {
            const int course = y / kBrickHeight;
            // Every other course is shifted by half a brick.
            const int shifted = (x + (course % 2) * kBrickLength / 2) % kTextureSide;
            const int brick = shifted / kBrickLength;
            const float lx = float(shifted % kBrickLength) + 0.5f;
            const float ly = float(y % kBrickHeight) + 0.5f;
            const float fx = float(x);
            const float fy = float(y);

            // Distance into the brick from its nearest joint, roughened so edges are not ruled lines.
            const float rough = fbm(fx, fy, 8, 8, 2, kSeed + 1u) - 0.5f;
            const float inside = std::min(std::min(lx, float(kBrickLength) - lx),
                                          std::min(ly, float(kBrickHeight) - ly)) + 2.2f * rough;

            const float pick = hashUnit(brick, course, kSeed + 2u);
            Rgb body = pick < 0.5f ? mix(kBrickDark, kBrickRed, pick * 2.0f)
                                   : mix(kBrickRed, kBrickOrange, (pick - 0.5f) * 2.0f);
            body = scaled(body, 0.82f + 0.3f * fbm(fx, fy, 16, 8, 4, kSeed + 3u + uint32_t(brick)));
            if (hashUnit(x, y, kSeed + 4u) < kPitChance)
                body = scaled(body, 0.7f);
            // Rounded arrises: lit along the top, darker along the bottom and sides.
            const float arris = smoothstep(kJoint, kJoint + 4.0f, inside);
            const float topLight = ly < float(kBrickHeight) * 0.5f ? 1.0f + 0.12f * (1.0f - arris) : 1.0f;
            body = scaled(body, (0.78f + 0.22f * arris) * topLight);

            Rgb mortar = scaled(kMortar, 0.78f + 0.3f * fbm(fx, fy, 4, 4, 2, kSeed + 5u));
            // The joint under a brick sits in its shadow.
            if (ly > float(kBrickHeight) * 0.5f)
                mortar = scaled(mortar, 0.85f);

            Rgb c = mix(mortar, body, smoothstep(kJoint - 0.5f, kJoint + 0.5f, inside));
            c = scaled(c, 0.94f + 0.12f * hashUnit(x, y, kSeed + 6u));
            image.set(x, y, c);
        }
    }
}
