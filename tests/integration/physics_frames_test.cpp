// Physics through the real frame loop: what frames write, and how they are
// split into steps.
#include <gtest/gtest.h>

#include <vector>

#include "d3d9/resources.h"
#include "physics/physics_step.h"
#include "support/game_fixture.h"

namespace {

using PhysicsFrames = GameTest;

uint32_t vertexWrites(const Box& box)
{
    return asImpl(box.vertexBuffer)->data.version + asImpl(box.shadowVertexBuffer)->data.version;
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
// falling forever far below the ground, or two falling side by side, split
// nothing, so a crate falling freely in the arena moves by exactly one step.
TEST_F(PhysicsFrames, FastCratesThatCanMeetNothingLeaveTheFrameOneStep)
{
    settleOnGround();
    Box& probe = addCrate(Vec3(0, 20, 0), Vec3(0, 0, 0));
    addCrate(Vec3(0, -1.0e5f, 0), Vec3(0, -5000, 0));
    addCrate(Vec3(100, -2.0e4f, 0), Vec3(0, -3000, 0));
    addCrate(Vec3(102, -2.0e4f, 0), Vec3(0, -3000.5f, 0));
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

} // namespace
