// Start-up and shutdown through the real WinMain on the headless platform.
#include <gtest/gtest.h>

#include "app/game_state.h"
#include "test_controls.h"

namespace {

struct StartAndQuit : ::testing::Test {
    void SetUp() override
    {
        testctl::useHeadless();
        testctl::captureMessageBoxes();
    }
};

TEST_F(StartAndQuit, EscapeEndsTheGameWithTheBoxCount)
{
    testctl::ProgramRunner runner(WinMain);
    runner.start();
    ASSERT_FALSE(runner.ended());
    EXPECT_TRUE(runner.frames(3, 16));
    EXPECT_EQ(runner.quit(), 0);
    ASSERT_FALSE(testctl::shownBoxes().empty());
    EXPECT_EQ(testctl::shownBoxes().back().caption, "End");
    EXPECT_EQ(testctl::shownBoxes().back().text, "Box Count: 10");
    EXPECT_EQ(testctl::liveBuffers(), 0);
    EXPECT_EQ(testctl::liveDevices(), 0);
}

} // namespace
