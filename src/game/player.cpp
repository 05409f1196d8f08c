// player.cpp: walking, jumping and the camera riding on the cube.
#include "game/player.h"

namespace {
constexpr float kReverse = -1.0f;
constexpr float kJumpAllowedBelowSpeed = 0.1f;
constexpr float kEyeBelowTop = 0.1f;

// The view direction flattened onto the ground and made unit length again,
// so looking steeply down still walks at full speed.
Vec3 flatViewDirection(const Camera& camera)
{
    Vec3 d = camera.viewDirection();
    d.y = 0.0f;
    normalizeInPlace(d);
    return d;
}

Vec3 leftOfView(const Camera& camera)
{
    Vec3 d;
    cross(d, camera.viewDirection(), kWorldUp);
    normalizeInPlace(d);
    return d;
}

} // namespace

void Player::walkForward()
{
    Vec3 d = flatViewDirection(*camera);
    cube->velocity.x = d.x * walkSpeed;
    cube->velocity.z = d.z * walkSpeed;
}

void Player::walkBackward()
{
    Vec3 d = flatViewDirection(*camera);
    cube->velocity.x = d.x * walkSpeed * kReverse;
    cube->velocity.z = d.z * walkSpeed * kReverse;
}

void Player::walkLeft()
{
    Vec3 d = leftOfView(*camera);
    d *= walkSpeed;
    cube->velocity.x = d.x;
    cube->velocity.z = d.z;
}

void Player::walkRight()
{
    Vec3 d = leftOfView(*camera);
    d *= walkSpeed * kReverse;
    cube->velocity.x = d.x;
    cube->velocity.z = d.z;
}

void Player::jump()
{
    if (absValue(cube->velocity.y) < kJumpAllowedBelowSpeed)
        cube->velocity.y = jumpSpeed;
}

void Player::followCube()
{
    const Vec3& p = cube->position;
    const Vec3& s = cube->size;
    Vec3 newEye(p.x + s.x / 2.0f, p.y + s.y - kEyeBelowTop, p.z + s.z / 2.0f);
    camera->target += newEye - camera->eye;
    camera->eye = newEye;
}
