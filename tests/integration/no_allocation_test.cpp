// Frames allocate nothing: physics, both control modes, the lights and the
// draws run on memory set up before, whatever the number of boxes.
#include <gtest/gtest.h>

#include "support/allocation_counter.h"
#include "support/game_fixture.h"

namespace {

struct NoAllocation : GameTest {
    void beforeStart() override { testctl::drawLog().recording = false; }
};

TEST_F(NoAllocation, FramesOfPlayAllocateNothing)
{
    // A few crates in the air and on the ground, so contacts happen.
    for (int i = 0; i < 5; ++i) {
        g_camera.target = Vec3(-6.0f + 3.0f * float(i), 4.0f, 10.0f);
        frames(8);
        click(false);
        frame();
    }
    frames(20); // warm up
    long before = allocationCount();
    hold('W');
    lookBy(12, -4);
    frames(60);
    release('W');
    type('x');
    hold(VK_SPACE);
    hold(VK_LEFT);
    frames(60);
    EXPECT_EQ(allocationCount() - before, 0);
    EXPECT_EQ(g_boxes.count(), 15u);
}

TEST_F(NoAllocation, TheCountSeesTheAllocationsOfASpawn)
{
    frames(10); // more than the spawn cooldown
    long before = allocationCount();
    click(false); // a new crate is a new box in the list
    frame();
    EXPECT_EQ(g_boxes.count(), 11u);
    EXPECT_GT(allocationCount() - before, 0);
}

} // namespace
