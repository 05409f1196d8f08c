// cell_grid.h: a box's reach in grid cells, and the grid of buckets that
// lists boxes by the cells their reaches cover.
//
// A box's reach is where its corner test looks: the box advanced by its
// velocity for the step, widened by a margin that covers the rounding of the
// corner test. Two boxes can only be predicted to meet when their reaches
// share a point, hence a cell: a coordinate's cell never decreases as the
// coordinate grows, and rounding never makes it decrease either.
#pragma once

#include <stdint.h>

#include <vector>

#include "physics/contact.h"

constexpr float kCellSize = 2.0f; // a crate's size, around the arena
// Beyond this distance from the origin cells widen with it, to a fixed
// number of the coordinate's own rounding steps (ulps): the reach margin
// grows with distance too, so a crate that has fallen for an hour covers as
// few cells as one in the arena, and every finite coordinate has a cell.
// Here a cell of 2 units is exactly that many ulps wide.
constexpr float kFarCellsFrom = 131072.0f; // 2^17
constexpr int kFarCellUlpBits = 7;         // 128 ulps a cell
constexpr int64_t kMaxCellsPerBox = 4096;  // a wall covers about 900
constexpr float kReachMargin = 1.0e-6f;    // relative; rounding is below 6e-8
constexpr float kReachMarginFloor = 1.0e-30f; // for boxes at the smallest scales

// Cells lo to hi on each axis, both included.
struct CellRange {
    int32_t lo[3];
    int32_t hi[3];
};
// No cells at all: contains nothing, overlaps nothing.
constexpr CellRange kNoCells = {{1, 1, 1}, {0, 0, 0}};

// Bit a of `axes` stands for axis a.
constexpr int kAllAxes = 7;

// The cell of a finite coordinate on any axis.
int32_t cellOf(float x);
// A box's reach in cells for a step of dt, worked out on the given axes only
// (the others are left as they are). False when the box is loose: a size
// that is not positive, a reach that is not finite, or more than
// kMaxCellsPerBox cells.
bool reachOf(const Body& body, float dt, CellRange& out, int axes = kAllAxes);

int64_t cellCount(const CellRange& r);
bool contains(const CellRange& outer, const CellRange& inner);
bool overlaps(const CellRange& p, const CellRange& q);
bool sameRange(const CellRange& p, const CellRange& q);

// The grid: each cell maps to a bucket, and bucket b lists the boxes
// entries[bucketStart[b]] up to entries[bucketStart[b + 1]], ascending.
//
// Buckets are the cells of a grid that wraps around every kWrapCells cells
// on x and z, and every yCells on y: neighbouring cells are neighbouring
// buckets, which keeps one visit's reads close together, and a run of cells
// along x is a run of buckets. A row of buckets (one y and z) also mixes in
// the cell's far-off bits of y and z, so that crates far below the arena,
// falling in a column, do not all wrap onto the same few rows; around the
// arena those bits are all zero or all one. Cells that share a bucket only
// add candidates.
struct CellGrid {
    static constexpr uint32_t kWrapBits = 5;
    static constexpr uint32_t kWrapCells = 1u << kWrapBits; // 64 units: the arena and its walls
    static constexpr uint32_t kWrapMask = kWrapCells - 1;

    std::vector<uint32_t> bucketStart;
    std::vector<uint32_t> bucketFill;
    std::vector<uint32_t> entries;
    uint32_t yCells = 0; // the grid wraps around after this many cells up
    uint32_t yBits = 0;  // log2 of yCells

    bool built() const { return !bucketStart.empty(); }
    uint32_t bucketCount() const { return built() ? uint32_t(bucketStart.size() - 1) : 0; }

    // Lists box k in the buckets of cells[k], for k below count (kNoCells
    // lists nothing), with room for about two buckets a cell.
    void build(const CellRange* cells, uint32_t count);

    // Calls f(first, end) for runs of buckets [first, end) that together
    // cover the cells of r, some maybe twice.
    template <typename F>
    void forEachBucketRun(const CellRange& r, F f) const;
    // Calls f(k) for each entry listed in the buckets of r's cells: a box
    // may come more than once, and boxes from other cells that share a bucket.
    template <typename F>
    void forEachListed(const CellRange& r, F f) const;

private:
    uint32_t rowStart(uint32_t y, uint32_t z) const;
};

inline uint32_t CellGrid::rowStart(uint32_t y, uint32_t z) const
{
    constexpr uint32_t kFarMixY = 0x9E3779B1u; // odd multipliers that spread the far-off bits
    constexpr uint32_t kFarMixZ = 0x85EBCA77u;
    const uint32_t rowMask = (yCells << kWrapBits) - 1;
    // Not "near" and "far": <windows.h> defines both away.
    const uint32_t lowBits = ((y & (yCells - 1)) << kWrapBits) | (z & kWrapMask);
    const uint32_t farOffBits = (y >> yBits) * kFarMixY ^ (z >> kWrapBits) * kFarMixZ;
    return ((lowBits ^ (farOffBits >> kWrapBits)) & rowMask) << kWrapBits;
}

template <typename F>
void CellGrid::forEachBucketRun(const CellRange& r, F f) const
{
    const int64_t ySpan = int64_t(r.hi[1]) - r.lo[1] + 1;
    const int64_t zSpan = int64_t(r.hi[2]) - r.lo[2] + 1;
    const int64_t xSpan = int64_t(r.hi[0]) - r.lo[0] + 1;
    const uint32_t x0 = uint32_t(r.lo[0]) & kWrapMask;
    const uint32_t x1 = uint32_t(r.hi[0]) & kWrapMask;
    for (int64_t dy = 0; dy < ySpan; ++dy) {
        const uint32_t y = uint32_t(r.lo[1]) + uint32_t(dy);
        for (int64_t dz = 0; dz < zSpan; ++dz) {
            const uint32_t row = rowStart(y, uint32_t(r.lo[2]) + uint32_t(dz));
            if (xSpan >= int64_t(kWrapCells)) {
                f(row, row + kWrapCells);
            } else if (x0 <= x1) {
                f(row + x0, row + x1 + 1);
            } else {
                f(row + x0, row + kWrapCells);
                f(row, row + x1 + 1);
            }
        }
    }
}

template <typename F>
void CellGrid::forEachListed(const CellRange& r, F f) const
{
    const uint32_t* listedBoxes = entries.data();
    const uint32_t* starts = bucketStart.data();
    forEachBucketRun(r, [&](uint32_t firstBucket, uint32_t endBucket) {
        for (uint32_t e = starts[firstBucket]; e < starts[endBucket]; ++e)
            f(listedBoxes[e]);
    });
}

// Grows a vector's room ahead of need, so a step rarely allocates.
template <typename T>
void ensureSize(std::vector<T>& v, size_t n)
{
    if (v.capacity() < n)
        v.reserve(2 * n);
    v.resize(n);
}
