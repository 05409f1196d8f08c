// The frame timer on a manual clock: exact zero within a tick, and correct
// frames at any uptime, across the 32-bit wrap too.
#include <gtest/gtest.h>

#include "app/frame_timer.h"
#include "test_controls.h"

namespace {

TEST(FrameTimer, TwoFramesWithinOneTickGiveExactlyZero)
{
    testctl::useManualClock(5000);
    FrameTimer timer;
    testctl::advanceClock(16);
    EXPECT_FLOAT_EQ(timer.elapsed(true), 0.016f);
    EXPECT_EQ(timer.elapsed(true), 0.0f);
}

TEST(FrameTimer, ElapsedWithoutRestartMeasuresFromTheSameStart)
{
    testctl::useManualClock(1000);
    FrameTimer timer;
    testctl::advanceClock(10);
    float first = timer.elapsed(false);
    testctl::advanceClock(5);
    float second = timer.elapsed(false);
    EXPECT_FLOAT_EQ(first, 0.010f);
    EXPECT_FLOAT_EQ(second, 0.015f);
}

TEST(FrameTimer, FramesStayMillisecondExactAfterDaysOfUptime)
{
    const DWORD tenDaysMs = 10u * 24u * 3600u * 1000u;
    testctl::useManualClock(tenDaysMs);
    FrameTimer timer;
    testctl::advanceClock(17);
    EXPECT_FLOAT_EQ(timer.elapsed(true), 0.017f);
}

TEST(FrameTimer, TheClockWrapGivesASmallPositiveFrame)
{
    testctl::useManualClock(0xFFFFFFF0u);
    FrameTimer timer;
    testctl::advanceClock(0x20); // wraps past zero
    EXPECT_EQ(testctl::clockNow(), 0x10u);
    EXPECT_FLOAT_EQ(timer.elapsed(true), 0.032f);
}

} // namespace
