// The mouse tracker: events between frames, held state across them.
#include <gtest/gtest.h>

#include "app/mouse_buttons.h"

namespace {

TEST(MouseButtons, AClickBetweenTwoFramesIsSeenOnceThroughItsRelease)
{
    MouseButtons mouse;
    mouse.onMessage(WM_LBUTTONDOWN, 0);
    mouse.onMessage(WM_LBUTTONUP, 0);
    EXPECT_TRUE(mouse.leftReleased());
    EXPECT_FALSE(mouse.leftHeld());
    mouse.clearEvents();
    EXPECT_FALSE(mouse.leftReleased());
    EXPECT_FALSE(mouse.leftHeld());
}

TEST(MouseButtons, HeldStateSurvivesClearingEvents)
{
    MouseButtons mouse;
    mouse.onMessage(WM_RBUTTONDOWN, 0);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_TRUE(mouse.rightHeld());
        EXPECT_FALSE(mouse.rightReleased());
        mouse.clearEvents();
    }
    mouse.onMessage(WM_RBUTTONUP, 0);
    EXPECT_FALSE(mouse.rightHeld());
    EXPECT_TRUE(mouse.rightReleased());
    EXPECT_FALSE(mouse.leftHeld());
}

TEST(MouseButtons, ButtonsAreIndependentAndOtherMessagesChangeNothing)
{
    MouseButtons mouse;
    mouse.onMessage(WM_LBUTTONDOWN, 0);
    mouse.onMessage(WM_RBUTTONDOWN, 0);
    mouse.onMessage(WM_RBUTTONUP, 0);
    mouse.onMessage(WM_LBUTTONDBLCLK, 0);
    mouse.onMessage(WM_MBUTTONDOWN, 0);
    mouse.onMessage(WM_KEYDOWN, 0);
    EXPECT_EQ(mouse.buttonBits, 0x02 | 0x10 | 0x08 | 0x04);
}

TEST(MouseButtons, MouseMovesStoreUnsignedClientCoordinates)
{
    MouseButtons mouse;
    mouse.onMessage(WM_MOUSEMOVE, MAKELPARAM(120, 45));
    EXPECT_EQ(mouse.cursorX, 120);
    EXPECT_EQ(mouse.cursorY, 45);
    mouse.onMessage(WM_MOUSEMOVE, MAKELPARAM(-2, -1)); // only with a captured mouse
    EXPECT_EQ(mouse.cursorX, 65534);
    EXPECT_EQ(mouse.cursorY, 65535);
}

} // namespace
