// script_rules.cpp: the checks across lines.
#include "script/script_rules.h"

namespace {

std::string lineText(int line) { return "line " + std::to_string(line); }

} // namespace

bool ScriptRules::accept(const SimCommand& c, std::string& problem)
{
    ++commands_;
    if (quitLine_ != 0) {
        problem = "nothing runs after quit (" + lineText(quitLine_) + ")";
        return false;
    }
    if (blockLine_ != 0 && c.op != SimOp::Arena) {
        problem = "the arena block of " + lineText(blockLine_) + " has no 'arena end' before this line";
        return false;
    }
    switch (c.op) {
    case SimOp::Recording:
        if (commands_ != 1) {
            problem = "a 'recording' line comes first in a script, or not at all";
        } else if (c.number > kRecordingFormat) {
            problem = "this recording has format " + std::to_string(c.number) + "; this program reads format " +
                      std::to_string(kRecordingFormat) + " (a newer Quadrill made it)";
        } else if (c.number != kRecordingFormat) {
            problem = "there is no recording format " + std::to_string(c.number);
        }
        recording_ = true;
        break;
    case SimOp::Quit: quitLine_ = c.line; break;
    case SimOp::Arena: {
        if (blockLine_ == 0) {
            blockLine_ = c.line;
            blockState_ = ArenaState();
            block_.reset(new ArenaReader(blockState_, false));
        }
        std::string arenaProblem;
        if (!block_->accept(c.text, arenaProblem))
            problem = "arena: " + arenaProblem;
        else if (block_->ended())
            blockLine_ = 0;
        break;
    }
    default: break;
    }
    return problem.empty();
}

bool ScriptRules::finish(std::string& problem) const
{
    if (blockLine_ == 0)
        return true;
    problem = "the arena block of " + lineText(blockLine_) + " has no 'arena end': the script was cut short";
    return false;
}
