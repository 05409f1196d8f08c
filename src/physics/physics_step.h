// physics_step.h: gravity and the per-frame step that predicts contacts
// one step ahead, answers them by the collision type, applies friction and
// moves every listed box.
#pragma once

#include "boxes/box.h"
#include "boxes/box_list.h"
#include "physics/broad_phase_step.h"
#include "physics/collision_type.h"
#include "physics/contact.h"
#include "physics/reference_step.h"

void applyGravity(float dt);
// Runs the step chosen by g_physicsStepMethod.
void stepPhysics(BoxList& list, float dt, Box& ground, float friction, bool resolveContacts, CollisionType type);

// The two ways to run the step, with bit-for-bit the same results. The game
// always runs the broad phase; tests and benchmarks set this switch to
// compare it with the reference, the straightforward step over every pair.
enum class PhysicsStepMethod { BroadPhase, Reference };
extern PhysicsStepMethod g_physicsStepMethod;
