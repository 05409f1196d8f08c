// sim_script.h: the commands of a quadrill-sim script, one per line, and
// the parser of one line.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>

enum class SimOp { Frame, KeyDown, KeyUp, Char, Mouse, Cursor, Dump, Memory, Cpu, Screenshot, Save, Load, Quit };

struct SimCommand {
    SimOp op = SimOp::Frame;
    int line = 0;
    uint32_t count = 1;   // frames
    uint32_t ms = 0;      // frames
    int virtualKey = 0;   // keydown, keyup
    char character = 0;   // char
    bool left = true;     // mouse
    bool down = true;     // mouse
    int dx = 0, dy = 0;   // cursor
    std::string path;     // screenshot, save, load
};

enum class SimLine { Command, Blank, Bad };

// Parses one line, its newline taken off: a command, a line with nothing
// but blanks and a comment, or Bad with the problem in words (any bytes
// from the line shown escaped). Safe for any bytes of any length.
SimLine parseSimLine(std::string_view text, SimCommand& command, std::string& problem);
