// bounce_energy.cpp: where bounce mode's energy comes from. A crowd of
// crates is thrown about the arena in bounce mode for three minutes of game
// time, the physics step run as the game runs it but with every response
// recorded, and each box's change of energy over each step is put down to
// the kinds of response it met in that step.
//
//   bounce_energy [SECONDS [CRATES]]
//
// The energy is kinetic plus potential, taken with the position halfway
// through the step's move (1/2 v^2 + g y - 1/2 g dt v_y), which free flight
// under the game's integration keeps exactly: any change comes from a
// response, or from a throw.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "game/spawning.h"
#include "physics/physics_step.h"
#include "physics/frame_steps.h"

namespace {

constexpr float kFrameSeconds = 0.016f;
constexpr float kFriction = 20.0f;
constexpr float kArenaInside = 18.0f;

enum Kind { Free, Ground, Touching, Overlapping, Mixed, KindCount };
const char* const kKindNames[KindCount] = {"no response", "ground", "box, apart or touching", "box, overlapping",
                                           "several kinds"};
constexpr unsigned kGroundBit = 1, kTouchingBit = 2, kOverlappingBit = 4;

struct Tally {
    long steps = 0;
    double gained = 0.0, lost = 0.0;
};

double energy(const Box& b, float dt)
{
    const Vec3& v = b.velocity;
    return 0.5 * (double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z) + double(kGravity) * b.position.y -
           0.5 * double(kGravity) * dt * v.y;
}

bool sameState(const Vec3& p, const Vec3& v, const Box& b) { return !(p != b.position) && !(v != b.velocity); }

struct Recorder {
    std::vector<double> before;
    std::vector<unsigned> kinds;
    Tally tallies[KindCount];
    long flippedAgain = 0; // a pair answered twice in one step

    // The reference step, response by response.
    void step(float dt, CollisionType type)
    {
        const uint32_t n = g_boxes.count();
        kinds.assign(n, 0);
        std::set<std::pair<uint32_t, uint32_t>> answered;
        for (uint32_t i = 0; i < n; ++i) {
            Box& box = g_boxes.at(i);
            const Vec3 p = box.position, v = box.velocity;
            resolveGroundContact(box, g_ground, dt, kFriction, type);
            if (!sameState(p, v, box))
                kinds[i] |= kGroundBit;
            for (uint32_t j = 0; j < n; ++j) {
                if (j == i)
                    continue;
                Box& other = g_boxes.at(j);
                const int mask = predictContact(box, other, dt);
                if (mask == 0)
                    continue;
                const unsigned bit = mask == kContactOverlapping ? kOverlappingBit : kTouchingBit;
                const Vec3 pa = box.position, va = box.velocity, pb = other.position, vb = other.velocity;
                respondToContact(box, other, mask, dt, type, kFriction, j < i);
                if (!sameState(pa, va, box))
                    kinds[i] |= bit;
                if (!sameState(pb, vb, other))
                    kinds[j] |= bit;
                if (!sameState(pa, va, box) || !sameState(pb, vb, other))
                    if (!answered.insert({std::min(i, j), std::max(i, j)}).second)
                        ++flippedAgain;
            }
            const Vec3 pk = box.position, vk = box.velocity;
            keepOffGround(box, g_ground, dt, type);
            if (!sameState(pk, vk, box))
                kinds[i] |= kGroundBit;
            box.moveBy(box.velocity.x * dt, box.velocity.y * dt, box.velocity.z * dt);
        }
    }

