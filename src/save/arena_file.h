// arena_file.h: saved arenas on disk, and the game's arena saved and loaded.
#pragma once

#include <string>

#include "save/arena_state.h"

// Reads and checks the whole file into `out`. False with the reason ("line
// 12: box 7 size.y is -2: ...") when it is not a complete, playable arena;
// `out` is then to be thrown away.
bool readArenaFile(const std::string& path, ArenaState& out, std::string& reason);
// Saves `state` so that `path` never holds half a save (atomic_file.h),
// keeping the previous save as `backup` when one is given.
bool writeArenaFile(const std::string& path, const ArenaState& state, const std::string* backup,
                    std::string& reason);

// The game's arena written to `path` (and the number of its boxes).
bool saveGameArena(const std::string& path, const std::string* backup, size_t& boxes, std::string& reason);
// The arena in `path` put in the game's place, or nothing changed at all
// (false with the reason). The frame timer starts again: the time the load
// took is not play.
bool loadGameArena(const std::string& path, size_t& boxes, std::string& reason);
