// script_stream.h: a script's commands in order, read line by line as they
// are needed, with the rules that span lines.
#pragma once

#include <string>

#include "line_reader.h"
#include "script/script_rules.h"
#include "script/sim_script.h"

struct ScriptStream {
    enum class Step { Command, End, Bad };

    explicit ScriptStream(LineReader& lines) : lines_(lines) {}
    // The next command, or Bad with `error` naming the line and the problem.
    Step next(SimCommand& command, std::string& error);
    bool isRecording() const { return rules_.isRecording(); }

private:
    LineReader& lines_;
    ScriptRules rules_;
};

// Reads a whole script and checks every line of it. `needsRenderer` tells
// whether it takes screenshots (which the OpenGL renderer must draw).
bool checkScript(LineReader& lines, bool& needsRenderer, std::string& error);
