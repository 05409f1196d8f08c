// window_procedure.cpp: the window procedure. It hands every message to the
// mouse tracker, acts on quit requests and the single-letter key commands,
// and always passes the message on to the default handling. It never draws.
#include "app/window_procedure.h"

#include "app/game_state.h"
#include "app/title_notice.h"
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
constexpr WPARAM kQuickSaveKey = VK_F5;
constexpr WPARAM kQuickLoadKey = VK_F9;

void toggle(bool& flag) { flag = !flag; }

void onCharacter(WPARAM code)
{
    switch (code) {
    case kToggleShadowsKey: toggle(g_shadowsEnabled); break;
    case kToggleCameraModeKey: toggle(g_freeCameraMode); break;
    case kResetPlayerKey: resetPlayerCube(0.0f, 0.0f, 0.0f); break;
    case kToggleCollisionKey:
        g_collisionType = g_collisionType == CollisionType::Stop ? CollisionType::Bounce : CollisionType::Stop;
        break;
    case kTogglePointLightKey: toggle(g_pointLightEnabled); break;
    case kToggleSpotLightKey: toggle(g_spotLightEnabled); break;
    default: break;
    }
}

// A held F5 or F9 repeats its key-down: only the first press acts, so a
// held F9 does not load again and again. A replay's recording brings the
// arenas its F9s loaded, and saves nothing.
void onQuickSaveKeys(HWND window, WPARAM key, LPARAM lParam)
{
    if ((HIWORD(lParam) & KF_REPEAT) || replaySession().active)
        return;
    if (key == kQuickSaveKey)
        quickSave(window);
    else if (key == kQuickLoadKey)
        quickLoad(window);
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
    g_mouse.onMessage(message, lParam);
    switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:
        PostQuitMessage(0);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            PostQuitMessage(0);
        onQuickSaveKeys(window, wParam, lParam);
        break;
    case WM_TIMER:
        onTitleNoticeTimer(window, wParam);
        break;
    case WM_CHAR:
        onCharacter(wParam);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
