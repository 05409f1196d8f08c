// frame.cpp: the steps of a frame, in order.
#include "app/frame.h"

#include "app/game_state.h"
#include "game/control_modes.h"
#include "game/spawning.h"
#include "physics/physics_step.h"
#include "physics/frame_steps.h"
#include "render/frame_render.h"
#include "replay/recorder.h"

namespace {

constexpr float kFriction = 20.0f;
constexpr float kSpawnCooldownSeconds = 0.1f;

// A button action runs only when the aim point has moved since the last
// action and enough time has gathered; either way the aim point is recorded.
void buttonAction(bool active, bool throwing)
{
    if (!active)
        return;
    if (g_camera.target != g_lastAimPoint && g_spawnCooldown > kSpawnCooldownSeconds) {
        if (throwing) {
            Vec3 d = g_camera.viewDirection();
            spawnOrPush(kThrowSpeed * d.x, kThrowSpeed * d.y, kThrowSpeed * d.z);
        } else {
            spawnOrPush(0.0f, 0.0f, 0.0f);
        }
        g_spawnCooldown = 0.0f;
    }
    g_lastAimPoint = g_camera.target;
}

void physicsStep(float dt)
{
    applyGravity(dt);
    stepPhysics(g_boxes, dt, g_ground, kFriction, true, g_collisionType);
}

void updateLights()
{
    g_spotLight.Position = toD3DX(g_camera.eye);
    g_spotLight.Direction = toD3DX(g_camera.viewDirection());
    g_device->SetLight(kSpotLightIndex, &g_spotLight);
    g_device->LightEnable(kPointLightIndex, g_pointLightEnabled ? TRUE : FALSE);
    g_device->LightEnable(kSpotLightIndex, g_spotLightEnabled ? TRUE : FALSE);
}

} // namespace

void advancePhysics(float seconds)
{
    const FrameSteps steps = planFrameSteps(g_boxes, g_ground, seconds);
    for (int i = 0; i < steps.count; ++i)
        physicsStep(steps.seconds);
}

void runFrame() { runFrameOf(g_timer.elapsedMs(true)); }

void runFrameOf(DWORD ms)
{
    recordFrameStart();
    g_frameSeconds = FrameTimer::secondsOf(ms);
    g_spawnCooldown += g_frameSeconds;

    advancePhysics(g_frameSeconds);

    if (g_freeCameraMode)
        updateFreeCameraMode(g_frameSeconds);
    else
        updatePlayerMode(g_frameSeconds);

    // The left action runs first and records the aim point, so with both
    // buttons active at most one spawn happens in a frame.
    buttonAction(g_mouse.leftReleased() || g_mouse.leftHeld(), false);
    buttonAction(g_mouse.rightReleased() || g_mouse.rightHeld(), true);
    g_mouse.clearEvents();

    updateLights();

    if (gameWindowOnScreen() && !renderFrame())
        MessageBoxA(nullptr, "poop", "poop", MB_OK);

    ++g_frameCount;
    recordFrameEnd(ms);
}
