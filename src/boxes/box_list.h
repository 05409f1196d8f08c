// box_list.h: the ordered list that owns every box of the scene except the
// ground and the aiming marker, and the layout of its indices.
//
// Boxes are appended at the end and removed from the end, and a crate may be
// taken out from among the crates: the boxes after it move down one index,
// so the layout below (player cube, walls, crates) holds.
#pragma once

#include <stdint.h>

#include <memory>
#include <vector>

#include "boxes/box.h"

struct BoxList {
    std::vector<std::unique_ptr<Box>> boxes;

    uint32_t count() const { return uint32_t(boxes.size()); }
    bool isEmpty() const { return boxes.empty(); }
    // Callers make sure the index is below count, or the list is not empty.
    Box& at(uint32_t i) const { return *boxes[i]; }
    Box& first() const { return *boxes.front(); }
    Box& last() const { return *boxes.back(); }
    void append(std::unique_ptr<Box> box) { boxes.push_back(std::move(box)); }
    // Releases the last box's buffers, then destroys it. Nothing on an empty list.
    void removeLast();
    // The same for the box at index i, below count; later boxes move down one.
    void removeAt(uint32_t i);
};

// Every listed box of the game.
extern BoxList g_boxes;

// ---- The arena's layout ------------------------------------------------------------
// Scene set-up appends the player cube, then the walls, then the starting
// crates; spawned crates follow. Only crates are removed before shutdown,
// so the indices keep their meaning for the whole run. Rendering (brick or
// crate), pushing, removing and the reset keys go by index alone.
//
// Every index after the walls assumes that every wall was added. Set-up
// skips a wall it could not create and goes on; every later box then sits
// one index lower: the first crate takes index 4, is drawn as brick, and
// the last wall, now at 3, can no longer be pushed.
constexpr uint32_t kPlayerCubeIndex = 0;
constexpr uint32_t kFirstWallIndex = 1;
constexpr uint32_t kWallCount = 4;
constexpr uint32_t kFirstCrateIndex = 5; // crates from here on: the five starting ones, then the spawned
constexpr uint32_t kStartingCrateCount = 5;
// Pushing moves the last wall and every crate; the player cube and the
// other walls stay put.
constexpr uint32_t kFirstPushableIndex = 4;

static_assert(kFirstWallIndex == kPlayerCubeIndex + 1, "the walls follow the player cube");
static_assert(kFirstCrateIndex == kFirstWallIndex + kWallCount, "the crates follow the walls");
static_assert(kFirstPushableIndex == kFirstCrateIndex - 1, "the last wall is the first box that can be pushed");

// Constructs a box, creates it and appends it; a box whose creation fails
// is destroyed and never listed.
bool addBox(IDirect3DDevice9* device, float px, float py, float pz, float sx, float sy, float sz);
