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
// Path comparisons allowed per box in the list (and a floor for small
// lists) before the sorted version gives up and asks for every fast box's
// own travel, which is always safe.
constexpr size_t kComparisonsPerBox = 16;
constexpr size_t kComparisonsFloor = 4096;
constexpr double kTallestAllowance = 1.0 + 1.0e-9; // over a double's rounding

float fastestComponent(const Vec3& v)
{
    return std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
}

float stepTravel(float speed, float dt) { return (speed + kGravity * dt) * dt; }

SweptBox pathOf(const Box& b, float frameSeconds)
{
    auto reach = [frameSeconds](float v) { return (std::fabs(v) + kGravity * frameSeconds) * frameSeconds + kPathMargin; };
    const Vec3 r(reach(b.velocity.x), reach(b.velocity.y), reach(b.velocity.z));
    return SweptBox{b.position - r, b.position + b.size + r};
}

SweptBox boxOf(const Box& b) { return SweptBox{b.position, b.position + b.size}; }

// NaN anywhere meets nothing.
bool meet(const SweptBox& p, const SweptBox& q)
{
    return p.lo.x <= q.hi.x && q.lo.x <= p.hi.x && p.lo.y <= q.hi.y && q.lo.y <= p.hi.y && p.lo.z <= q.hi.z &&
           q.lo.z <= p.hi.z;
}

bool finite(const SweptBox& p)
{
    return std::isfinite(p.lo.x) && std::isfinite(p.lo.y) && std::isfinite(p.lo.z) && std::isfinite(p.hi.x) &&
           std::isfinite(p.hi.y) && std::isfinite(p.hi.z);
}

// Fast and able to be helped by a split.
bool isFast(const Box& b, float stepSeconds, float frameSeconds, float fastTravel, FastBox& out)
{
    const float travel = stepTravel(fastestComponent(b.velocity), stepSeconds);
    if (!(travel > fastTravel) || !std::isfinite(travel))
        return false;
    out = FastBox{pathOf(b, frameSeconds), b.velocity, travel, false};
    return finite(out.path);
}

// A box with an infinite speed is neither fast nor slow: nothing meets it.
bool isSlow(const Box& b, float stepSeconds, float fastTravel)
{
    return !(stepTravel(fastestComponent(b.velocity), stepSeconds) > fastTravel);
}

float relativeTravel(const FastBox& f, const FastBox& g, float stepSeconds)
{
    return std::min(f.travel, stepTravel(fastestComponent(f.velocity - g.velocity), stepSeconds));
}

} // namespace

float splitTravel(const BoxList& list, const Box& ground, float stepSeconds, float frameSeconds, float fastTravel,
                  SplitScratch& scratch)
{
    std::vector<FastBox>& fast = scratch.fast;
    fast.clear();
    FastBox candidate;
    for (uint32_t k = 0; k < list.count(); ++k)
        if (isFast(list.at(k), stepSeconds, frameSeconds, fastTravel, candidate))
            fast.push_back(candidate);
    // Most frames have no fast box: one pass and done.
    if (fast.empty())
        return 0.0f;

    std::sort(fast.begin(), fast.end(), [](const FastBox& a, const FastBox& b) { return a.path.lo.y < b.path.lo.y; });
    // In double, and a hair over, so that the search below never starts
    // past a path that reaches down to a slow box: rounding to nearest keeps
    // order, so slow.lo.y - tallest then stays at or below such a path's lo.y.
    double tallest = 0.0;
    float ownest = 0.0f;
    for (const FastBox& f : fast) {
        tallest = std::max(tallest, (double(f.path.hi.y) - double(f.path.lo.y)) * kTallestAllowance);
        ownest = std::max(ownest, f.travel);
    }
    size_t budget = kComparisonsFloor + kComparisonsPerBox * size_t(list.count());

    // Each slow box (and the ground) against the fast paths whose heights
    // can overlap its own.
    float asked = 0.0f;
    auto reachSlow = [&](const SweptBox& slow) {
        auto f = std::lower_bound(fast.begin(), fast.end(), double(slow.lo.y) - tallest,
                                  [](const FastBox& a, double y) { return double(a.path.lo.y) < y; });
        for (; f != fast.end() && f->path.lo.y <= slow.hi.y; ++f) {
            if (budget == 0)
                return false;
            --budget;
            if (!f->reachesSlow && meet(f->path, slow)) {
                f->reachesSlow = true;
                asked = std::max(asked, f->travel);
            }
        }
        return true;
    };
    if (!reachSlow(boxOf(ground)))
        return ownest;
    for (uint32_t k = 0; k < list.count(); ++k) {
        const Box& b = list.at(k);
        if (isSlow(b, stepSeconds, fastTravel) && !reachSlow(pathOf(b, frameSeconds)))
            return ownest;
    }

    // Pairs of fast boxes, each pair once: g starts no lower than f.
    for (auto f = fast.begin(); f != fast.end(); ++f)
        for (auto g = f + 1; g != fast.end() && g->path.lo.y <= f->path.hi.y; ++g) {
            if (budget == 0)
                return ownest;
            --budget;
            if (meet(f->path, g->path))
                asked = std::max({asked, relativeTravel(*f, *g, stepSeconds), relativeTravel(*g, *f, stepSeconds)});
        }
    return asked;
}

float splitTravelReference(const BoxList& list, const Box& ground, float stepSeconds, float frameSeconds,
                           float fastTravel)
{
    float asked = 0.0f;
    FastBox f, g;
    for (uint32_t i = 0; i < list.count(); ++i) {
        if (!isFast(list.at(i), stepSeconds, frameSeconds, fastTravel, f))
            continue;
        bool reachesSlow = meet(f.path, boxOf(ground));
        for (uint32_t k = 0; k < list.count() && !reachesSlow; ++k) {
            const Box& b = list.at(k);
            reachesSlow = isSlow(b, stepSeconds, fastTravel) && meet(f.path, pathOf(b, frameSeconds));
        }
        if (reachesSlow) {
            asked = std::max(asked, f.travel);
            continue;
        }
        for (uint32_t k = 0; k < list.count(); ++k)
            if (k != i && isFast(list.at(k), stepSeconds, frameSeconds, fastTravel, g) && meet(f.path, g.path))
                asked = std::max(asked, relativeTravel(f, g, stepSeconds));
    }
    return asked;
}
