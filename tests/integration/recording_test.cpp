// Recordings through the real WinMain: a game played with every kind of
// input is recorded with --record, then replayed with --replay in a fresh
// run, where every check must pass and the game must end as it did, whatever
// the player does meanwhile and whatever the mouse settings; a recording
// whose disk fills up stops, and what it holds still replays.
#include <gtest/gtest.h>

#include <string>

#include "replay/replay_session.h"
#include "support/game_fixture.h"
#include "support/temp_folder.h"

namespace {

struct Recording : GameTest {
    TempFolder folder;
    ScopedEnvironment dataHome{"XDG_DATA_HOME", folder.path.c_str()};
    std::string file = folder / "game.rec";

    // Mouse look's settings differ from the replay's: the recording carries them.
    Recording() { commandLine = testctl::joinCommandLine({"--record", file, "--sensitivity", "1.7", "--invert-look"}); }
    // A key pressed and let go: its character comes with it, as from a keyboard.
    void press(int key)
    {
        testctl::keyDown(key);
        testctl::keyUp(key);
    }
    // Runs a replay to its end, its frames each given all the time they need.
    int replayToEnd()
    {
        for (int i = 0; i < 100000 && !game->ended(); ++i)
            game->frame(1000);
        return game->finish();
    }
    int countOf(const std::string& text, const std::string& what)
    {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
};

// Both modes, every switch key, placing, throwing, pushing, bounce, a stall
// of seconds, a quick save and load, focus lost and back, held keys, a
// minimised window, a pause, removing crates.
void playEverything(Recording& t)
{
    t.settleOnGround();
    t.hold('W');
    t.lookBy(12, -4);
    t.frames(20);
    t.release('W');
    for (int key : {'Z', 'N', 'M'})
        t.press(key);
    t.frames(5);
    for (int key : {'Z', 'N', 'M'})
        t.press(key);
    t.click(true); // place
    t.frames(10);
    t.lookBy(-20, 0);
    t.frame();
    t.click(false); // throw
    t.frames(10);
    t.lookBy(0, 0);
    t.click(false); // push the crate that is there now
    t.frames(5);
    t.press('V'); // bounce
    t.hold(VK_SPACE);
    t.frames(15);
    t.release(VK_SPACE);
    t.frame(2500); // a stall
    t.press(VK_F5);
    t.press('C'); // the player cube to the aim point
    t.frames(30);
    t.press(VK_F9);
    t.frames(3, 0);
    t.press('X'); // free camera
    t.hold('A');
    t.hold(VK_CONTROL);
    t.hold(VK_LEFT);
    t.frames(25);
    t.release(VK_LEFT);
    t.release(VK_CONTROL);
    t.release('A');
    testctl::postMessage(WM_KILLFOCUS, 0, 0);
    t.frames(5);
    testctl::postMessage(WM_SETFOCUS, 0, 0);
    // Minimised, the pointer is the player's other programs': no look, even
    // straight after a frame that looked.
    t.lookBy(5, 5);
    t.frame();
    ShowWindow(g_window, SW_MINIMIZE);
    t.lookBy(30, 10);
    t.frames(10);
    t.lookBy(0, 0);
    ShowWindow(g_window, SW_RESTORE);
    t.lookBy(7, 9);
    t.click(true);
    t.frames(80);
    t.press('V');
    t.frames(10);
    // Paused, a player fidgets; a click resumes (its button-up held back).
    t.press('P');
    t.hold('S');
    t.lookBy(15, 5);
    t.press('Z');
    t.frames(20, 40);
    t.release('S');
    t.click(true);
    t.frames(10);
    t.press('R'); // the player cube back at the start
    t.lookBy(0, 12);
    t.frame();
    t.press(VK_DELETE);
    testctl::middleMouseButton(true);
    testctl::middleMouseButton(false);
    t.frames(30);
}

TEST_F(Recording, AGameReplaysInAFreshRunWithEveryCheckPassingWhateverThePlayerDoes)
{
    playEverything(*this);
    const std::string boxCount = "Box Count: " + std::to_string(g_boxes.count());
    ASSERT_EQ(game->quit(), 0);
    const std::string recorded = readTextFile(file);
    ASSERT_EQ(recorded.compare(0, 12, "recording 1 "), 0) << recorded.substr(0, 100);
    const int checks = countOf(recorded, "\ncheck ");
    EXPECT_GE(checks, 4);
    EXPECT_EQ(countOf(recorded, "\narena quadrill-arena 1"), 2) << "the start and the quick load";
    EXPECT_NE(recorded.find("\nframe 2500\n"), std::string::npos);
    EXPECT_NE(recorded.find("\nfocus lost\n"), std::string::npos);
    EXPECT_NE(recorded.find("\nlook 1.7 inverted\n"), std::string::npos);

    restart(testctl::joinCommandLine({"--replay", file}));
    // The player's own input while it plays: none of it may reach the game.
    game->frames(50, 1000);
    press('X');
    hold('W');
    click(true);
    lookBy(40, 40);
    game->frames(50, 1000);
    release('W');
    // A replay minimised still turns as the recorded game did.
    ShowWindow(g_window, SW_MINIMIZE);
    game->frames(100, 1000);
    ShowWindow(g_window, SW_RESTORE);
    EXPECT_EQ(replayToEnd(), 0);
    EXPECT_EQ(replaySession().departure, "");
    EXPECT_EQ(replaySession().checksPassed, checks);
    EXPECT_EQ(testctl::shownTexts().back(), boxCount);

    // Escape still ends a replay.
    game.reset(new testctl::ProgramRunner(WinMain, testctl::joinCommandLine({"--replay", file})));
    game->start();
    game->frames(20, 1000);
    EXPECT_EQ(game->quit(), 0);
    EXPECT_TRUE(game->ended());
}

TEST_F(Recording, ARecordingWhoseDiskFillsUpStopsAndWhatItHoldsReplays)
{
    settleOnGround();
    ::testing::internal::CaptureStderr();
    testctl::failFileFunction("WriteFile", ERROR_DISK_FULL, 2);
    hold('W');
    lookBy(5, 0);
    frames(200);
    release('W');
    testctl::failFileFunction(nullptr, 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(countOf(said, "the recording in " + file + " stopped at frame "), 1) << said;
    EXPECT_NE(said.find("the disk is full; what it holds up to there replays"), std::string::npos) << said;
    EXPECT_TRUE(frames(10)) << "the game goes on";
    ASSERT_EQ(game->quit(), 0);
    const std::string held = readTextFile(file);
    ASSERT_FALSE(held.empty());
    EXPECT_EQ(held.back(), '\n') << "whole commands only";

    restart(testctl::joinCommandLine({"--replay", file}));
    EXPECT_EQ(replayToEnd(), 0);
    EXPECT_EQ(replaySession().departure, "");
    EXPECT_GE(replaySession().checksPassed, 2);
}

} // namespace
