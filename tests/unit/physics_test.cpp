// The physics step: contacts predicted one step ahead and answered by the
// collision type, friction, the ground, and the visiting order.
#include <gtest/gtest.h>

#include "physics/physics_step.h"
#include "support/geometry.h"

namespace {

constexpr float kDt = 1.0f / 60.0f;
constexpr float kFriction = 20.0f;
constexpr float kGroundTop = -5.0f;

struct PhysicsTest : ::testing::Test {
    BoxList list;
    Box ground;
    PhysicsTest() { setGeometry(ground, Vec3(-20, -10, -20), Vec3(40, 5, 40)); }
    ~PhysicsTest() override
    {
        while (!g_boxes.isEmpty())
            g_boxes.removeLast();
    }
    Box& crate(Vec3 position, Vec3 velocity = Vec3(0, 0, 0))
    {
        return addGeometry(list, position, Vec3(2, 2, 2), velocity);
    }
    void step(CollisionType type, float dt = kDt, bool resolve = true)
    {
        stepPhysics(list, dt, ground, kFriction, resolve, type);
    }
};

TEST_F(PhysicsTest, ZeroTimeMovesNothingAndFrictionDoesNothing)
{
    Box& a = crate(Vec3(0, kGroundTop, 0), Vec3(3, 0, 4));
    Box& b = crate(Vec3(5, 0, 0), Vec3(0, -7, 0));
    step(CollisionType::Stop, 0.0f);
    EXPECT_FALSE(a.position != Vec3(0, kGroundTop, 0));
    EXPECT_FALSE(a.velocity != Vec3(3, 0, 4));
    EXPECT_FALSE(b.position != Vec3(5, 0, 0));
}

TEST_F(PhysicsTest, ACrateRestingOnTheGroundStaysExactlyOnItsTop)
{
    Box& a = crate(Vec3(1, kGroundTop, 1));
    for (int frame = 0; frame < 100; ++frame) {
        a.velocity.y -= kDt * kGravity;
        step(CollisionType::Stop);
        ASSERT_EQ(a.position.y, kGroundTop) << "frame " << frame;
        ASSERT_EQ(a.velocity.y, 0.0f);
    }
}

TEST_F(PhysicsTest, FrictionTakesItsShareOffTheHorizontalSpeedUntilItStops)
{
    Box& a = crate(Vec3(0, kGroundTop, 0), Vec3(3, 0, 4));
    step(CollisionType::Stop);
    const float expected = 5.0f - kDt * kFriction;
    EXPECT_NEAR(length(Vec3(a.velocity.x, 0, a.velocity.z)), expected, 1e-5f);
    EXPECT_NEAR(a.velocity.x / a.velocity.z, 0.75f, 1e-5f); // the direction stays
    for (int frame = 0; frame < 30; ++frame)
        step(CollisionType::Stop);
    EXPECT_EQ(a.velocity.x, 0.0f);
    EXPECT_EQ(a.velocity.z, 0.0f);
}

TEST_F(PhysicsTest, ApplyFrictionLeavesVerticalSpeedAndStillBoxesAlone)
{
    Box b;
    setGeometry(b, Vec3(0, 0, 0), Vec3(1, 1, 1), Vec3(0, -3, 0));
    applyFriction(b, kDt, kFriction);
    EXPECT_FALSE(b.velocity != Vec3(0, -3, 0));
    b.velocity = Vec3(1, -3, 0);
    applyFriction(b, 0.0f, kFriction);
    applyFriction(b, kDt, 0.0f);
    EXPECT_FALSE(b.velocity != Vec3(1, -3, 0));
}

TEST_F(PhysicsTest, ABoxTwoUnitsOrMoreAboveTheGroundIsNotTestedAgainstIt)
{
    // Fast enough to reach the ground this step, but its bottom is exactly
    // the margin above the ground's top.
    Box& high = crate(Vec3(0, kGroundTop + kGroundTestMargin, 0), Vec3(0, -300, 0));
    Box& low = crate(Vec3(5, kGroundTop + 1.9f, 0), Vec3(0, -300, 0));
    step(CollisionType::Stop);
    EXPECT_LT(high.position.y, kGroundTop);
    EXPECT_EQ(low.position.y, kGroundTop);
}

TEST_F(PhysicsTest, BounceOffTheGroundLosesNothingAndSlowLandingsRest)
{
    Box& fast = crate(Vec3(0, kGroundTop + 0.05f, 0), Vec3(0, -5, 0));
    Box& slow = crate(Vec3(6, kGroundTop + 0.001f, 0), Vec3(0, -0.09f, 0));
    Box& resting = crate(Vec3(-6, kGroundTop, 0), Vec3(0, -3, 0));
    // As in a frame: gravity, then the step. The bounce gives back the
    // speed the crate arrived with, not the gravity added since.
    for (uint32_t i = 0; i < list.count(); ++i)
        list.at(i).velocity.y -= kDt * kGravity;
    step(CollisionType::Bounce);
    EXPECT_NEAR(fast.velocity.y, 5.0f, 1e-5f);
    EXPECT_EQ(slow.velocity.y, 0.0f);
    EXPECT_EQ(slow.position.y, kGroundTop);
    EXPECT_EQ(resting.velocity.y, 0.0f); // bottom exactly on the top: rests
}

TEST_F(PhysicsTest, StopMeetingAlongXStopsTheMoverAndPassesNothingOn)
{
    Box& mover = crate(Vec3(0, 10, 0), Vec3(60, 0, 0));
    Box& still = crate(Vec3(2.5f, 10, 0));
    step(CollisionType::Stop);
    EXPECT_EQ(mover.velocity.x, 0.0f);
    EXPECT_EQ(still.velocity.x, 0.0f);
    EXPECT_EQ(still.position.x, 2.5f);
}

TEST_F(PhysicsTest, BounceMeetingAlongXReversesTheMover)
{
    // The still crate comes first, so the pair is visited once with a predicted contact.
    Box& still = crate(Vec3(2.5f, 10, 0));
    Box& mover = crate(Vec3(0, 10, 0), Vec3(60, 0, 0));
    step(CollisionType::Bounce);
    EXPECT_EQ(mover.velocity.x, -60.0f);
    EXPECT_EQ(still.velocity.x, 0.0f);
}

TEST_F(PhysicsTest, ACrateFallingOnAnotherEndsExactlyOnItsTop)
{
    Box& lower = crate(Vec3(0, kGroundTop, 0));
    Box& upper = crate(Vec3(0.5f, kGroundTop + 2.1f, 0.5f), Vec3(2, -12, 0));
    step(CollisionType::Stop);
    EXPECT_EQ(upper.position.y, kGroundTop + 2.0f);
    EXPECT_EQ(upper.velocity.y, 0.0f);
    EXPECT_EQ(lower.velocity.y, 0.0f);
    EXPECT_LT(upper.velocity.x, 2.0f); // friction on the landing
}

TEST_F(PhysicsTest, OverlappingBoxesGetTheFullMaskAndBounceWhereTheyOverlapLeast)
{
    Box& a = crate(Vec3(0, 10, 0), Vec3(1, 2, 3));
    Box& b = crate(Vec3(1, 10.5f, 0.5f), Vec3(-1, 0, 0));
    EXPECT_EQ(predictContact(a, b, kDt), kContactOverlapping);
    resolveBoxContacts(a, list, kDt, CollisionType::Bounce, kFriction);
    // They overlap by 1 on x and 1.5 on y and z: each turns back on x only,
    // where it heads into the other's centre.
    EXPECT_EQ(a.velocity.x, -1.0f);
    EXPECT_EQ(a.velocity.y, 2.0f);
    EXPECT_EQ(a.velocity.z, 3.0f);
    EXPECT_EQ(b.velocity.x, 1.0f);
    // Level on y and z as well: every axis, and upwards at the speed it had
    // before this step's gravity.
    b.position = Vec3(1, 11, 1);
    a.velocity = Vec3(1, 2, 3);
    resolveBoxContacts(a, list, kDt, CollisionType::Bounce, kFriction);
    EXPECT_EQ(a.velocity.x, -1.0f);
    EXPECT_FLOAT_EQ(a.velocity.y, -(2.0f + kDt * kGravity));
    EXPECT_EQ(a.velocity.z, -3.0f);
    resolveBoxContacts(a, list, kDt, CollisionType::Stop, kFriction);
    EXPECT_FALSE(a.velocity != Vec3(0, 0, 0));
    EXPECT_FALSE(b.velocity != Vec3(0, 0, 0));
    EXPECT_EQ(b.position.x, 1.0f); // nothing is pushed apart
}

TEST_F(PhysicsTest, PredictedContactNamesTheAxesTheBoxesWereApartOn)
{
    Box& a = crate(Vec3(0, 0, 0), Vec3(0, 0, 0));
    Box& b = crate(Vec3(2, 2, 0));
    EXPECT_EQ(predictContact(a, b, kDt), kContactX | kContactY); // touching at an edge counts as apart
    Box& far = crate(Vec3(10, 0, 0));
    EXPECT_EQ(predictContact(a, far, kDt), 0);
}

TEST_F(PhysicsTest, FreezeStopsBothAndTheGroundDoesNotSnap)
{
    Box& a = crate(Vec3(0, 10, 0), Vec3(60, 5, 1));
    Box& b = crate(Vec3(2.5f, 10, 0), Vec3(0, 0, 3));
    Box& falling = crate(Vec3(10, kGroundTop + 0.05f, 0), Vec3(1, -20, 0));
    step(CollisionType::Freeze);
    EXPECT_FALSE(a.velocity != Vec3(0, 0, 0));
    EXPECT_FALSE(b.velocity != Vec3(0, 0, 0));
    EXPECT_FALSE(falling.velocity != Vec3(0, 0, 0));
    EXPECT_EQ(falling.position.y, kGroundTop + 0.05f);
}

TEST_F(PhysicsTest, AnUnknownTypeOrNoResolutionOnlyMovesBoxes)
{
    Box& a = crate(Vec3(0, 10, 0), Vec3(60, 0, 0));
    crate(Vec3(2.5f, 10, 0));
    step(CollisionType(7));
    EXPECT_EQ(a.velocity.x, 60.0f);
    EXPECT_NEAR(a.position.x, 1.0f, 1e-6f);
    step(CollisionType::Stop, kDt, false);
    EXPECT_EQ(a.velocity.x, 60.0f);
    EXPECT_NEAR(a.position.x, 2.0f, 1e-6f);
}

TEST_F(PhysicsTest, GravityActsOnEveryListedBoxAndTheWallsStillRest)
{
    addGeometry(g_boxes, Vec3(-20, kGroundTop, -20), Vec3(40, 40, 2)); // a wall
    addGeometry(g_boxes, Vec3(0, 20, 0), Vec3(2, 2, 2));
    for (int frame = 0; frame < 600; ++frame) {
        applyGravity(kDt);
        stepPhysics(g_boxes, kDt, ground, kFriction, true, CollisionType::Stop);
    }
    EXPECT_FALSE(g_boxes.at(0).position != Vec3(-20, kGroundTop, -20));
    EXPECT_EQ(g_boxes.at(1).position.y, kGroundTop);
    EXPECT_EQ(g_boxes.at(1).velocity.y, 0.0f);
}

} // namespace
