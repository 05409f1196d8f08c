// broad_phase.cpp: reaches in cells, the grid, a visit's candidates, and
// the physics step that uses them.
#include "physics/broad_phase.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "physics/contact.h"
#include "physics/physics_step.h"

namespace {

constexpr uint8_t kLoose = 1;   // the reach is not in cells this moment
constexpr uint8_t kStrayed = 2; // in strays this step
constexpr uint8_t kInLoose = 4; // in loose this step
// At its velocity, its reach will be in other cells within a few steps (a
// falling crate): the grid does not list it, it is always a stray.
constexpr uint8_t kMover = 8;
constexpr float kMoverLookAheadSteps = 8.0f;
// The grid is rebuilt when more boxes than this have strayed from it.
constexpr uint32_t kStraysBeforeRebuild = 16;
constexpr uint32_t kStraysPerBoxBeforeRebuild = 32; // one stray per this many boxes on top
// Up to this many strays a visitor simply scans the list; beyond, it reads
// the strays filed in its own cells.
constexpr size_t kStraysScanned = 32;
constexpr uint32_t kNoLink = ~0u;
constexpr size_t kStrayLinksReserved = 4096;
constexpr float kInverseCellSize = 1.0f / kCellSize;

// floor for |x| well inside the int32 range, without a library call.
int32_t floorToInt(float x)
{
    const int32_t truncated = int32_t(x);
    return float(truncated) > x ? truncated - 1 : truncated;
}

uint32_t bitsOf(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

constexpr int32_t kNearCells = int32_t(kFarCellsFrom / kCellSize); // on either side of 0

// The cell of a finite coordinate; never decreasing in x, so two reaches that
// share a point share a cell. Near the origin cells are kCellSize wide;
// beyond kFarCellsFrom, a positive float's bits grow with its value one ulp
// at a time, so a cell there is a run of 2^kFarCellUlpBits ulps. The far
// cells of FLT_MAX stay near 2^23: well inside int32.
int32_t cellOf(float x)
{
    const float distance = std::fabs(x);
    if (distance < kFarCellsFrom)
        return floorToInt(x * kInverseCellSize);
    const int32_t far = int32_t((bitsOf(distance) - bitsOf(kFarCellsFrom)) >> kFarCellUlpBits);
    return x > 0.0f ? kNearCells + far : -kNearCells - 1 - far;
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

// Buckets are the cells of a grid that wraps around every kWrapCells cells
// on x and z, and every yCells on y: neighbouring cells are neighbouring
// buckets, which keeps one visit's reads close together, and a run of cells
// along x is a run of buckets. A row of buckets (one y and z) also mixes in
// the cell's far-off bits of y and z, so that crates far below the arena,
// falling in a column, do not all wrap onto the same few rows; around the
// arena those bits are all zero or all one and the rows fall as before.
// Cells that share a bucket only add candidates.
constexpr uint32_t kWrapBits = 5;
constexpr uint32_t kWrapCells = 1u << kWrapBits; // 64 units: the arena and its walls
constexpr uint32_t kWrapMask = kWrapCells - 1;
constexpr uint32_t kMinBuckets = kWrapCells * kWrapCells * 32; // 64 units high
constexpr uint32_t kFarMixY = 0x9E3779B1u; // odd multipliers that spread the far-off bits
constexpr uint32_t kFarMixZ = 0x85EBCA77u;

uint32_t rowStart(uint32_t y, uint32_t z, uint32_t yCells, uint32_t yBits)
{
    const uint32_t rowMask = (yCells << kWrapBits) - 1;
    // Not "near" and "far": <windows.h> defines both away.
    const uint32_t lowBits = ((y & (yCells - 1)) << kWrapBits) | (z & kWrapMask);
    const uint32_t farOffBits = (y >> yBits) * kFarMixY ^ (z >> kWrapBits) * kFarMixZ;
    return ((lowBits ^ (farOffBits >> kWrapBits)) & rowMask) << kWrapBits;
}

// Calls f(first, end) for runs of buckets [first, end) that together cover
// the cells of r, some maybe twice. A reach that is not loose covers at most
// kMaxCellsPerBox cells.
template <typename F>
void forEachBucketRun(const CellRange& r, uint32_t yCells, uint32_t yBits, F f)
{
    const int64_t ySpan = int64_t(r.hi[1]) - r.lo[1] + 1;
    const int64_t zSpan = int64_t(r.hi[2]) - r.lo[2] + 1;
    const int64_t xSpan = int64_t(r.hi[0]) - r.lo[0] + 1;
    const uint32_t x0 = uint32_t(r.lo[0]) & kWrapMask;
    const uint32_t x1 = uint32_t(r.hi[0]) & kWrapMask;
    for (int64_t dy = 0; dy < ySpan; ++dy) {
        const uint32_t y = uint32_t(r.lo[1]) + uint32_t(dy);
        for (int64_t dz = 0; dz < zSpan; ++dz) {
            const uint32_t row = rowStart(y, uint32_t(r.lo[2]) + uint32_t(dz), yCells, yBits);
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

// Grows a vector's room ahead of need, so a step rarely allocates.
template <typename T>
void ensureSize(std::vector<T>& v, size_t n)
{
    if (v.capacity() < n)
        v.reserve(2 * n);
    v.resize(n);
}

const CellRange kNoCells = {{1, 1, 1}, {0, 0, 0}};
constexpr uint32_t kNoNeighbours = ~0u;
constexpr size_t kNeighboursReservedPerBox = 32; // a crate in a stack has 26
constexpr size_t kMaxExtraCandidates = 64;

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

// The axes of a reach that need working out again: bit a for axis a.
constexpr int kAllAxes = 7;

bool reachAxes(const Body& body, float dt, CellRange& out, int axes)
{
    const Vec3& p = body.position;
    const Vec3& s = body.size;
    const Vec3& v = body.velocity;
    return (!(axes & 1) || axisCells(p.x, s.x, v.x, dt, out.lo[0], out.hi[0])) &&
           (!(axes & 2) || axisCells(p.y, s.y, v.y, dt, out.lo[1], out.hi[1])) &&
           (!(axes & 4) || axisCells(p.z, s.z, v.z, dt, out.lo[2], out.hi[2])) && cellCount(out) <= kMaxCellsPerBox;
}

// The axes on which a box's position or velocity differs from its copy's,
// bit for bit. A step never changes sizes.
int changedAxes(const Body& c, const Box& b)
{
    const uint32_t x = (bitsOf(c.position.x) ^ bitsOf(b.position.x)) | (bitsOf(c.velocity.x) ^ bitsOf(b.velocity.x));
    const uint32_t y = (bitsOf(c.position.y) ^ bitsOf(b.position.y)) | (bitsOf(c.velocity.y) ^ bitsOf(b.velocity.y));
    const uint32_t z = (bitsOf(c.position.z) ^ bitsOf(b.position.z)) | (bitsOf(c.velocity.z) ^ bitsOf(b.velocity.z));
    return (x ? 1 : 0) | (y ? 2 : 0) | (z ? 4 : 0);
}

// A box's reach in cells for a step of dt; false when it is loose.
bool reachOf(const Body& body, float dt, CellRange& out) { return reachAxes(body, dt, out, kAllAxes); }

} // namespace

void BroadPhase::begin(const BoxList& list, float stepSeconds)
{
    dt = stepSeconds;
    count = list.count();
    ensureSize(bodies, count);
    ensureSize(stillness, count);
    ensureSize(reach, count);
    ensureSize(flags, count);
    ensureSize(candidates, (size_t(count) + 63) / 64);
    if (listed.size() < count)
        ensureSize(listed, count);
    if (strays.capacity() < count)
        strays.reserve(2 * size_t(count));
    if (loose.capacity() < count)
        loose.reserve(2 * size_t(count));
    clearStrays();
    loose.clear();
    for (uint32_t k = 0; k < count; ++k) {
        const Box& box = list.at(k);
        bodies[k] = Body{box.position, box.size, box.velocity};
        stillness[k] = stillnessOf(bodies[k]);
        flags[k] = reachOf(bodies[k], dt, reach[k]) ? 0 : kLoose;
        if (!(flags[k] & kLoose) && willLeaveItsCells(k))
            flags[k] |= kMover;
        noteStrayOrLoose(k, false);
    }
    // Movers stray every step whatever the grid: only the others call for a
    // new one.
    uint32_t settled = 0;
    for (uint32_t k : strays)
        if (!(flags[k] & kMover))
            ++settled;
    if (bucketStart.empty() || settled > kStraysBeforeRebuild + count / kStraysPerBoxBeforeRebuild) {
        rebuild();
        return;
    }
    // Filed only now that the grid they are filed in is known to stay.
    for (uint32_t k : strays)
        fileStray(k);
}

// Its reach a few steps on, were nothing to meet it.
bool BroadPhase::willLeaveItsCells(uint32_t k) const
{
    Body ahead = bodies[k];
    ahead.position = advancedPosition(ahead, dt * kMoverLookAheadSteps);
    CellRange next;
    return !reachOf(ahead, dt, next) || !sameRange(next, reach[k]);
}

bool BroadPhase::withinListedCells(uint32_t k) const { return k < listedCount && contains(listed[k], reach[k]); }

// During a step a stray is filed at once, and again whenever its reach
// moves; begin files the step's first strays itself, once it knows the grid
// stays.
void BroadPhase::noteStrayOrLoose(uint32_t k, bool file)
{
    if (flags[k] & kLoose) {
        if (!(flags[k] & kInLoose)) {
            flags[k] |= kInLoose;
            loose.push_back(k);
        }
        return;
    }
    if (withinListedCells(k))
        return;
    if (!(flags[k] & kStrayed)) {
        flags[k] |= kStrayed;
        strays.push_back(k);
    }
    if (file)
        fileStray(k);
}

// Its old filings stay behind; lookups check the current reach.
void BroadPhase::fileStray(uint32_t k)
{
    if (strayHead.size() + 1 != bucketStart.size())
        return; // no grid yet: a rebuild comes before any lookup
    forEachBucketRun(reach[k], yCells, yBits, [&](uint32_t first, uint32_t end) {
        for (uint32_t b = first; b < end; ++b) {
            if (strayHead[b] == kNoLink)
                strayBuckets.push_back(b);
            strayLinks.push_back(StrayLink{k, strayHead[b]});
            strayHead[b] = uint32_t(strayLinks.size() - 1);
        }
    });
}

void BroadPhase::clearStrays()
{
    for (uint32_t b : strayBuckets)
        strayHead[b] = kNoLink;
    strayBuckets.clear();
    strayLinks.clear();
    strays.clear();
}

// Gathers in nearStrays, maybe more than once for one k, each stray at or
// above `from` whose reach shares a cell with box i's.
void BroadPhase::findStraysNear(uint32_t i, uint32_t from)
{
    nearStrays.clear();
    auto consider = [&](uint32_t k) {
        if (k >= from && k != i && !(flags[k] & kLoose) && overlaps(reach[k], reach[i]))
            nearStrays.push_back(k);
    };
    if (strays.size() <= kStraysScanned) {
        for (uint32_t k : strays)
            consider(k);
        return;
    }
    forEachBucketRun(reach[i], yCells, yBits, [&](uint32_t first, uint32_t end) {
        for (uint32_t b = first; b < end; ++b)
            for (uint32_t link = strayHead[b]; link != kNoLink; link = strayLinks[link].next)
                consider(strayLinks[link].box);
    });
}

void BroadPhase::rebuild()
{
    size_t total = 0;
    for (uint32_t k = 0; k < count; ++k)
        if (!(flags[k] & (kLoose | kMover)))
            total += size_t(cellCount(reach[k]));
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
        if (!(flags[k] & (kLoose | kMover)))
            forEachBucketRun(reach[k], yCells, yBits, [&](uint32_t first, uint32_t end) {
                for (uint32_t b = first; b < end; ++b)
                    ++bucketStart[b + 1];
            });
    for (uint32_t b = 0; b < buckets; ++b) {
        bucketStart[b + 1] += bucketStart[b];
        bucketFill[b] = bucketStart[b];
    }
    for (uint32_t k = 0; k < count; ++k) {
        flags[k] &= uint8_t(~kStrayed);
        if (flags[k] & (kLoose | kMover)) {
            listed[k] = kNoCells;
            continue;
        }
        listed[k] = reach[k];
        forEachBucketRun(reach[k], yCells, yBits, [&](uint32_t first, uint32_t end) {
            for (uint32_t b = first; b < end; ++b)
                entries[bucketFill[b]++] = k;
        });
    }
    listedCount = count;
    strayHead.assign(buckets, kNoLink);
    strayBuckets.clear();
    strayLinks.clear();
    // Room for a busy step's strays, so that steps rarely allocate.
    const size_t strayRoom = std::max(kStrayLinksReserved, size_t(count));
    if (strayLinks.capacity() < strayRoom) {
        strayLinks.reserve(strayRoom);
        strayBuckets.reserve(strayRoom);
        nearStrays.reserve(strayRoom);
    }
    strays.clear();
    for (uint32_t k = 0; k < count; ++k)
        if (flags[k] & kMover)
            noteStrayOrLoose(k, true);
    ensureSize(neighbourFirst, count);
    ensureSize(neighbourCount, count);
    for (uint32_t& first : neighbourFirst)
        first = kNoNeighbours;
    neighbourPool.clear();
    if (neighbourPool.capacity() < kNeighboursReservedPerBox * size_t(count))
        neighbourPool.reserve(kNeighboursReservedPerBox * size_t(count));
    extra.reserve(kMaxExtraCandidates);
}

// Bit for bit, so a NaN or a sign of zero counts as a change.
bool BroadPhase::sync(uint32_t k, const Box& box)
{
    Body& body = bodies[k];
    const int axes = changedAxes(body, box);
    if (axes == 0)
        return false;
    body.position = box.position;
    body.velocity = box.velocity;
    stillness[k] = stillnessOf(body);
    return update(k, axes);
}

bool BroadPhase::update(uint32_t k, int axes)
{
    const CellRange before = reach[k];
    const bool wasLoose = (flags[k] & kLoose) != 0;
    // A loose box's cells were never all worked out.
    const bool isLoose = !reachAxes(bodies[k], dt, reach[k], wasLoose ? kAllAxes : axes);
    if (isLoose)
        flags[k] |= kLoose;
    else
        flags[k] &= uint8_t(~kLoose);
    const bool moved = wasLoose != isLoose || (!isLoose && !sameRange(before, reach[k]));
    if (moved)
        noteStrayOrLoose(k, true);
    return moved;
}

// ---- A visit's candidates ------------------------------------------------------

void BroadPhase::mark(uint32_t k)
{
    const uint32_t word = k >> 6;
    candidates[word] |= uint64_t(1) << (k & 63);
    firstWord = std::min(firstWord, word);
    lastWord = std::max(lastWord, word);
}

void BroadPhase::clearMarks()
{
    for (uint32_t w = firstWord; w <= lastWord; ++w)
        candidates[w] = 0;
    firstWord = uint32_t(candidates.size());
    lastWord = 0;
}

void BroadPhase::markGrid(uint32_t i, const CellRange& cells, uint32_t from)
{
    const uint32_t* listedBoxes = entries.data();
    const uint32_t* starts = bucketStart.data();
    forEachBucketRun(cells, yCells, yBits, [&](uint32_t firstBucket, uint32_t endBucket) {
        for (uint32_t e = starts[firstBucket]; e < starts[endBucket]; ++e) {
            const uint32_t k = listedBoxes[e];
            if (k >= from && k < count && k != i)
                mark(k);
        }
    });
}

void BroadPhase::markNeighbours(uint32_t i, uint32_t from)
{
    const uint32_t* k = neighbourPool.data() + neighbourFirst[i];
    for (const uint32_t* end = k + neighbourCount[i]; k != end; ++k)
        if (*k >= from && *k < count)
            mark(*k);
}

void BroadPhase::markStraysAndLoose(uint32_t i, uint32_t from)
{
    findStraysNear(i, from);
    for (uint32_t k : nearStrays)
        mark(k);
    for (uint32_t k : loose)
        if (k >= from && k != i)
            mark(k);
}

// The grid's boxes in i's listed cells, read once and kept in ascending order.
void BroadPhase::findNeighbours(uint32_t i)
{
    markGrid(i, listed[i], 0);
    neighbourFirst[i] = uint32_t(neighbourPool.size());
    for (int64_t k = next(0); k >= 0; k = next(uint32_t(k) + 1))
        neighbourPool.push_back(uint32_t(k));
    neighbourCount[i] = uint32_t(neighbourPool.size()) - neighbourFirst[i];
    clearMarks();
}

// Candidates from the neighbour list, with the strays and loose boxes that
// could meet box i merged in from a short sorted list. Too many of those
// and the bits serve better.
bool BroadPhase::useNeighbours(uint32_t i, uint32_t from)
{
    extra.clear();
    findStraysNear(i, from);
    if (nearStrays.size() > kMaxExtraCandidates)
        return false;
    extra.assign(nearStrays.begin(), nearStrays.end());
    for (uint32_t k : loose)
        if (k >= from && k != i) {
            if (extra.size() == kMaxExtraCandidates)
                return false;
            extra.push_back(k);
        }
    std::sort(extra.begin(), extra.end());
    extra.erase(std::unique(extra.begin(), extra.end()), extra.end());
    source = Source::Neighbours;
    listAt = neighbourPool.data() + neighbourFirst[i];
    listEnd = listAt + neighbourCount[i];
    extraCursor = 0;
    return true;
}

void BroadPhase::startVisit(uint32_t i)
{
    visitor = i;
    source = Source::Bits;
    if (flags[i] & kLoose) {
        source = Source::EveryBox;
        return;
    }
    if (!withinListedCells(i)) {
        markGrid(i, reach[i], 0);
        markStraysAndLoose(i, 0);
        return;
    }
    if (neighbourFirst[i] == kNoNeighbours)
        findNeighbours(i);
    if (useNeighbours(i, 0))
        return;
    markNeighbours(i, 0);
    markStraysAndLoose(i, 0);
}

void BroadPhase::lookAgainAbove(uint32_t j)
{
    clearMarks();
    source = Source::Bits;
    const uint32_t i = visitor;
    if (flags[i] & kLoose) {
        source = Source::EveryBox;
        return;
    }
    if (withinListedCells(i) && neighbourFirst[i] != kNoNeighbours) {
        if (useNeighbours(i, j + 1))
            return;
        markNeighbours(i, j + 1);
    } else {
        markGrid(i, reach[i], j + 1);
    }
    markStraysAndLoose(i, j + 1);
}

int64_t BroadPhase::next(uint32_t from)
{
    if (from >= count)
        return -1;
    if (source == Source::EveryBox) {
        if (from == visitor)
            ++from;
        return from < count ? int64_t(from) : -1;
    }
    if (source == Source::Neighbours) {
        // Two ascending lists, asked for ascending indices: each goes on
        // from its last answer.
        while (listAt != listEnd && (*listAt < from || *listAt == visitor))
            ++listAt;
        while (extraCursor < extra.size() && extra[extraCursor] < from)
            ++extraCursor;
        uint32_t k = listAt != listEnd ? *listAt : count;
        if (extraCursor < extra.size())
            k = std::min(k, extra[extraCursor]);
        return k < count ? int64_t(k) : -1;
    }
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

int64_t BroadPhase::nextToTest(uint32_t from, CollisionType type)
{
    const Stillness* still = stillness.data();
    const Stillness self = still[visitor];
    if (source == Source::Neighbours && extra.empty()) {
        // The common case, kept tight: one pass along the neighbour list.
        const uint32_t* k = listAt;
        const uint32_t* end = listEnd;
        const uint32_t i = visitor;
        const uint32_t n = count;
        for (; k != end; ++k) {
            const uint32_t c = *k;
            if (c < from || c == i)
                continue;
            if (c >= n)
                break;
            if (!contactChangesNothing(self, still[c], type)) {
                listAt = k;
                return c;
            }
        }
        listAt = end;
        return -1;
    }
    for (int64_t k = next(from); k >= 0; k = next(uint32_t(k) + 1))
        if (!contactChangesNothing(self, still[size_t(k)], type))
            return k;
    return -1;
}

void BroadPhase::endVisit()
{
    clearMarks();
    source = Source::Bits;
}

// ---- The step -----------------------------------------------------------------

namespace {

// Kept between steps, so an unchanged arena needs no new grid.
BroadPhase g_broadPhase;

// The shortcut and the prediction read the packed copies; the answers
// change the boxes themselves, and the copies follow.
void visitContacts(BroadPhase& grid, BoxList& list, uint32_t i, float dt, CollisionType type, float friction)
{
    Box& box = list.at(i);
    const Body& a = grid.bodies[i];
    grid.startVisit(i);
    for (int64_t j = grid.nextToTest(0, type); j >= 0; j = grid.nextToTest(uint32_t(j) + 1, type)) {
        const Body& b = grid.bodies[size_t(j)];
        const int mask = predictContact(a, b, dt);
        if (mask == 0)
            continue;
        Box& other = list.at(uint32_t(j));
        respondToContact(box, other, mask, dt, type, friction, uint32_t(j) < i);
        grid.sync(uint32_t(j), other);
        // Box i now reaches other cells: look again beyond j.
        if (grid.sync(i, box))
            grid.lookAgainAbove(uint32_t(j));
    }
    grid.endVisit();
}

} // namespace

void stepPhysicsBroadPhase(BoxList& list, float dt, Box& ground, float friction, bool resolveContacts,
                           CollisionType type)
{
    if (!resolveContacts) {
        stepPhysicsReference(list, dt, ground, friction, resolveContacts, type);
        return;
    }
    BroadPhase& grid = g_broadPhase;
    grid.begin(list, dt);
    for (uint32_t i = 0; i < list.count(); ++i) {
        Box& box = list.at(i);
        resolveGroundContact(box, ground, dt, friction, type);
        grid.sync(i, box);
        visitContacts(grid, list, i, dt, type, friction);
        keepOffGround(box, ground, dt, type);
        box.moveBy(box.velocity.x * dt, box.velocity.y * dt, box.velocity.z * dt);
        grid.sync(i, box);
    }
}
