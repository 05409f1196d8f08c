// The player's settings through the real start-up and frame loop: the
// settings file in the configuration folder, the command line over it, what
// each setting does, and full screen switched while playing.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "app/fullscreen.h"
#include "app/settings.h"
#include "support/game_fixture.h"
#include "support/scoped_environment.h"

namespace {

constexpr int kWideWidth = 1280;
constexpr int kWideHeight = 720;

std::string makeTempFolder()
{
    char name[] = "/tmp/quadrill-settings-XXXXXX";
    return mkdtemp(name) ? name : "";
}

struct SettingsTest : GameTest {
    std::string folder = makeTempFolder();
    ScopedEnvironment config{"XDG_CONFIG_HOME", folder};
    std::string file;     // written as the settings file, unless empty
    std::string warnings; // what start-up wrote to standard error

    std::string filePath() const { return folder + "/quadrill/settings.ini"; }

    void beforeStart() override
    {
        testctl::setDesktopSize(kWideWidth, kWideHeight);
        if (!file.empty()) {
            mkdir((folder + "/quadrill").c_str(), 0700);
            FILE* out = std::fopen(filePath().c_str(), "w");
            ASSERT_NE(out, nullptr);
            std::fputs(file.c_str(), out);
            std::fclose(out);
        }
        ::testing::internal::CaptureStderr();
    }
    void SetUp() override
    {
        GameTest::SetUp();
        warnings = ::testing::internal::GetCapturedStderr();
    }
    void TearDown() override
    {
        GameTest::TearDown();
        std::remove(filePath().c_str());
        rmdir((folder + "/quadrill").c_str());
        rmdir(folder.c_str());
    }

