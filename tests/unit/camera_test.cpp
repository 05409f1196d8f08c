// The camera: turns, pitches with their guard, moves, and the invariant that
// every operation keeps the distance from eye to target.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "math/camera.h"
#include "support/value_printers.h"

namespace {

constexpr float kHalfPi = 1.5707964f;

Camera cameraAt(Vec3 eye, Vec3 target)
{
    Camera c;
    c.eye = eye;
    c.target = target;
    c.up = Vec3(0, 1, 0);
    return c;
}

Camera startCamera() { return cameraAt(Vec3(0, 0, -5), Vec3(0, 0, 1)); }

TEST(Camera, QuarterTurnsSwingTheViewAboutTheEye)
{
    Camera right = startCamera();
    right.turnRight(kHalfPi);
    EXPECT_VEC3_NEAR(right.target - right.eye, Vec3(6, 0, 0), 1e-5f);
    EXPECT_EQ(right.eye.z, -5.0f);

    Camera left = startCamera();
    left.turnLeft(kHalfPi);
    EXPECT_VEC3_NEAR(left.target - left.eye, Vec3(-6, 0, 0), 1e-5f);
}

TEST(Camera, PitchesRaiseAndLowerTheViewByTheAngle)
{
    const float a = 0.3f;
    Camera up = startCamera();
    up.pitchUp(a);
    EXPECT_VEC3_NEAR(up.target - up.eye, Vec3(0, 6 * std::sin(a), 6 * std::cos(a)), 1e-5f);
    Camera down = startCamera();
    down.pitchDown(a);
    EXPECT_VEC3_NEAR(down.target - down.eye, Vec3(0, -6 * std::sin(a), 6 * std::cos(a)), 1e-5f);
}

TEST(Camera, PitchGuardStopsNearTheVerticalOnlyTowardTheVertical)
{
    Camera nearlyUp = cameraAt(Vec3(0, 0, 0), Vec3(0.05f, 5.99f, 0));
    Camera before = nearlyUp;
    nearlyUp.pitchUp(0.1f);
    EXPECT_FALSE(nearlyUp.target != before.target);
    nearlyUp.pitchDown(0.1f);
    EXPECT_TRUE(nearlyUp.target != before.target);

    Camera nearlyDown = cameraAt(Vec3(0, 0, 0), Vec3(0.05f, -5.99f, 0));
    Vec3 down = nearlyDown.target;
    nearlyDown.pitchDown(0.1f);
    EXPECT_FALSE(nearlyDown.target != down);
    nearlyDown.pitchUp(0.1f);
    EXPECT_TRUE(nearlyDown.target != down);
}

TEST(Camera, AHorizontalDistanceOfExactlyTheMinimumIsTooSmall)
{
    Camera c = cameraAt(Vec3(0, 0, 0), Vec3(0.1f, 5.0f, 0));
    ASSERT_EQ(length(Vec3(0.1f, 0, 0)), c.minHorizontalDistance);
    Vec3 before = c.target;
    c.pitchUp(0.01f);
    EXPECT_FALSE(c.target != before);
}

TEST(Camera, AnAllowedStepIsAppliedWholeEvenPastTheVertical)
{
    Camera c = startCamera();
    c.pitchUp(2.0f); // past straight up: the view now leans backward
    EXPECT_VEC3_NEAR(c.target - c.eye, Vec3(0, 6 * std::sin(2.0f), 6 * std::cos(2.0f)), 1e-5f);
    EXPECT_LT(c.target.z - c.eye.z, 0.0f);
}

TEST(Camera, StrafesAreHorizontalAndFullLengthWhateverThePitch)
{
    Camera left = startCamera();
    left.strafeLeft(1.0f);
    EXPECT_NEAR(left.eye.x, -1.0f, 1e-6f);
    EXPECT_NEAR(left.target.x, -1.0f, 1e-6f);
    Camera right = startCamera();
    right.strafeRight(1.0f);
    EXPECT_NEAR(right.eye.x, 1.0f, 1e-6f);

    Camera raised = cameraAt(Vec3(0, 0, 0), Vec3(0, 5, 1));
    raised.strafeRight(2.0f);
    EXPECT_NEAR(raised.eye.x, 2.0f, 1e-6f);
    EXPECT_EQ(raised.eye.y, 0.0f);
}

TEST(Camera, MovingForwardFollowsTheFullViewDirection)
{
    Camera c = cameraAt(Vec3(0, 0, 0), Vec3(0, 3, 4));
    c.moveForward(1.0f);
    EXPECT_NEAR(c.eye.y, 0.6f, 1e-6f);
    EXPECT_NEAR(c.eye.z, 0.8f, 1e-6f);
    EXPECT_NEAR(c.target.y, 3.6f, 1e-6f);
    EXPECT_NEAR(c.target.z, 4.8f, 1e-6f);
    c.moveBackward(1.0f);
    EXPECT_NEAR(c.eye.y, 0.0f, 1e-6f);
    c.moveUp(2.0f);
    c.moveDown(0.5f);
    EXPECT_NEAR(c.eye.y, 1.5f, 1e-6f);
    EXPECT_NEAR(c.target.y, 4.5f, 1e-6f);
}

TEST(Camera, EveryOperationKeepsTheViewDistanceAndTheFixedFields)
{
    const std::function<void(Camera&)> operations[] = {
        [](Camera& c) { c.moveForward(3.5f); },  [](Camera& c) { c.moveBackward(2.0f); },
        [](Camera& c) { c.strafeLeft(1.5f); },   [](Camera& c) { c.strafeRight(0.7f); },
        [](Camera& c) { c.moveUp(4.0f); },       [](Camera& c) { c.moveDown(1.0f); },
        [](Camera& c) { c.turnLeft(0.4f); },     [](Camera& c) { c.turnRight(1.1f); },
        [](Camera& c) { c.pitchUp(0.6f); },      [](Camera& c) { c.pitchDown(0.9f); },
    };
    Camera c = startCamera();
    for (int round = 0; round < 20; ++round) {
        for (const auto& op : operations) {
            op(c);
            EXPECT_NEAR(length(c.target - c.eye), 6.0f, 1e-4f);
        }
    }
    EXPECT_VEC3_EQ(c.up, Vec3(0, 1, 0));
    EXPECT_EQ(c.minHorizontalDistance, 0.1f);
}

TEST(Camera, ViewDirectionIsTheUnitOffsetAndChangesNothing)
{
    Camera c = cameraAt(Vec3(1, 1, 1), Vec3(1, 1, 7));
    Vec3 d = c.viewDirection();
    EXPECT_NEAR(d.z, 1.0f, 1e-6f);
    EXPECT_EQ(c.target.z, 7.0f);
}

} // namespace
