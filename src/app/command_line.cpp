// command_line.cpp: splitting the command line and reading its options.
#include "app/command_line.h"

#include "app/settings.h"

namespace {

#ifndef QUADRILL_VERSION
#define QUADRILL_VERSION "unknown"
#endif

struct OptionSpec {
    const char* name;
    const char* value; // the value's name in the help, or nullptr for a switch
    const char* help;
    // Takes the value (nullptr for a switch); false with a reason when it is bad.
    bool (*take)(Options& options, const char* value, std::string& reason);
};

bool takeHelp(Options& options, const char*, std::string&)
{
    options.help = true;
    return true;
}

bool takeVersion(Options& options, const char*, std::string&)
{
    options.version = true;
    return true;
}

// A file option given twice would leave one of the two files unused.
bool takePath(std::string& path, const char* value, std::string& reason)
{
    if (!path.empty()) {
        reason = "given twice";
        return false;
    }
    if (!*value) {
        reason = "needs a file name, not an empty one";
        return false;
    }
    path = value;
    return true;
}

bool takeLoad(Options& options, const char* value, std::string& reason)
{
    return takePath(options.loadPath, value, reason);
}

bool takeRecord(Options& options, const char* value, std::string& reason)
{
    return takePath(options.recordPath, value, reason);
}

bool takeReplay(Options& options, const char* value, std::string& reason)
{
    return takePath(options.replayPath, value, reason);
}

bool takeSensitivity(Options& options, const char* value, std::string& reason)
{
    float sensitivity = 0.0f;
    if (!parseSensitivity(value, sensitivity, reason))
        return false;
    options.sensitivity = sensitivity;
    return true;
}

// A pair of switches, --name and its opposite, sets one setting on or off.
template <std::optional<bool> Options::*setting, bool on>
bool takeSwitch(Options& options, const char*, std::string&)
{
    options.*setting = on;
    return true;
}

const OptionSpec kOptions[] = {
    {"--help", nullptr, "print these options and exit", takeHelp},
    {"--version", nullptr, "print the game's version and exit", takeVersion},
    {"--load", "FILE", "start from the arena saved in FILE (F5 saves one)", takeLoad},
    {"--record", "FILE", "record the game into FILE, to replay it with quadrill-sim or --replay", takeRecord},
    {"--replay", "FILE", "show the game recorded in FILE; Escape ends it", takeReplay},
    {"--sensitivity", "X", "turn X times as far per pixel of mouse movement (0.01 to 100; default 1)",
     takeSensitivity},
    {"--invert-look", nullptr, "moving the mouse up looks down", takeSwitch<&Options::invertLook, true>},
    {"--no-invert-look", nullptr, "moving the mouse up looks up (the default)",
     takeSwitch<&Options::invertLook, false>},
    {"--vsync", nullptr, "wait for the display's refresh to show each frame", takeSwitch<&Options::vsync, true>},
    {"--no-vsync", nullptr, "show each frame at once (the default)", takeSwitch<&Options::vsync, false>},
    {"--fullscreen", nullptr, "fill the screen (Alt+Enter or F11 switches while playing)",
     takeSwitch<&Options::fullscreen, true>},
    {"--windowed", nullptr, "play in a window (the default)", takeSwitch<&Options::fullscreen, false>},
};

// A recording carries its own arena and input: nothing else may start it.
bool optionsAgree(const Options& options, std::string& error)
{
    if (!options.replayPath.empty() && (!options.loadPath.empty() || !options.recordPath.empty())) {
        error = "option --replay cannot go with --load or --record: a recording brings its own arena and input";
        return false;
    }
    return true;
}

const OptionSpec* findOption(const std::string& name)
{
    for (const OptionSpec& spec : kOptions)
        if (name == spec.name)
            return &spec;
    return nullptr;
}

} // namespace

std::vector<std::string> splitCommandLine(const char* line)
{
    std::vector<std::string> arguments;
    const char* c = line ? line : "";
    for (;;) {
        while (*c == ' ' || *c == '\t')
            ++c;
        if (!*c)
            return arguments;
        std::string argument;
        bool quoted = false;
        for (; *c && (quoted || (*c != ' ' && *c != '\t')); ++c) {
            size_t backslashes = 0;
            while (c[backslashes] == '\\')
                ++backslashes;
            if (c[backslashes] == '"') {
                argument.append(backslashes / 2, '\\');
                c += backslashes;
                if (backslashes % 2)
                    argument += '"';
                else
                    quoted = !quoted;
            } else if (backslashes > 0) {
                argument.append(backslashes, '\\');
                c += backslashes - 1;
            } else {
                argument += *c;
            }
        }
        arguments.push_back(argument);
    }
}

// --name VALUE and --name=VALUE both give an option its value.
bool parseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const OptionSpec* spec = argument.compare(0, 2, "--") == 0 ? findOption(name) : nullptr;
        if (!spec) {
            error = "unknown option '" + argument + "' (--help lists the options)";
            return false;
        }
        const char* value = nullptr;
        if (spec->value && equals != std::string::npos) {
            value = argument.c_str() + equals + 1;
        } else if (spec->value) {
            if (i + 1 == arguments.size()) {
                error = "option " + name + " needs a value: " + name + " " + spec->value;
                return false;
            }
            value = arguments[++i].c_str();
        } else if (equals != std::string::npos) {
            error = "option " + name + " takes no value";
            return false;
        }
        std::string reason;
        if (!spec->take(options, value, reason)) {
            error = "option " + name + ": " + reason;
            return false;
        }
    }
    return optionsAgree(options, error);
}

void Options::applyTo(Settings& settings) const
{
    if (sensitivity)
        settings.mouseSensitivity = *sensitivity;
    if (invertLook)
        settings.invertLook = *invertLook;
    if (vsync)
        settings.vsync = *vsync;
    if (fullscreen)
        settings.fullscreen = *fullscreen;
}

std::string optionsHelp()
{
    std::string text = "usage: quadrill [OPTION]...\nWithout options the game starts as it always has.\n"
                       "Options override the settings file, " +
                       (settingsFilePath().empty() ? std::string("settings.ini") : settingsFilePath()) + ".\n";
    for (const OptionSpec& spec : kOptions) {
        std::string left = std::string("  ") + spec.name + (spec.value ? std::string(" ") + spec.value : "");
        if (left.size() < 24)
            left.resize(24, ' ');
        else
            left += "  ";
        text += left + spec.help + "\n";
    }
    return text;
}

std::string versionText() { return std::string("Quadrill ") + gameVersion() + "\n"; }

const char* gameVersion() { return QUADRILL_VERSION; }
