// command_line.h: the options the game takes on its command line.
//
// Without options the game starts as it always has. Every option is listed
// once, in kOptions (command_line.cpp), with the text --help shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct Settings;

struct Options {
    bool help = false;    // --help: print the options and do not start
    bool version = false; // --version: print the version and do not start
    std::string loadPath;   // --load FILE: start from this saved arena
    std::string recordPath; // --record FILE: record the game into this file
    std::string replayPath; // --replay FILE: show this recording
    // Settings given on the command line; they win over the settings file.
    std::optional<float> sensitivity;
    std::optional<bool> invertLook;
    std::optional<bool> vsync;
    std::optional<bool> fullscreen;

    // Puts the settings given here over `settings`.
    void applyTo(Settings& settings) const;
};

// Splits a Windows command line (WinMain's) into arguments by the C
// runtime's rules: white space between arguments; quotes group; 2n
// backslashes before a quote are n backslashes and the quote groups, 2n + 1
// are n backslashes and a quote; other backslashes are themselves.
std::vector<std::string> splitCommandLine(const char* line);

// False with `error` saying which argument is wrong and why.
bool parseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error);

// What --help prints, and what --version prints.
std::string optionsHelp();
std::string versionText();
// The game's version alone ("1.0.0").
const char* gameVersion();
