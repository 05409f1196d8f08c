// cell_grid.cpp: reaches in cells, and building the grid of buckets.
#include "physics/cell_grid.h"

#include <cfloat>
#include <cmath>

#include "math/float_bits.h"

namespace {

constexpr float kInverseCellSize = 1.0f / kCellSize;
constexpr int32_t kNearCells = int32_t(kFarCellsFrom / kCellSize); // on either side of 0
constexpr uint32_t kMinBuckets = CellGrid::kWrapCells * CellGrid::kWrapCells * 32; // 64 units high

// floor for |x| well inside the int32 range, without a library call.
int32_t floorToInt(float x)
{
    const int32_t truncated = int32_t(x);
    return float(truncated) > x ? truncated - 1 : truncated;
}

// A corner c of one box passes the other box's test on an axis only within
// a few roundings of that box's advanced extent [p, p + s]: less than
// 2^-24 (|p| + 3 s) outside it. The margin is many times that, and also
// covers p itself being rounded differently. False when the axis cannot be
// put in cells: a size that is not positive, or a reach that is not finite.
bool axisCells(float position, float size, float velocity, float dt, int32_t& lo, int32_t& hi)
{
    if (!(size > 0.0f))
        return false;
    const float moved = velocity * dt;
    const float start = position + moved; // as advancedPosition moves it
    const float end = start + size;
    const float margin =
        kReachMargin * (std::fabs(position) + std::fabs(moved) + std::fabs(start) + 3.0f * size) + kReachMarginFloor;
    const float wideLo = start - margin;
    const float wideHi = end + margin;
    // Also false for NaN.
    if (!(wideLo >= -FLT_MAX && wideHi <= FLT_MAX))
        return false;
    lo = cellOf(wideLo);
    hi = cellOf(wideHi);
    return true;
}

} // namespace

// Never decreasing in x, so two reaches that share a point share a cell.
// Near the origin cells are kCellSize wide; beyond kFarCellsFrom, a positive
// float's bits grow with its value one ulp at a time, so a cell there is a
// run of 2^kFarCellUlpBits ulps. The far cells of FLT_MAX stay near 2^23:
// well inside int32.
int32_t cellOf(float x)
{
    const float distance = std::fabs(x);
    if (distance < kFarCellsFrom)
        return floorToInt(x * kInverseCellSize);
    const int32_t farCell = int32_t((bitsOf(distance) - bitsOf(kFarCellsFrom)) >> kFarCellUlpBits);
    return x > 0.0f ? kNearCells + farCell : -kNearCells - 1 - farCell;
}

bool reachOf(const Body& body, float dt, CellRange& out, int axes)
{
    const Vec3& p = body.position;
    const Vec3& s = body.size;
    const Vec3& v = body.velocity;
    return (!(axes & 1) || axisCells(p.x, s.x, v.x, dt, out.lo[0], out.hi[0])) &&
           (!(axes & 2) || axisCells(p.y, s.y, v.y, dt, out.lo[1], out.hi[1])) &&
           (!(axes & 4) || axisCells(p.z, s.z, v.z, dt, out.lo[2], out.hi[2])) && cellCount(out) <= kMaxCellsPerBox;
}

int64_t cellCount(const CellRange& r)
{
    int64_t n = 1;
    for (int a = 0; a < 3; ++a)
        n *= int64_t(r.hi[a]) - int64_t(r.lo[a]) + 1;
    return n;
}

bool contains(const CellRange& outer, const CellRange& inner)
{
    for (int a = 0; a < 3; ++a)
        if (inner.lo[a] < outer.lo[a] || inner.hi[a] > outer.hi[a])
            return false;
    return true;
}

bool overlaps(const CellRange& p, const CellRange& q)
{
    for (int a = 0; a < 3; ++a)
        if (p.hi[a] < q.lo[a] || q.hi[a] < p.lo[a])
            return false;
    return true;
}

bool sameRange(const CellRange& p, const CellRange& q)
{
    for (int a = 0; a < 3; ++a)
        if (p.lo[a] != q.lo[a] || p.hi[a] != q.hi[a])
            return false;
    return true;
}

// Counts each bucket's entries, turns the counts into starts, then fills
// the buckets in box order, so each lists its boxes ascending.
void CellGrid::build(const CellRange* cells, uint32_t count)
{
    size_t total = 0;
    for (uint32_t k = 0; k < count; ++k)
        total += size_t(cellCount(cells[k]));
    uint32_t buckets = kMinBuckets;
    while (buckets < 2 * total)
        buckets *= 2;
    ensureSize(bucketStart, size_t(buckets) + 1);
    ensureSize(bucketFill, buckets);
    ensureSize(entries, total);
    for (uint32_t& n : bucketStart)
        n = 0;
    yCells = buckets >> (2 * kWrapBits);
    yBits = 0;
    while ((1u << yBits) < yCells)
        ++yBits;
    for (uint32_t k = 0; k < count; ++k)
        forEachBucketRun(cells[k], [&](uint32_t first, uint32_t end) {
            for (uint32_t b = first; b < end; ++b)
                ++bucketStart[b + 1];
        });
    for (uint32_t b = 0; b < buckets; ++b) {
        bucketStart[b + 1] += bucketStart[b];
        bucketFill[b] = bucketStart[b];
    }
    for (uint32_t k = 0; k < count; ++k)
        forEachBucketRun(cells[k], [&](uint32_t first, uint32_t end) {
            for (uint32_t b = first; b < end; ++b)
                entries[bucketFill[b]++] = k;
        });
}
