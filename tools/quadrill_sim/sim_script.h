// sim_script.h: the commands of a quadrill-sim script, one per line.
#pragma once

#include <stdint.h>

#include <istream>
#include <string>
#include <vector>

enum class SimOp { Frame, KeyDown, KeyUp, Char, Mouse, Cursor, Dump, Memory, Cpu, Screenshot, Quit };

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
    std::string path;     // screenshot
};

struct SimScript {
    std::vector<SimCommand> commands;
    bool needsRenderer = false; // a screenshot asks for the OpenGL renderer
};

// Reads every line first, so a malformed line stops the run before anything
// happens. False with `error` naming the line and the problem.
bool parseSimScript(std::istream& in, SimScript& script, std::string& error);
