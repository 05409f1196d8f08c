// The broad-phase step against the reference step: the same scenes run
// side by side and every box's position and velocity must agree bit for bit
// after every step, in every collision mode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "physics/physics_step.h"
#include "physics/split_travel.h"
#include "support/geometry.h"

namespace {

constexpr float kFriction = 20.0f;
constexpr float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

bool sameBits(const Vec3& a, const Vec3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Two copies of one scene: one stepped by the reference, one by the broad phase.
struct Twin {
    BoxList reference, broad;
    Box ground;
    Twin() { setGeometry(ground, Vec3(-20, -10, -20), Vec3(40, 5, 40)); }

    void add(Vec3 p, Vec3 s, Vec3 v = Vec3(0, 0, 0))
    {
        addGeometry(reference, p, s, v);
        addGeometry(broad, p, s, v);
    }
    void addWalls()
    {
        add(Vec3(-20, -5, -20), Vec3(40, 40, 2));
        add(Vec3(-20, -5, 18), Vec3(40, 40, 2));
        add(Vec3(-20, -5, -18), Vec3(2, 40, 36));
        add(Vec3(18, -5, -18), Vec3(2, 40, 36));
    }
    void removeLast()
    {
        reference.removeLast();
        broad.removeLast();
    }
    // What the game does between steps: a push or a walk sets a velocity.
    void setVelocity(uint32_t i, Vec3 v)
    {
        reference.at(i).velocity = v;
        broad.at(i).velocity = v;
    }

    // Gravity and one step on each copy; false, with the first difference
    // reported, when they disagree.
    bool step(float dt, CollisionType type, const std::string& where)
    {
        for (BoxList* list : {&reference, &broad})
            for (uint32_t i = 0; i < list->count(); ++i)
                list->at(i).velocity.y = list->at(i).velocity.y - dt * kGravity;
        stepPhysicsReference(reference, dt, ground, kFriction, true, type);
        stepPhysicsBroadPhase(broad, dt, ground, kFriction, true, type);
        std::string problem;
        if (!validateBroadPhase(broad, problem)) {
            ADD_FAILURE() << where << ": the broad phase's own state is wrong: " << problem;
            return false;
        }
        for (uint32_t i = 0; i < reference.count(); ++i) {
            const Box& r = reference.at(i);
            const Box& b = broad.at(i);
            if (!sameBits(r.position, b.position) || !sameBits(r.velocity, b.velocity)) {
                ADD_FAILURE() << where << ": box " << i << " reference p(" << r.position.x << ", " << r.position.y
                              << ", " << r.position.z << ") v(" << r.velocity.x << ", " << r.velocity.y << ", "
                              << r.velocity.z << "), broad phase p(" << b.position.x << ", " << b.position.y
                              << ", " << b.position.z << ") v(" << b.velocity.x << ", " << b.velocity.y << ", "
                              << b.velocity.z << ")";
                return false;
            }
        }
        return true;
    }
    bool run(int steps, float dt, CollisionType type, const std::string& name)
    {
        for (int s = 0; s < steps; ++s)
            if (!step(dt, type, name + " step " + std::to_string(s)))
                return false;
        return true;
    }
};

const CollisionType kTypes[] = {CollisionType::Stop, CollisionType::Bounce, CollisionType::Freeze};

std::string nameOf(CollisionType t)
{
    return t == CollisionType::Stop ? "stop" : t == CollisionType::Bounce ? "bounce" : "freeze";
}

// Crates resting in layers on one another and on the ground, every face
// exactly touching its neighbours, some on cell boundaries; one falls in.
void restingStack(Twin& t)
{
    t.addWalls();
    for (int layer = 0; layer < 4; ++layer)
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 5; ++column)
                t.add(Vec3(-6.0f + 2.0f * float(column), -5.0f + 2.0f * float(layer), -4.0f + 2.0f * float(row)),
                      Vec3(2, 2, 2));
    t.add(Vec3(-5.5f, 10, -3.5f), Vec3(2, 2, 2), Vec3(0.5f, -4, 0.25f));
    // Gaps of one unit in the last place: apart, or touching after rounding.
    t.add(Vec3(std::nextafter(4.0f, 5.0f), -5, -4), Vec3(2, 2, 2));
    t.add(Vec3(6, std::nextafter(-5.0f, -6.0f), -4), Vec3(2, 2, 2), Vec3(-1e-6f, 0, 0));
}

// Crates anywhere in the arena, many overlapping, thrown in every direction.
void randomCrowd(Twin& t, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> place(-17.0f, 15.0f), height(-5.0f, 30.0f), speed(-30.0f, 30.0f),
        size(0.5f, 3.0f);
    t.addWalls();
    for (int i = 0; i < 150; ++i) {
        // Some land on whole units, where faces touch exactly.
        const bool aligned = i % 3 == 0;
        Vec3 p(place(random), height(random), place(random));
        if (aligned)
            p = Vec3(std::floor(p.x), std::floor(p.y), std::floor(p.z));
        const float s = aligned ? 2.0f : size(random);
        t.add(p, Vec3(s, s, s), Vec3(speed(random), speed(random), speed(random)));
    }
}

// Fast throws into the walls and the stack, a crate dropped from far up, one
// falling forever far below, and boxes no grid can place.
void hostile(Twin& t)
{
    t.addWalls();
    for (int i = 0; i < 6; ++i)
        t.add(Vec3(-4.0f + 2.0f * float(i), -5, 0), Vec3(2, 2, 2));
    t.add(Vec3(0, 2, 5), Vec3(2, 2, 2), Vec3(900, 0, 0));
    t.add(Vec3(-10, 20, -10), Vec3(2, 2, 2), Vec3(-150, -300, 70));
    t.add(Vec3(1, 3000, 1), Vec3(2, 2, 2), Vec3(0, -20000, 0));
    t.add(Vec3(5, -1.25e6f, 5), Vec3(2, 2, 2), Vec3(0, -5000, 0));
    t.add(Vec3(5, -3e7f, 5), Vec3(2, 2, 2), Vec3(0, -30000, 0));
    t.add(Vec3(5, -2e9f, 5), Vec3(2, 2, 2), Vec3(0, -200000, 0));
    t.add(Vec3(0, 4, 0), Vec3(2, 2, 2), Vec3(kNaN, 0, 0));
    t.add(Vec3(-2, 0, 1), Vec3(2, 2, 2), Vec3(0, kInf, 0));
    t.add(Vec3(3, -5, 3), Vec3(2, 2, 2), Vec3(-kInf, 0, 1e30f));
    t.add(Vec3(2, -4, 0), Vec3(0, 0, 0));
    t.add(Vec3(-3, -5, 0), Vec3(0, 2, 2));
    t.add(Vec3(4, -5, 1), Vec3(-2, 2, 2), Vec3(1, 0, 0));
    t.add(Vec3(kNaN, 0, 0), Vec3(2, 2, 2));
    t.add(Vec3(-kInf, -5, 0), Vec3(2, 2, 2));
    t.add(Vec3(0, -5, 0), Vec3(1e30f, 1, 1));
    t.add(Vec3(-1e-30f, -5, 0), Vec3(1e-30f, 1e-30f, 1e-30f));
    t.add(Vec3(-4, -5, -4), Vec3(kInf, 2, 2));
    // A column falling outside the walls, catching up on one another: more
    // strays in a step than a visitor scans.
    for (int i = 0; i < 60; ++i)
        t.add(Vec3(30.0f + 0.3f * float(i % 4), -100.0f - 2.5f * float(i), 30), Vec3(2, 2, 2),
              Vec3(0, -50.0f - 7.0f * float((i * 7) % 60), 0));
}

// Crates that fell away from the arena long ago, at every scale of
// coordinate from a hundred units below to near the largest float (where a
// step overflows to infinity): at each, two crates thrown together, one
// catching up on another from above, and a column falling side by side,
// faces touching. Each scale also has crates just either side of where
// cells start to widen with distance.
void farBelowAtEveryScale(Twin& t)
{
    t.addWalls();
    std::vector<float> depths;
    for (float depth = 100.0f; depth < 1.0e38f; depth *= 10.0f)
        depths.push_back(depth);
    for (float edge : {131072.0f, 262144.0f, 3.4e38f})
        for (float d : {std::nextafter(edge, 0.0f), edge, std::nextafter(edge, kInf)})
            depths.push_back(d);
    float x = 25.0f;
    for (float depth : depths) {
        const float y = -depth;
        const float speed = -std::sqrt(2.0f * kGravity * depth);
        t.add(Vec3(x, y, 30), Vec3(2, 2, 2), Vec3(0, speed, 0));
        t.add(Vec3(x + 1, y + 1, 30.5f), Vec3(2, 2, 2), Vec3(2, speed + 3, 0));
        t.add(Vec3(x, y + 3, 34), Vec3(2, 2, 2), Vec3(0, speed - 200, 0));
        t.add(Vec3(x, y, 34), Vec3(2, 2, 2), Vec3(0, speed, 0));
        for (int i = 0; i < 4; ++i)
            t.add(Vec3(x + 2.0f * float(i), y, 38), Vec3(2, 2, 2), Vec3(0, speed, 0));
        x += 9.0f;
    }
}

TEST(PhysicsDifferential, TheBroadPhaseStepMatchesTheReferenceBitForBit)
{
    int steps = 0;
    for (CollisionType type : kTypes) {
        const std::string mode = nameOf(type);
        {
            Twin t;
            restingStack(t);
            ASSERT_TRUE(t.run(150, 1.0f / 60.0f, type, "resting stack, " + mode));
            steps += 150;
        }
        for (unsigned seed = 1; seed <= 3; ++seed) {
            Twin t;
            randomCrowd(t, seed);
            const float dt = seed == 2 ? 1.0f / 30.0f : 1.0f / 125.0f;
            ASSERT_TRUE(t.run(150, dt, type, "crowd " + std::to_string(seed) + ", " + mode));
            steps += 150;
        }
        {
            Twin t;
            hostile(t);
            ASSERT_TRUE(t.run(120, 1.0f / 60.0f, type, "hostile, " + mode));
            ASSERT_TRUE(t.run(3, 0.0f, type, "hostile at dt 0, " + mode));
            steps += 123;
        }
        {
            Twin t;
            farBelowAtEveryScale(t);
            ASSERT_TRUE(t.run(40, 1.0f / 60.0f, type, "far below, " + mode));
            ASSERT_TRUE(t.run(10, 0.25f, type, "far below in long steps, " + mode));
            steps += 50;
        }
    }
    EXPECT_GE(steps, 2000);
}

// Between steps the game appends crates, takes the last one back, and sets
// velocities; the broad phase keeps its grid across steps and must follow.
TEST(PhysicsDifferential, TheBroadPhaseFollowsTheListBetweenSteps)
{
    for (CollisionType type : {CollisionType::Stop, CollisionType::Bounce}) {
        Twin t;
        restingStack(t);
        std::mt19937 random(7);
        std::uniform_real_distribution<float> place(-16.0f, 14.0f), speed(-12.0f, 12.0f);
        for (int round = 0; round < 60; ++round) {
            const std::string where = nameOf(type) + " round " + std::to_string(round);
            for (int n = 0; n < 3; ++n)
                t.add(Vec3(place(random), 12.0f + 2.5f * float(n), place(random)), Vec3(2, 2, 2),
                      Vec3(speed(random), 0, speed(random)));
            if (round % 4 == 0)
                t.removeLast();
            t.setVelocity(uint32_t(round) % t.reference.count(), Vec3(speed(random), 5, speed(random)));
            ASSERT_TRUE(t.run(5, 1.0f / 60.0f, type, where));
        }
        while (t.reference.count() > 20)
            t.removeLast();
        ASSERT_TRUE(t.run(30, 1.0f / 60.0f, type, nameOf(type) + " after removals"));
    }
}

} // namespace

