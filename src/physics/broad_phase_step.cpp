// broad_phase_step.cpp: the physics step with the broad phase.
//
// The same visits as the reference step, in the same order, through the
// same contact code; only the pairs that cannot meet are left out. The
// grid follows every change a visit makes: the ground's answer, each
// contact's answer (to both boxes) and the move.
#include <cstring>

#include "physics/broad_phase.h"
#include "physics/physics_step.h"

namespace {

// Kept between steps, so an unchanged arena needs no new grid.
BroadPhase g_broadPhase;

// What a response may change: the position and the velocity.
struct Motion {
    Vec3 position;
    Vec3 velocity;
    explicit Motion(const Box& b) : position(b.position), velocity(b.velocity) {}
    // Bit for bit, so a NaN or a sign of zero counts.
    bool changedIn(const Box& b) const
    {
        return std::memcmp(&position, &b.position, sizeof position) != 0 ||
               std::memcmp(&velocity, &b.velocity, sizeof velocity) != 0;
    }
};

void visitContacts(BroadPhase& grid, BoxList& list, uint32_t i, float dt, CollisionType type, float friction)
{
    Box& box = list.at(i);
    grid.gather(i, 0);
    for (int64_t j = grid.next(0); j >= 0; j = grid.next(uint32_t(j) + 1)) {
        Box& other = list.at(uint32_t(j));
        const int mask = predictContact(box, other, dt);
        if (mask == 0)
            continue;
        const Motion a(box), b(other);
        respondToContact(box, other, mask, dt, type, friction);
        if (b.changedIn(other))
            grid.update(uint32_t(j), other);
        // Box i now reaches other cells: look again beyond j.
        if (a.changedIn(box) && grid.update(i, box)) {
            grid.clearCandidates();
            grid.gather(i, uint32_t(j) + 1);
        }
    }
    grid.clearCandidates();
}

} // namespace

void stepPhysicsBroadPhase(BoxList& list, float dt, Box& ground, float friction, bool resolveContacts,
                           CollisionType type)
{
    if (!resolveContacts) {
        stepPhysicsReference(list, dt, ground, friction, resolveContacts, type);
        return;
    }
    BroadPhase& grid = g_broadPhase;
    grid.begin(list, dt);
    for (uint32_t i = 0; i < list.count(); ++i) {
        Box& box = list.at(i);
        const Motion beforeGround(box);
        resolveGroundContact(box, ground, dt, friction, type);
        if (beforeGround.changedIn(box))
            grid.update(i, box);
        visitContacts(grid, list, i, dt, type, friction);
        const Motion beforeMove(box);
        box.moveBy(box.velocity.x * dt, box.velocity.y * dt, box.velocity.z * dt);
        if (beforeMove.changedIn(box))
            grid.update(i, box);
    }
}
