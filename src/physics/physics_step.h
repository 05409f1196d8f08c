// physics_step.h: gravity and the per-frame step that predicts contacts
// one step ahead, answers them by the collision type, applies friction and
// moves every listed box.
#pragma once

#include "boxes/box.h"
#include "boxes/box_list.h"
#include "physics/collision_type.h"

// Contact mask bits: the axes on which two boxes were apart (or touching)
// before the step, i.e. along which the predicted contact happens.
constexpr int kContactX = 1;
constexpr int kContactY = 2;
constexpr int kContactZ = 4;
// Boxes that already overlapped on every axis.
constexpr int kContactOverlapping = 7;

constexpr float kGravity = 10.0f;             // units per second squared
constexpr float kGroundTestMargin = 2.0f;     // only boxes this close above the ground test it
constexpr float kBounceThreshold = 0.1f;      // slower landings rest instead of bouncing
constexpr float kReflection = -1.0f;

void applyGravity(float dt);
void stepPhysics(BoxList& list, float dt, Box& ground, float friction, bool resolveContacts, CollisionType type);

int predictContact(const Box& a, const Box& b, float dt);
void resolveBoxContacts(Box& a, BoxList& list, float dt, CollisionType type, float friction);
void applyFriction(Box& box, float dt, float friction);
