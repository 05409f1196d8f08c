// arena_capture.h: the game's state as an ArenaState, and back.
#pragma once

#include "save/arena_state.h"

// Copies everything the next frame depends on out of the game.
void captureArena(ArenaState& out);
// Puts `state` in the game's place, as if the game had just reached it:
// the listed boxes take its boxes' values and the missing ones are made
// (first: when one cannot be made, the game stays exactly as it was and
// this returns false), the player rides the first box, and the broad phase
// starts afresh.
// `state` must be playable (a saved arena checked by ArenaReader).
bool applyArena(const ArenaState& state);
// Why applyArena failed, in words.
constexpr char kBoxesNotMade[] = "its boxes could not all be made (out of video memory?)";