// The sorted split rule against every-box-with-every-box, over crowds with
// fast crates thrown in the arena, falling far below it (beside slow ones
// stopped down there), huge and non-finite ones.
TEST(PhysicsDifferential, TheSortedSplitRuleMatchesTheReference)
{
    Box ground;
    setGeometry(ground, Vec3(-20, -10, -20), Vec3(40, 5, 40));
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto pick = [&](float lo, float hi) { return lo + (hi - lo) * unit(random); };
    SplitScratch scratch;
    int split = 0, unsplit = 0;
    for (int round = 0; round < 300; ++round) {
        BoxList list;
        const int boxes = 1 + int(random() % 200);
        for (int k = 0; k < boxes; ++k) {
            const int kind = int(random() % 10);
            const float speed = kind < 4 ? pick(-5.0f, 5.0f) : pick(-900.0f, 900.0f);
            Vec3 p(pick(-30, 30), pick(-5, 30), pick(-30, 30));
            if (kind == 5 || kind == 6)
                p.y = pick(-4.0e4f, -1.0e3f); // falling forever, or stopped down there
            Vec3 s(2, 2, 2);
            if (kind == 7)
                s = Vec3(pick(0.1f, 40.0f), pick(0.1f, 40.0f), pick(0.1f, 40.0f));
            Vec3 v(0, kind == 6 ? 0.0f : speed, 0);
            if (kind == 8)
                v = Vec3(speed, pick(-50, 50), -speed);
            if (kind == 9 && random() % 8 == 0)
                p.x = random() % 2 ? kNaN : kInf;
            addGeometry(list, p, s, v);
        }
        for (float dt : {1.0f / 60.0f, 1.0f / 30.0f / 64.0f}) {
            const float expected = splitTravelReference(list, ground, dt, 1.0f / 30.0f, 1.0f);
            const float got = splitTravel(list, ground, dt, 1.0f / 30.0f, 1.0f, scratch);
            ASSERT_EQ(got, expected) << "round " << round << ", step " << dt;
            (expected > 1.0f ? split : unsplit)++;
        }
    }
    // Both outcomes were exercised.
    EXPECT_GT(split, 50);
    EXPECT_GT(unsplit, 50);
}

