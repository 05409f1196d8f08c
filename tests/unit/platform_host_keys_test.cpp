// Every key the game reads, as the host reports it: SDL's key events through
// the platform's event pump become the key messages, key state and
// characters the game takes, on SDL's off-screen driver.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "test_controls.h"

namespace {

struct GameKey {
    const char* hostName;
    int virtualKey;
    bool extended;
    WPARAM character; // what TranslateMessage queues, 0 for none
};

// Held (walking, flying, jumping, turning), typed (the switches) or pressed (Escape).
const GameKey kGameKeys[] = {
    {"W", 'W', false, 'w'},
    {"A", 'A', false, 'a'},
    {"S", 'S', false, 's'},
    {"D", 'D', false, 'd'},
    {"Space", VK_SPACE, false, ' '},
    {"Z", 'Z', false, 'z'},
    {"X", 'X', false, 'x'},
    {"C", 'C', false, 'c'},
    {"V", 'V', false, 'v'},
    {"N", 'N', false, 'n'},
    {"M", 'M', false, 'm'},
    {"Left Ctrl", VK_CONTROL, false, 0},
    {"Right Ctrl", VK_CONTROL, true, 0},
    {"Left", VK_LEFT, true, 0},
    {"Right", VK_RIGHT, true, 0},
    {"Up", VK_UP, true, 0},
    {"Down", VK_DOWN, true, 0},
    {"Escape", VK_ESCAPE, false, 27},
    {"P", 'P', false, 'p'},
    {"R", 'R', false, 'r'},
    {"Delete", VK_DELETE, true, 0},
    {"F5", VK_F5, false, 0},
    {"F9", VK_F9, false, 0},
    {"F11", VK_F11, false, 0},
};

using Taken = std::vector<std::pair<UINT, WPARAM>>;

struct HostKeys : ::testing::Test {
    HWND window = nullptr;
    bool lastExtended = false;
    bool lastAltDown = false;

    void SetUp() override
    {
        testctl::useOffscreenOpenGL();
        testctl::useHostInput();
        window = testctl::createTestWindow();
        ASSERT_NE(window, nullptr);
    }

    // The key and character messages waiting, taken and translated as the
    // game's loop does.
    Taken takeKeyMessages()
    {
        Taken taken;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_SYSCHAR, PM_REMOVE)) {
            taken.emplace_back(msg.message, msg.wParam);
            lastAltDown = (HIWORD(msg.lParam) & KF_ALTDOWN) != 0;
            if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR)
                lastExtended = (HIWORD(msg.lParam) & KF_EXTENDED) != 0;
            TranslateMessage(&msg);
        }
        return taken;
    }

    bool isDown(int virtualKey)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        return (keys[virtualKey] & 0x80) != 0;
    }
};

TEST_F(HostKeys, EveryKeyTheGameReadsGivesItsCodeStateAndCharacter)
{
    for (const GameKey& key : kGameKeys) {
        SCOPED_TRACE(key.hostName);
        const WPARAM vk = WPARAM(key.virtualKey);
        ASSERT_TRUE(testctl::hostKey(window, key.hostName, true));
        Taken expected = {{WM_KEYDOWN, vk}};
        if (key.character)
            expected.emplace_back(WM_CHAR, key.character);
        EXPECT_EQ(takeKeyMessages(), expected);
        EXPECT_EQ(lastExtended, key.extended);
        EXPECT_TRUE(isDown(key.virtualKey));

        ASSERT_TRUE(testctl::hostKey(window, key.hostName, false));
        EXPECT_EQ(takeKeyMessages(), (Taken{{WM_KEYUP, vk}}));
        EXPECT_EQ(lastExtended, key.extended);
        EXPECT_FALSE(isDown(key.virtualKey));
    }
}

// Alt+Enter, the way Windows sends it: system keys while Alt is held.
TEST_F(HostKeys, AltAndEnterComeAsSystemKeysWithAltHeld)
{
    ASSERT_TRUE(testctl::hostKey(window, "Left Alt", true));
    EXPECT_EQ(takeKeyMessages(), (Taken{{WM_SYSKEYDOWN, VK_MENU}}));
    EXPECT_TRUE(lastAltDown);
    ASSERT_TRUE(testctl::hostKey(window, "Return", true));
    EXPECT_EQ(takeKeyMessages(), (Taken{{WM_SYSKEYDOWN, VK_RETURN}, {WM_SYSCHAR, '\r'}}));
    EXPECT_TRUE(lastAltDown);
    EXPECT_TRUE(isDown(VK_MENU) && isDown(VK_LMENU) && isDown(VK_RETURN));
    ASSERT_TRUE(testctl::hostKey(window, "Return", false));
    ASSERT_TRUE(testctl::hostKey(window, "Left Alt", false));
    EXPECT_EQ(takeKeyMessages(), (Taken{{WM_SYSKEYUP, VK_RETURN}, {WM_SYSKEYUP, VK_MENU}}));
    EXPECT_FALSE(lastAltDown);
    EXPECT_FALSE(isDown(VK_MENU));
    ASSERT_TRUE(testctl::hostKey(window, "Return", true));
    EXPECT_EQ(takeKeyMessages(), (Taken{{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, '\r'}}));
}

} // namespace
