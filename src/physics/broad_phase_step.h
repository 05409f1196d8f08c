// broad_phase_step.h: the physics step that tests each box only against the
// boxes the broad phase says it could reach (broad_phase.h), with bit for
// bit the answers of the reference step.
#pragma once

#include <string>

#include "boxes/box.h"
#include "boxes/box_list.h"
#include "physics/collision_type.h"

void stepPhysicsBroadPhase(BoxList& list, float dt, Box& ground, float friction, bool resolveContacts,
                           CollisionType type);

// Checks what the step keeps between steps against `list`, the list it last
// stepped (BroadPhase::validate). For tests.
bool validateBroadPhase(const BoxList& list, std::string& problem);

// Forgets what the step keeps between steps, as a fresh process has it: for
// a box list replaced whole (a loaded arena), which may be shorter than the
// one the grid was built for.
void resetBroadPhase();
