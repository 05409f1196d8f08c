// physics_step.cpp: gravity, and the choice of step.
#include "physics/physics_step.h"

PhysicsStepMethod g_physicsStepMethod = PhysicsStepMethod::BroadPhase;

void applyGravity(float dt)
{
    for (uint32_t i = 0; i < g_boxes.count(); ++i) {
        Box& box = g_boxes.at(i);
        box.velocity.y = box.velocity.y - dt * kGravity;
    }
}

void stepPhysics(BoxList& list, float dt, Box& ground, float friction, bool resolveContacts, CollisionType type)
{
    if (g_physicsStepMethod == PhysicsStepMethod::Reference)
        stepPhysicsReference(list, dt, ground, friction, resolveContacts, type);
    else
        stepPhysicsBroadPhase(list, dt, ground, friction, resolveContacts, type);
}
