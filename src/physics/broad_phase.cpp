// broad_phase.cpp: reaches in cells, the grid, and a visit's candidates.
#include "physics/broad_phase.h"

#include <cmath>

#include "physics/contact.h"

namespace {

constexpr uint8_t kLoose = 1;   // the reach is not in cells this moment
constexpr uint8_t kStrayed = 2; // in strays this step
constexpr uint8_t kInLoose = 4; // in loose this step
constexpr uint32_t kMinBuckets = 1024;
// The grid is rebuilt when more boxes than this have strayed from it.
constexpr uint32_t kStraysBeforeRebuild = 16;
constexpr uint32_t kStraysPerBoxBeforeRebuild = 32; // one stray per this many boxes on top
constexpr float kInverseCellSize = 1.0f / kCellSize;

float component(const Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

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

// Neighbouring cells must land in different buckets: the sum of the
// coordinates' multiples, then the mixing of MurmurHash3's finaliser.
uint32_t cellHash(int32_t x, int32_t y, int32_t z)
{
    uint32_t h = uint32_t(x) * 0x9E3779B1u + uint32_t(y) * 0x85EBCA77u + uint32_t(z) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    return h ^ (h >> 16);
}

// Calls f(bucket) for every cell of r.
template <typename F>
void forEachCell(const CellRange& r, F f)
{
    for (int32_t x = r.lo[0]; x <= r.hi[0]; ++x)
        for (int32_t y = r.lo[1]; y <= r.hi[1]; ++y)
            for (int32_t z = r.lo[2]; z <= r.hi[2]; ++z)
                f(cellHash(x, y, z));
}

// Grows a vector's room ahead of need, so a step rarely allocates.
template <typename T>
void ensureSize(std::vector<T>& v, size_t n)
{
    if (v.capacity() < n)
        v.reserve(2 * n);
    v.resize(n);
}

const CellRange kNoCells = {{1, 1, 1}, {0, 0, 0}};

// The index of the lowest set bit of a non-zero word (de Bruijn sequence).
int lowestBit(uint64_t bits)
{
    static const int kIndex[64] = {0,  1,  48, 2,  57, 49, 28, 3,  61, 58, 50, 42, 38, 29, 17, 4,
                                   62, 55, 59, 36, 53, 51, 43, 22, 45, 39, 33, 30, 24, 18, 12, 5,
                                   63, 47, 56, 27, 60, 41, 37, 16, 54, 35, 52, 21, 44, 32, 23, 11,
                                   46, 26, 40, 15, 34, 20, 31, 10, 25, 14, 19, 9,  13, 8,  7,  6};
    const uint64_t kDeBruijn = 0x03F79D71B4CB0A89ull;
    return kIndex[((bits & (~bits + 1)) * kDeBruijn) >> 58];
}

} // namespace

// A corner c of one box passes the other box's test on an axis only within
// a few roundings of that box's advanced extent [p, p + s]: less than
// 2^-24 (|p| + 3 s) outside it. The margin is many times that, and also
// covers p itself being rounded differently.
bool reachOf(const Box& box, float dt, CellRange& out)
{
    const Vec3 p = advancedPosition(box, dt);
    for (int a = 0; a < 3; ++a) {
        const float s = component(box.size, a);
        const float lo = component(p, a);
        const float hi = lo + s;
        if (!(s > 0.0f))
            return false;
        const float moved = component(box.velocity, a) * dt;
        const float margin = kReachMargin * (absValue(component(box.position, a)) + absValue(moved) + absValue(lo) +
                                             3.0f * s) +
                             kReachMarginFloor;
        const float wideLo = lo - margin;
        const float wideHi = hi + margin;
        // Also false for NaN and infinities.
        if (!(wideLo >= -kMaxGridCoordinate && wideHi <= kMaxGridCoordinate))
            return false;
        out.lo[a] = int32_t(std::floor(wideLo * kInverseCellSize));
        out.hi[a] = int32_t(std::floor(wideHi * kInverseCellSize));
    }
    return cellCount(out) <= kMaxCellsPerBox;
}

void BroadPhase::begin(const BoxList& list, float stepSeconds)
{
    dt = stepSeconds;
    count = list.count();
    ensureSize(reach, count);
    ensureSize(flags, count);
    ensureSize(candidates, (size_t(count) + 63) / 64);
    if (listed.size() < count)
        ensureSize(listed, count);
    if (strays.capacity() < count)
        strays.reserve(2 * size_t(count));
    if (loose.capacity() < count)
        loose.reserve(2 * size_t(count));
    strays.clear();
    loose.clear();
    for (uint32_t k = 0; k < count; ++k) {
        flags[k] = reachOf(list.at(k), dt, reach[k]) ? 0 : kLoose;
        noteStrayOrLoose(k);
    }
    if (bucketStart.empty() || strays.size() > kStraysBeforeRebuild + count / kStraysPerBoxBeforeRebuild)
        rebuild();
}

void BroadPhase::noteStrayOrLoose(uint32_t k)
{
    if (flags[k] & kLoose) {
        if (!(flags[k] & kInLoose)) {
            flags[k] |= kInLoose;
            loose.push_back(k);
        }
    } else if (!(flags[k] & kStrayed) && !(k < listedCount && contains(listed[k], reach[k]))) {
        flags[k] |= kStrayed;
        strays.push_back(k);
    }
}

void BroadPhase::rebuild()
{
    size_t total = 0;
    for (uint32_t k = 0; k < count; ++k)
        if (!(flags[k] & kLoose))
            total += size_t(cellCount(reach[k]));
    uint32_t buckets = kMinBuckets;
    while (buckets < 2 * total)
        buckets *= 2;
    bucketMask = buckets - 1;
    ensureSize(bucketStart, size_t(buckets) + 1);
    ensureSize(bucketFill, buckets);
    ensureSize(entries, total);
    for (uint32_t& n : bucketStart)
        n = 0;
    for (uint32_t k = 0; k < count; ++k)
        if (!(flags[k] & kLoose))
            forEachCell(reach[k], [&](uint32_t h) { ++bucketStart[(h & bucketMask) + 1]; });
    for (uint32_t b = 0; b < buckets; ++b) {
        bucketStart[b + 1] += bucketStart[b];
        bucketFill[b] = bucketStart[b];
    }
    for (uint32_t k = 0; k < count; ++k) {
        flags[k] &= uint8_t(~kStrayed);
        if (flags[k] & kLoose) {
            listed[k] = kNoCells;
            continue;
        }
        listed[k] = reach[k];
        forEachCell(reach[k], [&](uint32_t h) { entries[bucketFill[h & bucketMask]++] = k; });
    }
    listedCount = count;
    strays.clear();
}

bool BroadPhase::update(uint32_t k, const Box& box)
{
    const CellRange before = reach[k];
    const bool wasLoose = (flags[k] & kLoose) != 0;
    const bool isLoose = !reachOf(box, dt, reach[k]);
    if (isLoose)
        flags[k] |= kLoose;
    else
        flags[k] &= uint8_t(~kLoose);
    noteStrayOrLoose(k);
    return wasLoose != isLoose || (!isLoose && !sameRange(before, reach[k]));
}

void BroadPhase::mark(uint32_t k)
{
    const uint32_t word = k >> 6;
    candidates[word] |= uint64_t(1) << (k & 63);
    if (word < firstWord)
        firstWord = word;
    if (word > lastWord)
        lastWord = word;
}

void BroadPhase::gather(uint32_t i, uint32_t from)
{
    visitor = i;
    if (flags[i] & kLoose) {
        everyBox = true;
        return;
    }
    const CellRange& r = reach[i];
    forEachCell(r, [&](uint32_t h) {
        const uint32_t b = h & bucketMask;
        for (uint32_t n = bucketStart[b]; n < bucketStart[b + 1]; ++n) {
            const uint32_t e = entries[n];
            if (e >= from && e < count && e != i)
                mark(e);
        }
    });
    for (uint32_t e : strays)
        if (e >= from && e != i && !(flags[e] & kLoose) && overlaps(reach[e], r))
            mark(e);
    for (uint32_t e : loose)
        if (e >= from && e != i)
            mark(e);
}

int64_t BroadPhase::next(uint32_t from) const
{
    if (everyBox) {
        if (from == visitor)
            ++from;
        return from < count ? int64_t(from) : -1;
    }
    if (from >= count)
        return -1;
    uint32_t word = from >> 6;
    if (word < firstWord)
        word = firstWord;
    if (word > lastWord)
        return -1;
    uint64_t bits = candidates[word];
    if (word == from >> 6)
        bits &= ~uint64_t(0) << (from & 63);
    for (;;) {
        if (bits)
            return int64_t(word) * 64 + lowestBit(bits);
        if (++word > lastWord)
            return -1;
        bits = candidates[word];
    }
}

void BroadPhase::clearCandidates()
{
    for (uint32_t w = firstWord; w <= lastWord; ++w)
        candidates[w] = 0;
    firstWord = uint32_t(candidates.size());
    lastWord = 0;
    everyBox = false;
}
