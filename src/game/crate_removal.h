// crate_removal.h: taking a crate out of the arena.
#pragma once

// Removes the crate at the aim point: of the crates within a crate's half
// size of it on every axis (where a crate placed there would touch them),
// the nearest, the lowest index first among equals. The player cube and
// the walls are never removed. False when no crate is there.
bool removeCrateAtAim();
