// contact.cpp: predicting a contact and answering it.
//
// Both boxes of a pair are changed, and each box changes its own velocity:
// no speed passes from one to the other.
#include "physics/contact.h"

#include <algorithm>
#include <limits>

#include "physics/overlap.h"

namespace {

template <typename B>
float top(const B& b)
{
    return b.position.y + b.size.y;
}

template <typename B>
Vec3 advanced(const B& box, float dt)
{
    Vec3 p = box.position;
    p.x += box.velocity.x * dt;
    p.y += box.velocity.y * dt;
    p.z += box.velocity.z * dt;
    return p;
}

// Equality counts as apart; a NaN sets nothing.
bool apartOnAxis(float aPos, float aSize, float bPos, float bSize)
{
    return bPos + bSize <= aPos || aPos + aSize <= bPos;
}

void stopResponse(Box& a, Box& b, int mask, float dt, float friction)
{
    if (mask & kContactX) {
        b.velocity.x = 0.0f;
        a.velocity.x = 0.0f;
    }
    if (mask & kContactY) {
        b.velocity.y = 0.0f;
        a.velocity.y = 0.0f;
        // The upper box always comes down onto the lower one.
        if (top(a) < b.position.y)
            b.position.y = top(a);
        if (top(b) < a.position.y)
            a.position.y = top(b);
        applyFriction(b, dt, friction);
        applyFriction(a, dt, friction);
    }
    if (mask & kContactZ) {
        b.velocity.z = 0.0f;
        a.velocity.z = 0.0f;
    }
}

// +1 when b lies beyond a on an axis, -1 when it lies before it; for boxes
// that overlap on the axis, by their centres (0 when those are level).
float sideOf(float aPos, float aSize, float bPos, float bSize)
{
    if (aPos + aSize <= bPos)
        return 1.0f;
    if (bPos + bSize <= aPos)
        return -1.0f;
    const float apart = (bPos + 0.5f * bSize) - (aPos + 0.5f * aSize);
    return apart > 0.0f ? 1.0f : apart < 0.0f ? -1.0f : 0.0f;
}

// Each box turns back along the axis only when it is heading into the
// other: a pair met again later in the step, or boxes that overlap, are not
// sent back into each other. The turn mirrors the box's path about where it
// stands: one that has yet to move this step leaves at the speed it had
// before this step's gravity (aBack and bBack add that gravity back), one
// that has moved already at the speed it will have after the next step's
// (they take it off). Either way it climbs back to where it fell from.
void bounceAxis(float& av, float& bv, float side, float aBack, float bBack)
{
    if (bv * side < 0.0f)
        bv = kReflection * (bv + bBack);
    if (av * side > 0.0f)
        av = kReflection * (av + aBack);
}

float overlapOnAxis(float aPos, float aSize, float bPos, float bSize)
{
    return std::min(aPos + aSize, bPos + bSize) - std::max(aPos, bPos);
}

// Boxes that already overlap leave each other along the axis on which they
// overlap least (every such axis, on a tie): a crate pushed into a wall's
// face turns back from that face, rather than along the wall's height,
// which would send it into the ground and then under the wall. With a NaN
// on every axis, all three, as before.
int leastOverlapAxes(const Box& a, const Box& b)
{
    const float depth[3] = {overlapOnAxis(a.position.x, a.size.x, b.position.x, b.size.x),
                            overlapOnAxis(a.position.y, a.size.y, b.position.y, b.size.y),
                            overlapOnAxis(a.position.z, a.size.z, b.position.z, b.size.z)};
    float least = std::numeric_limits<float>::infinity();
    for (float d : depth)
        if (d < least)
            least = d;
    const int axes = (depth[0] == least ? kContactX : 0) | (depth[1] == least ? kContactY : 0) |
                     (depth[2] == least ? kContactZ : 0);
    return axes ? axes : kContactOverlapping;
}

void bounceResponse(Box& a, Box& b, int mask, float dt, bool bHasMoved)
{
    const Vec3& p = a.position;
    const Vec3& q = b.position;
    const float back = dt * kGravity;
    if (mask == kContactOverlapping)
        mask = leastOverlapAxes(a, b);
    if (mask & kContactX)
        bounceAxis(a.velocity.x, b.velocity.x, sideOf(p.x, a.size.x, q.x, b.size.x), 0.0f, 0.0f);
    if (mask & kContactY)
        bounceAxis(a.velocity.y, b.velocity.y, sideOf(p.y, a.size.y, q.y, b.size.y), back, bHasMoved ? -back : back);
    if (mask & kContactZ)
        bounceAxis(a.velocity.z, b.velocity.z, sideOf(p.z, a.size.z, q.z, b.size.z), 0.0f, 0.0f);
}

void groundResponse(Box& box, const Box& ground, float dt, float friction, CollisionType type)
{
    const float groundTop = top(ground);
    switch (type) {
    case CollisionType::Stop:
        box.velocity.y = 0.0f;
        box.position.y = groundTop;
        applyFriction(box, dt, friction);
        break;
    case CollisionType::Freeze:
        box.velocity = Vec3(0.0f, 0.0f, 0.0f);
        break;
    case CollisionType::Bounce: {
        // This step's gravity is already in the velocity: the box leaves at
        // the speed it arrived with, so it climbs back to where it fell
        // from. One already heading up is left to go.
        const float arrival = box.velocity.y + dt * kGravity;
        if (absValue(arrival) > kBounceThreshold && box.position.y != groundTop) {
            if (arrival < 0.0f)
                box.velocity.y = kReflection * arrival;
        } else {
            box.velocity.y = 0.0f;
            box.position.y = groundTop;
        }
        break;
    }
    default:
        break;
    }
}

} // namespace

