// reference_step.h: the straightforward physics step, every box tested
// against every other box: what defines the step's answers.
#pragma once

#include "boxes/box.h"
#include "boxes/box_list.h"
#include "physics/collision_type.h"

void stepPhysicsReference(BoxList& list, float dt, Box& ground, float friction, bool resolveContacts,
                          CollisionType type);

// Box a's contacts with every other listed box, in index order.
void resolveBoxContacts(Box& a, BoxList& list, float dt, CollisionType type, float friction);
