// Placing, throwing and pushing crates with the mouse buttons, through the
// real frame loop.
#include <gtest/gtest.h>

#include "support/game_fixture.h"
#include "support/value_printers.h"

namespace {

struct SpawningTest : GameTest {
    void SetUp() override
    {
        GameTest::SetUp();
        settleOnGround();
    }
    // Points the view at `point` from where the eye is now.
    void aimAt(Vec3 point) { g_camera.target = point; }
    Vec3 aim() const { return g_camera.target; }
};

TEST_F(SpawningTest, ALeftClickInOpenAirPlacesACrateThatFallsAndRests)
{
    Vec3 target = aim();
    click(true);
    frame();
    ASSERT_EQ(g_boxes.count(), 11u);
    Box& crate = g_boxes.last();
    EXPECT_FLOAT_EQ(crate.position.x, target.x - 1.0f);
    EXPECT_FLOAT_EQ(crate.size.y, 2.0f);
    EXPECT_EQ(crate.velocity.x, 0.0f);
    frames(200);
    EXPECT_EQ(crate.position.y, -5.0f);
    EXPECT_EQ(game->quit(), 0);
    EXPECT_EQ(testctl::shownTexts().back(), "Box Count: 11");
}

TEST_F(SpawningTest, ARightClickThrowsAlongTheView)
{
    click(false);
    frame();
    ASSERT_EQ(g_boxes.count(), 11u);
    Vec3 v = g_boxes.last().velocity;
    EXPECT_NEAR(v.z, 10.0f, 1e-5f);
    EXPECT_NEAR(v.x, 0.0f, 1e-5f);
    float z = g_boxes.last().position.z;
    frame();
    EXPECT_NEAR(g_boxes.last().position.z, z + 10.0f * 0.016f, 1e-4f);
}

TEST_F(SpawningTest, AfterVAThrownCrateComesBackFromTheFarWall)
{
    type('v');
    click(false);
    frame();
    ASSERT_EQ(g_boxes.count(), 11u);
    const Box& crate = g_boxes.last();
    // Ten units a second toward the wall at z = 18, ten units away.
    int turnedAt = -1;
    for (int i = 0; i < 150 && turnedAt < 0; ++i) {
        frame();
        if (crate.velocity.z < 0.0f)
            turnedAt = i;
    }
    ASSERT_GE(turnedAt, 0) << "the crate never turned back; z " << crate.position.z;
    EXPECT_LE(crate.position.z + crate.size.z, 18.0f) << "it should turn at the wall, not inside it";
    const float atWall = crate.position.z;
    frames(30);
    EXPECT_LT(crate.position.z, atWall - 2.0f) << "it should come back toward the camera";
}

TEST_F(SpawningTest, AClickTouchingTheGroundAddsNothing)
{
    aimAt(Vec3(1, -4, 10));
    click(false);
    frame();
    EXPECT_EQ(g_boxes.count(), 10u);
}

TEST_F(SpawningTest, ARightClickOnACratePushesItAndALeftClickChangesNothing)
{
    Box& crate = g_boxes.at(5);
    aimAt(Vec3(-12.2f, -4.0f + 0.5f, 6.0f));
    click(true);
    frame();
    EXPECT_EQ(g_boxes.count(), 10u);
    EXPECT_VEC3_EQ(crate.velocity, Vec3(0, 0, 0));

    aimAt(Vec3(-12.2f, -3.5f, 6.1f));
    frames(10);
    Vec3 d = g_camera.viewDirection();
    click(false);
    frame();
    EXPECT_EQ(g_boxes.count(), 10u);
    EXPECT_NE(crate.velocity.x, 0.0f);
    EXPECT_NEAR(crate.velocity.x / d.x, 10.0f, 0.5f);
}

TEST_F(SpawningTest, ThePlayerCubeAndTheFirstWallsAreNeverPushedButWallFourIs)
{
    aimAt(Vec3(1, -4, 1)); // inside the player cube
    click(false);
    frame();
    EXPECT_EQ(g_boxes.count(), 10u);
    EXPECT_EQ(cube().velocity.x, 0.0f);

    aimAt(Vec3(0, 10, -19)); // inside wall 1
    frames(10);
    click(false);
    frame();
    EXPECT_VEC3_EQ(g_boxes.at(1).velocity, Vec3(0, 0, 0));

    aimAt(Vec3(19, 10, 0)); // inside wall 4
    frames(10);
    click(false);
    frame();
    EXPECT_NE(g_boxes.at(4).velocity.x, 0.0f);
}

TEST_F(SpawningTest, OnlyTheLowestIndexMetIsConsidered)
{
    // A new crate here touches the player cube (index 0) and a crate above it.
    cube().position = Vec3(-1, -5, 10);
    frames(2);
    std::unique_ptr<Box> extra(new Box());
    ASSERT_TRUE(extra->create(g_device, -1, -3, 10, 2, 2, 2));
    g_boxes.append(std::move(extra));
    uint32_t above = g_boxes.count() - 1;
    g_boxes.at(above).velocity = Vec3(0, 0, 0);
    aimAt(Vec3(0, -3, 11));
    frames(10);
    click(false);
    frame();
    EXPECT_EQ(g_boxes.count(), above + 1);
    EXPECT_EQ(g_boxes.at(above).velocity.x, 0.0f);
}

TEST_F(SpawningTest, HoldingAButtonWithAStillCameraSpawnsOnce)
{
    testctl::mouseButton(true, true);
    frames(30);
    EXPECT_EQ(g_boxes.count(), 11u);
    // Moving the view while holding spawns again once enough time has gathered.
    lookBy(40, 0);
    frame();
    EXPECT_EQ(g_boxes.count(), 12u);
    lookBy(40, 0);
    frame();
    EXPECT_EQ(g_boxes.count(), 12u); // only 16 ms gathered
    frames(6);
    lookBy(40, 0);
    frame();
    EXPECT_EQ(g_boxes.count(), 13u);
}

TEST_F(SpawningTest, BothButtonsInOneFrameSpawnOnce)
{
    click(true);
    click(false);
    frame();
    EXPECT_EQ(g_boxes.count(), 11u);
    EXPECT_EQ(g_boxes.last().velocity.z, 0.0f); // the left action went first
}

TEST_F(SpawningTest, ACallResetsTheCooldownWhateverItsOutcome)
{
    aimAt(Vec3(1, -4, 10)); // on the ground: nothing is added
    click(true);
    frame();
    EXPECT_EQ(g_spawnCooldown, 0.0f);
    aimAt(Vec3(1, 3, 10));
    click(true);
    frame();
    EXPECT_EQ(g_boxes.count(), 10u); // 16 ms is not enough
    frames(6);
    aimAt(Vec3(1, 3, 11));
    click(true);
    frame();
    EXPECT_EQ(g_boxes.count(), 11u);
}

struct FirstFrame : GameTest {};

TEST_F(FirstFrame, TheFirstSpawnNeedsOnlyATenthOfASecondOfRunning)
{
    click(true);
    frame(50);
    EXPECT_EQ(g_boxes.count(), 10u); // 0.05 s gathered
    click(true);
    frame(60);
    EXPECT_EQ(g_boxes.count(), 11u); // 0.11 s, and the falling cube has moved the aim point
}

TEST_F(SpawningTest, ALongStallLosesNoCrate)
{
    for (int i = 0; i < 5; ++i) {
        aimAt(Vec3(-8.0f + 4.0f * float(i), 25.0f, 10.0f));
        frames(8);
        click(false);
        frame();
    }
    ASSERT_EQ(g_boxes.count(), 15u);
    frame(5000); // one frame of five seconds
    for (uint32_t i = 0; i < g_boxes.count(); ++i)
        EXPECT_GE(g_boxes.at(i).position.y, -5.0f) << "box " << i;
    frames(300);
    for (uint32_t i = 0; i < g_boxes.count(); ++i)
        EXPECT_GE(g_boxes.at(i).position.y, -5.0f) << "box " << i;
}

TEST_F(SpawningTest, ACrateDroppedFromFarUpLandsInsteadOfFallingThroughTheGround)
{
    std::unique_ptr<Box> crate(new Box());
    ASSERT_TRUE(crate->create(g_device, 0, 3000, 10, 2, 2, 2));
    g_boxes.append(std::move(crate));
    Box& dropped = g_boxes.last();
    frames(800, 33); // 30 frames a second: at over 240 units a second a crate falls 8 units a frame
    EXPECT_EQ(dropped.position.y, -5.0f);
    EXPECT_EQ(dropped.velocity.y, 0.0f);
}

TEST_F(SpawningTest, ShortFramesStepPhysicsExactlyOnceAndLongOnesInEqualParts)
{
    // A 0.1 s frame is stepped as three steps of a third of it.
    std::unique_ptr<Box> a(new Box());
    a->position = Vec3(0, 100, 0);
    a->size = Vec3(1, 1, 1);
    a->velocity = Vec3(0, 0, 0);
    g_boxes.append(std::move(a));
    Box& falling = g_boxes.last();
    frame(100);
    // Three sub-steps of 1/30 s: v = -10/3 after the first, and so on.
    const float step = 0.1f / 3.0f;
    float v = 0.0f, y = 100.0f;
    for (int i = 0; i < 3; ++i) {
        v = v - step * 10.0f;
        y = y + v * step;
    }
    EXPECT_FLOAT_EQ(falling.velocity.y, v);
    EXPECT_FLOAT_EQ(falling.position.y, y);
}

} // namespace
