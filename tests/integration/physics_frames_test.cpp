// Physics through the real frame loop: what frames write, how they are split
// into steps, and bounce mode neither losing nor gaining energy.
#include <gtest/gtest.h>

#include "test_controls.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "game/spawning.h"
#include "physics/overlap.h"
#include "physics/physics_step.h"
#include "support/game_fixture.h"
#include "support/geometry.h"

namespace {

using PhysicsFrames = GameTest;

uint32_t vertexWrites(const Box& box)
{
    return testctl::bufferWrites(box.vertexBuffer) + testctl::bufferWrites(box.shadowVertexBuffer);
}

TEST_F(PhysicsFrames, RestingBoxesKeepTheirVertexDataWhileAWalkingCubeIsRewritten)
{
    settleOnGround();
    std::vector<uint32_t> before;
    for (uint32_t i = 0; i < g_boxes.count(); ++i)
        before.push_back(vertexWrites(g_boxes.at(i)));
    hold('W');
    frames(10);
    release('W');
    EXPECT_GT(vertexWrites(cube()), before[0]);
    for (uint32_t i = 1; i < g_boxes.count(); ++i)
        EXPECT_EQ(vertexWrites(g_boxes.at(i)), before[i]) << "box " << i;
}

Box& addCrate(Vec3 position, Vec3 velocity)
{
    addBox(g_device, position.x, position.y, position.z, 2.0f, 2.0f, 2.0f);
    g_boxes.last().velocity = velocity;
    return g_boxes.last();
}

// A frame is one step unless a fast box could meet something: a crate
// falling forever far below the ground, two falling side by side, or one
// falling far from a crate stopped down there, split nothing, so a crate
// falling freely in the arena moves by exactly one step.
TEST_F(PhysicsFrames, FastCratesThatCanMeetNothingLeaveTheFrameOneStep)
{
    settleOnGround();
    Box& probe = addCrate(Vec3(0, 20, 0), Vec3(0, 0, 0));
    addCrate(Vec3(0, -1.0e5f, 0), Vec3(0, -5000, 0));
    addCrate(Vec3(100, -2.0e4f, 0), Vec3(0, -3000, 0));
    addCrate(Vec3(102, -2.0e4f, 0), Vec3(0, -3000.5f, 0));
    addCrate(Vec3(200, -3.0e4f, 0), Vec3(0, 0, 0));
    frame();
    const float dt = float(kFrameMs) * 0.001f;
    const float v = 0.0f - dt * kGravity;
    EXPECT_EQ(probe.velocity.y, v);
    EXPECT_EQ(probe.position.y, 20.0f + v * dt);
}

// What the split is for: at 600 units a second a crate would pass a wall,
// or another crate, whole in one frame; it still stops at the wall and
// lands on the crate below.
TEST_F(PhysicsFrames, AFastCrateStopsAtTheWallAndLandsOnTheStack)
{
    settleOnGround();
    Box& thrown = addCrate(Vec3(2.3f, -5, -3), Vec3(600, 0, 0));
    Box& dropped = addCrate(Vec3(-13.2f, 12, 5), Vec3(0, -600, 0));
    frames(60);
    EXPECT_LE(thrown.position.x + thrown.size.x, 18.0f);
    EXPECT_EQ(dropped.position.y, -3.0f);
    EXPECT_EQ(dropped.velocity.y, 0.0f);
}

// Bounce mode loses nothing and gains nothing: a crate dropped on the
// ground, or on a resting crate, climbs back to the height it fell from,
// bounce after bounce, at any frame rate.
TEST_F(PhysicsFrames, ABouncingCrateReturnsToItsHeightFortyTimesAtAnyFrameRate)
{
    type('v');
    ASSERT_EQ(g_collisionType, CollisionType::Bounce);
    const float drop = 3.0f;
    const float groundTop = -5.0f;
    Box& lower = g_boxes.at(5); // a starting crate, resting on the ground
    const float lowerTop = lower.position.y + lower.size.y;
    for (DWORD ms : {8u, 16u, 33u}) {
        Box& onGround = addCrate(Vec3(8, groundTop + drop, -8), Vec3(0, 0, 0));
        Box& onCrate = addCrate(Vec3(lower.position.x - 0.5f, lowerTop + drop, lower.position.z), Vec3(0, 0, 0));
        struct Track {
            Box* crate;
            float surface;
            float last;
            bool rising = false;
            int peaks = 0;
        } tracks[] = {{&onGround, groundTop, onGround.position.y}, {&onCrate, lowerTop, onCrate.position.y}};
        const int frameCount = int(70000 / ms);
        for (int f = 0; f < frameCount; ++f) {
            frame(ms);
            for (Track& t : tracks) {
                const float y = t.crate->position.y;
                if (t.rising && y < t.last) {
                    ++t.peaks;
                    EXPECT_NEAR(t.last - t.surface, drop, 0.01f * drop) << ms << " ms frames, peak " << t.peaks;
                }
                t.rising = y > t.last || (t.rising && y == t.last); // the top can last two frames
                t.last = y;
            }
        }
        for (const Track& t : tracks)
            EXPECT_GE(t.peaks, 40) << ms << " ms frames";
        EXPECT_EQ(lower.position.y, groundTop);
        g_boxes.removeLast();
        g_boxes.removeLast();
    }
}

// The cube put into the far wall's face in bounce mode bounces there on the
// ground, inside the wall's face; walking on into the wall takes it neither
// down through the ground nor out under the wall's foot.
TEST_F(PhysicsFrames, ACubePutIntoAWallInBounceModeStaysAboveTheGroundAndInside)
{
    settleOnGround();
    hold('W');
    frames(125);
    release('W');
    frames(30);
    type('v');
    type('c');
    const float farWallInside = 18.0f;
    ASSERT_GT(cube().position.z + cube().size.z, farWallInside) << "the cube is put into the wall's face";
    float lowest = cube().position.y, farthest = cube().position.z;
    auto play = [&](int n) {
        for (int f = 0; f < n; ++f) {
            frame();
            lowest = std::min(lowest, cube().position.y);
            farthest = std::max(farthest, cube().position.z);
        }
    };
    play(60);
    hold('W');
    play(100);
    release('W');
    play(200);
    EXPECT_GE(lowest, -5.01f);
    EXPECT_LT(farthest + 0.5f * cube().size.z, farWallInside);
}

// In a long bounce game a crate was squeezed into the far wall's face by
// another and bounced on: it must neither sink into the ground nor leave
// under the wall, on ordinary frames or on stalls.
TEST_F(PhysicsFrames, ACrateSqueezedIntoAWallByAnotherInBounceModeStaysInTheArena)
{
    type('v');
    const float farWallInside = 18.0f;
    Box& squeezed = addCrate(Vec3(0, -4.5f, farWallInside - 2.0f + 0.147f), Vec3(0, -2, 0));
    Box& pressing = addCrate(Vec3(0.3f, -5.0f, farWallInside - 4.0f + 0.147f), Vec3(0, 0, 0));
    float lowest = squeezed.position.y, deepest = squeezed.position.z;
    for (int f = 0; f < 3000; ++f) {
        frame(f % 50 == 49 ? 250 : kFrameMs);
        lowest = std::min({lowest, squeezed.position.y, pressing.position.y});
        deepest = std::max(deepest, squeezed.position.z);
    }
    EXPECT_GE(lowest, -5.0f);
    EXPECT_LT(deepest + 0.5f * squeezed.size.z, farWallInside);
}

// Two crates dropped one above the other in bounce mode meet in the air
// again and again: the lower one, turned back down by the upper one just
// after bouncing off the ground, comes to rest on the ground rather than
// dipping into it.
TEST_F(PhysicsFrames, ACrateCaughtBetweenTheGroundAndACrateAboveNeverDipsIntoTheGround)
{
    type('v');
    const float groundTop = -5.0f;
    for (DWORD ms : {8u, 16u, 33u}) {
        Box& lower = addCrate(Vec3(8, groundTop + 1.0f, -8), Vec3(0, 0, 0));
        Box& upper = addCrate(Vec3(8.5f, groundTop + 3.5f, -8), Vec3(0, -3, 0));
        float lowest = lower.position.y;
        for (int f = 0; f < int(20000 / ms); ++f) {
            frame(ms);
            lowest = std::min({lowest, lower.position.y, upper.position.y});
        }
        EXPECT_GE(lowest, groundTop) << ms << " ms frames";
        g_boxes.removeLast();
        g_boxes.removeLast();
    }
}

struct Crowd : GameTest {
    void beforeStart() override { testctl::drawLog().recording = false; }
};

// A player throwing crate after crate into the open in bounce mode: in
// three minutes no crate finds its own way out of the arena (its centre
// stays within the walls and above the ground), and none moves faster than
// its throw and its fall could make it.
TEST_F(Crowd, ThrownAboutInBounceModeForThreeMinutesItStaysInTheArena)
{
    type('v');
    constexpr int kCrates = 300;
    constexpr int kFrames = 180000 / int(kFrameMs);
    constexpr float kHighestAim = 25.0f;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> across(-15.0f, 15.0f), up(-2.0f, kHighestAim), way(-1.0f, 1.0f);
    // A crate's bottom starts at most kHighestAim high; the ground's top is at -5.
    const float fastestPossible = std::sqrt(kThrowSpeed * kThrowSpeed + 2.0f * kGravity * (kHighestAim + 5.0f));
    int thrown = 0;
    float fastest = 0.0f;
    for (int f = 0; f < kFrames; ++f) {
        if (f % (kFrames / kCrates) == 0 && thrown < kCrates) {
            Box probe;
            do {
                setGeometry(probe, Vec3(across(random), up(random), across(random)), Vec3(2, 2, 2));
            } while (findOverlap(&probe, g_boxes) != -1 || boxOverlaps(probe, g_ground));
            g_camera.target = probe.position + Vec3(1, 1, 1);
            Vec3 d(way(random), way(random), way(random));
            normalizeInPlace(d);
            ASSERT_TRUE(spawnOrPush(kThrowSpeed * d.x, kThrowSpeed * d.y, kThrowSpeed * d.z));
            ASSERT_EQ(g_boxes.count(), 11u + uint32_t(thrown++));
        }
        frame();
        for (uint32_t k = 10; k < g_boxes.count(); ++k) {
            const Box& c = g_boxes.at(k);
            const Vec3 centre = c.position + Vec3(1, 1, 1);
            ASSERT_TRUE(std::fabs(centre.x) < 18.0f && std::fabs(centre.z) < 18.0f && centre.y > -5.0f)
                << "crate " << k << " left at frame " << f << ": " << centre.x << ", " << centre.y << ", " << centre.z;
            fastest = std::max(fastest, length(c.velocity));
        }
    }
    EXPECT_EQ(thrown, kCrates);
    EXPECT_LE(fastest, fastestPossible * 1.01f);
}

} // namespace
