// broad_phase.h: the grid that tells the physics step which boxes a box
// could meet in this step.
//
// A box's reach is where its corner test looks: the box advanced by its
// velocity for the step, widened by a margin that covers the rounding of the
// corner test. Two boxes can only be predicted to meet when their reaches
// share a point, hence a grid cell (cell indices are floor(coordinate /
// cell size), which rounding never makes decrease). So testing a box only
// against the boxes whose reaches share a cell with its own, in index
// order, finds every contact the straightforward step finds, in its order.
//
// The grid lists each box in the cells its reach covered when the grid was
// built, and is kept across steps. A box whose reach later leaves those
// cells is a stray, found by its current reach from a short list; the grid
// is rebuilt when strays pile up. A mover, a box whose reach will be in
// other cells within a few steps at its speed (a crate falling outside the
// walls), is not listed at all: it is a stray for good, and does not count
// towards a rebuild, so crates that fell away cost a few cells each a step,
// whatever their number, their distance or their speed. A box the grid cannot hold (non-finite
// coordinates, a size that is not positive and finite, a reach over too
// many cells) is loose: it is a candidate of every box and every box is
// its candidate. What the grid lists around a box is read once per grid and
// kept as the box's neighbour list, so a box that stays within its cells
// costs no grid reads at all.
#pragma once

#include <stdint.h>

#include <vector>

#include "boxes/box_list.h"
#include "physics/contact.h"

constexpr float kCellSize = 2.0f;             // a crate's size, around the arena
// Beyond this distance from the origin cells widen with it, to a fixed
// number of the coordinate's own rounding steps (ulps): the reach margin
// grows with distance too, so a crate that has fallen for an hour covers as
// few cells as one in the arena, and every finite coordinate has a cell.
// Here a cell of 2 units is exactly that many ulps wide.
constexpr float kFarCellsFrom = 131072.0f;    // 2^17
constexpr int kFarCellUlpBits = 7;            // 128 ulps a cell
constexpr int64_t kMaxCellsPerBox = 4096;     // a wall covers about 900
constexpr float kReachMargin = 1.0e-6f;       // relative; rounding is below 6e-8
constexpr float kReachMarginFloor = 1.0e-30f; // for boxes at the smallest scales

struct CellRange {
    int32_t lo[3];
    int32_t hi[3];
};

struct BroadPhase {
    // Per box, by list index.
    std::vector<Body> bodies;         // copies of the boxes' fields, kept up to date by sync
    std::vector<Stillness> stillness; // and what the shortcut reads of them
    std::vector<CellRange> reach;     // this step's, in cells
    std::vector<CellRange> listed;    // the cells the grid lists it in
    std::vector<uint8_t> flags;
    std::vector<uint32_t> strays;
    std::vector<uint32_t> loose;
    // The strays filed by grid bucket, for when there are too many to scan:
    // strayHead[b] starts a chain through strayLinks of the boxes filed
    // there. A stray is filed again whenever its reach moves; the chains
    // are emptied with the list.
    struct StrayLink {
        uint32_t box, next;
    };
    std::vector<uint32_t> strayHead;
    std::vector<StrayLink> strayLinks;
    std::vector<uint32_t> strayBuckets; // buckets whose chain is not empty
    std::vector<uint32_t> nearStrays;   // one lookup's answer
    uint32_t count = 0;
    uint32_t listedCount = 0; // boxes below this index have grid entries
    float dt = 0.0f;

    // The grid: bucket b lists entries[bucketStart[b]] up to
    // entries[bucketStart[b + 1]].
    std::vector<uint32_t> bucketStart;
    std::vector<uint32_t> bucketFill;
    std::vector<uint32_t> entries;
    uint32_t yCells = 0; // the grid wraps around after this many cells up
    uint32_t yBits = 0;  // log2 of yCells

    // What the grid lists in box k's listed cells, ascending, worked out at
    // its first visit after a rebuild: neighbourPool[neighbourFirst[k]] on,
    // neighbourCount[k] of them. While k stays within its listed cells,
    // these are its candidates from the grid.
    std::vector<uint32_t> neighbourFirst;
    std::vector<uint32_t> neighbourCount;
    std::vector<uint32_t> neighbourPool;

    // One visit's candidates: the neighbour list as it is, a bit per box,
    // or every box.
    std::vector<uint64_t> candidates;
    uint32_t firstWord = 1;
    uint32_t lastWord = 0;
    enum class Source { Bits, Neighbours, EveryBox } source = Source::Bits;
    uint32_t visitor = 0;
    const uint32_t* listAt = nullptr; // the neighbour list's next entry
    const uint32_t* listEnd = nullptr;
    std::vector<uint32_t> extra; // strays and loose boxes merged into the neighbour list, ascending
    size_t extraCursor = 0;

    // At the start of a step: every box's reach from its fields; rebuilds
    // the grid when too many boxes have strayed from it.
    void begin(const BoxList& list, float stepSeconds);
    // After anything may have changed box k's position or velocity. True
    // when its reach now covers other cells than before.
    bool sync(uint32_t k, const Box& box);
    // Box i's visit: its candidates, then, when its reach has changed
    // during the visit, its candidates again above index j.
    void startVisit(uint32_t i);
    void lookAgainAbove(uint32_t j);
    // The lowest candidate at or above `from`, or -1; `from` only grows
    // during a visit.
    int64_t next(uint32_t from);
    // The same, passing over the candidates whose contact with the visitor
    // could change nothing under `type` (contactChangesNothing).
    int64_t nextToTest(uint32_t from, CollisionType type);
    void endVisit();

private:
    void rebuild();
    bool update(uint32_t k, int axes);
    void noteStrayOrLoose(uint32_t k, bool file);
    void fileStray(uint32_t k);
    void clearStrays();
    void findStraysNear(uint32_t i, uint32_t from);
    bool willLeaveItsCells(uint32_t k) const;
    bool withinListedCells(uint32_t k) const;
    void markGrid(uint32_t i, const CellRange& cells, uint32_t from);
    void markNeighbours(uint32_t i, uint32_t from);
    void markStraysAndLoose(uint32_t i, uint32_t from);
    void mark(uint32_t k);
    void clearMarks();
    void findNeighbours(uint32_t i);
    bool useNeighbours(uint32_t i, uint32_t from);
};
