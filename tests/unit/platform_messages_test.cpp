// The message queue, keyboard translation and default window handling of
// the platform, on the headless host.
#include <gtest/gtest.h>

#include <vector>

#include "support/headless_device.h"

namespace {

std::vector<UINT> g_seen;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_seen.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Messages : ::testing::Test {
    HWND window = nullptr;
    void SetUp() override
    {
        testctl::useHeadless();
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = recordingProc;
        wc.lpszClassName = "recording";
        ASSERT_NE(RegisterClassExA(&wc), 0);
        window = CreateWindowExA(0, "recording", "t", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        g_seen.clear();
    }
    void TearDown() override
    {
        DestroyWindow(window);
        drain();
        UnregisterClassA("recording", nullptr);
    }
    // Takes every message as a message loop would, translating and dispatching.
    std::vector<MSG> drain()
    {
        std::vector<MSG> taken;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(msg);
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return taken;
    }
    std::vector<WPARAM> charsOf(const std::vector<MSG>& taken)
    {
        std::vector<WPARAM> chars;
        for (const MSG& m : taken)
            if (m.message == WM_CHAR)
                chars.push_back(m.wParam);
        return chars;
    }
};

TEST_F(Messages, MessagesComeOutInOrderAndQuitComesLastOnce)
{
    PostMessageA(window, WM_USER, 1, 0);
    PostQuitMessage(0);
    PostMessageA(window, WM_USER, 2, 0);
    PostQuitMessage(0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, PeekWithoutRemoveLeavesTheMessage)
{
    PostMessageA(window, WM_USER, 7, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(Messages, KeysTranslateToCharactersUnderShiftAndCapsLock)
{
    testctl::keyDown('Z');
    testctl::keyUp('Z');
    testctl::keyDown(VK_SHIFT);
    testctl::keyDown('Z');
    testctl::keyDown('1');
    testctl::keyUp(VK_SHIFT);
    testctl::keyDown(VK_CAPITAL);
    testctl::keyUp(VK_CAPITAL);
    testctl::keyDown('Z');
    testctl::keyDown(VK_SHIFT);
    testctl::keyDown('Z');
    testctl::keyUp(VK_SHIFT);
    testctl::keyDown(VK_ESCAPE);
    testctl::keyDown(VK_LEFT);
    std::vector<WPARAM> expected = {'z', 'Z', '!', 'Z', 'z', 27};
    EXPECT_EQ(charsOf(drain()), expected);
    testctl::keyDown(VK_CAPITAL); // Caps Lock off again
    testctl::keyUp(VK_CAPITAL);
    drain();
}

TEST_F(Messages, ACharacterIsTakenRightAfterItsKeyAheadOfLaterInput)
{
    testctl::keyDown('X');
    testctl::keyUp('X');
    std::vector<MSG> taken = drain();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(taken[1].message, UINT(WM_CHAR));
    EXPECT_EQ(taken[1].wParam, WPARAM('x'));
    EXPECT_EQ(taken[2].message, UINT(WM_KEYUP));
}

TEST_F(Messages, KeyStateFollowsTheMessagesTakenNotThosePosted)
{
    BYTE keys[256];
    testctl::keyDown(VK_CONTROL);
    GetKeyboardState(keys);
    EXPECT_EQ(keys[VK_CONTROL] & 0x80, 0);
    drain();
    GetKeyboardState(keys);
    EXPECT_NE(keys[VK_CONTROL] & 0x80, 0);
    EXPECT_NE(keys[VK_LCONTROL] & 0x80, 0);
    testctl::keyUp(VK_CONTROL);
    drain();
    GetKeyboardState(keys);
    EXPECT_EQ(keys[VK_CONTROL] & 0x80, 0);
}

TEST_F(Messages, KeysWithAltHeldAreSystemKeysAndAltF4Closes)
{
    for (int vk : {VK_MENU, VK_RETURN})
        testctl::keyDown(vk);
    BYTE keys[256];
    std::vector<MSG> taken = drain();
    GetKeyboardState(keys);
    EXPECT_NE(keys[VK_MENU] & keys[VK_LMENU] & 0x80, 0);
    for (int vk : {VK_RETURN, VK_MENU})
        testctl::keyUp(vk);
    for (const MSG& m : drain())
        taken.push_back(m);
    GetKeyboardState(keys);
    EXPECT_EQ(keys[VK_MENU] & 0x80, 0);
    const std::vector<std::pair<UINT, WPARAM>> expected = {{WM_SYSKEYDOWN, VK_MENU},   {WM_SYSKEYDOWN, VK_RETURN},
                                                           {WM_SYSCHAR, '\r'},         {WM_SYSKEYUP, VK_RETURN},
                                                           {WM_SYSKEYUP, VK_MENU}};
    ASSERT_EQ(taken.size(), expected.size());
    for (size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(std::make_pair(taken[i].message, taken[i].wParam), expected[i]) << i;
        // Alt is held for all but its own release.
        EXPECT_EQ((HIWORD(taken[i].lParam) & KF_ALTDOWN) != 0, i + 1 < taken.size()) << i;
    }

    testctl::keyDown('Z'); // without Alt, an ordinary key again
    EXPECT_EQ(drain().front().message, UINT(WM_KEYDOWN));
    g_seen.clear();
    testctl::keyDown(VK_MENU);
    testctl::keyDown(VK_F4);
    drain();
    EXPECT_EQ(std::vector<UINT>(g_seen.begin() + 2, g_seen.end()),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Messages, WaitingReturnsOnceAMessageCanBeTaken)
{
    // Headless, nothing comes by waiting: the waits return at once.
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT), DWORD(WAIT_TIMEOUT));
    testctl::postMessage(WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), DWORD(WAIT_OBJECT_0));
    EXPECT_TRUE(WaitMessage());
    HANDLE handle = window;
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &handle, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
}

TEST_F(Messages, StyleAndPlacementOfAWindowAndItsMonitor)
{
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(DWORD(GetWindowLongA(window, GWL_STYLE)), DWORD(WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    EXPECT_EQ(SetWindowLongA(window, GWL_STYLE, LONG(WS_POPUP)), LONG(WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    EXPECT_EQ(DWORD(GetWindowLongA(window, GWL_STYLE)), DWORD(WS_POPUP) | DWORD(WS_VISIBLE)) << "visibility stays";

    testctl::setDesktopSize(1280, 720);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    EXPECT_EQ(monitor.rcMonitor.right, 1280);
    EXPECT_EQ(monitor.rcMonitor.bottom, 720);
    EXPECT_EQ(monitor.dwFlags, DWORD(MONITORINFOF_PRIMARY));

    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 10, 20, 300, 200, SWP_FRAMECHANGED));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{10, 20, 310, 220}));
    ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE));
    GetClientRect(window, &r);
    EXPECT_EQ((std::vector<LONG>{r.right, r.bottom}), (std::vector<LONG>{300, 200}));

    EXPECT_TRUE(IsWindowVisible(window));
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window)) << "a minimised window is still shown";
    ShowWindow(window, SW_RESTORE);
    EXPECT_FALSE(IsIconic(window));
    ShowWindow(window, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(Messages, ClosingDestroysTheWindowWhichSendsDestroy)
{
    testctl::postMessage(WM_CLOSE, 0, 0);
    drain();
    EXPECT_EQ(g_seen, (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(window));
    // Messages for a destroyed window go nowhere.
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
}

TEST_F(Messages, AFullQueueRefusesPostsAndLosesNothing)
{
    // Windows' own quota of posted messages.
    constexpr WPARAM kLimit = 10000;
    for (WPARAM i = 0; i < kLimit; ++i)
        ASSERT_TRUE(PostMessageA(window, WM_USER, i, 0)) << i;
    EXPECT_FALSE(PostMessageA(window, WM_USER, kLimit, 0));
    EXPECT_FALSE(testctl::keyDown(VK_SPACE));
    EXPECT_FALSE(testctl::typeChar(' '));
    // A key taken from a full queue still gets its character.
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_TRUE(testctl::keyDown(VK_SPACE));
    std::vector<MSG> taken = drain();
    ASSERT_EQ(taken.size(), size_t(kLimit) + 1);
    for (WPARAM i = 1; i < kLimit; ++i)
        ASSERT_EQ(taken[i - 1].wParam, i);
    EXPECT_EQ(taken[kLimit - 1].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(charsOf(taken), std::vector<WPARAM>{' '});
    EXPECT_TRUE(PostMessageA(window, WM_USER, 0, 0)); // room again
    drain();
}

TEST_F(Messages, PaintComesWhenTheQueueIsEmptyUntilValidated)
{
    ShowWindow(window, SW_SHOWDEFAULT);
    PostMessageA(window, WM_USER, 0, 0);
    std::vector<MSG> taken = drain();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[1].message, UINT(WM_PAINT)); // after the posted message
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)); // default handling validated it
}

