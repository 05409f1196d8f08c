// sim_script.cpp: parsing quadrill-sim scripts.
#include "sim_script.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <sstream>

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
    return text + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")";
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
    } else if (verb == "screenshot") {
        if (args != 1)
            return "usage: screenshot PATH";
        c.op = SimOp::Screenshot;
        c.path = w[1];
    } else {
        return "unknown command '" + verb + "'";
    }
    return "";
}

} // namespace

bool parseSimScript(std::istream& in, SimScript& script, std::string& error)
{
    std::string text;
    int lineNumber = 0;
    int quitLine = 0;
    while (std::getline(in, text)) {
        ++lineNumber;
        size_t hash = text.find('#');
        if (hash != std::string::npos)
            text.erase(hash);
        std::istringstream words(text);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty())
            continue;
        SimCommand c;
        c.line = lineNumber;
        std::string problem = parseWords(w, c);
        if (problem.empty() && quitLine != 0)
            problem = "nothing runs after quit (line " + std::to_string(quitLine) + ")";
        if (!problem.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
        if (c.op == SimOp::Quit)
            quitLine = lineNumber;
        if (c.op == SimOp::Screenshot)
            script.needsRenderer = true;
        script.commands.push_back(c);
    }
    if (in.bad()) {
        error = "cannot read the script";
        return false;
    }
    return true;
}
