// crate.cpp: the wooden crate face.
#include <algorithm>
#include <cmath>

#include "painters.h"

namespace {

constexpr uint32_t kSeed = 0xC7A7Eu;
constexpr int kFrame = 30;         // width of the frame boards
constexpr int kPlanks = 4;         // horizontal planks inside the frame
constexpr float kBraceWidth = 36.0f;
constexpr float kEdgeSoftness = 3.5f;  // texels over which a board's edge darkens
constexpr float kNailRadius = 3.2f;

const Rgb kLightWood{0.76f, 0.56f, 0.33f};
const Rgb kDarkWood{0.47f, 0.31f, 0.16f};
const Rgb kNail{0.22f, 0.21f, 0.20f};

// Where a texel lies on a board: along and across its grain, how far from the
// board's nearest edge, and which board (for its own grain and tint).
struct BoardSample {
    float along = 0.0f;
    float across = 0.0f;
    float edge = 0.0f;
    uint32_t board = 0;
    float shadow = 0.0f;  // 0 = lit, 1 = fully in the shadow of a board above
};

float minOf(float a, float b) { return std::min(a, b); }

bool onFrame(int x, int y, BoardSample& s)
{
    const int far = kTextureSide - kFrame;
    if (y < kFrame || y >= far) {
        const int top = y < kFrame ? y : y - far;
        s = BoardSample{float(x), float(top), minOf(minOf(float(top), float(kFrame - 1 - top)),
                                                    minOf(float(x), float(kTextureSide - 1 - x))),
                        y < kFrame ? 1u : 2u, 0.0f};
        return true;
    }
    if (x < kFrame || x >= far) {
        const int left = x < kFrame ? x : x - far;
        s = BoardSample{float(y), float(left), minOf(minOf(float(left), float(kFrame - 1 - left)),
                                                     minOf(float(y - kFrame), float(far - 1 - y))),
                        x < kFrame ? 3u : 4u, 0.0f};
        return true;
    }
    return false;
}

// Signed distance across the brace and distance along it from its lower left end.
void braceCoordinates(int x, int y, float& along, float& across)
{
    const float ax = float(kFrame);
    const float ay = float(kTextureSide - kFrame);
    const float length = std::sqrt(2.0f) * float(kTextureSide - 2 * kFrame);
    const float dx = float(kTextureSide - 2 * kFrame) / length;
    const float dy = -dx;
    const float px = float(x) + 0.5f - ax;
    const float py = float(y) + 0.5f - ay;
    along = px * dx + py * dy;
    across = px * dy - py * dx;
}

BoardSample sampleInside(int x, int y)
{
    float along = 0.0f;
    float across = 0.0f;
    braceCoordinates(x, y, along, across);
    const float half = kBraceWidth * 0.5f;
    // The frame overhangs the inner boards; its shadow falls a few texels in.
    const float fromFrame = minOf(minOf(float(x - kFrame), float(kTextureSide - kFrame - 1 - x)),
                                  minOf(float(y - kFrame), float(kTextureSide - kFrame - 1 - y)));
    const float frameShadow = 1.0f - smoothstep(0.0f, 5.0f, fromFrame);
    if (std::fabs(across) < half)
        return BoardSample{along, across + half, half - std::fabs(across), 5u, frameShadow};

    const float plankHeight = float(kTextureSide - 2 * kFrame) / float(kPlanks);
    const float inner = float(y - kFrame);
    const int plank = int(inner / plankHeight);
    const float local = inner - float(plank) * plankHeight;
    // The brace stands proud of the planks and shades them along its lower side.
    const float braceShadow = across > 0.0f ? 1.0f - smoothstep(half, half + 6.0f, across) : 0.0f;
    return BoardSample{float(x), local, minOf(local, plankHeight - 1.0f - local), 10u + uint32_t(plank),
                       minOf(1.0f, frameShadow + braceShadow)};
}

Rgb woodColour(const BoardSample& s)
{
    const uint32_t seed = kSeed + s.board * 977u;
    // Growth rings: bands across the grain, bent by slow noise along it.
    const float warp = fbm(s.along, s.across, 64, 16, 3, seed);
    const float rings = 0.5f + 0.5f * std::sin(s.across * 0.55f + warp * 14.0f);
    const float fibres = fbm(s.along, s.across, 32, 2, 3, seed + 7u);
    const float t = 0.55f * rings * rings + 0.45f * fibres;
    Rgb c = mix(kLightWood, kDarkWood, clamp01(t * 0.9f));
    // Each board was cut from a slightly different plank.
    const float tint = 0.88f + 0.22f * hashUnit(int(s.board), 0, seed);
    const float edge = 0.45f + 0.55f * smoothstep(0.0f, kEdgeSoftness, s.edge);
    const float shadow = 1.0f - 0.35f * s.shadow;
    return scaled(c, tint * edge * shadow);
}

// Nail heads at the frame corners and at both ends of the brace.
float nailCoverage(int x, int y)
{
    const float c0 = float(kFrame) * 0.5f;
    const float c1 = float(kTextureSide) - c0;
    const float b0 = float(kFrame) + kBraceWidth * 0.45f;
    const float b1 = float(kTextureSide) - b0;
    const float nails[][2] = {{c0, c0}, {c1, c0}, {c0, c1}, {c1, c1}, {b0, b1}, {b1, b0}};
    float coverage = 0.0f;
    for (const auto& n : nails) {
        const float d = std::hypot(float(x) + 0.5f - n[0], float(y) + 0.5f - n[1]);
        coverage = std::max(coverage, 1.0f - smoothstep(kNailRadius - 1.0f, kNailRadius, d));
    }
    return coverage;
}

} // namespace

void paintCrate(TextureImage& image)
{
    for (int y = 0; y < kTextureSide; ++y) {
        for (int x = 0; x < kTextureSide; ++x) {
            BoardSample s;
            if (!onFrame(x, y, s))
                s = sampleInside(x, y);
            Rgb c = woodColour(s);
            // Grime gathers unevenly over the whole face.
            c = scaled(c, 0.88f + 0.2f * fbm(float(x), float(y), 64, 64, 3, kSeed + 5u));
            c = mix(c, kNail, nailCoverage(x, y));
            image.set(x, y, c);
        }
    }
}
