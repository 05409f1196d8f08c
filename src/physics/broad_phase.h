// broad_phase.h: what tells the physics step which boxes a box could meet
// in this step.
//
// Testing a box only against the boxes whose reaches share a cell with its
// own (cell_grid.h), in index order, finds every contact the
// straightforward step finds, in its order.
//
// The grid lists each box in the cells its reach covered when the grid was
// built, and is kept across steps. A box whose reach later leaves those
// cells is a stray (stray_boxes.h); the grid is rebuilt when strays pile
// up. A mover, a box whose reach will be in other cells within a few steps
// at its speed (a crate falling outside the walls), is not listed at all:
// it is a stray for good, and does not count towards a rebuild, so crates
// that fell away cost a few cells each a step, whatever their number, their
// distance or their speed. A box the grid cannot hold (non-finite
// coordinates, a size that is not positive and finite, a reach over too
// many cells) is loose: it is a candidate of every box and every box is its
// candidate. What the grid lists around a box is read once per grid and
// kept as the box's neighbour list, so a box that stays within its cells
// costs no grid reads at all.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "boxes/box_list.h"
#include "physics/cell_grid.h"
#include "physics/contact.h"
#include "physics/stray_boxes.h"

struct BroadPhase {
    // Per box, by list index.
    std::vector<Body> bodies;         // copies of the boxes' fields, kept up to date by sync
    std::vector<Stillness> stillness; // and what the shortcut reads of them
    std::vector<CellRange> reach;     // this step's, in cells
    std::vector<CellRange> listed;    // the cells the grid lists it in
    std::vector<uint8_t> flags;
    StrayBoxes strays;
    std::vector<uint32_t> loose;
    std::vector<uint32_t> nearStrays; // one lookup's answer
    uint32_t count = 0;
    uint32_t listedCount = 0; // boxes below this index have been listed
    float dt = 0.0f;
    CellGrid grid;

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
    static constexpr size_t kMaxExtraCandidates = 64; // more, and the bits serve better
    size_t extraCursor = 0;

    // ---- Keeping track of the boxes (broad_phase.cpp)
    // At the start of a step: every box's reach from its fields; rebuilds
    // the grid when too many boxes have strayed from it.
    void begin(const BoxList& list, float stepSeconds);
    // After anything may have changed box k's position or velocity. True
    // when its reach now covers other cells than before.
    bool sync(uint32_t k, const Box& box);
    // Checks that everything kept agrees with the list and with itself:
    // every box's copy and reach, the grid's lists, the strays, the loose
    // boxes and the neighbour lists. False with the first problem found.
    // For tests, between steps.
    bool validate(const BoxList& list, std::string& problem) const;

    // ---- A visit (broad_phase_visit.cpp)
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
    void findStraysNear(uint32_t i, uint32_t from);
    bool noteMover(uint32_t k);
    bool withinListedCells(uint32_t k) const;
    bool isLoose(uint32_t k) const;
    void markGrid(uint32_t i, const CellRange& cells, uint32_t from);
    void markNeighbours(uint32_t i, uint32_t from);
    void markStraysAndLoose(uint32_t i, uint32_t from);
    void mark(uint32_t k);
    void clearMarks();
    void findNeighbours(uint32_t i);
    bool useNeighbours(uint32_t i, uint32_t from);
    bool validateGrid(std::string& problem) const;
    bool validateNeighbours(std::string& problem) const;
};

// What flags hold of a box.
namespace broad_phase_flags {
constexpr uint8_t kLoose = 1;   // the reach is not in cells this moment
constexpr uint8_t kStrayed = 2; // in strays this step
constexpr uint8_t kInLoose = 4; // in loose this step
// At its velocity, its reach will be in other cells within a few steps (a
// falling crate): the grid does not list it, it is always a stray.
constexpr uint8_t kMover = 8;
} // namespace broad_phase_flags

inline bool BroadPhase::isLoose(uint32_t k) const { return (flags[k] & broad_phase_flags::kLoose) != 0; }

constexpr uint32_t kNoNeighbours = ~0u;
