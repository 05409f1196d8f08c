// test_main.cpp: main() of every test binary. Each test ends as its process
// would: the game's globals go back to their first values (releasing the
// boxes left listed), objects still alive are reported as the test's leak,
// and the platform is put back as a fresh process has it. So a binary run
// whole, in any order, gives each test what a process of its own would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "app/fullscreen.h"
#include "app/game_state.h"
#include "app/pause.h"
#include "app/settings.h"
#include "physics/physics_step.h"
#include "replay/recorder.h"
#include "replay/replay_session.h"
#include "replay/replayer.h"
#include "test_controls.h"

namespace {

// Destroys a global that cannot be assigned and builds it afresh.
template <typename T>
void renew(T& global)
{
    global.~T();
    new (&global) T();
}

// Every global of the game, at the value it starts a process with.
// Releasing is the game's job (shutdown); what a test left here is freed
// only as far as the game's own types free it, so that a leaked device or
// texture still shows in the counts.
void resetGameState()
{
    g_boxes = BoxList();
    renew(g_aimer);
    renew(g_ground);
    g_device = nullptr;
    g_crateTexture = nullptr;
    g_groundTexture = nullptr;
    g_brickTexture = nullptr;
    g_desktopRect = RECT{0, 0, 0, 0};
    g_frameSeconds = 0.0f;
    g_frameCount = 0;
    g_mouseLookWhileUnseen = false;
    g_spawnCooldown = 0.0f;
    g_shadowsEnabled = false;
    g_freeCameraMode = false;
    g_collisionType = CollisionType(0);
    g_pointLightEnabled = false;
    g_spotLightEnabled = false;
    g_pointLight = D3DLIGHT9{};
    g_spotLight = D3DLIGHT9{};
    g_defaultMaterial = D3DMATERIAL9{};
    g_crateMaterial = D3DMATERIAL9{};
    g_shadowMaterial = D3DMATERIAL9{};
    g_player = Player{nullptr, nullptr, 0.0f, 0.0f};
    g_cursorPos = POINT{0, 0};
    g_timer = FrameTimer();
    g_mouse = MouseButtons();
    g_camera = Camera();
    g_lastAimPoint = Vec3(0.0f, 0.0f, 0.0f);
    g_physicsStepMethod = PhysicsStepMethod::BroadPhase;
    resetRecorder();
    resetReplayer();
    replaySession() = ReplaySession();
    g_window = nullptr;
    g_settings = Settings();
    g_pause = PauseState();
    g_fullscreen = FullscreenState();
}

void addCount(std::string& text, int count, const char* what)
{
    if (count == 0)
        return;
    text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + what;
}

struct FreshStateBetweenTests : ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        resetGameState();
        std::string leaked;
        addCount(leaked, testctl::liveDevices(), "device(s)");
        addCount(leaked, testctl::liveBuffers(), "buffer(s)");
        addCount(leaked, testctl::liveTextures(), "texture(s)");
        EXPECT_TRUE(leaked.empty()) << "still alive after the test: " << leaked;
        testctl::resetPlatform();
    }
};

} // namespace

int main(int argc, char** argv)
{
    // The tests play with the default settings, whatever the player's are:
    // no settings file can be found under a configuration folder that is
    // not a folder. A test that writes settings puts this back.
    setenv("XDG_CONFIG_HOME", "/dev/null", 1);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateBetweenTests);
    return RUN_ALL_TESTS();
}