// Past its budget of comparisons the sorted rule stops comparing and every
// fast box asks for its own travel: more splitting than the reference asks
// for, never less. Crates falling side by side far below the arena need no
// split; a few of them stay within the budget, many pass it.
TEST(PhysicsDifferential, PastItsBudgetTheSplitRuleAsksForEveryFastBoxsOwnTravel)
{
    Box ground, everywhere;
    setGeometry(ground, Vec3(-20, -10, -20), Vec3(40, 5, 40));
    // Every path reaches it, so with it the reference asks for each fast box's own travel.
    setGeometry(everywhere, Vec3(-1.0e6f, -1.0e6f, -1.0e6f), Vec3(2.0e6f, 2.0e6f, 2.0e6f));
    const float dt = 1.0f / 60.0f, frame = 1.0f / 30.0f, fastTravel = 1.0f;
    SplitScratch scratch;
    for (int crates : {40, 400}) {
        BoxList list;
        for (int k = 0; k < crates; ++k)
            addGeometry(list, Vec3(2.0f * float(k % 20), -1.0e4f, 2.0f * float(k / 20)), Vec3(2, 2, 2),
                        Vec3(0, -900.0f - 0.01f * float(k), 0));
        const float reference = splitTravelReference(list, ground, dt, frame, fastTravel);
        const float own = splitTravelReference(list, everywhere, dt, frame, fastTravel);
        ASSERT_LT(reference, fastTravel) << crates << " crates";
        ASSERT_GT(own, fastTravel) << crates << " crates";
        EXPECT_EQ(splitTravel(list, ground, dt, frame, fastTravel, scratch), crates < 100 ? reference : own)
            << crates << " crates";
    }
}
