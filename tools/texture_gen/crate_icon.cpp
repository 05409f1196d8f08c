// crate_icon.cpp: draws the crate icon by orthographic projection of a cube.
#include "crate_icon.h"

#include <algorithm>
#include <cmath>

namespace {

// Turned so the front face shows more than the right one, tilted to show the top.
constexpr float kYaw = 0.56f;
constexpr float kPitch = 0.50f;
constexpr float kMargin = 1.0f / 24.0f;  // empty border, as a share of the side
constexpr int kSamplesPerAxis = 8;       // supersampling for smooth edges and texture

struct V3 {
    float x, y, z;
};

struct V2 {
    float x, y;
};

// Screen position of a point of the cube [-1, 1]^3: x to the right, y down.
V2 project(V3 p)
{
    const float x1 = p.x * std::cos(kYaw) + p.z * std::sin(kYaw);
    const float z1 = -p.x * std::sin(kYaw) + p.z * std::cos(kYaw);
    const float y2 = p.y * std::cos(kPitch) + z1 * std::sin(kPitch);
    return V2{x1, -y2};
}

// A face: its centre, and the directions of the texture's right and down
// as seen from outside, so the crate stands upright on the sides.
struct Face {
    V3 centre, right, down;
    float light;
};

// The faces this view shows; the other three are hidden behind them, and the
// three never overlap in an orthographic projection of a convex box.
const Face kFaces[] = {
    {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}, 1.0f},  // top
    {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}, 0.78f}, // front
    {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}, 0.56f},  // right
};

// A face on screen: where its centre lands and the inverse of the 2x2
// matrix taking (u, v) in [-1, 1]^2 to screen offsets.
struct ScreenFace {
    V2 centre;
    float inverse[4];
    const Face* face;
};

ScreenFace onScreen(const Face& f)
{
    const V2 c = project(f.centre);
    const V2 r = project(f.right);
    const V2 d = project(f.down);
    const float det = r.x * d.y - d.x * r.y;
    return ScreenFace{c, {d.y / det, -d.x / det, -r.y / det, r.x / det}, &f};
}

Rgb sampleBilinear(const TextureImage& t, float u, float v)
{
    const float x = std::clamp(u * float(t.width) - 0.5f, 0.0f, float(t.width - 1));
    const float y = std::clamp(v * float(t.height) - 0.5f, 0.0f, float(t.height - 1));
    const int x0 = int(x);
    const int y0 = int(y);
    const int x1 = std::min(x0 + 1, t.width - 1);
    const int y1 = std::min(y0 + 1, t.height - 1);
    const float fx = x - float(x0);
    const float fy = y - float(y0);
    return mix(mix(t.get(x0, y0), t.get(x1, y0), fx), mix(t.get(x0, y1), t.get(x1, y1), fx), fy);
}

bool shade(const TextureImage& crate, const ScreenFace& f, V2 p, Rgb& out)
{
    const float dx = p.x - f.centre.x;
    const float dy = p.y - f.centre.y;
    const float u = f.inverse[0] * dx + f.inverse[1] * dy;
    const float v = f.inverse[2] * dx + f.inverse[3] * dy;
    if (u < -1.0f || u > 1.0f || v < -1.0f || v > 1.0f)
        return false;
    out = scaled(sampleBilinear(crate, (u + 1.0f) * 0.5f, (v + 1.0f) * 0.5f), f.face->light);
    return true;
}

uint8_t toByte(float v) { return uint8_t(std::lround(clamp01(v) * 255.0f)); }

} // namespace

IconImage paintCrateIcon(const TextureImage& crate, int side)
{
    ScreenFace faces[3] = {onScreen(kFaces[0]), onScreen(kFaces[1]), onScreen(kFaces[2])};
    // Fit the silhouette's bounding box, centred, inside the margin.
    V2 lo{1e9f, 1e9f};
    V2 hi{-1e9f, -1e9f};
    for (int corner = 0; corner < 8; ++corner) {
        const V2 p = project(V3{corner & 1 ? 1.0f : -1.0f, corner & 2 ? 1.0f : -1.0f, corner & 4 ? 1.0f : -1.0f});
        lo = V2{std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = V2{std::max(hi.x, p.x), std::max(hi.y, p.y)};
    }
    const float scale = float(side) * (1.0f - 2.0f * kMargin) / std::max(hi.x - lo.x, hi.y - lo.y);
    const V2 mid{(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f};

    IconImage icon;
    icon.side = side;
    icon.rgba.assign(size_t(side) * size_t(side) * 4, 0);
    const float step = 1.0f / float(kSamplesPerAxis);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            Rgb sum;
            int covered = 0;
            for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
                for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
                    const V2 p{(float(x) + (float(sx) + 0.5f) * step - float(side) * 0.5f) / scale + mid.x,
                               (float(y) + (float(sy) + 0.5f) * step - float(side) * 0.5f) / scale + mid.y};
                    Rgb c;
                    for (const ScreenFace& f : faces) {
                        if (shade(crate, f, p, c)) {
                            sum = Rgb{sum.r + c.r, sum.g + c.g, sum.b + c.b};
                            ++covered;
                            break;
                        }
                    }
                }
            }
            if (covered == 0)
                continue;
            uint8_t* out = &icon.rgba[(size_t(y) * size_t(side) + size_t(x)) * 4];
            const Rgb c = scaled(sum, 1.0f / float(covered));
            out[0] = toByte(c.r);
            out[1] = toByte(c.g);
            out[2] = toByte(c.b);
            out[3] = toByte(float(covered) / float(kSamplesPerAxis * kSamplesPerAxis));
        }
    }
    return icon;
}
