// Saved arenas through the real frame loop: F5 and F9, --load, and what
// happens when a save or a load fails. A loaded arena plays on bit for bit
// as the saved one would have, a failed save keeps the save before it, and
// a bad file changes nothing.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "save/arena_capture.h"
#include "save/arena_file.h"
#include "save/arena_text.h"
#include "support/game_fixture.h"
#include "support/temp_folder.h"

namespace {

// The game's state as text: equal texts are equal bits.
std::string stateText()
{
    ArenaState state;
    captureArena(state);
    std::string text;
    appendArenaText(state, text);
    return text;
}

std::string fileStateText(const std::string& path)
{
    ArenaState state;
    std::string reason;
    if (!readArenaFile(path, state, reason))
        return "unreadable: " + reason;
    std::string text;
    appendArenaText(state, text);
    return text;
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The player's data folder is a fresh one for each test.
struct SavedArena : GameTest {
    TempFolder home;
    ScopedEnvironment dataHome{"XDG_DATA_HOME", home.path.c_str()};

    std::string slot() const { return home / "quadrill/quicksave.arena"; }
    std::string previousSlot() const { return home / "quadrill/quicksave-previous.arena"; }
    void press(int key)
    {
        testctl::keyDown(key);
        testctl::keyUp(key);
        game->settle();
    }
    std::string title()
    {
        char text[256] = {};
        GetWindowTextA(testctl::gameWindow(), text, sizeof text);
        return text;
    }
    std::string lastBoxText() const
    {
        const auto& boxes = testctl::shownBoxes();
        return boxes.empty() ? "" : boxes.back().caption + ": " + boxes.back().text;
    }
};

// What is played after the save, the same in both runs: walking or flying,
// looking, placing and throwing crates, a light switched, a stall.
void playOn(GameTest& t)
{
    t.hold('W');
    t.frames(20);
    t.release('W');
    t.lookBy(25, -10);
    t.frame();
    t.click(true);
    t.frames(5);
    t.lookBy(-40, 5);
    t.frame();
    t.click(false);
    t.frames(30);
    t.hold(VK_SPACE);
    t.frames(10);
    t.release(VK_SPACE);
    t.type('n');
    t.frames(5);
    t.type('n');
    t.frame(250);
    t.frames(40);
}

TEST_F(SavedArena, ALoadedArenaPlaysOnBitForBitInBothModesAndBothCollisionResponses)
{
    for (bool freeCamera : {false, true})
        for (bool bounce : {false, true}) {
            SCOPED_TRACE(std::string(freeCamera ? "free camera" : "player") + (bounce ? ", bounce" : ", stop"));
            settleOnGround();
            if (bounce)
                type('v');
            if (freeCamera)
                type('x');
            // Crates in the air and a turned view when the save is made.
            lookBy(10, 0);
            frame();
            click(false);
            frames(15);
            click(true);
            frames(2);
            press(VK_F5);
            const std::string atSave = stateText();
            ASSERT_EQ(fileStateText(slot()), atSave);
            playOn(*this);
            const std::string played = stateText();

            restart("--load " + slot());
            EXPECT_EQ(stateText(), atSave) << "the loaded arena is the saved one";
            playOn(*this);
            EXPECT_EQ(stateText(), played) << "and it plays on as the saved game did";
            restart("");
        }
}

TEST_F(SavedArena, QuitAndStartWithLoadGivesTheSameArenaAndBoxCount)
{
    settleOnGround();
    for (int dx : {40, -80, 120}) {
        lookBy(dx, 0);
        frame();
        click(true);
        frames(10);
    }
    press(VK_F5);
    EXPECT_EQ(title(), "Quadrill by Harnwick - arena saved");
    const std::string saved = stateText();
    ASSERT_GT(g_boxes.count(), 10u);
    const std::string boxCount = "Box Count: " + std::to_string(g_boxes.count());
    ASSERT_EQ(game->quit(), 0);
    EXPECT_EQ(testctl::shownTexts().back(), boxCount);

    game.reset(new testctl::ProgramRunner(WinMain, "--load \"" + slot() + "\""));
    game->start();
    EXPECT_EQ(stateText(), saved);
    EXPECT_EQ(game->quit(), 0);
    EXPECT_EQ(testctl::shownTexts().back(), boxCount);
}

TEST_F(SavedArena, ASaveInterruptedAtAnyStepKeepsTheSaveBeforeIt)
{
    settleOnGround();
    // Before the first save: a failed rename leaves no save at all, not half of one.
    testctl::failFileFunction("MoveFileExA", ERROR_ACCESS_DENIED);
    press(VK_F5);
    EXPECT_EQ(GetFileAttributesA(slot().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(filesIn(home / "quadrill"), std::vector<std::string>{});
    testctl::failFileFunction(nullptr, 0);
    press(VK_F5);
    const std::string first = stateText();

    struct Fault {
        const char* function;
        DWORD error;
        const char* says;
    };
    const Fault faults[] = {
        {"CreateFileA", ERROR_WRITE_PROTECT, "the disk is read-only"},
        {"WriteFile", ERROR_DISK_FULL, "the disk is full"},
        {"FlushFileBuffers", ERROR_GEN_FAILURE, "system error 31"},
        {"CloseHandle", ERROR_DISK_FULL, "the disk is full"},
        {"ReplaceFileA", ERROR_UNABLE_TO_MOVE_REPLACEMENT, "the new file could not take the old one's place"},
        {"ReplaceFileA", ERROR_UNABLE_TO_REMOVE_REPLACED, "the old file could not be kept as the backup"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.function);
        lookBy(20, 0);
        frame();
        click(true); // the arena changes before each attempt
        frames(5);
        testctl::failFileFunction(fault.function, fault.error);
        press(VK_F5);
        testctl::failFileFunction(nullptr, 0);
        EXPECT_EQ(lastBoxText(), "Quick save: The arena could not be saved to " + slot() + ": " + fault.says +
                                     ".\nThe game goes on; the quick save from before is kept.");
        EXPECT_EQ(fileStateText(slot()), first);
        EXPECT_EQ(filesIn(home / "quadrill"), std::vector<std::string>{"quicksave.arena"}) << "no temporary file left";
        EXPECT_TRUE(frame());
    }
    press(VK_F5);
    EXPECT_EQ(fileStateText(slot()), stateText());
    EXPECT_EQ(fileStateText(previousSlot()), first);
}

TEST_F(SavedArena, ASaveWithNowhereToGoSaysWhyAndTheGamePlaysOn)
{
    settleOnGround();
    {
        ScopedEnvironment noData("XDG_DATA_HOME", nullptr);
        ScopedEnvironment noHome("HOME", nullptr);
        press(VK_F5);
    }
    EXPECT_EQ(lastBoxText(), "Quick save: The arena could not be saved: there is no application-data folder for the "
                             "player (no home folder?).\nThe game goes on.");
    ASSERT_TRUE(writeTextFile(home / "quadrill", "a file where the folder should be"));
    press(VK_F5);
    EXPECT_NE(lastBoxText().find("could not be saved to " + slot() + ": there is no such folder"), std::string::npos)
        << lastBoxText();
    EXPECT_TRUE(frames(3));
}

TEST_F(SavedArena, ABadQuickSaveIsRefusedWithItsReasonAndChangesNothing)
{
    settleOnGround();
    press(VK_F5);
    const std::string good = readTextFile(slot());
    auto replaced = [&good](const char* from, const char* to) {
        std::string text = good;
        return text.replace(text.find(from), std::string(from).size(), to);
    };
    lookBy(30, 0);
    frame();
    click(true);
    frames(10);
    std::string before = stateText();

    struct Bad {
        std::string contents;
        const char* says;
    };
    const Bad bads[] = {
        {good.substr(0, good.size() / 2), "line "},
        {replaced("box 6 -11.2", "box 6 inf"), "box 6 position.x is inf"},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "this is not a saved Quadrill arena"},
        {"quadrill-arena 7\n", "saved in format 7 by a newer Quadrill"},
    };
    for (const Bad& bad : bads) {
        ASSERT_TRUE(writeTextFile(slot(), bad.contents));
        press(VK_F9);
        EXPECT_NE(lastBoxText().find("Quick load: The quick save " + slot() + " could not be loaded: "),
                  std::string::npos);
        EXPECT_NE(lastBoxText().find(bad.says), std::string::npos) << lastBoxText();
        EXPECT_EQ(stateText(), before);
    }
    // Boxes that cannot all be made (video memory runs out at the second
    // new crate): not even the boxes the game has already take new values.
    std::string bigger = before;
    bigger.replace(bigger.find("boxes 11"), 8, "boxes 13");
    bigger.replace(bigger.find("box 0 0 -5 0"), 12, "box 0 3 -5 3");
    bigger.insert(bigger.find("end\n"), "box 11 0 20 0 2 2 2 0 0 0 1\nbox 12 0 25 0 2 2 2 0 0 0 1\n");
    ASSERT_TRUE(writeTextFile(slot(), bigger));
    testctl::failBufferCreationAfter(4);
    press(VK_F9);
    testctl::failBufferCreationAfter(-1);
    EXPECT_NE(lastBoxText().find("its boxes could not all be made"), std::string::npos) << lastBoxText();
    EXPECT_EQ(stateText(), before);
    press(VK_F9);
    EXPECT_EQ(stateText(), bigger) << "and with room for them, it loads";
    EXPECT_TRUE(frame());
    before = stateText();

    // Not a file: a folder or a FIFO in the slot's place (a FIFO must not make F9 wait).
    ASSERT_EQ(unlink(slot().c_str()), 0);
    ASSERT_EQ(mkfifo(slot().c_str(), 0600), 0);
    press(VK_F9);
    EXPECT_NE(lastBoxText().find("it is not a regular file"), std::string::npos) << lastBoxText();
    ASSERT_EQ(unlink(slot().c_str()), 0);
    ASSERT_EQ(mkdir(slot().c_str(), 0700), 0);
    press(VK_F9);
    EXPECT_NE(lastBoxText().find("it is a folder"), std::string::npos) << lastBoxText();
    EXPECT_EQ(stateText(), before);
}

TEST_F(SavedArena, F9WithoutAQuickSaveSaysSoInTheTitleForAFewSeconds)
{
    settleOnGround();
    const std::string before = stateText();
    press(VK_F9);
    EXPECT_EQ(title(), "Quadrill by Harnwick - no quick save yet");
    EXPECT_TRUE(testctl::shownBoxes().empty());
    EXPECT_EQ(stateText(), before);
    frames(100);
    EXPECT_EQ(title(), "Quadrill by Harnwick - no quick save yet");
    frame(3000);
    frame();
    EXPECT_EQ(title(), "Quadrill by Harnwick");
}

TEST_F(SavedArena, F9LoadsTheQuickSaveInPlay)
{
    settleOnGround();
    press(VK_F5);
    const std::string saved = stateText();
    type('x');
    hold('W');
    frames(30);
    release('W');
    press(VK_F9);
    EXPECT_EQ(title(), "Quadrill by Harnwick - arena loaded");
    EXPECT_EQ(stateText(), saved);
    EXPECT_TRUE(frames(10));
}

} // namespace
