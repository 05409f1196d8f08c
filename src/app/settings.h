// settings.h: the player's settings: read from the settings file in the
// player's configuration folder, then overridden by the command line.
//
// The file is an initialisation file read with the Win32 profile API:
//
//     [quadrill]
//     sensitivity=1.5
//     invert_look=no
//     vsync=no
//     fullscreen=no
//
// A missing file, section or key leaves the default. A bad value or a key
// the game does not know gets a warning and changes nothing.
#pragma once

#include <string>
#include <vector>

struct Settings {
    float mouseSensitivity = 1.0f; // a factor on mouse look's turn per pixel
    bool invertLook = false;       // moving the mouse up looks down
    bool vsync = false;            // Present waits for the vertical retrace
    bool fullscreen = false;       // a borderless window over the monitor
};

extern Settings g_settings;

// <application data>/quadrill/settings.ini, or "" when the system names no
// such folder.
std::string settingsFilePath();

// Reads the settings file over `settings`; each problem found becomes one
// line in `warnings`.
void readSettingsFile(const std::string& path, Settings& settings, std::vector<std::string>& warnings);

// The values the file and the command line share. False with the reason.
bool parseSensitivity(const char* text, float& sensitivity, std::string& reason);
bool parseSwitch(const char* text, bool& on, std::string& reason);
