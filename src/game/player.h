// player.h: the player-cube controller: walking sets the cube's horizontal
// velocity from the view direction, jumping its vertical one, and the
// camera rides on the cube's top face.
#pragma once

#include "boxes/box.h"
#include "math/camera.h"

struct Player {
    Camera* camera;
    Box* cube;
    float walkSpeed; // units per second
    float jumpSpeed; // units per second, upward

    // Each walk replaces the cube's x and z velocity, so with several keys
    // held the last one walked wins.
    void walkForward();
    void walkBackward();
    void walkLeft();
    void walkRight();
    // Only while the cube is (nearly) still vertically.
    void jump();
    // Puts the eye on the centre of the cube's top face, lowered a little,
    // keeping the direction of view.
    void followCube();
};
