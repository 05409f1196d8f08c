// broad_phase_step.cpp: the step, visiting each box's candidates.
#include "physics/broad_phase_step.h"

#include "physics/broad_phase.h"
#include "physics/contact.h"
#include "physics/reference_step.h"

namespace {

// Kept between steps, so an unchanged arena needs no new grid.
BroadPhase g_broadPhase;

// The shortcut and the prediction read the packed copies; the answers
// change the boxes themselves, and the copies follow.
void visitContacts(BroadPhase& grid, BoxList& list, uint32_t i, float dt, CollisionType type, float friction)
{
    Box& box = list.at(i);
    const Body& a = grid.bodies[i];
    grid.startVisit(i);
    for (int64_t j = grid.nextToTest(0, type); j >= 0; j = grid.nextToTest(uint32_t(j) + 1, type)) {
        const Body& b = grid.bodies[size_t(j)];
        const int mask = predictContact(a, b, dt);
        if (mask == 0)
            continue;
        Box& other = list.at(uint32_t(j));
        respondToContact(box, other, mask, dt, type, friction, uint32_t(j) < i);
        grid.sync(uint32_t(j), other);
        // Box i now reaches other cells: look again beyond j.
        if (grid.sync(i, box))
            grid.lookAgainAbove(uint32_t(j));
    }
    grid.endVisit();
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
        resolveGroundContact(box, ground, dt, friction, type);
        grid.sync(i, box);
        visitContacts(grid, list, i, dt, type, friction);
        keepOffGround(box, ground, dt, type);
        box.moveBy(box.velocity.x * dt, box.velocity.y * dt, box.velocity.z * dt);
        grid.sync(i, box);
    }
}

bool validateBroadPhase(const BoxList& list, std::string& problem) { return g_broadPhase.validate(list, problem); }

void resetBroadPhase() { g_broadPhase = BroadPhase(); }
