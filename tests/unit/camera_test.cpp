// The camera: turns, pitches with their guard, moves, and the invariant that
// every operation keeps the distance from eye to target.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

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

// A pitch as one whole rotation of the offset about the pitch axis, with no
// stop at the guard: what a step did before it stopped there.
Vec3 wholePitch(const Camera& c, float angle)
{
    D3DXVECTOR3 offset = toD3DX(c.target - c.eye);
    D3DXVECTOR3 axis(-(c.target.z - c.eye.z), 0.0f, c.target.x - c.eye.x); // cross(h, up)
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, angle);
    D3DXVec3TransformCoord(&offset, &offset, &rotation);
    return fromD3DX(offset) + c.eye;
}

float horizontal(const Vec3& v) { return std::hypot(v.x, v.z); }

TEST(Camera, AFlickOfAnySizeStopsAtTheGuardAndNeverLooksBackward)
{
    for (float yaw : {0.0f, 1.0f, 2.5f, -2.0f})
        for (float start : {-1.2f, -0.5f, 0.0f, 0.7f, 1.5f})
            for (float angle = 0.01f; angle < 200.0f; angle *= 1.7f)
                for (bool up : {true, false}) {
                    SCOPED_TRACE(::testing::Message() << "yaw " << yaw << " start " << start << " angle " << angle
                                                      << (up ? " up" : " down"));
                    Camera c = startCamera();
                    c.turnRight(yaw);
                    c.pitchUp(start);
                    const Vec3 before = c.target - c.eye;
                    if (up)
                        c.pitchUp(angle);
                    else
                        c.pitchDown(angle);
                    const Vec3 after = c.target - c.eye;
                    EXPECT_GT(before.x * after.x + before.z * after.z, 0.0f) << "the view turned round";
                    EXPECT_GE(horizontal(after), 0.1f * 0.999f) << "the view went past the guard";
                    EXPECT_NEAR(length(after), 6.0f, 1e-4f);
                }
    // A flick far past the vertical ends on the guard, looking up.
    Camera c = startCamera();
    c.pitchUp(2.0f);
    EXPECT_NEAR(horizontal(c.target - c.eye), 0.1f, 1e-6f);
    EXPECT_GT(c.target.y - c.eye.y, 5.99f);
    EXPECT_GT(c.target.z - c.eye.z, 0.0f);
}

TEST(Camera, StepsThatStayOffTheGuardAreTheWholeRotationBitForBit)
{
    std::mt19937 random(20);
    std::uniform_real_distribution<float> yaw(-3.14f, 3.14f), elevation(-1.5f, 1.5f), step(0.0f, 0.3f);
    int compared = 0;
    for (int i = 0; i < 20000; ++i) {
        Camera c = startCamera();
        c.eye = Vec3(float(i % 7) - 3.0f, 2.5f, float(i % 5));
        c.target = c.eye + Vec3(0, 0, 6);
        c.turnRight(yaw(random));
        c.pitchUp(elevation(random));
        const float angle = step(random);
        const bool up = (i & 1) != 0;
        const Vec3 whole = wholePitch(c, up ? angle : -angle);
        const Vec3 h = c.target - c.eye;
        const Vec3 w = whole - c.eye;
        // Only steps that end off the guard, on the same side: the others stop at it now.
        if (!(horizontal(w) > c.minHorizontalDistance && h.x * w.x + h.z * w.z > 0.0f) ||
            !(horizontal(h) > c.minHorizontalDistance))
            continue;
        if (up)
            c.pitchUp(angle);
        else
            c.pitchDown(angle);
        ASSERT_EQ(std::memcmp(&c.target, &whole, sizeof whole), 0) << "step " << i;
        ++compared;
    }
    EXPECT_GT(compared, 19000);
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