TEST_F(Messages, MouseMovesMergeAndButtonsKeepTheirOrder)
{
    testctl::postMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    testctl::postMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    testctl::mouseButton(true, true);
    testctl::mouseButton(true, false);
    std::vector<MSG> taken = drain();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].lParam, MAKELPARAM(5, 6));
    EXPECT_EQ(taken[1].message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(taken[2].message, UINT(WM_LBUTTONUP));
}

TEST(Cursor, ShowCursorCountsAndTheHeldPositionIsReported)
{
    testctl::useHeadless();
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    SetCursorPos(400, 300);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    testctl::setCursorPosition(410, 295);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 410);
    EXPECT_EQ(testctl::setCursorPosCalls(), 1);
}

TEST(MessageBox, WithNoDisplayTheMessageGoesToStandardError)
{
    testctl::useHeadless();
    ::testing::internal::CaptureStderr();
    int answer = MessageBoxA(nullptr, "Box Count: 3", "End", MB_OK);
    std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(printed, "End: Box Count: 3\n");
}

TEST(Desktop, TheDesktopRectangleIsTheDisplaySize)
{
    testctl::useHeadless();
    testctl::setDesktopSize(801, 600);
    RECT r;
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &r));
    EXPECT_EQ(r.right, 801);
    EXPECT_EQ(r.bottom, 600);
}

} // namespace
