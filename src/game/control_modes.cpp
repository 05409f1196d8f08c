// control_modes.cpp: keys, mouse look and the aiming marker.
#include "game/control_modes.h"

#include "app/game_state.h"
#include "app/settings.h"

namespace {

constexpr float kFlySpeed = 50.0f;             // units per second
constexpr float kKeyTurnRate = 1.5707964f;     // radians per second
constexpr float kMouseSensitivity = 0.01f;     // radians per pixel
constexpr BYTE kKeyDownBit = 0x80;
constexpr int kKeyW = 'W';
constexpr int kKeyS = 'S';
constexpr int kKeyA = 'A';
constexpr int kKeyD = 'D';

// The turn for a number of pixels. The player's factor multiplies the
// rounded product, so the default of 1 turns exactly as before.
float mouseTurn(LONG pixels) { return float(pixels) * kMouseSensitivity * g_settings.mouseSensitivity; }

// The cursor is held at the desktop's centre; its offset since the last
// frame turns the view, then it is put back. Not while the game is
// minimised or hidden: the pointer is the player's other programs' then
// (but a replay turns as its recorded game did).
void mouseLook()
{
    const LONG centreX = g_desktopRect.right / 2;
    const LONG centreY = g_desktopRect.bottom / 2;
    if (!gameWindowOnScreen() && !g_mouseLookWhileUnseen) {
        g_cursorPos = POINT{centreX, centreY}; // nothing seen: no offset
        return;
    }
    GetCursorPos(&g_cursorPos);
    if (g_cursorPos.x == centreX && g_cursorPos.y == centreY)
        return;
    const LONG dx = g_cursorPos.x - centreX;
    LONG dy = centreY - g_cursorPos.y; // positive when the cursor moved up
    if (g_settings.invertLook)
        dy = -dy;
    if (dx > 0)
        g_camera.turnRight(mouseTurn(dx));
    if (dx < 0)
        g_camera.turnLeft(mouseTurn(-dx));
    if (dy > 0)
        g_camera.pitchUp(mouseTurn(dy));
    if (dy < 0)
        g_camera.pitchDown(mouseTurn(-dy));
    SetCursorPos(centreX, centreY);
}

void aimerStep()
{
    if (!updateAimer(g_camera))
        MessageBoxA(nullptr, "Aimer failed to Update", "", MB_OK);
}

} // namespace

bool isKeyDown(int virtualKey)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    return (keys[virtualKey & 0xFF] & kKeyDownBit) != 0;
}

bool updateAimer(const Camera& camera)
{
    return g_aimer.setPosition(camera.target.x, camera.target.y, camera.target.z);
}

// Every held key acts, in table order; the moves add up.
void updateFreeCameraMode(float frameSeconds)
{
    const float move = frameSeconds * kFlySpeed;
    const float turn = kKeyTurnRate * frameSeconds;
    if (isKeyDown(kKeyW)) g_camera.moveForward(move);
    if (isKeyDown(kKeyS)) g_camera.moveBackward(move);
    if (isKeyDown(kKeyA)) g_camera.strafeLeft(move);
    if (isKeyDown(kKeyD)) g_camera.strafeRight(move);
    if (isKeyDown(VK_SPACE)) g_camera.moveUp(move);
    if (isKeyDown(VK_CONTROL)) g_camera.moveDown(move);
    if (isKeyDown(VK_LEFT)) g_camera.turnLeft(turn);
    if (isKeyDown(VK_RIGHT)) g_camera.turnRight(turn);
    if (isKeyDown(VK_UP)) g_camera.pitchUp(turn);
    if (isKeyDown(VK_DOWN)) g_camera.pitchDown(turn);
    mouseLook();
    g_camera.applyView(g_device);
    aimerStep();
}

// Walking sets a velocity; the physics step of the next frame moves the cube.
void updatePlayerMode(float)
{
    g_player.cube->velocity.x = 0.0f;
    g_player.cube->velocity.z = 0.0f;
    if (isKeyDown(kKeyW)) g_player.walkForward();
    if (isKeyDown(kKeyS)) g_player.walkBackward();
    if (isKeyDown(kKeyA)) g_player.walkLeft();
    if (isKeyDown(kKeyD)) g_player.walkRight();
    if (isKeyDown(VK_SPACE)) g_player.jump();
    mouseLook();
    g_player.followCube();
    g_camera.applyView(g_device);
    aimerStep();
}
