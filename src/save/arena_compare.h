// arena_compare.h: a digest of an arena's every field, and where two
// arenas first differ. Both go through arena_state.h's list of fields.
#pragma once

#include <stdint.h>

#include <string>

#include "save/arena_state.h"

// FNV-1a (64 bits), taking a 32-bit word at each step rather than a byte,
// over the fields in their order: each switch and the collision response as
// a number, each float as its 32 bits, then the number of boxes and each
// box's ten floats.
uint64_t arenaDigest(const ArenaState& state);

// The first field whose bits differ, in words ("box 3 velocity.y: expected
// 0, found -0.16"; "the number of boxes: ..."; "camera eye.x: ..."): the
// boxes in order first, then the rest; or "" when the two are the same bit
// for bit.
std::string firstDifference(const ArenaState& recorded, const ArenaState& found);
