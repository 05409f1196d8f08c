// contact.h: one contact of the physics step: predicting it one step ahead
// and answering it by the collision type. Both physics steps share these, so
// they give the same answers.
#pragma once

#include "boxes/box.h"
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

// Where a box will be after dt at its own velocity: its position moved the
// way moveBy moves it.
Vec3 advancedPosition(const Box& box, float dt);

int predictContact(const Box& a, const Box& b, float dt);
void applyFriction(Box& box, float dt, float friction);

// The answer to a predicted contact of a with b (mask from predictContact):
// edits both boxes' velocities and, with Stop, may snap either one's
// position.y.
void respondToContact(Box& a, Box& b, int mask, float dt, CollisionType type, float friction);
// The ground's share of a box's visit: tests the box against the ground when
// it is close enough above it and answers a predicted contact.
void resolveGroundContact(Box& box, const Box& ground, float dt, float friction, CollisionType type);
