// The settled start view of the real game, drawn by the OpenGL renderer:
// compared with a reference picture a person has looked at (it matches what
// the Windows build draws under Wine's Direct3D 9), and checked for the
// structure a broken renderer would lose: inside-out boxes, a mirrored view,
// missing textures or lights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "test_controls.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSettleFrames = 150; // the player cube falls onto the ground and rests
constexpr DWORD kFrameMs = 16;
// Per channel, in levels of 255: llvmpipe versions round a little differently.
constexpr double kMaxMeanDifference = 1.5;
constexpr int kLargeDifference = 24;
constexpr double kMaxLargeDifferenceShare = 0.005;

std::string sourceDir()
{
    const char* dir = std::getenv("QUADRILL_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string referencePath() { return sourceDir() + "/tests/render/reference/start_view.png"; }

struct Picture {
    std::vector<uint8_t> rgba;
    int width = 0;
    int height = 0;

    const uint8_t* at(int x, int y) const { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }

    // Mean of one channel (0 red, 1 green, 2 blue) over a rectangle.
    double mean(int channel, int x0, int y0, int x1, int y1) const
    {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                sum += at(x, y)[channel];
        return sum / double((x1 - x0) * (y1 - y0));
    }
};

bool loadPng(const std::string& path, Picture& picture)
{
    return testctl::readImage(path, picture.rgba, picture.width, picture.height);
}

struct StartView : ::testing::Test {
    Picture view;

    void SetUp() override
    {
        testctl::useOffscreenOpenGL();
        testctl::captureMessageBoxes();
        testctl::ProgramRunner game(WinMain);
        ::testing::internal::CaptureStderr();
        game.start();
        game.frames(kSettleFrames, kFrameMs);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        ASSERT_FALSE(game.ended()) << "the game did not start";
        ASSERT_TRUE(testctl::shownBoxes().empty()) << testctl::shownBoxes()[0].text;
        // The game sets only render states the renderer honours.
        EXPECT_EQ(errors.find("not honoured"), std::string::npos) << errors;
        bool read = false;
        game.onProgramThread([&] { read = testctl::readBackBuffer(g_device, view.rgba, view.width, view.height); });
        ASSERT_TRUE(read);
        ASSERT_EQ(view.width, kWidth);
        ASSERT_EQ(view.height, kHeight);
        // Keep what was drawn, to look at when a test fails or to make a new reference.
        testctl::writePng(::testing::TempDir() + "start_view_actual.png", view.rgba, view.width, view.height);
        if (std::getenv("QUADRILL_UPDATE_REFERENCE"))
            testctl::writePng(referencePath(), view.rgba, view.width, view.height);
        EXPECT_EQ(game.quit(), 0);
    }
};

TEST_F(StartView, MatchesTheReferencePicture)
{
    Picture reference;
    ASSERT_TRUE(loadPng(referencePath(), reference)) << referencePath();
    ASSERT_EQ(reference.width, view.width);
    ASSERT_EQ(reference.height, view.height);
    double total = 0;
    size_t large = 0, samples = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                int d = std::abs(int(view.at(x, y)[c]) - int(reference.at(x, y)[c]));
                total += d;
                large += d > kLargeDifference;
                ++samples;
            }
    EXPECT_LE(total / double(samples), kMaxMeanDifference)
        << "see " << ::testing::TempDir() << "start_view_actual.png";
    EXPECT_LE(double(large) / double(samples), kMaxLargeDifferenceShare);
}

// The far brick wall fills the top; dimly lit, reddish.
TEST_F(StartView, TheFarWallIsDimRedBrickAboveTheHorizon)
{
    double r = view.mean(0, 100, 40, 700, 250), g = view.mean(1, 100, 40, 700, 250), b = view.mean(2, 100, 40, 700, 250);
    EXPECT_GT(r, g);
    EXPECT_GT(g, b * 0.9);
    EXPECT_GT(r, 8.0);
    EXPECT_LT(r, 70.0); // no white clear colour, no full-bright texture
}

TEST_F(StartView, TheGroundIsDimGreenBelowTheHorizon)
{
    double r = view.mean(0, 200, 460, 780, 590), g = view.mean(1, 200, 460, 780, 590), b = view.mean(2, 200, 460, 780, 590);
    EXPECT_GT(g, r);
    EXPECT_GT(g, b);
    EXPECT_GT(g, 5.0);
    EXPECT_LT(g, 70.0);
}

// Only the nearest crate is in view, on the left: a mirrored view would put
// it on the right, and an inside-out box would show its far faces instead.
TEST_F(StartView, TheNearestCrateStandsOnTheLeftFacingUs)
{
    double crate = view.mean(0, 10, 310, 170, 420);
    double sameHeightRight = view.mean(0, 630, 310, 790, 420);
    EXPECT_GT(crate, 45.0);
    EXPECT_GT(crate, 3.0 * sameHeightRight);
    EXPECT_GT(view.mean(0, 10, 310, 170, 420), view.mean(2, 10, 310, 170, 420)); // wood, not blue
}

// The aiming marker: a few pixels at the centre, lit blue by the camera's light.
TEST_F(StartView, TheAimerIsASmallBlueDotAtTheCentre)
{
    int blue = 0;
    for (int y = kHeight / 2 - 8; y < kHeight / 2 + 8; ++y)
        for (int x = kWidth / 2 - 8; x < kWidth / 2 + 8; ++x) {
            const uint8_t* p = view.at(x, y);
            blue += p[2] > 200 && p[0] < 160;
        }
    EXPECT_GE(blue, 2);
    EXPECT_LE(blue, 40);
}

} // namespace
