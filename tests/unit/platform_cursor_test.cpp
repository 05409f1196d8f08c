// Mouse look's cursor: relative motion moves the reported position only
// while the cursor is hidden and the window has focus. Of the motion that
// comes as mouse look starts, only the host's warp to the window's centre is
// dropped, never a real move.
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

void move(int dx, int dy) { testctl::mouseLookMotion(dx, dy); }

struct MouseLookCursor : ::testing::Test {
    void SetUp() override
    {
        testctl::useHeadless();
        SetCursorPos(400, 300);
    }
};

TEST_F(MouseLookCursor, MotionCountsOnlyWhileTheCursorIsHidden)
{
    move(5, -2);
    EXPECT_EQ(reported().x, 400);
    ShowCursor(FALSE);
    move(5, -2);
    move(1, 1);
    EXPECT_EQ(reported().x, 406);
    EXPECT_EQ(reported().y, 299);
    SetCursorPos(400, 300);
    EXPECT_EQ(reported().x, 400);
}

TEST_F(MouseLookCursor, WithoutFocusOrWithABoxOpenNothingMovesAndTheFirstMoveBackCounts)
{
    ShowCursor(FALSE);
    testctl::mouseLookFocus(false);
    move(30, 30);
    EXPECT_EQ(reported().x, 400);
    testctl::mouseLookFocus(true);
    move(4, 0);
    EXPECT_EQ(reported().x, 404);
    testctl::mouseLookMessageBox(true);
    move(10, 10);
    EXPECT_EQ(reported().x, 404);
    testctl::mouseLookMessageBox(false);
    move(10, 10);
    EXPECT_EQ(reported().x, 414);
}

// SDL motion events through the platform's event pump, on SDL's off-screen
// driver. The warp to the centre of the 800x600 window as mouse look starts
// reports (400, 300), by the distance from where the pointer was.
struct MouseLookEvents : ::testing::Test {
    HWND window = nullptr;
    POINT from = {0, 0};

    void SetUp() override
    {
        testctl::useOffscreenOpenGL();
        testctl::useHostInput();
        window = testctl::createTestWindow();
        ASSERT_NE(window, nullptr);
        SetCursorPos(400, 300);
        from = testctl::hostPointer();
        ASSERT_FALSE(from.x == 400 && from.y == 300);
    }

    void move(int x, int y, int dx, int dy) { testctl::hostMouseMotion(window, x, y, dx, dy); }
    void warp() { move(400, 300, 400 - from.x, 300 - from.y); }
};

TEST_F(MouseLookEvents, OnlyTheWarpToTheCentreIsDroppedNeverARealMove)
{
    ShowCursor(FALSE);
    warp();
    EXPECT_EQ(reported().x, 400);
    move(403, 300, 3, 0); // the player's first move, at once
    EXPECT_EQ(reported().x, 403);

    testctl::hostFocus(window, false);
    testctl::hostFocus(window, true);
    move(from.x + 7, from.y - 2, 7, -2); // a real move right after focus returns
    EXPECT_EQ(reported().x, 410);
    EXPECT_EQ(reported().y, 298);
    warp(); // after a real move, a look-alike is real too
    EXPECT_EQ(reported().x, 810 - from.x);
}

} // namespace
