// overlap.cpp: the corner-in-box test and the search over the list.
#include "physics/overlap.h"

namespace {

// The absolute-difference form decides for any size: a negative size
// contains nothing, a zero size only its own position, and NaN nothing.
bool withinAxis(float c, float position, float size)
{
    return absValue(c - position) <= size && absValue(c - (position + size)) <= size;
}

struct Region {
    const Vec3& position;
    const Vec3& size;
};

bool cornerInside(float cx, float cy, float cz, const Region& b)
{
    return withinAxis(cx, b.position.x, b.size.x) && withinAxis(cy, b.position.y, b.size.y) &&
           withinAxis(cz, b.position.z, b.size.z);
}

} // namespace

// The corners in a fixed order; the first that passes ends the test.
bool cornersInside(const Vec3& aPosition, const Vec3& aSize, const Vec3& bPosition, const Vec3& bSize)
{
    const Region b = {bPosition, bSize};
    const float x = aPosition.x, y = aPosition.y, z = aPosition.z;
    const float x1 = x + aSize.x, y1 = y + aSize.y, z1 = z + aSize.z;
    return cornerInside(x, y, z, b) || cornerInside(x, y1, z, b) || cornerInside(x1, y1, z, b) ||
           cornerInside(x1, y, z, b) || cornerInside(x, y, z1, b) || cornerInside(x, y1, z1, b) ||
           cornerInside(x1, y1, z1, b) || cornerInside(x1, y, z1, b);
}

bool boxOverlaps(const Box& a, const Box& b) { return cornersInside(a.position, a.size, b.position, b.size); }

int32_t findOverlap(const Box* box, const BoxList& list)
{
    if (list.isEmpty() || !box)
        return -1;
    for (uint32_t i = 0; i < list.count(); ++i) {
        const Box& other = list.at(i);
        if (&other == box)
            continue;
        if (boxOverlaps(*box, other))
            return int32_t(i);
    }
    return -1;
}
