// Start-up, the message loop and shutdown through the real WinMain.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "support/game_fixture.h"

namespace {

using Texts = std::vector<std::string>;

TEST_F(GameTest, EscapeEndsTheGameWithTheBoxCountAndExitCodeZero)
{
    EXPECT_TRUE(frames(3));
    EXPECT_EQ(game->quit(), 0);
    EXPECT_EQ(testctl::shownTexts(), Texts{"Box Count: 10"});
    EXPECT_EQ(testctl::shownBoxes().back().caption, "End");
    // Shutdown gives everything back.
    EXPECT_EQ(testctl::liveBuffers(), 0);
    EXPECT_EQ(testctl::liveTextures(), 0);
    EXPECT_EQ(testctl::liveDevices(), 0);
    EXPECT_TRUE(g_boxes.isEmpty());
}

TEST_F(GameTest, ClosingTheWindowEndsTheGameOnceWithExitCodeZero)
{
    frame();
    testctl::postMessage(WM_CLOSE, 0, 0);
    EXPECT_EQ(game->finish(), 0);
    EXPECT_EQ(testctl::shownTexts(), Texts{"Box Count: 10"});
    EXPECT_EQ(testctl::gameWindow(), nullptr); // the window was destroyed
}

TEST_F(GameTest, FramesRunOnlyWhileNoMessageIsWaitingAndMeasureTheWholeGap)
{
    frame();
    int before = game->framesRun();
    for (int i = 0; i < 50; ++i)
        testctl::postMessage(WM_USER, 0, 0); // messages nobody acts on
    testctl::advanceClock(500);
    game->settle();
    EXPECT_EQ(game->framesRun(), before);
    frame(0);
    EXPECT_FLOAT_EQ(g_frameSeconds, 0.5f);
}

struct NoDevice : GameTest {
    void beforeStart() override { testctl::refuseDevice(true); }
};

// The textures cannot load without a device; "ERROR!" has said why already.
TEST_F(NoDevice, StartUpReportsTheDeviceAndTheSceneAndEndsWithExitCodeOne)
{
    EXPECT_TRUE(game->ended());
    EXPECT_EQ(game->exitCode(), 1);
    EXPECT_EQ(testctl::shownTexts(), (Texts{"ERROR!", "Failed to create first Player Cube"}));
    EXPECT_EQ(testctl::shownBoxes()[0].caption, "ERROR!");
    EXPECT_EQ(testctl::shownBoxes()[1].caption, "error!");
    EXPECT_EQ(g_boxes.count(), 0u);
}

struct NoDirect3D : GameTest {
    void beforeStart() override { testctl::refuseDirect3D(true); }
};

TEST_F(NoDirect3D, AMissingRuntimeIsReportedLikeARefusedDevice)
{
    EXPECT_EQ(game->exitCode(), 1);
    EXPECT_EQ(testctl::shownTexts().front(), "ERROR!");
}

struct NoHardwareTransform : GameTest {
    void beforeStart() override { testctl::reportNoHardwareTransform(true); }
};

TEST_F(NoHardwareTransform, TheDeviceUsesSoftwareVertexProcessingAndTheGameRuns)
{
    EXPECT_EQ(testctl::deviceBehaviorFlags(g_device), DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    EXPECT_TRUE(frames(5));
    EXPECT_EQ(game->quit(), 0);
}

struct MissingTextures : GameTest {
    std::string previous;
    void beforeStart() override
    {
        char cwd[4096];
        previous = getcwd(cwd, sizeof cwd) ? cwd : ".";
        ASSERT_EQ(chdir(::testing::TempDir().c_str()), 0);
    }
    void TearDown() override
    {
        GameTest::TearDown();
        EXPECT_EQ(chdir(previous.c_str()), 0);
    }
};

TEST_F(MissingTextures, EachTextureIsReportedInOrderAndTheGameStillRuns)
{
    EXPECT_EQ(testctl::shownTexts(), (Texts{"Failed to load crate texture", "Failed to load ground texture",
                                            "Failed to load brick texture"}));
    EXPECT_EQ(g_crateTexture, nullptr);
    EXPECT_TRUE(frames(10));
    // Surfaces draw untextured.
    for (const DrawRecord& r : testctl::drawLog().draws)
        EXPECT_EQ(r.texture, nullptr);
    EXPECT_EQ(game->quit(), 0);
}

struct LongRunningClock : GameTest {
    void beforeStart() override { testctl::useManualClock(0xFFFFFF00u); }
};

TEST_F(LongRunningClock, FramesAcrossTheClockWrapAreShortAndPositive)
{
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(frame());
        ASSERT_FLOAT_EQ(g_frameSeconds, 0.016f);
    }
}

} // namespace
