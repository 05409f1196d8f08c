// stray_boxes.cpp: the strays' list and its filings by bucket.
#include "physics/stray_boxes.h"

namespace {

constexpr uint32_t kNoLink = ~0u;

} // namespace

void StrayBoxes::clear()
{
    for (uint32_t b : usedBuckets)
        head[b] = kNoLink;
    usedBuckets.clear();
    links.clear();
    boxes.clear();
}

void StrayBoxes::startFilings(const CellGrid& grid, size_t room)
{
    head.assign(grid.bucketCount(), kNoLink);
    usedBuckets.clear();
    links.clear();
    if (links.capacity() < room) {
        links.reserve(room);
        usedBuckets.reserve(room);
    }
}

void StrayBoxes::file(uint32_t k, const CellRange& reach, const CellGrid& grid)
{
    grid.forEachBucketRun(reach, [&](uint32_t first, uint32_t end) {
        for (uint32_t b = first; b < end; ++b) {
            if (head[b] == kNoLink)
                usedBuckets.push_back(b);
            links.push_back(Link{k, head[b]});
            head[b] = uint32_t(links.size() - 1);
        }
    });
}
