// cull.cpp: bounding boxes of pooled buffers and the test of a
// box against the view volume in clip space.
#include "d3d9/gl/cull.h"

#include <cmath>
#include <cstring>

#include "d3d9/device.h"

namespace {

// Beyond a plane by more than this share of the coordinates' size: the
// shader's float rounding is some thousand times smaller.
constexpr double kMargin = 1e-3;
constexpr int kCorners = 8;
constexpr int kPlanes = 6;

// Signed distances inside each clip plane: -w <= x, y <= w and 0 <= z <= w
// (Direct3D's depth range; remapped or not, the same volume).
void planeDistances(const double c[4], double out[kPlanes])
{
    out[0] = c[3] + c[0];
    out[1] = c[3] - c[0];
    out[2] = c[3] + c[1];
    out[3] = c[3] - c[1];
    out[4] = c[2];
    out[5] = c[3] - c[2];
}

} // namespace

void glClipTransformOf(const GlBatchState& s, const float pixelOffset[3], GlClipTransform& out)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += double(s.worldView[r * 4 + k]) * double(s.projection[k * 4 + c]);
            out.m[r][c] = sum;
        }
    // clip.xy += offset.xy * clip.w, as the vertex shader does.
    for (int r = 0; r < 4; ++r) {
        out.m[r][0] += double(pixelOffset[0]) * out.m[r][3];
        out.m[r][1] += double(pixelOffset[1]) * out.m[r][3];
    }
}

bool glBoundsOf(const uint8_t* vertices, uint32_t count, GlBounds& out)
{
    if (count == 0)
        return false;
    float p[3];
    memcpy(p, vertices, sizeof p);
    for (int k = 0; k < 3; ++k)
        out.lo[k] = out.hi[k] = p[k];
    for (uint32_t i = 1; i < count; ++i) {
        memcpy(p, vertices + size_t(i) * kSupportedFvfSize, sizeof p);
        for (int k = 0; k < 3; ++k) {
            out.lo[k] = p[k] < out.lo[k] ? p[k] : out.lo[k];
            out.hi[k] = p[k] > out.hi[k] ? p[k] : out.hi[k];
        }
    }
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(out.lo[k]) || !std::isfinite(out.hi[k]))
            return false;
    return true;
}

bool glOutsideView(const GlClipTransform& clip, const GlBounds& b)
{
    bool outside[kPlanes] = {true, true, true, true, true, true};
    for (int corner = 0; corner < kCorners; ++corner) {
        const double p[3] = {(corner & 1) ? b.hi[0] : b.lo[0], (corner & 2) ? b.hi[1] : b.lo[1],
                             (corner & 4) ? b.hi[2] : b.lo[2]};
        double c[4];
        for (int j = 0; j < 4; ++j)
            c[j] = p[0] * clip.m[0][j] + p[1] * clip.m[1][j] + p[2] * clip.m[2][j] + clip.m[3][j];
        const double size = std::fabs(c[0]) + std::fabs(c[1]) + std::fabs(c[2]) + std::fabs(c[3]);
        double distance[kPlanes];
        planeDistances(c, distance);
        bool any = false;
        for (int k = 0; k < kPlanes; ++k) {
            outside[k] = outside[k] && distance[k] < -kMargin * size;
            any = any || outside[k];
        }
        if (!any)
            return false;
    }
    return true;
}
