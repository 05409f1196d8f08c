// sim_script.cpp: parsing one line of a quadrill-sim script.
#include "sim_script.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "text/printable.h"

namespace {

// Bounds that keep a script's numbers meaningful: ten million frames or
// milliseconds, and a cursor offset well past any desktop.
constexpr unsigned long kMaxCount = 10000000ul;
constexpr long kMaxOffset = 100000;

struct KeyName {
    const char* name;
    int virtualKey;
};

const KeyName kKeys[] = {
    {"W", 'W'},           {"A", 'A'},         {"S", 'S'},           {"D", 'D'},
    {"SPACE", VK_SPACE},  {"CTRL", VK_CONTROL}, {"LEFT", VK_LEFT},  {"RIGHT", VK_RIGHT},
    {"UP", VK_UP},        {"DOWN", VK_DOWN},  {"ESCAPE", VK_ESCAPE},
};

bool isWholeNumber(const std::string& text, bool signedAllowed)
{
    size_t first = signedAllowed && !text.empty() && text[0] == '-' ? 1 : 0;
    if (first >= text.size())
        return false;
    for (size_t i = first; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

std::string outOfRange(const std::string& text, long low, long high)
{
    return printable(text, kShownWordBytes) + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")";
}

// "" when `text` is a whole number from 0 to kMaxCount; otherwise the problem,
// or "usage" when it is not a number at all.
std::string parseCount(const std::string& text, uint32_t& out)
{
    if (!isWholeNumber(text, true))
        return "usage";
    errno = 0;
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || value < 0 || value > (long long)kMaxCount)
        return outOfRange(text, 0, long(kMaxCount));
    out = uint32_t(value);
    return "";
}

std::string parseOffset(const std::string& text, int& out)
{
    if (!isWholeNumber(text, true))
        return "usage";
    errno = 0;
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || value < -kMaxOffset || value > kMaxOffset)
        return outOfRange(text, -kMaxOffset, kMaxOffset);
    out = int(value);
    return "";
}

// The first problem of several number fields, with "usage" replaced by the usage text.
std::string numbersProblem(std::initializer_list<std::string> problems, const char* usage)
{
    for (const std::string& p : problems)
        if (!p.empty())
            return p == "usage" ? std::string("usage: ") + usage : p;
    return "";
}

bool parseKey(const std::string& name, int& virtualKey)
{
    for (const KeyName& k : kKeys)
        if (name == k.name) {
            virtualKey = k.virtualKey;
            return true;
        }
    return false;
}

// Parses one line's words into a command; returns the problem, or "".
std::string parseWords(const std::vector<std::string>& w, SimCommand& c)
{
    const std::string& verb = w[0];
    size_t args = w.size() - 1;
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
        if (args != 1 || !parseKey(w[1], c.virtualKey))
            return "usage: " + verb + " W|A|S|D|SPACE|CTRL|LEFT|RIGHT|UP|DOWN|ESCAPE";
        c.op = verb == "keydown" ? SimOp::KeyDown : SimOp::KeyUp;
    } else if (verb == "char") {
        if (args != 1 || w[1].size() != 1)
            return "usage: char C (one character)";
        c.op = SimOp::Char;
        c.character = w[1][0];
    } else if (verb == "mouse") {
        bool button = args == 2 && (w[1] == "left" || w[1] == "right");
        bool state = args == 2 && (w[2] == "down" || w[2] == "up");
        if (!button || !state)
            return "usage: mouse left|right down|up";
        c.op = SimOp::Mouse;
        c.left = w[1] == "left";
        c.down = w[2] == "down";
    } else if (verb == "cursor") {
        const char* usage = "cursor DX DY (whole pixels from the centre)";
        if (args != 2)
            return std::string("usage: ") + usage;
        c.op = SimOp::Cursor;
        return numbersProblem({parseOffset(w[1], c.dx), parseOffset(w[2], c.dy)}, usage);
    } else if (verb == "dump" || verb == "memory" || verb == "cpu" || verb == "quit") {
        if (args != 0)
            return "usage: " + verb;
        c.op = verb == "dump"     ? SimOp::Dump
               : verb == "memory" ? SimOp::Memory
               : verb == "cpu"    ? SimOp::Cpu
                                  : SimOp::Quit;
    } else if (verb == "screenshot" || verb == "save" || verb == "load") {
        if (args != 1)
            return "usage: " + verb + (verb == "screenshot" ? " PATH" : " FILE");
        c.op = verb == "screenshot" ? SimOp::Screenshot : verb == "save" ? SimOp::Save : SimOp::Load;
        c.path = w[1];
    } else {
        return "unknown command '" + printable(verb, kShownWordBytes) + "'";
    }
    return "";
}

// The words of a line as an input stream reads them: runs of bytes between
// the blanks of the "C" locale.
std::vector<std::string> wordsOf(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && blank(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !blank(text[i]))
            ++i;
        if (i > start)
            words.emplace_back(text.substr(start, i - start));
    }
    return words;
}

} // namespace

SimLine parseSimLine(std::string_view text, SimCommand& command, std::string& problem)
{
    size_t hash = text.find('#');
    if (hash != std::string_view::npos)
        text = text.substr(0, hash);
    std::vector<std::string> words = wordsOf(text);
    if (words.empty())
        return SimLine::Blank;
    command = SimCommand();
    problem = parseWords(words, command);
    return problem.empty() ? SimLine::Command : SimLine::Bad;
}
