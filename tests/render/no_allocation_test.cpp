// Frames allocate nothing on the OpenGL renderer either: after the first
// frames have sized its buffers, drawing reuses them.
#include <gtest/gtest.h>

#include "app/game_state.h"
#include "support/allocation_counter.h"
#include "test_controls.h"

namespace {

constexpr DWORD kFrameMs = 16;

TEST(OpenGLFrames, AllocateNothingOnceWarm)
{
    testctl::useOffscreenOpenGL();
    testctl::captureMessageBoxes();
    testctl::ProgramRunner game(WinMain);
    game.start();
    ASSERT_FALSE(game.ended());
    game.frames(30, kFrameMs);
    long before = allocationCount();
    testctl::keyDown('W');
    game.frames(60, kFrameMs);
    testctl::keyUp('W');
    testctl::typeChar('z');
    game.frames(30, kFrameMs);
    EXPECT_EQ(allocationCount() - before, 0);
    EXPECT_EQ(game.quit(), 0);
}

} // namespace
