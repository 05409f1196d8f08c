// camera.cpp: camera moves, turns and the pitch guard.
#include "math/camera.h"

#include <cmath>

#include "math/matrix4.h"

namespace {
constexpr float kDefaultMinHorizontalDistance = 0.1f;

// In double precision, where the squares of floats cannot overflow.
double horizontalLength(const Vec3& v) { return std::sqrt(double(v.x) * v.x + double(v.z) * v.z); }
} // namespace

Camera::Camera()
    : eye(0.0f, 0.0f, 0.0f), target(0.0f, 0.0f, 0.0f), up(0.0f, 0.0f, 0.0f),
      minHorizontalDistance(kDefaultMinHorizontalDistance)
{
}

Vec3 Camera::horizontalOffset() const { return Vec3(target.x - eye.x, 0.0f, target.z - eye.z); }

void Camera::translate(const Vec3& direction, float d)
{
    Vec3 step = direction;
    step *= d;
    eye += step;
    target += step;
}

void Camera::rotateOffset(const Vec3& axis, float angle)
{
    D3DXVECTOR3 offset = toD3DX(target - eye);
    D3DXVECTOR3 d3dxAxis = toD3DX(axis);
    Matrix4 rotation;
    D3DXMatrixRotationAxis(&rotation, &d3dxAxis, angle);
    D3DXVec3TransformCoord(&offset, &offset, &rotation);
    target = fromD3DX(offset) + eye;
}

Vec3 Camera::viewDirection() const
{
    Vec3 dir = target - eye;
    normalizeInPlace(dir);
    return dir;
}

void Camera::moveForward(float d) { translate(viewDirection(), d); }

void Camera::moveBackward(float d) { translate(viewDirection(), -d); }

void Camera::strafeLeft(float d)
{
    Vec3 side;
    cross(side, horizontalOffset(), kWorldUp);
    normalizeInPlace(side);
    translate(side, d);
}

void Camera::strafeRight(float d)
{
    Vec3 side;
    cross(side, kWorldUp, horizontalOffset());
    normalizeInPlace(side);
    translate(side, d);
}

void Camera::moveUp(float d)
{
    eye.y += d;
    target.y += d;
}

void Camera::moveDown(float d)
{
    eye.y -= d;
    target.y -= d;
}

void Camera::turnLeft(float angle) { rotateOffset(kWorldUp, -angle); }

void Camera::turnRight(float angle) { rotateOffset(kWorldUp, angle); }

// Whether turning the view up by `angle` (down when negative) would carry
// it past the guard in that direction: its horizontal distance down to
// minHorizontalDistance, and then over the vertical, where the view flips.
bool Camera::pitchCrossesGuard(float angle) const
{
    const Vec3 offset = target - eye;
    const double horizontal = horizontalLength(offset);
    const double distance = std::sqrt(horizontal * horizontal + double(offset.y) * double(offset.y));
    // Straight up or down there is no side to stop on.
    if (horizontal == 0.0 || distance <= minHorizontalDistance)
        return false;
    const double elevation = std::atan2(double(offset.y), horizontal);
    const double limit = std::acos(minHorizontalDistance / distance);
    const double after = elevation + double(angle);
    return angle > 0.0f ? after > limit : after < -limit;
}

// Puts the view where the guard stops it, above (or below) its current
// horizontal direction, keeping the distance to the target.
void Camera::stopPitchAtGuard(bool above)
{
    const Vec3 offset = target - eye;
    const double horizontal = horizontalLength(offset);
    const double distance = std::sqrt(horizontal * horizontal + double(offset.y) * double(offset.y));
    const double scale = minHorizontalDistance / horizontal;
    const double height = std::sqrt(distance * distance - double(minHorizontalDistance) * minHorizontalDistance);
    target = eye + Vec3(float(offset.x * scale), float(above ? height : -height), float(offset.z * scale));
}

// The guard is tested once, on the state before the step. An allowed step
// is applied whole unless it would cross the guard; then it stops there.
void Camera::pitchUp(float angle)
{
    Vec3 h = horizontalOffset();
    if (!(length(h) > minHorizontalDistance || target.y < eye.y))
        return;
    if (pitchCrossesGuard(angle)) {
        stopPitchAtGuard(angle > 0.0f);
        return;
    }
    Vec3 axis;
    cross(axis, h, kWorldUp);
    rotateOffset(axis, angle);
}

void Camera::pitchDown(float angle)
{
    Vec3 h = horizontalOffset();
    if (!(length(h) > minHorizontalDistance || target.y > eye.y))
        return;
    if (pitchCrossesGuard(-angle)) {
        stopPitchAtGuard(angle < 0.0f);
        return;
    }
    Vec3 axis;
    cross(axis, h, kWorldUp);
    rotateOffset(axis, -angle);
}

void Camera::applyView(IDirect3DDevice9* device) const
{
    if (!device)
        return;
    D3DXVECTOR3 e = toD3DX(eye), t = toD3DX(target), u = toD3DX(up);
    Matrix4 view;
    D3DXMatrixLookAtLH(&view, &e, &t, &u);
    device->SetTransform(D3DTS_VIEW, &view);
}
