// collision_type.h: how the physics step answers a contact.
#pragma once

#include <stdint.h>

// Any other value leaves contacts without effect.
enum class CollisionType : int32_t {
    Stop = 1,   // velocity along the contact axes becomes 0; landings snap and feel friction
    Freeze = 2, // both boxes stop dead
    Bounce = 3, // velocity along the contact axes changes sign
};
