// state_hash.h: a hash of the game's state, to tell two runs apart.
#pragma once

#include <cstdint>
#include <cstring>

#include "app/game_state.h"

// FNV-1a over the bits of every listed box's position and velocity and the camera.
inline uint64_t stateHash()
{
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](const Vec3& v) {
        unsigned char bytes[sizeof v];
        std::memcpy(bytes, &v, sizeof v);
        for (unsigned char b : bytes) {
            hash ^= b;
            hash *= 1099511628211ull;
        }
    };
    for (uint32_t i = 0; i < g_boxes.count(); ++i) {
        mix(g_boxes.at(i).position);
        mix(g_boxes.at(i).velocity);
    }
    mix(g_camera.eye);
    mix(g_camera.target);
    return hash;
}
