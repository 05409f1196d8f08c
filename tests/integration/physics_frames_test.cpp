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

} // namespace