    // Where one frame of mouse look from the centre by (dx, dy) leaves the
    // target, flying (no cube to follow), against the same turns by hand.
    void expectMouseTurns(int dx, int dy, float right, float up)
    {
        type('x');
        frame();
        Camera expected = g_camera;
        expected.turnRight(right);
        if (up > 0.0f)
            expected.pitchUp(up);
        else
            expected.pitchDown(-up);
        testctl::setCursorPosition(kWideWidth / 2 + dx, kWideHeight / 2 + dy);
        frame();
        EXPECT_EQ(g_camera.target.x, expected.target.x);
        EXPECT_EQ(g_camera.target.y, expected.target.y);
        EXPECT_EQ(g_camera.target.z, expected.target.z);
    }
};

struct SettingsFromTheFile : SettingsTest {
    SettingsFromTheFile()
    {
        file = "[quadrill]\n"
               "sensitivity = 2.5\n"
               "invert_look=YES\n"
               "vsync=maybe\n"
               "fullscreen=on\n"
               "colour=blue\n"
               "# a comment\n";
    }
};

TEST_F(SettingsFromTheFile, SetEachSettingAndABadLineKeepsItsDefaultWithAWarning)
{
    ASSERT_FALSE(game->ended());
    EXPECT_EQ(g_settings.mouseSensitivity, 2.5f);
    EXPECT_TRUE(g_settings.invertLook);
    EXPECT_FALSE(g_settings.vsync);
    EXPECT_TRUE(g_settings.fullscreen);
    EXPECT_NE(warnings.find(filePath() + ": vsync=maybe: not yes or no"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find("unknown setting 'colour'"), std::string::npos) << warnings;
    EXPECT_EQ(warnings.find("comment"), std::string::npos) << warnings;
    EXPECT_EQ(testctl::devicePresentParameters(g_device).PresentationInterval, UINT(D3DPRESENT_INTERVAL_IMMEDIATE));

    // Ten pixels right and up: 2.5 times the usual turn, and down, not up.
    expectMouseTurns(10, -10, 10 * 0.01f * 2.5f, -(10 * 0.01f * 2.5f));

    // Full screen from the start: the window covers the monitor, the picture
    // is 4:3 in its middle.
    RECT window;
    GetWindowRect(g_window, &window);
    EXPECT_EQ((std::vector<LONG>{window.left, window.top, window.right, window.bottom}),
              (std::vector<LONG>{0, 0, kWideWidth, kWideHeight}));
    EXPECT_EQ(GetWindowLongA(g_window, GWL_STYLE) & LONG(WS_CAPTION), 0);
    const RECT& shown = testctl::drawLog().lastPresentDestination;
    EXPECT_EQ((std::vector<LONG>{shown.left, shown.top, shown.right, shown.bottom}),
              (std::vector<LONG>{160, 0, 1120, 720}));
}

struct TheCommandLineOverTheFile : SettingsTest {
    TheCommandLineOverTheFile()
    {
        file = "[quadrill]\nsensitivity=2.5\ninvert_look=yes\nfullscreen=yes\n";
        commandLine = "--sensitivity 0.5 --no-invert-look --windowed --vsync";
    }
};

TEST_F(TheCommandLineOverTheFile, WinsSettingBySetting)
{
    EXPECT_EQ(warnings, "");
    EXPECT_EQ(g_settings.mouseSensitivity, 0.5f);
    EXPECT_FALSE(g_settings.invertLook);
    EXPECT_FALSE(g_fullscreen.on);
    EXPECT_EQ(testctl::devicePresentParameters(g_device).PresentationInterval, UINT(D3DPRESENT_INTERVAL_ONE));
    expectMouseTurns(-20, -10, -(20 * 0.01f * 0.5f), 10 * 0.01f * 0.5f);
}

struct ABadValueOnTheCommandLine : SettingsTest {
    ABadValueOnTheCommandLine() { commandLine = "--sensitivity 1e9"; }
};

TEST_F(ABadValueOnTheCommandLine, StopsTheGameBeforeItStarts)
{
    EXPECT_TRUE(game->ended());
    EXPECT_EQ(game->exitCode(), 2);
    EXPECT_NE(warnings.find("option --sensitivity: not a number from 0.01 to 100"), std::string::npos) << warnings;
    EXPECT_EQ(testctl::shownBoxes().size(), 0u);
}

// Without a file, or with the default sensitivity, mouse look turns as it always has.
TEST_F(SettingsTest, WithoutAFileEverySettingIsItsDefault)
{
    EXPECT_EQ(warnings, "");
    EXPECT_FALSE(g_fullscreen.on);
    expectMouseTurns(7, 3, 7 * 0.01f, -(3 * 0.01f));
}

TEST_F(SettingsTest, F11AndAltEnterSwitchFullScreenAndBackToTheWindowAsItWas)
{
    RECT before;
    GetWindowRect(g_window, &before);
    const LONG style = GetWindowLongA(g_window, GWL_STYLE);
    testctl::keyDown(VK_F11);
    testctl::keyUp(VK_F11);
    frame();
    EXPECT_TRUE(g_fullscreen.on);
    RECT window;
    GetWindowRect(g_window, &window);
    EXPECT_EQ(window.right - window.left, kWideWidth);
    EXPECT_EQ(testctl::drawLog().lastPresentDestination.left, 160);
    // A key held down repeats: it switches once.
    testctl::postMessage(WM_KEYDOWN, VK_F11, LPARAM(1 | (DWORD(KF_REPEAT) << 16)));
    frame();
    EXPECT_TRUE(g_fullscreen.on);

    for (int vk : {VK_MENU, VK_RETURN})
        testctl::keyDown(vk);
    for (int vk : {VK_RETURN, VK_MENU})
        testctl::keyUp(vk);
    frame();
    EXPECT_FALSE(g_fullscreen.on);
    GetWindowRect(g_window, &window);
    EXPECT_EQ((std::vector<LONG>{window.left, window.top, window.right, window.bottom}),
              (std::vector<LONG>{before.left, before.top, before.right, before.bottom}));
    EXPECT_EQ(GetWindowLongA(g_window, GWL_STYLE), style);
    EXPECT_EQ(testctl::drawLog().lastPresentDestination.right, 0) << "in a window the picture fills it";
}

} // namespace