Vec3 advancedPosition(const Box& box, float dt) { return advanced(box, dt); }
Vec3 advancedPosition(const Body& body, float dt) { return advanced(body, dt); }

namespace {

template <typename B>
int predictMask(const B& a, const B& b, float dt)
{
    if (!cornersInside(advanced(a, dt), a.size, advanced(b, dt), b.size))
        return 0;
    int mask = 0;
    if (apartOnAxis(a.position.x, a.size.x, b.position.x, b.size.x))
        mask |= kContactX;
    if (apartOnAxis(a.position.y, a.size.y, b.position.y, b.size.y))
        mask |= kContactY;
    if (apartOnAxis(a.position.z, a.size.z, b.position.z, b.size.z))
        mask |= kContactZ;
    return mask ? mask : kContactOverlapping;
}

} // namespace

int predictContact(const Box& a, const Box& b, float dt) { return predictMask(a, b, dt); }
int predictContact(const Body& a, const Body& b, float dt) { return predictMask(a, b, dt); }

void applyFriction(Box& box, float dt, float friction)
{
    if (dt == 0.0f || friction == 0.0f)
        return;
    float speed = length(Vec3(box.velocity.x, 0.0f, box.velocity.z));
    float slowed = speed - dt * friction;
    if (speed == 0.0f)
        return;
    if (slowed < 0.0f)
        slowed = 0.0f;
    float ratio = slowed / speed;
    box.velocity.x *= ratio;
    box.velocity.z *= ratio;
}

void respondToContact(Box& a, Box& b, int mask, float dt, CollisionType type, float friction, bool bHasMoved)
{
    switch (type) {
    case CollisionType::Stop:
        stopResponse(a, b, mask, dt, friction);
        break;
    case CollisionType::Freeze:
        b.velocity = Vec3(0.0f, 0.0f, 0.0f);
        a.velocity = Vec3(0.0f, 0.0f, 0.0f);
        break;
    case CollisionType::Bounce:
        bounceResponse(a, b, mask, dt, bHasMoved);
        break;
    default:
        break;
    }
}

void keepOffGround(Box& box, const Box& ground, float dt, CollisionType type)
{
    if (type != CollisionType::Bounce || !(box.velocity.y < 0.0f))
        return;
    const float groundTop = top(ground);
    if (!(groundTop + kGroundTestMargin > box.position.y) || predictContact(box, ground, dt) == 0)
        return;
    box.velocity.y = 0.0f;
    if (box.position.y > groundTop)
        box.position.y = groundTop;
}

void resolveGroundContact(Box& box, const Box& ground, float dt, float friction, CollisionType type)
{
    if (top(ground) + kGroundTestMargin > box.position.y) {
        if (predictContact(box, ground, dt) != 0)
            groundResponse(box, ground, dt, friction, type);
    }
}
