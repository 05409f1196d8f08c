// arena_state.h: everything the next frame depends on, as plain values,
// and the one list of its fields.
//
// A saved arena, a recording's checks and their digest all go through
// visitArenaSettings and visitBoxFields, so they cover the same fields in the
// same order. What is left out is fixed for the whole game (the ground, the
// player's speeds, the camera's pitch guard, the materials and the light
// settings), follows from these fields at every frame before anyone reads
// it (the aiming marker, the lights' positions, the view), is a shortcut that
// never changes a result (the broad phase's grid, the meshes), or is the
// player's input (keys and buttons held, the cursor). A box's kind, and so
// its look (player cube, wall, crate), is its index in the list.
#pragma once

#include <stdint.h>

#include <vector>

#include "math/vec3.h"
#include "physics/collision_type.h"

struct BoxState {
    Vec3 position; // minimum corner
    Vec3 size;
    Vec3 velocity;
    float textureScale;
};
static_assert(sizeof(BoxState) == 10 * sizeof(float), "compared as bytes: no padding");

struct ArenaState {
    bool freeCameraMode = false;
    CollisionType collisionType = CollisionType::Stop;
    bool shadowsEnabled = true;
    bool pointLightEnabled = true;
    bool spotLightEnabled = true;
    float spawnCooldown = 0.0f;
    Vec3 lastAimPoint = Vec3(0.0f, 0.0f, 0.0f);
    Vec3 eye = Vec3(0.0f, 0.0f, 0.0f);
    Vec3 target = Vec3(0.0f, 0.0f, 0.0f);
    Vec3 up = Vec3(0.0f, 0.0f, 0.0f);
    std::vector<BoxState> boxes; // in the box list's order
};

// The words a switch or the collision response is written with.
struct Choice {
    const char* word;
    int value;
};
constexpr Choice kModeWords[] = {{"player", 0}, {"free", 1}};
constexpr Choice kOnOffWords[] = {{"off", 0}, {"on", 1}};
constexpr Choice kCollisionWords[] = {{"stop", int(CollisionType::Stop)},
                                      {"freeze", int(CollisionType::Freeze)},
                                      {"bounce", int(CollisionType::Bounce)}};

// Visits every field but the boxes, line by line as the text form holds
// them: v.line(keyword) starts a line, then each of its values comes as
//   v.choice(name, value, words)     a bool or the collision response
//   v.real(name, part, value)        a float; part is "x", "y", "z" or ""
// `State` is ArenaState or const ArenaState; the visitor's methods take the
// values by reference (templates over the value's type).
template <typename State, typename Visitor>
void visitArenaSettings(State& s, Visitor& v)
{
    v.line("mode");
    v.choice("mode", s.freeCameraMode, kModeWords);
    v.line("collision");
    v.choice("collision", s.collisionType, kCollisionWords);
    v.line("shadows");
    v.choice("shadows", s.shadowsEnabled, kOnOffWords);
    v.line("point-light");
    v.choice("point light", s.pointLightEnabled, kOnOffWords);
    v.line("spot-light");
    v.choice("spot light", s.spotLightEnabled, kOnOffWords);
    v.line("spawn-timer");
    v.real("spawn timer", "", s.spawnCooldown);
    v.line("aim-point");
    v.real("aim point", "x", s.lastAimPoint.x);
    v.real("aim point", "y", s.lastAimPoint.y);
    v.real("aim point", "z", s.lastAimPoint.z);
    v.line("camera");
    v.real("camera eye", "x", s.eye.x);
    v.real("camera eye", "y", s.eye.y);
    v.real("camera eye", "z", s.eye.z);
    v.real("camera target", "x", s.target.x);
    v.real("camera target", "y", s.target.y);
    v.real("camera target", "z", s.target.z);
    v.real("camera up", "x", s.up.x);
    v.real("camera up", "y", s.up.y);
    v.real("camera up", "z", s.up.z);
}

// The values of one box's line, after its index.
template <typename Box, typename Visitor>
void visitBoxFields(Box& b, Visitor& v)
{
    v.real("position", "x", b.position.x);
    v.real("position", "y", b.position.y);
    v.real("position", "z", b.position.z);
    v.real("size", "x", b.size.x);
    v.real("size", "y", b.size.y);
    v.real("size", "z", b.size.z);
    v.real("velocity", "x", b.velocity.x);
    v.real("velocity", "y", b.velocity.y);
    v.real("velocity", "z", b.velocity.z);
    v.real("texture scale", "", b.textureScale);
}

// The number of settings lines, and of values on a box's line.
constexpr int kArenaSettingsLines = 8;
constexpr int kBoxFieldCount = 10;
