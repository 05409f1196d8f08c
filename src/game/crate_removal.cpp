// crate_removal.cpp: removing the crate at the aim point.
#include "game/crate_removal.h"

#include "app/game_state.h"

namespace {

// The space a crate placed at the aim point would fill (spawning.cpp).
constexpr float kReach = 1.0f;

// How far `point` lies outside [low, high], or 0 inside.
float outside(float point, float low, float high)
{
    return point < low ? low - point : (point > high ? point - high : 0.0f);
}

} // namespace

bool removeCrateAtAim()
{
    const Vec3& aim = g_camera.target;
    int64_t nearest = -1;
    float nearestDistance = 0.0f;
    for (uint32_t i = kFirstCrateIndex; i < g_boxes.count(); ++i) {
        const Box& box = g_boxes.at(i);
        const float dx = outside(aim.x, box.position.x, box.position.x + box.size.x);
        const float dy = outside(aim.y, box.position.y, box.position.y + box.size.y);
        const float dz = outside(aim.z, box.position.z, box.position.z + box.size.z);
        if (!(dx <= kReach && dy <= kReach && dz <= kReach))
            continue;
        const float distance = dx * dx + dy * dy + dz * dz;
        if (nearest < 0 || distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    if (nearest < 0)
        return false;
    g_boxes.removeAt(uint32_t(nearest));
    return true;
}
