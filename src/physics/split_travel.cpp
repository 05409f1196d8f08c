// split_travel.cpp: the travel that decides a frame's split, from where
// each fast box's path over the frame can reach.
#include "physics/split_travel.h"

#include <algorithm>
#include <cmath>

#include "physics/contact.h"

namespace {

// Beyond the frame's own movement: room for a landing's snap and for
// rounding, so "cannot reach" errs towards splitting.
constexpr float kPathMargin = 2.0f;
// With more fast boxes than this, each is simply counted at its own travel.
constexpr uint32_t kMaxFastPairsChecked = 64;

float fastestComponent(const Vec3& v)
{
    return std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
}

float stepTravel(float speed, float dt) { return (speed + kGravity * dt) * dt; }

// The box swept along each axis by as far as it could move in the frame,
// whichever way: a bound on where it can be until the frame ends.
struct Path {
    Vec3 lo, hi;
};

Path pathOf(const Box& b, float frameSeconds)
{
    auto reach = [frameSeconds](float v) { return (std::fabs(v) + kGravity * frameSeconds) * frameSeconds + kPathMargin; };
    const Vec3 r(reach(b.velocity.x), reach(b.velocity.y), reach(b.velocity.z));
    return Path{b.position - r, b.position + b.size + r};
}

Path boxOf(const Box& b) { return Path{b.position, b.position + b.size}; }

// NaN anywhere meets nothing.
bool meet(const Path& p, const Path& q)
{
    return p.lo.x <= q.hi.x && q.lo.x <= p.hi.x && p.lo.y <= q.hi.y && q.lo.y <= p.hi.y && p.lo.z <= q.hi.z &&
           q.lo.z <= p.hi.z;
}

void include(Path& all, const Path& p, bool& any)
{
    if (!any) {
        all = p;
        any = true;
        return;
    }
    all.lo = Vec3(std::min(all.lo.x, p.lo.x), std::min(all.lo.y, p.lo.y), std::min(all.lo.z, p.lo.z));
    all.hi = Vec3(std::max(all.hi.x, p.hi.x), std::max(all.hi.y, p.hi.y), std::max(all.hi.z, p.hi.z));
}

} // namespace

float splitTravel(const BoxList& list, const Box& ground, float stepSeconds, float frameSeconds, float fastTravel)
{
    // Most frames have no fast box: one pass and done.
    uint32_t fastCount = 0;
    for (uint32_t k = 0; k < list.count(); ++k) {
        const float travel = stepTravel(fastestComponent(list.at(k).velocity), stepSeconds);
        if (travel > fastTravel && std::isfinite(travel))
            ++fastCount;
    }
    if (fastCount == 0)
        return 0.0f;

    // Everything that is not fast, swept over the frame, as one box.
    Path slow = boxOf(ground);
    bool anySlow = true;
    for (uint32_t k = 0; k < list.count(); ++k) {
        const Box& b = list.at(k);
        if (!(stepTravel(fastestComponent(b.velocity), stepSeconds) > fastTravel))
            include(slow, pathOf(b, frameSeconds), anySlow);
    }

    float asked = 0.0f;
    for (uint32_t f = 0; f < list.count(); ++f) {
        const Box& fast = list.at(f);
        const float own = stepTravel(fastestComponent(fast.velocity), stepSeconds);
        if (!(own > fastTravel) || !std::isfinite(own))
            continue;
        const Path path = pathOf(fast, frameSeconds);
        if (meet(path, slow) || fastCount > kMaxFastPairsChecked) {
            asked = std::max(asked, own);
            continue;
        }
        for (uint32_t g = 0; g < list.count(); ++g) {
            const Box& other = list.at(g);
            if (g == f || !(stepTravel(fastestComponent(other.velocity), stepSeconds) > fastTravel))
                continue;
            if (meet(path, pathOf(other, frameSeconds)))
                asked = std::max(asked, std::min(own, stepTravel(fastestComponent(fast.velocity - other.velocity),
                                                                  stepSeconds)));
        }
    }
    return asked;
}
