// contact.h: one contact of the physics step: predicting it one step ahead
// and answering it by the collision type. Both physics steps share these, so
// they give the same answers.
#pragma once

#include <stdint.h>

#include "boxes/box.h"
#include "math/float_bits.h"
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

// What predicting a contact reads of a box. The broad phase keeps a packed
// copy of every listed box's.
struct Body {
    Vec3 position;
    Vec3 size;
    Vec3 velocity;
};

// +0 on every axis, bit for bit (-0 is not still: a response would change it).
inline bool isStill(const Vec3& v)
{
    return (bitsOf(v.x) | bitsOf(v.y) | bitsOf(v.z)) == 0;
}

// Where a box will be after dt at its own velocity: its position moved the
// way moveBy moves it.
Vec3 advancedPosition(const Box& box, float dt);
Vec3 advancedPosition(const Body& body, float dt);

int predictContact(const Box& a, const Box& b, float dt);
int predictContact(const Body& a, const Body& b, float dt);
void applyFriction(Box& box, float dt, float friction);

// The answer to a predicted contact of a, the box being visited, with b
// (mask from predictContact): edits both boxes' velocities and, with Stop,
// may snap either one's position.y. bHasMoved: b comes before a in the list,
// so it has moved already in this step. The step runs right after
// applyGravity(dt): a bounce takes this step's gravity into account.
void respondToContact(Box& a, Box& b, int mask, float dt, CollisionType type, float friction, bool bHasMoved);
// What decides whether answering a contact could change anything: a box's
// bottom and top, whether it is still (+0 velocity on every axis, bit for
// bit) and whether it is at rest (0 on every axis, of either sign).
struct Stillness {
    float bottom;
    float top;
    bool still;
    bool atRest;
};

inline Stillness stillnessOf(const Body& b)
{
    const Vec3& v = b.velocity;
    return Stillness{b.position.y, b.position.y + b.size.y, isStill(v), v.x == 0.0f && v.y == 0.0f && v.z == 0.0f};
}

// True when answering any contact of a and b would leave both boxes as they
// are, bit for bit, whatever the mask: a step may then skip predicting it.
// It follows the responses in contact.cpp. Stop and Freeze only write +0 to
// velocity components, and friction leaves a box with no horizontal speed
// alone, so with both boxes still Stop's landing snap (an upper box's
// bottom above the lower one's top) is the one change left. Bounce turns
// back only a box heading into the other, which needs a speed. Inline: it
// runs for every pair the broad phase finds.
inline bool contactChangesNothing(const Stillness& a, const Stillness& b, CollisionType type)
{
    switch (type) {
    case CollisionType::Stop:
        return a.still && b.still && !(a.top < b.bottom) && !(b.top < a.bottom);
    case CollisionType::Freeze:
        return a.still && b.still;
    case CollisionType::Bounce:
        return a.atRest && b.atRest;
    default:
        return true;
    }
}

// The ground's share of a box's visit: tests the box against the ground when
// it is close enough above it and answers a predicted contact.
void resolveGroundContact(Box& box, const Box& ground, float dt, float friction, CollisionType type);
// The end of a box's visit, before it moves: with Bounce, a box that
// another box turned back down into the ground, after the ground had its
// turn, comes to rest on it instead (caught between the two, it has nowhere
// to bounce to). It never dips into the ground, and gains no energy. Other
// types are left alone.
void keepOffGround(Box& box, const Box& ground, float dt, CollisionType type);
