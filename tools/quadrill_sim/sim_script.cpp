// sim_script.cpp: parsing quadrill-sim scripts.
#include "sim_script.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

constexpr unsigned long kMaxCount = 10000000ul;

struct KeyName {
    const char* name;
    int virtualKey;
};

const KeyName kKeys[] = {
    {"W", 'W'},           {"A", 'A'},         {"S", 'S'},           {"D", 'D'},
    {"SPACE", VK_SPACE},  {"CTRL", VK_CONTROL}, {"LEFT", VK_LEFT},  {"RIGHT", VK_RIGHT},
    {"UP", VK_UP},        {"DOWN", VK_DOWN},  {"ESCAPE", VK_ESCAPE},
};

bool parseCount(const std::string& text, uint32_t& out)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value > kMaxCount)
        return false;
    out = uint32_t(value);
    return true;
}

bool parseOffset(const std::string& text, int& out)
{
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || value < -100000 || value > 100000)
        return false;
    out = int(value);
    return true;
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
    auto expect = [&](size_t n, const char* usage) { return args == n ? std::string() : std::string("usage: ") + usage; };
    if (verb == "frame") {
        if (!expect(1, "frame MS").empty() || !parseCount(w[1], c.ms))
            return "usage: frame MS (whole milliseconds)";
        c.op = SimOp::Frame;
    } else if (verb == "frames") {
        if (!expect(2, "frames N MS").empty() || !parseCount(w[1], c.count) || !parseCount(w[2], c.ms))
            return "usage: frames N MS";
        c.op = SimOp::Frame;
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
        if (args != 2 || !parseOffset(w[1], c.dx) || !parseOffset(w[2], c.dy))
            return "usage: cursor DX DY (whole pixels from the centre)";
        c.op = SimOp::Cursor;
    } else if (verb == "dump" || verb == "quit") {
        if (args != 0)
            return "usage: " + verb;
        c.op = verb == "dump" ? SimOp::Dump : SimOp::Quit;
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
        if (!problem.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
        if (c.op == SimOp::Screenshot)
            script.needsRenderer = true;
        script.commands.push_back(c);
    }
    return true;
}
