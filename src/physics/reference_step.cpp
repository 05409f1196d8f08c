// reference_step.cpp: the straightforward step.
//
// Boxes are visited in index order and each is moved before the next is
// visited: a box at a lower index has already moved in this step, one at a
// higher index has not. Every pair is visited from both sides, and each
// visit may change both boxes' velocities.
#include "physics/reference_step.h"

#include "physics/contact.h"

// The boxes before a have moved already in this step; those after it have not.
void resolveBoxContacts(Box& a, BoxList& list, float dt, CollisionType type, float friction)
{
    bool pastA = false;
    for (uint32_t j = 0; j < list.count(); ++j) {
        Box& b = list.at(j);
        if (&b == &a) {
            pastA = true;
            continue;
        }
        int mask = predictContact(a, b, dt);
        if (mask != 0)
            respondToContact(a, b, mask, dt, type, friction, !pastA);
    }
}

void stepPhysicsReference(BoxList& list, float dt, Box& ground, float friction, bool resolveContacts,
                          CollisionType type)
{
    for (uint32_t i = 0; i < list.count(); ++i) {
        Box& box = list.at(i);
        if (resolveContacts) {
            resolveGroundContact(box, ground, dt, friction, type);
            resolveBoxContacts(box, list, dt, type, friction);
            keepOffGround(box, ground, dt, type);
        }
        box.moveBy(box.velocity.x * dt, box.velocity.y * dt, box.velocity.z * dt);
    }
}
