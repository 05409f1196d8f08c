// broad_phase_visit.cpp: one visit's candidates, in ascending index order:
// from the visitor's neighbour list, or from a bit per box marked from the
// grid, the strays and the loose boxes, or every box for a loose visitor.
#include "physics/broad_phase.h"

#include <algorithm>

using namespace broad_phase_flags;

namespace {

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
    grid.forEachListed(cells, [&](uint32_t k) {
        if (k >= from && k < count && k != i)
            mark(k);
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
    if (isLoose(i)) {
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
    if (isLoose(i)) {
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
