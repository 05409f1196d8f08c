// script_stream.cpp: commands from lines.
#include "script_stream.h"

#include <errno.h>

#include <cstring>

namespace {

std::string onLine(int line, const std::string& problem) { return "line " + std::to_string(line) + ": " + problem; }

std::string copyProblem(const LineReader& lines)
{
    if (lines.error() == EFBIG)
        return "cannot keep standard input to run it: it is longer than " + std::to_string(lines.copyLimit()) +
               " bytes (give a script that long as a file)";
    return std::string("cannot keep standard input to run it: ") + std::strerror(lines.error());
}

} // namespace

ScriptStream::Step ScriptStream::next(SimCommand& command, std::string& error)
{
    for (;;) {
        switch (lines_.next()) {
        case LineReader::Status::End:
            if (!rules_.finish(error))
                return Step::Bad;
            return Step::End;
        case LineReader::Status::TooLong:
            error = "line " + std::to_string(lines_.lineNumber()) + " is too long (over " +
                    std::to_string(kMaxLineBytes) + " bytes)";
            return Step::Bad;
        case LineReader::Status::ReadFailed:
            error = std::string("cannot read the script: ") + std::strerror(lines_.error());
            return Step::Bad;
        case LineReader::Status::CopyFailed: error = copyProblem(lines_); return Step::Bad;
        case LineReader::Status::Line: break;
        }
        std::string problem;
        SimLine kind = parseSimLine(lines_.line(), command, problem);
        if (kind == SimLine::Blank)
            continue;
        command.line = lines_.lineNumber();
        if (kind == SimLine::Bad || !rules_.accept(command, problem)) {
            error = onLine(lines_.lineNumber(), problem);
            return Step::Bad;
        }
        return Step::Command;
    }
}

bool checkScript(LineReader& lines, bool& needsRenderer, std::string& error)
{
    ScriptStream stream(lines);
    SimCommand command;
    needsRenderer = false;
    for (;;) {
        switch (stream.next(command, error)) {
        case ScriptStream::Step::End: return true;
        case ScriptStream::Step::Bad: return false;
        case ScriptStream::Step::Command:
            if (command.op == SimOp::Screenshot)
                needsRenderer = true;
            break;
        }
    }
}
