// window_procedure.cpp: the window procedure. It hands every message to the
// mouse tracker, acts on quit requests and the key commands, and passes the
// message on to the default handling. It draws only while the game is
// paused, when the window needs painting.
#include "app/window_procedure.h"

#include "app/fullscreen.h"
#include "app/game_state.h"
#include "app/pause.h"
#include "app/title_notice.h"
#include "game/arena.h"
#include "game/crate_removal.h"
#include "render/frame_render.h"
#include "replay/recorder.h"
#include "replay/replay_session.h"
#include "replay/replayer.h"
#include "save/quick_save.h"

namespace {

constexpr WPARAM kToggleShadowsKey = 'z';
constexpr WPARAM kToggleCameraModeKey = 'x';
constexpr WPARAM kResetPlayerKey = 'c';
constexpr WPARAM kToggleCollisionKey = 'v';
constexpr WPARAM kTogglePointLightKey = 'n';
constexpr WPARAM kToggleSpotLightKey = 'm';
// Keys of our own, beside those.
constexpr WPARAM kPauseKey = 'p';
constexpr WPARAM kReturnPlayerKey = 'r';
constexpr WPARAM kRemoveCrateKey = VK_DELETE;
constexpr WPARAM kFullscreenKey = VK_F11; // and Alt+Enter
constexpr WPARAM kQuickSaveKey = VK_F5;
constexpr WPARAM kQuickLoadKey = VK_F9;

void toggle(bool& flag) { flag = !flag; }

bool isRepeat(LPARAM lParam) { return (HIWORD(lParam) & KF_REPEAT) != 0; }

bool isAltEnter(WPARAM key, LPARAM lParam) { return key == VK_RETURN && (HIWORD(lParam) & KF_ALTDOWN); }

void onCharacter(WPARAM code)
{
    if (g_pause.paused) {
        if (code == kPauseKey)
            resumeGame(0);
        return;
    }
    switch (code) {
    case kToggleShadowsKey: toggle(g_shadowsEnabled); break;
    case kToggleCameraModeKey: toggle(g_freeCameraMode); break;
    case kResetPlayerKey: resetPlayerCube(0.0f, 0.0f, 0.0f); break;
    case kToggleCollisionKey:
        g_collisionType = g_collisionType == CollisionType::Stop ? CollisionType::Bounce : CollisionType::Stop;
        break;
    case kTogglePointLightKey: toggle(g_pointLightEnabled); break;
    case kToggleSpotLightKey: toggle(g_spotLightEnabled); break;
    case kPauseKey: pauseGame(); break;
    case kReturnPlayerKey: returnPlayerCubeToStart(); break;
    default: break;
    }
}

// A held key repeats; these act once a press, so a held F9 does not load
// again and again. A replay's recording brings the arenas its F9s loaded,
// and saves nothing.
void onKeyDown(HWND window, WPARAM key, LPARAM lParam)
{
    if (key == VK_ESCAPE)
        PostQuitMessage(0);
    if (isRepeat(lParam))
        return;
    if (key == kFullscreenKey)
        toggleFullscreen(window);
    if (key == kRemoveCrateKey && !g_pause.paused)
        removeCrateAtAim();
    if (replaySession().active)
        return;
    if (key == kQuickSaveKey)
        quickSave(window);
    else if (key == kQuickLoadKey)
        quickLoad(window);
}

void onSystemKeyDown(HWND window, WPARAM key, LPARAM lParam)
{
    if (isAltEnter(key, lParam) && !isRepeat(lParam))
        toggleFullscreen(window);
}

// A click while paused resumes; the middle button removes a crate.
void onButtonDown(UINT message)
{
    if (g_pause.paused)
        resumeGame(message);
    else if (message == WM_MBUTTONDOWN)
        removeCrateAtAim();
}

// While paused nothing else draws the window.
void onPaint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    if (g_pause.paused && g_device)
        renderFrame();
}

} // namespace

bool resetPlayerCube(float vx, float vy, float vz)
{
    // The list is empty only while a start-up message box is open, before
    // the player cube exists: there is nothing to reset then.
    if (g_boxes.isEmpty())
        return true;
    Box& cube = g_boxes.first(); // the player cube
    cube.position.x = g_camera.target.x;
    cube.position.y = g_camera.target.y;
    cube.position.z = g_camera.target.z;
    cube.velocity = Vec3(vx, vy, vz);
    return true;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (replayIgnores(message, wParam))
        return DefWindowProcA(window, message, wParam, lParam);
    recordMessage(message, wParam, lParam);
    if (!pauseHoldsBack(message))
        g_mouse.onMessage(message, lParam);
    switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:
        PostQuitMessage(0);
        break;
    case WM_PAINT:
        onPaint(window);
        break;
    case WM_KEYDOWN:
        onKeyDown(window, wParam, lParam);
        break;
    case WM_SYSKEYDOWN:
        onSystemKeyDown(window, wParam, lParam);
        break;
    case WM_SYSCHAR:
        // Windows would beep at Alt+Enter's character: there is no menu to
        // choose from.
        if (wParam == '\r' && (HIWORD(lParam) & KF_ALTDOWN))
            return 0;
        break;
    case WM_TIMER:
        onTitleNoticeTimer(window, wParam);
        break;
    case WM_CHAR:
        onCharacter(wParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        onButtonDown(message);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
