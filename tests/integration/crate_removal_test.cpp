// Removing crates (Delete, the middle button) and returning the player cube
// to its start (r), through the real frame loop.
#include <gtest/gtest.h>

#include <string>

#include "physics/broad_phase_step.h"
#include "physics/physics_step.h"
#include "support/game_fixture.h"
#include "support/state_hash.h"
#include "support/value_printers.h"

namespace {

struct CrateRemoval : GameTest {
    void SetUp() override
    {
        GameTest::SetUp();
        settleOnGround();
    }
    // The key acts on the aim point as it is when the key arrives.
    void removeAt(Vec3 aim, bool middleButton = false)
    {
        g_camera.target = aim;
        if (middleButton) {
            testctl::middleMouseButton(true);
            testctl::middleMouseButton(false);
        } else {
            testctl::keyDown(VK_DELETE);
            testctl::keyUp(VK_DELETE);
        }
        game->settle();
    }
    Vec3 centreOf(uint32_t i) const
    {
        const Box& b = g_boxes.at(i);
        return Vec3(b.position.x + b.size.x / 2, b.position.y + b.size.y / 2, b.position.z + b.size.z / 2);
    }
};

TEST_F(CrateRemoval, TheNearestCrateAtTheAimGoesAndTheCountFollows)
{
    const Vec3 eighth = g_boxes.at(8).position;
    const Vec3 ninth = g_boxes.at(9).position;
    // Between crates 6 and 7 (two units apart), nearer 7: crate 7 goes, the later ones move down.
    removeAt(centreOf(7) - Vec3(0.9f, 0.0f, 0.0f));
    ASSERT_EQ(g_boxes.count(), 9u);
    EXPECT_VEC3_EQ(g_boxes.at(7).position, eighth);
    EXPECT_VEC3_EQ(g_boxes.at(8).position, ninth);
    removeAt(centreOf(5) + Vec3(0.0f, 1.9f, 0.0f), true); // the middle button, just above the crate
    EXPECT_EQ(g_boxes.count(), 8u);
    removeAt(centreOf(5) + Vec3(0.0f, 2.5f, 0.0f)); // too far above: nothing
    EXPECT_EQ(g_boxes.count(), 8u);

    // The player cube and the walls, the pushable one too, are never removed.
    for (uint32_t i = 0; i < kFirstCrateIndex; ++i) {
        removeAt(centreOf(i));
        removeAt(centreOf(i), true);
    }
    EXPECT_EQ(g_boxes.count(), 8u);
    frames(10);
    EXPECT_EQ(game->quit(), 0);
    EXPECT_EQ(testctl::shownTexts().back(), "Box Count: 8");
}

TEST_F(CrateRemoval, RTakesThePlayerCubeBackToItsStartAtRestFromWhereItFallsAsAtFirst)
{
    const Vec3 landed = cube().position;
    hold('D');
    frames(40);
    release('D');
    ASSERT_GT(cube().position.x, landed.x + 2.0f);
    type('r');
    EXPECT_VEC3_EQ(cube().position, Vec3(0, 0, 0));
    EXPECT_VEC3_EQ(cube().velocity, Vec3(0, 0, 0));
    settleOnGround();
    EXPECT_VEC3_EQ(cube().position, landed);
}

// Taking a crate from among the others while crates fly: the broad phase,
// which keeps its grid from step to step, answers as the reference step.
uint64_t playRemovingWhileCratesFly(GameTest& t, PhysicsStepMethod method)
{
    g_physicsStepMethod = method;
    t.settleOnGround();
    t.type('x');
    for (int i = 0; i < 4; ++i) {
        t.lookBy(-25, 0);
        t.frame();
        t.click(false);
        t.frames(8); // more than the 0.1 s between two crates
    }
    const uint32_t before = g_boxes.count();
    EXPECT_GT(before, 10u) << "crates were thrown";
    g_camera.target = Vec3(-6.2f, -4.0f, 6.0f); // on crate 8 of the start, while thrown ones fly
    testctl::keyDown(VK_DELETE);
    testctl::keyUp(VK_DELETE);
    t.frames(150);
    std::string problem;
    EXPECT_TRUE(validateBroadPhase(g_boxes, problem)) << problem;
    EXPECT_EQ(g_boxes.count(), before - 1);
    return stateHash();
}

TEST_F(GameTest, RemovingACrateKeepsTheBroadPhaseExact)
{
    const uint64_t broadPhase = playRemovingWhileCratesFly(*this, PhysicsStepMethod::BroadPhase);
    restart();
    EXPECT_EQ(playRemovingWhileCratesFly(*this, PhysicsStepMethod::Reference), broadPhase);
}

} // namespace
