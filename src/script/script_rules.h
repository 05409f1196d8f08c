// script_rules.h: the rules of a script that span lines: a recording's
// first line, nothing after quit, and arena blocks whole and in one piece.
#pragma once

#include <memory>
#include <string>

#include "save/arena_state.h"
#include "save/arena_text.h"
#include "script/sim_script.h"

struct ScriptRules {
    // False with the problem when `command` (on line command.line) cannot
    // come where it does.
    bool accept(const SimCommand& command, std::string& problem);
    // At the end of the script: false when it stops inside an arena block.
    bool finish(std::string& problem) const;
    // The script begins with a `recording` line.
    bool isRecording() const { return recording_; }

private:
    int commands_ = 0;
    int quitLine_ = 0;
    bool recording_ = false;
    int blockLine_ = 0; // where the open arena block began, or 0
    ArenaState blockState_;
    std::unique_ptr<ArenaReader> block_;
};
