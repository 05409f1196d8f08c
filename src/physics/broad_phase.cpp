// broad_phase.cpp: keeping track of the boxes across a step: their copies
// and reaches, when the grid is built anew, strays and loose boxes; and the
// check of all of it that the tests run.
#include "physics/broad_phase.h"

#include <algorithm>
#include <cstring>

#include "math/float_bits.h"

using namespace broad_phase_flags;

namespace {

constexpr float kMoverLookAheadSteps = 8.0f;
// The grid is rebuilt when more boxes than this have strayed from it.
constexpr uint32_t kStraysBeforeRebuild = 16;
constexpr uint32_t kStraysPerBoxBeforeRebuild = 32; // one stray per this many boxes on top
constexpr size_t kStrayLinksReserved = 4096;
constexpr size_t kNeighboursReservedPerBox = 32; // a crate in a stack has 26

// The axes on which a box's position or velocity differs from its copy's,
// bit for bit. A step never changes sizes.
int changedAxes(const Body& c, const Box& b)
{
    const uint32_t x = (bitsOf(c.position.x) ^ bitsOf(b.position.x)) | (bitsOf(c.velocity.x) ^ bitsOf(b.velocity.x));
    const uint32_t y = (bitsOf(c.position.y) ^ bitsOf(b.position.y)) | (bitsOf(c.velocity.y) ^ bitsOf(b.velocity.y));
    const uint32_t z = (bitsOf(c.position.z) ^ bitsOf(b.position.z)) | (bitsOf(c.velocity.z) ^ bitsOf(b.velocity.z));
    return (x ? 1 : 0) | (y ? 2 : 0) | (z ? 4 : 0);
}

bool sameBits(const Vec3& a, const Vec3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

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
    if (strays.boxes.capacity() < count)
        strays.boxes.reserve(2 * size_t(count));
    if (loose.capacity() < count)
        loose.reserve(2 * size_t(count));
    strays.clear();
    loose.clear();
    for (uint32_t k = 0; k < count; ++k) {
        const Box& box = list.at(k);
        bodies[k] = Body{box.position, box.size, box.velocity};
        stillness[k] = stillnessOf(bodies[k]);
        flags[k] = reachOf(bodies[k], dt, reach[k]) ? 0 : kLoose;
        noteStrayOrLoose(k, false);
    }
    // Movers stray every step whatever the grid: only the others call for a
    // new one. Whether a box that keeps to its cells is a mover matters
    // only to a rebuild.
    uint32_t settled = 0;
    for (uint32_t k : strays.boxes)
        if (!noteMover(k))
            ++settled;
    if (!grid.built() || settled > kStraysBeforeRebuild + count / kStraysPerBoxBeforeRebuild) {
        for (uint32_t k = 0; k < count; ++k)
            if (!(flags[k] & kStrayed))
                noteMover(k);
        rebuild();
        return;
    }
    // Filed only now that the grid they are filed in is known to stay.
    for (uint32_t k : strays.boxes)
        fileStray(k);
}

// A box that is not loose is a mover when its reach a few steps on, were
// nothing to meet it, would be in other cells.
bool BroadPhase::noteMover(uint32_t k)
{
    if (isLoose(k))
        return false;
    Body ahead = bodies[k];
    ahead.position = advancedPosition(ahead, dt * kMoverLookAheadSteps);
    CellRange next;
    if (reachOf(ahead, dt, next) && sameRange(next, reach[k]))
        return false;
    flags[k] |= kMover;
    return true;
}

bool BroadPhase::withinListedCells(uint32_t k) const { return k < listedCount && contains(listed[k], reach[k]); }

// During a step a stray is filed at once, and again whenever its reach
// moves; begin files the step's first strays itself, once it knows the grid
// stays.
void BroadPhase::noteStrayOrLoose(uint32_t k, bool file)
{
    if (isLoose(k)) {
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
        strays.boxes.push_back(k);
    }
    if (file)
        fileStray(k);
}

void BroadPhase::fileStray(uint32_t k)
{
    if (strays.canFile(grid)) // else there is no grid yet: a rebuild comes before any lookup
        strays.file(k, reach[k], grid);
}

// Gathers in nearStrays, maybe more than once for one k, each stray at or
// above `from` whose reach shares a cell with box i's.
void BroadPhase::findStraysNear(uint32_t i, uint32_t from)
{
    nearStrays.clear();
    strays.forEachNear(reach[i], grid, [&](uint32_t k) {
        if (k >= from && k != i && !isLoose(k) && overlaps(reach[k], reach[i]))
            nearStrays.push_back(k);
    });
}

// Lists every box that is neither loose nor a mover at its reach; the
// movers start as strays.
void BroadPhase::rebuild()
{
    for (uint32_t k = 0; k < count; ++k) {
        flags[k] &= uint8_t(~kStrayed);
        listed[k] = (flags[k] & (kLoose | kMover)) ? kNoCells : reach[k];
    }
    grid.build(listed.data(), count);
    listedCount = count;
    // Room for a busy step's strays, so that steps rarely allocate.
    const size_t strayRoom = std::max(kStrayLinksReserved, size_t(count));
    strays.startFilings(grid, strayRoom);
    if (nearStrays.capacity() < strayRoom)
        nearStrays.reserve(strayRoom);
    strays.boxes.clear();
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
    const bool wasLoose = isLoose(k);
    // A loose box's cells were never all worked out.
    const bool nowLoose = !reachOf(bodies[k], dt, reach[k], wasLoose ? kAllAxes : axes);
    if (nowLoose)
        flags[k] |= kLoose;
    else
        flags[k] &= uint8_t(~kLoose);
    const bool moved = wasLoose != nowLoose || (!nowLoose && !sameRange(before, reach[k]));
    if (moved)
        noteStrayOrLoose(k, true);
    return moved;
}

// ---- The check -------------------------------------------------------------------

bool BroadPhase::validate(const BoxList& list, std::string& problem) const
{
    auto fail = [&](uint32_t k, const char* what) {
        problem = "box " + std::to_string(k) + ": " + what;
        return false;
    };
    if (count != list.count())
        return fail(count, "the broad phase holds another number of boxes than the list");
    for (uint32_t k = 0; k < count; ++k) {
        const Box& box = list.at(k);
        if (!sameBits(bodies[k].position, box.position) || !sameBits(bodies[k].velocity, box.velocity) ||
            !sameBits(bodies[k].size, box.size))
            return fail(k, "its copy differs from the box");
        CellRange cells = kNoCells;
        const bool cannotBeHeld = !reachOf(bodies[k], dt, cells);
        if (cannotBeHeld != isLoose(k) || (!cannotBeHeld && !sameRange(cells, reach[k])))
            return fail(k, "its reach is not the one its fields give");
        if (cannotBeHeld) {
            if (!(flags[k] & kInLoose) || std::find(loose.begin(), loose.end(), k) == loose.end())
                return fail(k, "it is loose but not among the loose boxes");
            continue;
        }
        if (!withinListedCells(k)) {
            if (!(flags[k] & kStrayed) || std::find(strays.boxes.begin(), strays.boxes.end(), k) == strays.boxes.end())
                return fail(k, "it left its listed cells but is not a stray");
            bool filedEverywhere = true;
            grid.forEachBucketRun(reach[k], [&](uint32_t first, uint32_t end) {
                for (uint32_t b = first; b < end; ++b) {
                    bool filed = false;
                    for (uint32_t link = strays.head[b]; link != ~0u && !filed; link = strays.links[link].next)
                        filed = strays.links[link].box == k;
                    filedEverywhere = filedEverywhere && filed;
                }
            });
            if (!filedEverywhere)
                return fail(k, "it is a stray not filed under every bucket of its reach");
        }
    }
    return validateGrid(problem) && validateNeighbours(problem);
}

// Every listed box is in every bucket of its listed cells, each bucket
// lists ascending indices (a box twice where two of its cells share a
// bucket), and nothing else is listed.
bool BroadPhase::validateGrid(std::string& problem) const
{
    const uint32_t buckets = grid.bucketCount();
    if (grid.bucketStart[0] != 0 || grid.bucketStart[buckets] != grid.entries.size()) {
        problem = "the grid's buckets do not cover its entries";
        return false;
    }
    size_t expected = 0;
    for (uint32_t b = 0; b < buckets; ++b)
        for (uint32_t e = grid.bucketStart[b]; e < grid.bucketStart[b + 1]; ++e)
            if (grid.entries[e] >= listedCount || (e > grid.bucketStart[b] && grid.entries[e] < grid.entries[e - 1])) {
                problem = "bucket " + std::to_string(b) + " is out of order or lists an unknown box";
                return false;
            }
    for (uint32_t k = 0; k < listedCount; ++k) {
        bool found = true;
        grid.forEachBucketRun(listed[k], [&](uint32_t first, uint32_t end) {
            for (uint32_t b = first; b < end; ++b) {
                const uint32_t* begin = grid.entries.data() + grid.bucketStart[b];
                const uint32_t* stop = grid.entries.data() + grid.bucketStart[b + 1];
                found = found && std::binary_search(begin, stop, k);
                ++expected;
            }
        });
        if (!found) {
            problem = "box " + std::to_string(k) + " is missing from a bucket of its listed cells";
            return false;
        }
    }
    if (expected != grid.entries.size()) {
        problem = "the grid lists more entries than its boxes' listed cells";
        return false;
    }
    return true;
}

// A neighbour list, once worked out, is what the grid lists in the box's
// listed cells, ascending, without the box itself.
bool BroadPhase::validateNeighbours(std::string& problem) const
{
    std::vector<uint32_t> listedNear;
    for (uint32_t k = 0; k < listedCount && k < neighbourFirst.size(); ++k) {
        if (neighbourFirst[k] == kNoNeighbours)
            continue;
        listedNear.clear();
        grid.forEachListed(listed[k], [&](uint32_t n) {
            if (n != k)
                listedNear.push_back(n);
        });
        std::sort(listedNear.begin(), listedNear.end());
        listedNear.erase(std::unique(listedNear.begin(), listedNear.end()), listedNear.end());
        const uint32_t* first = neighbourPool.data() + neighbourFirst[k];
        if (!std::equal(listedNear.begin(), listedNear.end(), first, first + neighbourCount[k])) {
            problem = "box " + std::to_string(k) + "'s neighbour list is not what the grid lists around it";
            return false;
        }
    }
    return true;
}
