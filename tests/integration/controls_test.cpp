// Keys, mouse look and the two control modes, driven through the real frame
// loop with scripted input.
#include <gtest/gtest.h>

#include <cmath>

#include "support/game_fixture.h"
#include "support/value_printers.h"

namespace {

constexpr float kSeconds = kFrameMs / 1000.0f;

struct ControlsTest : GameTest {
    void SetUp() override
    {
        GameTest::SetUp();
        settleOnGround();
    }
    Vec3 offset() const { return g_camera.target - g_camera.eye; }
};

TEST_F(ControlsTest, TheCubeRestsOnTheGroundWithTheEyeOnItsTop)
{
    EXPECT_EQ(cube().position.y, -5.0f);
    EXPECT_FLOAT_EQ(g_camera.eye.y, -5.0f + 2.0f - 0.1f);
    EXPECT_FLOAT_EQ(g_camera.eye.x, 1.0f);
    EXPECT_NEAR(offset().z, 6.0f, 1e-5f);
}

TEST_F(ControlsTest, WithNoKeyTheCubeStopsAtOnceButKeepsFalling)
{
    cube().velocity = Vec3(3, 4, 3);
    frame();
    EXPECT_EQ(cube().velocity.x, 0.0f);
    EXPECT_EQ(cube().velocity.z, 0.0f);
    EXPECT_NE(cube().velocity.y, 0.0f);
}

TEST_F(ControlsTest, TheLastWalkingKeyInTableOrderWins)
{
    hold('W');
    hold('S');
    frame();
    EXPECT_NEAR(cube().velocity.z, -5.0f, 1e-5f); // backward
    hold('A');
    frame();
    EXPECT_NEAR(cube().velocity.x, -5.0f, 1e-5f); // left
    EXPECT_NEAR(cube().velocity.z, 0.0f, 1e-5f);
    hold('D');
    frame();
    EXPECT_NEAR(cube().velocity.x, 5.0f, 1e-5f); // right
    release('W');
    release('S');
    release('A');
    release('D');
    frame();
    EXPECT_EQ(cube().velocity.x, 0.0f);
}

TEST_F(ControlsTest, WalkingWhileLookingSteeplyDownKeepsFullSpeed)
{
    g_camera.target = g_camera.eye + Vec3(0.3f, -5.9f, 0.4f);
    hold('W');
    frame();
    EXPECT_NEAR(std::hypot(cube().velocity.x, cube().velocity.z), 5.0f, 1e-5f);
    EXPECT_NEAR(cube().velocity.x / cube().velocity.z, 0.75f, 1e-5f);
}

TEST_F(ControlsTest, WalkingMovesTheCubeAndTheViewRidesOnIt)
{
    float z = cube().position.z;
    hold('W');
    frames(30);
    EXPECT_GT(cube().position.z, z + 2.0f);
    EXPECT_FLOAT_EQ(g_camera.eye.z, cube().position.z + 1.0f);
}

TEST_F(ControlsTest, JumpSetsTheVerticalSpeedOnlyWhenNearlyStill)
{
    hold(VK_SPACE);
    frame();
    EXPECT_EQ(cube().velocity.y, 7.5f);
    frame(); // in the air: the held key does not jump again
    EXPECT_LT(cube().velocity.y, 7.5f);
    release(VK_SPACE);
    float top = g_camera.eye.y;
    for (int i = 0; i < 60; ++i) {
        frame();
        top = std::max(top, g_camera.eye.y);
    }
    EXPECT_GT(top, -3.1f + 2.0f);
    frames(100);
    EXPECT_EQ(cube().position.y, -5.0f); // and back down
}

TEST_F(ControlsTest, CtrlAndArrowsDoNothingInPlayerMode)
{
    Vec3 before = offset();
    hold(VK_CONTROL);
    hold(VK_LEFT);
    hold(VK_UP);
    frames(5);
    EXPECT_FALSE(offset() != before);
    EXPECT_FLOAT_EQ(g_camera.eye.y, -3.1f);
}

TEST_F(ControlsTest, FreeCameraFliesAndTurnsAndLeavesTheCubeAlone)
{
    type('x');
    EXPECT_TRUE(g_freeCameraMode);
    Vec3 eye = g_camera.eye;
    hold('W');
    hold('S');
    frame();
    EXPECT_NEAR(g_camera.eye.z, eye.z, 1e-5f); // the two moves cancel
    release('W');
    release('S');
    hold(VK_SPACE);
    frame();
    EXPECT_NEAR(g_camera.eye.y, eye.y + 50.0f * kSeconds, 1e-4f);
    release(VK_SPACE);
    hold(VK_CONTROL);
    frames(2);
    EXPECT_NEAR(g_camera.eye.y, eye.y - 50.0f * kSeconds, 1e-4f);
    release(VK_CONTROL);
    Vec3 before = offset();
    hold(VK_LEFT);
    frame();
    float turned = std::atan2(before.x, before.z) - std::atan2(offset().x, offset().z);
    EXPECT_NEAR(turned, 1.5707964f * kSeconds, 1e-4f);
    EXPECT_EQ(cube().position.y, -5.0f);
    type('x');
    frame();
    EXPECT_FLOAT_EQ(g_camera.eye.y, -3.1f); // back on the cube, keeping the direction of view
}

TEST_F(ControlsTest, MouseLookTurnsRightThenPitchesUpAndRecentres)
{
    Camera expected = g_camera;
    expected.turnRight(10 * 0.01f);
    expected.pitchUp(5 * 0.01f);
    Vec3 want = expected.target - expected.eye;
    int calls = testctl::setCursorPosCalls();
    lookBy(10, -5);
    frame();
    EXPECT_NEAR(offset().x, want.x, 1e-5f);
    EXPECT_NEAR(offset().y, want.y, 1e-5f);
    EXPECT_NEAR(offset().z, want.z, 1e-5f);
    EXPECT_EQ(testctl::setCursorPosCalls(), calls + 1);
    EXPECT_EQ(testctl::cursorPosition().x, kCentreX);
    EXPECT_EQ(testctl::cursorPosition().y, kCentreY);
    // At the centre nothing turns and the cursor is left alone.
    Vec3 still = offset();
    frame();
    EXPECT_FALSE(offset() != still);
    EXPECT_EQ(testctl::setCursorPosCalls(), calls + 1);
}

TEST_F(ControlsTest, CollisionKeyCyclesStopAndBounceAndMendsAnyOtherValue)
{
    EXPECT_EQ(g_collisionType, CollisionType::Stop);
    type('v');
    EXPECT_EQ(g_collisionType, CollisionType::Bounce);
    type('v');
    EXPECT_EQ(g_collisionType, CollisionType::Stop);
    g_collisionType = CollisionType::Freeze;
    type('v');
    EXPECT_EQ(g_collisionType, CollisionType::Stop);
}

TEST_F(ControlsTest, UpperCaseLettersAndOtherCharactersDoNothing)
{
    for (char c : {'Z', 'X', 'C', 'V', 'N', 'M', 'q', ' ', char(27)})
        type(c);
    EXPECT_TRUE(g_shadowsEnabled);
    EXPECT_FALSE(g_freeCameraMode);
    EXPECT_EQ(g_collisionType, CollisionType::Stop);
    EXPECT_TRUE(g_pointLightEnabled);
    EXPECT_TRUE(g_spotLightEnabled);
    EXPECT_FALSE(game->ended());
}

TEST_F(ControlsTest, ResetPutsTheCubeCornerOnTheAimPointWithoutRebuildingItsMesh)
{
    cube().velocity = Vec3(1, 2, 3);
    void* data = nullptr;
    cube().vertexBuffer->Lock(0, 0, &data, 0);
    float meshY = static_cast<BoxVertex*>(data)[0].y;
    cube().vertexBuffer->Unlock();

    type('c');
    EXPECT_FALSE(cube().position != g_camera.target);
    EXPECT_VEC3_EQ(cube().velocity, Vec3(0, 0, 0));
    cube().vertexBuffer->Lock(0, 0, &data, 0);
    EXPECT_EQ(static_cast<BoxVertex*>(data)[0].y, meshY);
    cube().vertexBuffer->Unlock();
}

TEST_F(ControlsTest, KeyCommandsStillActWhileAMessageBoxIsOpen)
{
    testctl::captureMessageBoxes([](const testctl::ShownBox& box) {
        if (box.text == "Aimer failed to Update")
            testctl::typeChar('z');
    });
    g_aimer.release(); // the marker can no longer move: every frame says so
    Vec3 before = offset();
    lookBy(20, 0);
    frame();
    ASSERT_EQ(testctl::shownTexts().back(), "Aimer failed to Update");
    EXPECT_EQ(testctl::shownBoxes().back().caption, "");
    EXPECT_FALSE(g_shadowsEnabled);
    EXPECT_TRUE(offset() != before); // the frame's look was applied first
    frame();
    EXPECT_TRUE(g_shadowsEnabled); // once per failing frame
}

struct OddDesktop : GameTest {
    void beforeStart() override { testctl::setDesktopSize(801, 601); }
};

TEST_F(OddDesktop, TheCursorIsHeldAtTheTruncatedCentre)
{
    EXPECT_EQ(testctl::cursorPosition().x, 400);
    EXPECT_EQ(testctl::cursorPosition().y, 300);
    Vec3 before = g_camera.target - g_camera.eye;
    frame();
    frame();
    Vec3 after = g_camera.target - g_camera.eye;
    EXPECT_NEAR(after.x, before.x, 1e-6f); // no drift from an off-by-one centre
    EXPECT_NEAR(after.y, before.y, 1e-6f);
}

} // namespace
