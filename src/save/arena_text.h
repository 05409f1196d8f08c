// arena_text.h: the text form of an arena, written and read line by line.
//
//   quadrill-arena 1
//   mode player                  (settings: any order, each once)
//   ...
//   boxes 15
//   box 0 px py pz sx sy sz vx vy vz scale
//   ...                          (every box, in order)
//   end
//
// Blank lines and comments ('#' to the end of a line) are allowed anywhere.
// docs/DEVELOPING.md describes every line.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>

#include "save/arena_state.h"

constexpr char kArenaMagic[] = "quadrill-arena";
constexpr uint64_t kArenaFormatVersion = 1;
// Generous for an arena of 100,000 crates, and small enough that a wrong
// file cannot take the game's memory: a box line is at most about 200 bytes.
constexpr uint32_t kMaxArenaBoxes = 250000;
constexpr uint64_t kMaxArenaFileBytes = uint64_t(64) << 20;
// Beyond anything play reaches, and small enough that a position plus a
// size stays finite.
constexpr float kMaxArenaMagnitude = 1e30f;

// The whole text of `state`, first line to "end".
void appendArenaText(const ArenaState& state, std::string& out);
// Single lines, without their newline: the settings in their order, and one box's.
void arenaSettingsLines(const ArenaState& state, std::string lines[kArenaSettingsLines]);
void appendBoxLine(uint32_t index, const BoxState& box, std::string& out);

// How strictly values are taken: a saved arena must hold a playable arena
// (finite values, sizes and texture scales above zero); a recording's
// expected values are whatever the game held, NaN included.
enum class ArenaValues { Playable, Any };

// One line read on its own. A setting is written into `into` (a bad line
// may leave part of its values there); the other kinds are described in
// the fields below.
struct ArenaLine {
    enum class Kind { Blank, Header, Setting, BoxCount, Box, End } kind = Kind::Blank;
    int setting = -1;    // Setting: which, in visitArenaSettings' order
    uint64_t number = 0; // Header: the format version; BoxCount: the count; Box: the index
    BoxState box = {};   // Box
};
// False with the problem in words (bytes from the line shown escaped).
bool readArenaLine(std::string_view text, ArenaValues values, ArenaState& into, ArenaLine& line,
                   std::string& problem);

// Reads a whole arena, one line at a time, checking that every part is
// there once and in its place. `into` is complete only once finish() says so.
struct ArenaReader {
    // `keepBoxes` false checks the boxes without keeping them.
    explicit ArenaReader(ArenaState& into, bool keepBoxes = true) : into_(into), keepBoxes_(keepBoxes) {}
    bool accept(std::string_view text, std::string& problem);
    // At the end of the text: false when the arena is not complete.
    bool finish(std::string& problem) const;
    bool ended() const { return ended_; }

private:
    ArenaState& into_;
    bool keepBoxes_;
    bool started_ = false;
    bool ended_ = false;
    uint32_t settingsSeen_ = 0; // a bit per setting
    bool countSeen_ = false;
    uint64_t count_ = 0;
    uint64_t boxesRead_ = 0;
};
