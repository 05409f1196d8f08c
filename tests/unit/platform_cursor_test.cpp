// Mouse look's cursor: relative motion moves the reported position only
// while the cursor is hidden and the window has focus; the first motion
// right after focus returns is dropped, so the view does not jump.
#include <gtest/gtest.h>

#include "support/headless_device.h"
#include "win32/cursor.h"

namespace {

POINT reported()
{
    POINT p = {0, 0};
    GetCursorPos(&p);
    return p;
}

struct MouseLookCursor : ::testing::Test {
    void SetUp() override
    {
        testctl::useHeadless();
        SetCursorPos(400, 300);
    }
};

TEST_F(MouseLookCursor, MotionCountsOnlyWhileTheCursorIsHidden)
{
    cursorOnMotion(5, -2);
    EXPECT_EQ(reported().x, 400);
    ShowCursor(FALSE);
    cursorOnMotion(5, -2);
    cursorOnMotion(1, 1);
    EXPECT_EQ(reported().x, 406);
    EXPECT_EQ(reported().y, 299);
    SetCursorPos(400, 300);
    EXPECT_EQ(reported().x, 400);
}

TEST_F(MouseLookCursor, WithoutFocusNothingMovesAndTheFirstMotionBackIsDropped)
{
    ShowCursor(FALSE);
    cursorOnFocus(false);
    cursorOnMotion(30, 30);
    EXPECT_EQ(reported().x, 400);
    cursorOnFocus(true);
    cursorOnMotion(250, -80); // the jump back to the held point
    EXPECT_EQ(reported().x, 400);
    cursorOnMotion(4, 0);
    EXPECT_EQ(reported().x, 404);
}

// X11 reports no jump on focus; the player's first move, well after it, counts.
TEST_F(MouseLookCursor, OnlyMotionRightAfterFocusReturnsIsTakenForTheJump)
{
    testctl::useManualClock(1000);
    ShowCursor(FALSE);
    cursorOnFocus(false);
    cursorOnFocus(true);
    testctl::advanceClock(1000);
    cursorOnMotion(-20, 0);
    EXPECT_EQ(reported().x, 380);
    cursorOnFocus(false);
    cursorOnFocus(true);
    testctl::advanceClock(50);
    cursorOnMotion(250, -80);
    EXPECT_EQ(reported().x, 380);
}

TEST_F(MouseLookCursor, AnOpenMessageBoxReleasesThePointer)
{
    ShowCursor(FALSE);
    cursorOnMessageBox(true);
    cursorOnMotion(10, 10);
    EXPECT_EQ(reported().x, 400);
    cursorOnMessageBox(false);
    cursorOnMotion(10, 10);
    EXPECT_EQ(reported().x, 410);
}

} // namespace
