// settings.cpp: the settings file and the values it holds.
#include "app/settings.h"

#include <windows.h>
#include <shlobj.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

Settings g_settings;

namespace {

const char kFolderName[] = "quadrill";
const char kFileName[] = "settings.ini";
const char kSection[] = "quadrill";
// Room for every key name of the section, and for one value.
constexpr DWORD kKeyListBytes = 4096;
constexpr DWORD kValueBytes = 256;
// Far beyond what anyone plays with, and never zero: the view must turn.
constexpr float kMinSensitivity = 0.01f;
constexpr float kMaxSensitivity = 100.0f;

const char* const kSwitchOn[] = {"1", "yes", "true", "on"};
const char* const kSwitchOff[] = {"0", "no", "false", "off"};

bool sameWord(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower((unsigned char)*a) != std::tolower((unsigned char)*b))
            return false;
    return *a == *b;
}

std::string value(const std::string& path, const char* key)
{
    char text[kValueBytes];
    GetPrivateProfileStringA(kSection, key, "", text, kValueBytes, path.c_str());
    return text;
}

bool isKnownKey(const char* key)
{
    return sameWord(key, "sensitivity") || sameWord(key, "invert_look") || sameWord(key, "vsync") ||
           sameWord(key, "fullscreen");
}

// A key whose value is missing or bad keeps its setting, with a warning.
void readSensitivity(const std::string& path, float& sensitivity, std::vector<std::string>& warnings)
{
    const std::string text = value(path, "sensitivity");
    std::string reason;
    if (!text.empty() && !parseSensitivity(text.c_str(), sensitivity, reason))
        warnings.push_back("sensitivity=" + text + ": " + reason);
}

void readSwitch(const std::string& path, const char* key, bool& on, std::vector<std::string>& warnings)
{
    const std::string text = value(path, key);
    std::string reason;
    if (!text.empty() && !parseSwitch(text.c_str(), on, reason))
        warnings.push_back(std::string(key) + "=" + text + ": " + reason);
}

} // namespace

std::string settingsFilePath()
{
    char folder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return "";
    // Joined the way the folder's own path is: '\' on Windows, '/' elsewhere.
    const char* separator = std::strchr(folder, '\\') ? "\\" : "/";
    return std::string(folder) + separator + kFolderName + separator + kFileName;
}

void readSettingsFile(const std::string& path, Settings& settings, std::vector<std::string>& warnings)
{
    if (path.empty())
        return;
    // Every key of the section, each ending with a zero, the list with two.
    char keys[kKeyListBytes];
    GetPrivateProfileStringA(kSection, nullptr, "", keys, kKeyListBytes, path.c_str());
    for (const char* key = keys; *key; key += std::strlen(key) + 1) {
        if (key[0] == '#') // a comment, as many players will write one
            continue;
        if (!isKnownKey(key))
            warnings.push_back(std::string("unknown setting '") + key + "'");
        else if (value(path, key).empty())
            warnings.push_back(std::string(key) + " has no value");
    }
    readSensitivity(path, settings.mouseSensitivity, warnings);
    readSwitch(path, "invert_look", settings.invertLook, warnings);
    readSwitch(path, "vsync", settings.vsync, warnings);
    readSwitch(path, "fullscreen", settings.fullscreen, warnings);
}

bool parseSensitivity(const char* text, float& sensitivity, std::string& reason)
{
    char* end = nullptr;
    const double number = std::strtod(text, &end);
    // Only a plain decimal number: no blanks, no hexadecimal, no "inf".
    bool plain = end != text && *end == '\0';
    for (const char* c = text; plain && *c; ++c)
        plain = std::isdigit((unsigned char)*c) || *c == '.' || *c == '-' || *c == '+' || *c == 'e' || *c == 'E';
    if (!plain || !(number >= kMinSensitivity && number <= kMaxSensitivity)) {
        reason = "not a number from 0.01 to 100";
        return false;
    }
    sensitivity = float(number);
    return true;
}

bool parseSwitch(const char* text, bool& on, std::string& reason)
{
    for (const char* word : kSwitchOn)
        if (sameWord(text, word)) {
            on = true;
            return true;
        }
    for (const char* word : kSwitchOff)
        if (sameWord(text, word)) {
            on = false;
            return true;
        }
    reason = "not yes or no (1 or 0, true or false, on or off)";
    return false;
}
