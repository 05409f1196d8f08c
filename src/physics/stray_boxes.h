// stray_boxes.h: the boxes whose reach has left the cells the grid lists
// them in, and how a visitor finds those near it.
//
// A few strays are scanned whole. Many are also filed by the grid's
// buckets: each stray under the buckets of its reach, again whenever its
// reach moves (its old filings stay behind; a lookup checks the current
// reach), so a visitor reads only its own cells. The filings are emptied
// with the list, at the start of every step.
#pragma once

#include <stdint.h>

#include <vector>

#include "physics/cell_grid.h"

struct StrayBoxes {
    // Up to this many strays a visitor simply scans the list.
    static constexpr size_t kScanned = 32;

    std::vector<uint32_t> boxes;
    // Bucket b's filings: a chain from head[b] through links.
    struct Link {
        uint32_t box, next;
    };
    std::vector<uint32_t> head;
    std::vector<Link> links;
    std::vector<uint32_t> usedBuckets; // buckets whose chain is not empty

    // Empties the list and its filings.
    void clear();
    // After the grid is built anew: no filings, in as many buckets, with
    // room for a busy step's.
    void startFilings(const CellGrid& grid, size_t room);
    bool canFile(const CellGrid& grid) const { return head.size() == grid.bucketCount(); }
    void file(uint32_t k, const CellRange& reach, const CellGrid& grid);
    // Calls f(k) for each stray that may share a cell with `reach`: every
    // stray when there are few, else those filed in its buckets (maybe more
    // than once).
    template <typename F>
    void forEachNear(const CellRange& reach, const CellGrid& grid, F f) const;
};

template <typename F>
void StrayBoxes::forEachNear(const CellRange& reach, const CellGrid& grid, F f) const
{
    constexpr uint32_t kEnd = ~0u;
    if (boxes.size() <= kScanned) {
        for (uint32_t k : boxes)
            f(k);
        return;
    }
    grid.forEachBucketRun(reach, [&](uint32_t first, uint32_t end) {
        for (uint32_t b = first; b < end; ++b)
            for (uint32_t link = head[b]; link != kEnd; link = links[link].next)
                f(links[link].box);
    });
}
