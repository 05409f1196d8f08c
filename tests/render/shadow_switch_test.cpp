// The "z" key as the player sees it: the real game on the OpenGL renderer,
// frame by frame on the manual clock. A shadow slab shows only under a box
// in the air, and a crate falls in two seconds; here it is still in the air
// at every picture, however slow the machine.
#include <gtest/gtest.h>

#include <vector>

#include "app/game_state.h"
#include "test_controls.h"

namespace {

constexpr DWORD kFrameMs = 16;
constexpr int kSettleFrames = 150;
// A shadow slab is drawn with a black material and no texture; the lit
// ground never comes this close to black.
constexpr int kBlack = 2;
constexpr int kMinShadowPixels = 100;
constexpr int kStrayBlackPixels = 5;

int blackPixels(testctl::ProgramRunner& game)
{
    std::vector<uint8_t> rgba;
    int width = 0, height = 0;
    bool read = false;
    game.onProgramThread([&] { read = testctl::readBackBuffer(g_device, rgba, width, height); });
    EXPECT_TRUE(read);
    int black = 0;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        black += rgba[i] <= kBlack && rgba[i + 1] <= kBlack && rgba[i + 2] <= kBlack;
    return black;
}

TEST(ShadowSwitch, ZTakesTheSlabFromUnderACrateInTheAirAndASecondZBringsItBack)
{
    testctl::useOffscreenOpenGL();
    testctl::useManualClock(1000);
    testctl::captureMessageBoxes();
    testctl::ProgramRunner game(WinMain);
    game.start();
    ASSERT_FALSE(game.ended()) << "the game did not start";
    game.frames(kSettleFrames, kFrameMs);

    // The free camera ten units up, looking down at 45 degrees: a crate placed
    // at the aim point hangs above the ground, its slab below it and clear
    // of it in the view.
    testctl::typeChar('x');
    game.frame(kFrameMs);
    g_camera.eye = Vec3(0.0f, 10.0f, -6.0f);
    g_camera.target = Vec3(0.0f, 10.0f - 4.2426f, -6.0f + 4.2426f);
    testctl::mouseButton(true, true);
    testctl::mouseButton(true, false);
    game.frame(kFrameMs);
    ASSERT_EQ(g_boxes.count(), kFirstCrateIndex + kStartingCrateCount + 1);
    ASSERT_GT(g_boxes.last().position.y, -4.0f);

    const int on = blackPixels(game);
    testctl::typeChar('z');
    game.frame(kFrameMs);
    const int off = blackPixels(game);
    testctl::typeChar('z');
    game.frame(kFrameMs);
    const int again = blackPixels(game);
    EXPECT_GE(on, kMinShadowPixels) << "a crate in the air should have a black slab on the ground below it";
    EXPECT_LE(off, kStrayBlackPixels) << "\"z\" should switch shadows off";
    EXPECT_GE(again, kMinShadowPixels) << "a second \"z\" should switch them on again";
    EXPECT_GT(g_boxes.last().position.y, -4.0f) << "the crate should still be in the air";
    EXPECT_EQ(game.quit(), 0);
}

} // namespace
