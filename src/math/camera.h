// camera.h: the viewer: an eye, the point it looks at (the aim point) and
// an up direction, with the moves and turns the control modes use.
//
// Every operation keeps |target - eye|: moves translate both points by one
// vector, turns rotate the offset about an axis through the eye.
#pragma once

#include <d3d9.h>

#include "math/vec3.h"

struct Camera {
    Vec3 eye;
    Vec3 target;
    Vec3 up;
    // The smallest horizontal eye-to-target distance at which pitching
    // further toward the vertical is still allowed.
    float minHorizontalDistance;

    Camera();

    void moveForward(float d);
    void moveBackward(float d);
    void strafeLeft(float d);
    void strafeRight(float d);
    void moveUp(float d);
    void moveDown(float d);
    void turnLeft(float angle);
    void turnRight(float angle);
    void pitchUp(float angle);
    void pitchDown(float angle);
    Vec3 viewDirection() const;

    // Builds the left-handed look-at view and hands it to the device.
    void applyView(IDirect3DDevice9* device) const;

private:
    Vec3 horizontalOffset() const;
    void translate(const Vec3& direction, float d);
    void rotateOffset(const Vec3& axis, float angle);
    bool pitchCrossesGuard(float angle) const;
    void stopPitchAtGuard(bool above);
};
