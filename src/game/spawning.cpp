// spawning.cpp: placing, throwing and pushing crates.
#include "game/spawning.h"

#include "app/game_state.h"
#include "physics/overlap.h"

namespace {
constexpr float kCrateHalfSize = 1.0f;
constexpr float kCrateSize = 2.0f;
} // namespace

bool spawnOrPush(float vx, float vy, float vz)
{
    const Vec3& aim = g_camera.target;
    if (!addBox(g_device, aim.x - kCrateHalfSize, aim.y - kCrateHalfSize, aim.z - kCrateHalfSize, kCrateSize,
                kCrateSize, kCrateSize))
        return false;
    Box& crate = g_boxes.last();
    crate.velocity = Vec3(vx, vy, vz);

    int32_t hit = findOverlap(&crate, g_boxes);
    if (hit == -1 && !boxOverlaps(crate, g_ground))
        return true;
    if (hit >= 0 && uint32_t(hit) >= kFirstPushableIndex) {
        Vec3& v = g_boxes.at(uint32_t(hit)).velocity;
        v.x += vx;
        v.y += vy;
        v.z += vz;
    }
    g_boxes.removeLast();
    return true;
}
