// sim_script.cpp: parsing one line of a quadrill-sim script.
#include "script/sim_script.h"

#include <windows.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "save/arena_state.h"
#include "save/arena_text.h"
#include "text/exact_number.h"
#include "text/printable.h"
#include "text/words.h"

namespace {

// Bounds that keep a script's numbers meaningful: ten million frames or
// milliseconds, and a cursor offset well past any desktop.
constexpr unsigned long kMaxCount = 10000000ul;
constexpr long kMaxOffset = 100000;
// A recording's expected values may hold more boxes than a saved arena,
// but not so many that a wrong line could take the memory.
constexpr uint64_t kMaxExpectedBoxes = 4 * uint64_t(kMaxArenaBoxes);
constexpr int kLastVirtualKey = 0xFE;
constexpr int kFunctionKeys = 12;

// Keys with a name of their own; letters, digits and F1 to F12 are named
// after themselves, and any key can be given by its code.
struct KeyName {
    const char* name;
    int virtualKey;
    bool extended; // its messages carry the extended-key flag
};

const KeyName kNamedKeys[] = {
    {"SPACE", VK_SPACE, false},     {"CTRL", VK_CONTROL, false},     {"SHIFT", VK_SHIFT, false},
    {"ALT", VK_MENU, false},        {"ENTER", VK_RETURN, false},     {"ESCAPE", VK_ESCAPE, false},
    {"BACKSPACE", VK_BACK, false},  {"TAB", VK_TAB, false},          {"CAPSLOCK", VK_CAPITAL, false},
    {"LEFT", VK_LEFT, true},        {"RIGHT", VK_RIGHT, true},       {"UP", VK_UP, true},
    {"DOWN", VK_DOWN, true},        {"INSERT", VK_INSERT, true},     {"DELETE", VK_DELETE, true},
    {"HOME", VK_HOME, true},        {"END", VK_END, true},           {"PAGEUP", VK_PRIOR, true},
    {"PAGEDOWN", VK_NEXT, true},
};

const char kKeyUsage[] = " KEY [repeat] [extended|plain] (KEY: a letter, a digit, F1 to F12, SPACE, CTRL, "
                         "SHIFT, ALT, ENTER, ESCAPE, BACKSPACE, TAB, CAPSLOCK, the arrows LEFT RIGHT UP "
                         "DOWN, INSERT, DELETE, HOME, END, PAGEUP, PAGEDOWN, or a code 0x01 to 0xFE)";

bool isWholeNumber(std::string_view text, bool signedAllowed)
{
    size_t first = signedAllowed && !text.empty() && text[0] == '-' ? 1 : 0;
    if (first >= text.size())
        return false;
    for (size_t i = first; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

std::string outOfRange(std::string_view text, long low, long high)
{
    return printable(text, kShownWordBytes) + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")";
}

// "" when `text` is a whole number from 0 to kMaxCount; otherwise the problem,
// or "usage" when it is not a number at all.
std::string parseCount(std::string_view text, uint32_t& out)
{
    if (!isWholeNumber(text, true))
        return "usage";
    errno = 0;
    long long value = std::strtoll(std::string(text).c_str(), nullptr, 10);
    if (errno != 0 || value < 0 || value > (long long)kMaxCount)
        return outOfRange(text, 0, long(kMaxCount));
    out = uint32_t(value);
    return "";
}

std::string parseOffset(std::string_view text, int& out)
{
    if (!isWholeNumber(text, true))
        return "usage";
    errno = 0;
    long long value = std::strtoll(std::string(text).c_str(), nullptr, 10);
    if (errno != 0 || value < -kMaxOffset || value > kMaxOffset)
        return outOfRange(text, -kMaxOffset, kMaxOffset);
    out = int(value);
    return "";
}

// A number written "0x" and 1 to 16 hex digits.
bool parseHex(std::string_view text, uint64_t& out)
{
    if (text.size() < 3 || text.size() > 18 || text.compare(0, 2, "0x") != 0)
        return false;
    std::string padded = std::string(16 - (text.size() - 2), '0') + std::string(text.substr(2));
    return readHex64(padded, out);
}

// The first problem of several number fields, with "usage" replaced by the usage text.
std::string numbersProblem(std::initializer_list<std::string> problems, const std::string& usage)
{
    for (const std::string& p : problems)
        if (!p.empty())
            return p == "usage" ? "usage: " + usage : p;
    return "";
}

bool parseKey(std::string_view name, int& virtualKey)
{
    for (const KeyName& k : kNamedKeys)
        if (name == k.name) {
            virtualKey = k.virtualKey;
            return true;
        }
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
        virtualKey = name[0];
        return true;
    }
    uint64_t number = 0;
    if (name.size() >= 2 && name[0] == 'F' && isWholeNumber(name.substr(1), false) && name.size() <= 3) {
        number = uint64_t(std::atoi(std::string(name.substr(1)).c_str()));
        if (number >= 1 && number <= kFunctionKeys) {
            virtualKey = VK_F1 + int(number) - 1;
            return true;
        }
        return false;
    }
    if (parseHex(name, number) && number >= 1 && number <= kLastVirtualKey) {
        virtualKey = int(number);
        return true;
    }
    return false;
}

std::string parseKeyCommand(const Words& w, SimCommand& c)
{
    const bool down = w[0] == "keydown";
    c.op = down ? SimOp::KeyDown : SimOp::KeyUp;
    const std::string usage = "usage: " + std::string(w[0]) + kKeyUsage;
    if (w.count < 2 || w.tooMany || !parseKey(w[1], c.virtualKey))
        return usage;
    c.extended = keyExtendedByDefault(c.virtualKey);
    bool flagSeen = false;
    for (size_t i = 2; i < w.count; ++i) {
        if (w[i] == "repeat" && down && !c.repeat) {
            c.repeat = true;
        } else if ((w[i] == "extended" || w[i] == "plain") && !flagSeen) {
            c.extended = w[i] == "extended";
            flagSeen = true;
        } else {
            return usage;
        }
    }
    return "";
}

std::string parseChar(std::string_view word, SimCommand& c)
{
    uint64_t code = 0;
    if (word.size() == 1) {
        c.character = (unsigned char)word[0];
        return "";
    }
    if (word.size() == 4 && parseHex(word, code)) {
        c.character = (unsigned char)code;
        return "";
    }
    return "usage: char C (one character, or its code 0x00 to 0xFF)";
}

bool isInputMessage(uint64_t message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

std::string parseMessage(const Words& w, SimCommand& c)
{
    const char* usage = "usage: message 0xMESSAGE 0xWPARAM 0xLPARAM (a keyboard or mouse message: "
                        "0x0100 to 0x0109, 0x0200 to 0x020D)";
    uint64_t message = 0;
    if (w.count != 4 || w.tooMany || !parseHex(w[1], message) || !isInputMessage(message) ||
        !parseHex(w[2], c.wParam) || !parseHex(w[3], c.lParam))
        return usage;
    c.message = uint32_t(message);
    return "";
}

// The arena line after the verb: checked on its own here, in its block or
// against the expected state when the script runs.
std::string parseArenaPayload(std::string_view payload, SimCommand& c)
{
    ArenaState scratch;
    ArenaLine line;
    std::string problem;
    const ArenaValues values = c.op == SimOp::Arena ? ArenaValues::Playable : ArenaValues::Any;
    if (!readArenaLine(payload, values, scratch, line, problem))
        return (c.op == SimOp::Arena ? "arena: " : "expect: ") + problem;
    using Kind = ArenaLine::Kind;
    if (c.op == SimOp::Expect) {
        if (line.kind == Kind::Blank || line.kind == Kind::Header || line.kind == Kind::End)
            return "usage: expect LINE (a setting, 'boxes COUNT' or a 'box' line of an arena)";
        if ((line.kind == Kind::BoxCount && line.number > kMaxExpectedBoxes) ||
            (line.kind == Kind::Box && line.number >= kMaxExpectedBoxes))
            return "expect: " + std::to_string(line.number) + " is more boxes than a recording may hold (" +
                   std::to_string(kMaxExpectedBoxes) + ")";
    }
    c.text = std::string(payload);
    return "";
}

// Parses one line's words into a command; returns the problem, or "".
std::string parseWords(const Words& w, std::string_view afterVerb, SimCommand& c)
{
    const std::string_view verb = w[0];
    const size_t args = w.tooMany ? Words::kMax : w.count - 1;
    if (verb == "frame") {
        const char* usage = "frame MS (whole milliseconds)";
        if (args != 1)
            return std::string("usage: ") + usage;
        c.op = SimOp::Frame;
        return numbersProblem({parseCount(w[1], c.ms)}, usage);
    } else if (verb == "frames") {
        const char* usage = "frames N MS";
        if (args != 2)
            return std::string("usage: ") + usage;
        c.op = SimOp::Frame;
        return numbersProblem({parseCount(w[1], c.count), parseCount(w[2], c.ms)}, usage);
    } else if (verb == "keydown" || verb == "keyup") {
        return parseKeyCommand(w, c);
    } else if (verb == "char") {
        c.op = SimOp::Char;
        return args == 1 ? parseChar(w[1], c) : "usage: char C (one character, or its code 0x00 to 0xFF)";
    } else if (verb == "mouse") {
        const int button = w[1] == "left" ? kLeftButton : w[1] == "right" ? kRightButton : w[1] == "middle" ? kMiddleButton : -1;
        const bool state = w[2] == "down" || w[2] == "up";
        if (args != 2 || button < 0 || !state)
            return "usage: mouse left|right|middle down|up";
        c.op = SimOp::Mouse;
        c.button = button;
        c.down = w[2] == "down";
    } else if (verb == "cursor") {
        const char* usage = "cursor DX DY (whole pixels from the centre)";
        if (args != 2)
            return std::string("usage: ") + usage;
        c.op = SimOp::Cursor;
        return numbersProblem({parseOffset(w[1], c.dx), parseOffset(w[2], c.dy)}, usage);
    } else if (verb == "focus") {
        if (args != 1 || (w[1] != "lost" && w[1] != "gained"))
            return "usage: focus lost|gained";
        c.op = SimOp::Focus;
        c.gained = w[1] == "gained";
    } else if (verb == "message") {
        c.op = SimOp::Message;
        return parseMessage(w, c);
    } else if (verb == "dump" || verb == "memory" || verb == "cpu" || verb == "close" || verb == "quit") {
        if (args != 0)
            return "usage: " + std::string(verb);
        c.op = verb == "dump"     ? SimOp::Dump
               : verb == "memory" ? SimOp::Memory
               : verb == "cpu"    ? SimOp::Cpu
               : verb == "close"  ? SimOp::Close
                                  : SimOp::Quit;
    } else if (verb == "screenshot" || verb == "save" || verb == "load") {
        if (args != 1)
            return "usage: " + std::string(verb) + (verb == "screenshot" ? " PATH" : " FILE");
        c.op = verb == "screenshot" ? SimOp::Screenshot : verb == "save" ? SimOp::Save : SimOp::Load;
        c.text = std::string(w[1]);
    } else if (verb == "recording") {
        if (args != 2 || !readWholeNumber(w[1], c.number))
            return "usage: recording FORMAT VERSION (the recording's format and the game's version)";
        c.op = SimOp::Recording;
        c.text = printable(w[2], kShownWordBytes);
    } else if (verb == "look") {
        const bool inverted = args == 2 && w[2] == "inverted";
        if (args != 2 || !(inverted || w[2] == "normal") || !readExactFloat(w[1], c.sensitivity) ||
            !(c.sensitivity > 0.0f) || !std::isfinite(c.sensitivity))
            return "usage: look SENSITIVITY normal|inverted (a positive number: mouse look's settings)";
        c.op = SimOp::Look;
        c.invertLook = inverted;
    } else if (verb == "check") {
        if (args != 2 || !readWholeNumber(w[1], c.number) || !readHex64(w[2], c.digest))
            return "usage: check FRAME DIGEST (the frames run, and 16 hex digits)";
        c.op = SimOp::Check;
    } else if (verb == "expect" || verb == "arena") {
        c.op = verb == "expect" ? SimOp::Expect : SimOp::Arena;
        return parseArenaPayload(afterVerb, c);
    } else {
        return "unknown command '" + printable(verb, kShownWordBytes) + "'";
    }
    return "";
}

} // namespace

std::string keyName(int virtualKey)
{
    for (const KeyName& k : kNamedKeys)
        if (k.virtualKey == virtualKey)
            return k.name;
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return std::string(1, char(virtualKey));
    if (virtualKey >= VK_F1 && virtualKey < VK_F1 + kFunctionKeys)
        return "F" + std::to_string(virtualKey - VK_F1 + 1);
    std::string code;
    appendHex64(code, uint64_t(virtualKey & 0xFF));
    return "0x" + code.substr(code.size() - 2);
}

bool keyExtendedByDefault(int virtualKey)
{
    for (const KeyName& k : kNamedKeys)
        if (k.virtualKey == virtualKey)
            return k.extended;
    return false;
}

SimLine parseSimLine(std::string_view text, SimCommand& command, std::string& problem)
{
    const std::string_view code = withoutComment(text);
    const Words words = splitWords(code);
    if (words.count == 0)
        return SimLine::Blank;
    command = SimCommand();
    const size_t verbEnd = size_t(words[0].data() - code.data()) + words[0].size();
    problem = parseWords(words, code.substr(verbEnd), command);
    return problem.empty() ? SimLine::Command : SimLine::Bad;
}
