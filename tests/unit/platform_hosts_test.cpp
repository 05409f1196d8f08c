// The two hosts behind the Win32 layer, the headless one and SDL's (on its
// off-screen driver), answer the window calls the game makes alike: each
// fills its own table, and a difference between them would show only on
// one of the two.
#include <gtest/gtest.h>

#include <vector>

#include "test_controls.h"

namespace {

enum class HostKind { Headless, Sdl };

std::vector<LONG> corners(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

struct Hosts : ::testing::TestWithParam<HostKind> {
    HWND window = nullptr;
    void SetUp() override
    {
        if (GetParam() == HostKind::Headless)
            testctl::useHeadless();
        else
            testctl::useOffscreenOpenGL();
        window = testctl::createTestWindow();
        ASSERT_NE(window, nullptr);
    }
};

TEST_P(Hosts, PlaceShowAndHideAWindowAndReadItsDisplay)
{
    EXPECT_FALSE(IsWindowVisible(window)) << "made hidden";
    RECT client = {};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(corners(client), (std::vector<LONG>{0, 0, 800, 600}));

    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 10, 20, 300, 200, SWP_SHOWWINDOW));
    EXPECT_TRUE(IsWindowVisible(window));
    RECT placed = {};
    ASSERT_TRUE(GetWindowRect(window, &placed));
    EXPECT_EQ(corners(placed), (std::vector<LONG>{10, 20, 310, 220}));
    ASSERT_TRUE(SetWindowPos(window, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    ASSERT_TRUE(GetWindowRect(window, &placed));
    EXPECT_EQ(corners(placed), (std::vector<LONG>{40, 50, 340, 250})) << "moved, its size kept";

    // The desktop window and the window's monitor are the same display.
    RECT desktop = {};
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
    EXPECT_GT(desktop.right - desktop.left, 0);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    EXPECT_EQ(corners(monitor.rcMonitor), corners(desktop));

    ShowWindow(window, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(IsWindow(window));
}

INSTANTIATE_TEST_SUITE_P(BothHosts, Hosts, ::testing::Values(HostKind::Headless, HostKind::Sdl),
                         [](const ::testing::TestParamInfo<HostKind>& kind) {
                             return kind.param == HostKind::Headless ? "Headless" : "Sdl";
                         });

} // namespace
