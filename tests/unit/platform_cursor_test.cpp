// Mouse look's cursor: relative motion moves the reported position only
// while the cursor is hidden and the window has focus; the first motion
// right after focus returns is dropped, so the view does not jump.
#include <gtest/gtest.h>

#include "support/headless_device.h"
#include "test_controls.h"

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
    testctl::hostMouseMotion(5, -2);
    EXPECT_EQ(reported().x, 400);
    ShowCursor(FALSE);
    testctl::hostMouseMotion(5, -2);
    testctl::hostMouseMotion(1, 1);
    EXPECT_EQ(reported().x, 406);
    EXPECT_EQ(reported().y, 299);
    SetCursorPos(400, 300);
    EXPECT_EQ(reported().x, 400);
}

TEST_F(MouseLookCursor, WithoutFocusNothingMovesAndTheFirstMotionBackIsDropped)
{
    ShowCursor(FALSE);
    testctl::hostFocus(false);
    testctl::hostMouseMotion(30, 30);
    EXPECT_EQ(reported().x, 400);
    testctl::hostFocus(true);
    testctl::hostMouseMotion(250, -80); // the jump back to the held point
    EXPECT_EQ(reported().x, 400);
    testctl::hostMouseMotion(4, 0);
    EXPECT_EQ(reported().x, 404);
}

// X11 reports no jump on focus; the player's first move, well after it, counts.
TEST_F(MouseLookCursor, OnlyMotionRightAfterFocusReturnsIsTakenForTheJump)
{
    testctl::useManualClock(1000);
    ShowCursor(FALSE);
    testctl::hostFocus(false);
    testctl::hostFocus(true);
    testctl::advanceClock(1000);
    testctl::hostMouseMotion(-20, 0);
    EXPECT_EQ(reported().x, 380);
    testctl::hostFocus(false);
    testctl::hostFocus(true);
    testctl::advanceClock(50);
    testctl::hostMouseMotion(250, -80);
    EXPECT_EQ(reported().x, 380);
}

TEST_F(MouseLookCursor, AnOpenMessageBoxReleasesThePointer)
{
    ShowCursor(FALSE);
    testctl::hostMessageBox(true);
    testctl::hostMouseMotion(10, 10);
    EXPECT_EQ(reported().x, 400);
    testctl::hostMessageBox(false);
    testctl::hostMouseMotion(10, 10);
    EXPECT_EQ(reported().x, 410);
}

} // namespace
