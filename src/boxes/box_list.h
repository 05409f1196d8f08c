// box_list.h: the ordered list that owns every box of the scene except the
// ground and the aiming marker.
//
// Boxes are only appended at the end and removed from the end, so a box's
// index never changes while it is listed: 0 is the player cube, 1 to 4 the
// walls, 5 to 9 the starting crates, 10 on the spawned crates.
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
};

// Every listed box of the game.
extern BoxList g_boxes;

// Constructs a box, creates it and appends it; a box whose creation fails
// is destroyed and never listed.
bool addBox(IDirect3DDevice9* device, float px, float py, float pz, float sx, float sy, float sz);
