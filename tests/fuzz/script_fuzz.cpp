// script_fuzz.cpp: libFuzzer target for quadrill-sim's script parser and
// the rules across its lines, fed whole scripts as they would be read. Each
// input command must also survive the trip a recording makes: the message
// it stands for, written as a line and read back, is the same message as
// far as a recording keeps it (message_lines.h).
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <string_view>

#include "script/message_lines.h"
#include "script/script_rules.h"
#include "script/sim_script.h"

namespace {

constexpr LPARAM kScanCodeBits = LPARAM(0xFF) << 16;

// As quadrill-sim's reader: a longer line stops the run.
constexpr size_t kMaxLineBytes = 8192;

void roundTrip(const SimCommand& command)
{
    MSG message;
    bool input = false;
    if (!messageForCommand(command, message, input))
        return;
    const std::string line = scriptLineForMessage(message.message, message.wParam, message.lParam);
    SimCommand again;
    std::string problem;
    MSG back;
    bool inputAgain = false;
    if (parseSimLine(line, again, problem) != SimLine::Command || !messageForCommand(again, back, inputAgain) ||
        back.message != message.message)
        __builtin_trap();
    const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP;
    const bool character = message.message == WM_CHAR;
    const bool button = message.message >= WM_LBUTTONDOWN && message.message <= WM_MBUTTONUP &&
                        message.message != WM_LBUTTONDBLCLK && message.message != WM_RBUTTONDBLCLK;
    if (button)
        return;
    if (back.wParam != message.wParam)
        __builtin_trap();
    if (character)
        return;
    const LPARAM ignored = key ? kScanCodeBits : 0;
    if ((back.lParam & ~ignored) != (message.lParam & ~ignored) || inputAgain != input)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ScriptRules rules;
    std::string problem;
    size_t at = 0;
    int lineNumber = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        if (end - at > kMaxLineBytes)
            return 0;
        SimCommand command;
        const SimLine kind = parseSimLine(text.substr(at, end - at), command, problem);
        at = end + 1;
        command.line = ++lineNumber;
        if (kind == SimLine::Bad)
            return 0;
        if (kind == SimLine::Blank)
            continue;
        if (!rules.accept(command, problem))
            return 0;
        roundTrip(command);
    }
    rules.finish(problem);
    return 0;
}
