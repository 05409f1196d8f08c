// arena_capture.cpp: between the game's globals and an ArenaState.
#include "save/arena_capture.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "app/game_state.h"
#include "game/control_modes.h"
#include "physics/broad_phase_step.h"

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::unique_ptr<Box> makeBox(const BoxState& b)
{
    std::unique_ptr<Box> box(new Box());
    if (!box->create(g_device, b.position.x, b.position.y, b.position.z, b.size.x, b.size.y, b.size.z))
        return nullptr;
    box->velocity = b.velocity;
    if (!sameBits(box->textureScale, b.textureScale)) {
        box->textureScale = b.textureScale;
        box->rebuildMesh();
    }
    return box;
}

} // namespace

void captureArena(ArenaState& out)
{
    out.freeCameraMode = g_freeCameraMode;
    out.collisionType = g_collisionType;
    out.shadowsEnabled = g_shadowsEnabled;
    out.pointLightEnabled = g_pointLightEnabled;
    out.spotLightEnabled = g_spotLightEnabled;
    out.spawnCooldown = g_spawnCooldown;
    out.lastAimPoint = g_lastAimPoint;
    out.eye = g_camera.eye;
    out.target = g_camera.target;
    out.up = g_camera.up;
    out.boxes.resize(g_boxes.count());
    for (uint32_t i = 0; i < g_boxes.count(); ++i) {
        const Box& box = g_boxes.at(i);
        out.boxes[i] = BoxState{box.position, box.size, box.velocity, box.textureScale};
    }
}

// Boxes the game already has take the new values in their own buffers (a
// quick load into the arena it was saved from makes nothing new); only the
// boxes beyond them are made, and made first, so that a box that cannot be
// made leaves the game untouched.
bool applyArena(const ArenaState& state)
{
    if (state.boxes.empty())
        return false;
    const size_t kept = std::min(size_t(g_boxes.count()), state.boxes.size());
    BoxList added;
    added.boxes.reserve(state.boxes.size() - kept);
    for (size_t i = kept; i < state.boxes.size(); ++i) {
        std::unique_ptr<Box> box = makeBox(state.boxes[i]);
        if (!box)
            return false; // what was made goes with `added`
        added.append(std::move(box));
    }
    while (g_boxes.count() > state.boxes.size())
        g_boxes.removeLast();
    for (size_t i = 0; i < kept; ++i) {
        const BoxState& b = state.boxes[i];
        Box& box = g_boxes.at(uint32_t(i));
        box.position = b.position;
        box.size = b.size;
        box.velocity = b.velocity;
        box.textureScale = b.textureScale;
        box.rebuildMesh();
    }
    for (std::unique_ptr<Box>& box : added.boxes)
        g_boxes.append(std::move(box));
    g_player.cube = &g_boxes.first();
    g_freeCameraMode = state.freeCameraMode;
    g_collisionType = state.collisionType;
    g_shadowsEnabled = state.shadowsEnabled;
    g_pointLightEnabled = state.pointLightEnabled;
    g_spotLightEnabled = state.spotLightEnabled;
    g_spawnCooldown = state.spawnCooldown;
    g_lastAimPoint = state.lastAimPoint;
    g_camera.eye = state.eye;
    g_camera.target = state.target;
    g_camera.up = state.up;
    updateAimer(g_camera);
    resetBroadPhase();
    return true;
}
