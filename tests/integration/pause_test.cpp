// Pausing, and a window nobody sees, through the real frame loop: nothing
// that happens while paused changes the world, and the frames after
// resuming are those of a game that never paused; a minimised game goes on
// in real time without drawing.
#include <gtest/gtest.h>

#include "app/pause.h"
#include "support/game_fixture.h"
#include "support/state_hash.h"
#include "support/value_printers.h"

namespace {

struct PauseTest : GameTest {
    // A crate in flight and the player walking, so that a frame too many or
    // too long, or an input let through, shows in the end state.
    void before()
    {
        frames(100);
        click(false);
        hold('W');
        frames(5);
    }
    void after()
    {
        frames(30);
        release('W');
        frames(60);
    }
    // Everything a player can do while paused, short of a click.
    void fidgetWhilePaused()
    {
        lookBy(40, -25);
        hold('S');
        hold(VK_SPACE);
        testctl::keyDown(VK_DELETE);
        testctl::keyUp(VK_DELETE);
        for (char c : std::string("zxcvnmr"))
            type(c);
        frames(50, 40);
        release('S');
        release(VK_SPACE);
        frames(5);
    }
};

TEST_F(PauseTest, NothingHappensWhilePausedAndPlayGoesOnAsIfNever)
{
    before();
    frame();
    after();
    const uint64_t unpaused = stateHash();
    const uint32_t count = g_boxes.count();

    restart();
    before();
    const uint64_t atPause = stateHash();
    const uint32_t presents = testctl::drawLog().presents;
    type('p');
    ASSERT_TRUE(g_pause.paused);
    fidgetWhilePaused();
    EXPECT_EQ(stateHash(), atPause);
    EXPECT_EQ(testctl::drawLog().presents, presents) << "nothing is drawn while paused";

    // A click resumes and is not a click of the game's: no crate.
    testctl::mouseButton(true, true);
    game->settle();
    EXPECT_FALSE(g_pause.paused);
    testctl::mouseButton(true, false);
    game->settle();
    EXPECT_EQ(g_mouse.buttonBits, 0);
    EXPECT_EQ(testctl::cursorPosition().x, kCentreX);
    EXPECT_EQ(testctl::cursorPosition().y, kCentreY);
    frame();
    EXPECT_EQ(g_frameSeconds, 0.016f) << "no time passed in the world while paused";

    type('p'); // and p again, once more
    fidgetWhilePaused();
    type('p');
    EXPECT_FALSE(g_pause.paused);
    after();
    EXPECT_EQ(g_boxes.count(), count);
    EXPECT_EQ(stateHash(), unpaused);
}

// Paused, the window is drawn only when it needs painting: here after it
// went full screen.
TEST_F(PauseTest, APausedGameDrawsOnlyWhenTheWindowNeedsPainting)
{
    type('P'); // upper case: nothing
    frame();
    ASSERT_FALSE(g_pause.paused);
    type('p');
    const uint32_t presents = testctl::drawLog().presents;
    const uint64_t still = stateHash();
    frames(5);
    EXPECT_EQ(testctl::drawLog().presents, presents);
    testctl::keyDown(VK_F11);
    game->settle();
    EXPECT_EQ(testctl::drawLog().presents, presents + 1);
    EXPECT_NE(testctl::drawLog().lastPresentDestination.right, 0) << "drawn full screen";
    frames(5);
    EXPECT_EQ(testctl::drawLog().presents, presents + 1);
    EXPECT_EQ(stateHash(), still);
}

// Minimised, the world goes on with the clock and nothing is drawn.
TEST_F(GameTest, AMinimisedGameGoesOnInRealTimeWithoutDrawing)
{
    frames(30);
    const uint64_t shown = stateHash();

    restart();
    frames(10);
    ShowWindow(g_window, SW_MINIMIZE);
    const uint32_t presents = testctl::drawLog().presents;
    const int cursorMoves = testctl::setCursorPosCalls();
    const Vec3 view = g_camera.target - g_camera.eye;
    lookBy(30, 10); // the pointer, used elsewhere, is left alone
    frames(10);
    EXPECT_EQ(testctl::drawLog().presents, presents);
    EXPECT_EQ(testctl::setCursorPosCalls(), cursorMoves);
    EXPECT_VEC3_EQ(g_camera.target - g_camera.eye, view);
    lookBy(0, 0);
    ShowWindow(g_window, SW_RESTORE);
    frames(10);
    EXPECT_EQ(testctl::drawLog().presents, presents + 10);
    EXPECT_EQ(stateHash(), shown);
}

} // namespace