    void account(float dt)
    {
        for (uint32_t k = 0; k < g_boxes.count(); ++k) {
            const double now = energy(g_boxes.at(k), dt);
            const unsigned bits = kinds[k];
            const Kind kind = bits == 0                 ? Free
                              : bits == kGroundBit      ? Ground
                              : bits == kTouchingBit    ? Touching
                              : bits == kOverlappingBit ? Overlapping
                                                        : Mixed;
            Tally& t = tallies[kind];
            ++t.steps;
            const double change = now - before[k];
            (change > 0 ? t.gained : t.lost) += change;
            before[k] = now;
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 180.0;
    const int crates = argc > 2 ? std::atoi(argv[2]) : 300;
    if (!bench::makeDevice(false) || !bench::makeArena(0))
        return 1;
    g_collisionType = CollisionType::Bounce;
    const int frames = int(seconds / kFrameSeconds);
    const int framesPerThrow = std::max(1, frames / (crates + 1));
    std::mt19937 random(12);
    std::uniform_real_distribution<float> across(-15.0f, 15.0f), up(-1.0f, 25.0f), direction(-1.0f, 1.0f);

    Recorder r;
    double thrown = 0.0;
    float fastest = 0.0f, fastestInside = 0.0f;
    int pushes = 0;
    for (int frame = 0; frame < frames; ++frame) {
        const FrameSteps plan = planFrameSteps(g_boxes, g_ground, kFrameSeconds);
        const float dt = plan.seconds;
        const int steps = plan.count;
        r.before.resize(g_boxes.count());
        for (uint32_t k = 0; k < g_boxes.count(); ++k)
            r.before[k] = energy(g_boxes.at(k), dt);
        for (int s = 0; s < steps; ++s) {
            applyGravity(dt);
            r.step(dt, CollisionType::Bounce);
            r.account(dt);
        }
        for (uint32_t k = 0; k < g_boxes.count(); ++k) {
            const Box& b = g_boxes.at(k);
            fastest = std::max(fastest, length(b.velocity));
            if (std::fabs(b.position.x + 0.5f * b.size.x) < kArenaInside &&
                std::fabs(b.position.z + 0.5f * b.size.z) < kArenaInside)
                fastestInside = std::max(fastestInside, length(b.velocity));
        }
        if (frame % framesPerThrow == 0 && int(g_boxes.count()) < 10 + crates) {
            g_camera.target = Vec3(across(random), up(random), across(random));
            Vec3 d(direction(random), direction(random), direction(random));
            normalizeInPlace(d);
            double all = 0.0;
            for (uint32_t k = 0; k < g_boxes.count(); ++k)
                all += energy(g_boxes.at(k), kFrameSeconds);
            const uint32_t n = g_boxes.count();
            spawnOrPush(kThrowSpeed * d.x, kThrowSpeed * d.y, kThrowSpeed * d.z);
            if (g_boxes.count() == n)
                ++pushes; // the spot was taken: the box there was pushed, if it could be
            double after = 0.0;
            for (uint32_t k = 0; k < g_boxes.count(); ++k)
                after += energy(g_boxes.at(k), kFrameSeconds);
            thrown += after - all;
        }
    }

    int outside = 0, below = 0;
    for (uint32_t k = 10; k < g_boxes.count(); ++k) {
        const Box& b = g_boxes.at(k);
        if (b.position.x < -kArenaInside || b.position.x + b.size.x > kArenaInside || b.position.z < -kArenaInside ||
            b.position.z + b.size.z > kArenaInside)
            ++outside;
        if (b.position.y < -5.0f)
            ++below;
    }
    std::printf("%.0f s of bounce mode, %u boxes (%d crates thrown), 16 ms frames\n", seconds, g_boxes.count(),
                int(g_boxes.count()) - 10);
    std::printf("%-24s %12s %14s %14s\n", "response kind", "box-steps", "energy gained", "energy lost");
    for (int k = 0; k < KindCount; ++k)
        std::printf("%-24s %12ld %14.1f %14.1f\n", kKindNames[k], r.tallies[k].steps, r.tallies[k].gained,
                    r.tallies[k].lost);
    std::printf("energy brought by throws and pushes: %.1f (%d throws met a box and pushed it instead)\n", thrown,
                pushes);
    std::printf("pairs answered twice in one step: %ld\n", r.flippedAgain);
    std::printf("fastest speed seen: %.1f units/s, %.1f within the walls\n", double(fastest), double(fastestInside));
    std::printf("crates outside the walls at the end: %d, below the ground: %d\n", outside, below);
    return 0;
}
