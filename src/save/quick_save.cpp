// quick_save.cpp: F5 and F9.
#include "save/quick_save.h"

#include <shlobj.h>

#include <cstdio>

#include "app/game_state.h"
#include "app/title_notice.h"
#include "files/file_error.h"
#include "save/arena_file.h"
#include "text/printable.h"

namespace {

constexpr char kSavesSubfolder[] = "quadrill";
constexpr char kQuickSaveName[] = "quicksave.arena";
constexpr char kPreviousQuickSaveName[] = "quicksave-previous.arena";
constexpr char kSaveCaption[] = "Quick save";
constexpr char kLoadCaption[] = "Quick load";

// The arena exists once start-up has built it: a key pressed while a
// start-up message box is open finds nothing to save or to replace.
bool arenaExists() { return g_device && !g_boxes.isEmpty(); }

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void showFailure(const char* caption, const std::string& text)
{
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

} // namespace

bool savesFolder(std::string& folder, std::string& reason)
{
    char base[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, base))) {
        reason = "there is no application-data folder for the player (no home folder?)";
        return false;
    }
    folder = std::string(base) + "/" + kSavesSubfolder;
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        reason = printable(folder) + ": " + fileErrorText(GetLastError());
        return false;
    }
    return true;
}

void quickSave(HWND window)
{
    if (!arenaExists())
        return;
    std::string folder, reason;
    size_t boxes = 0;
    const bool inFolder = savesFolder(folder, reason);
    const std::string path = folder + "/" + kQuickSaveName;
    const std::string previous = folder + "/" + kPreviousQuickSaveName;
    if (inFolder && saveGameArena(path, &previous, boxes, reason)) {
        std::fprintf(stderr, "quadrill: saved the arena (%zu boxes) to %s\n", boxes, printable(path).c_str());
        showTitleNotice(window, "arena saved");
    } else {
        std::string text = "The arena could not be saved";
        if (inFolder)
            text += " to " + printable(path);
        text += ": " + reason + ".\nThe game goes on";
        text += inFolder && exists(path) ? "; the quick save from before is kept." : ".";
        showFailure(kSaveCaption, text);
    }
    // The time spent saving is not play: the next frame is as long as if
    // there had been no save.
    g_timer.restart();
}

void quickLoad(HWND window)
{
    if (!arenaExists())
        return;
    std::string folder, reason;
    if (!savesFolder(folder, reason)) {
        showFailure(kLoadCaption, "The quick save could not be loaded: " + reason + ".\nThe game goes on unchanged.");
        return;
    }
    const std::string path = folder + "/" + kQuickSaveName;
    if (!exists(path) && (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)) {
        std::fprintf(stderr, "quadrill: there is no quick save to load yet (F5 saves the arena)\n");
        showTitleNotice(window, "no quick save yet");
        return;
    }
    size_t boxes = 0;
    if (!loadGameArena(path, boxes, reason)) {
        showFailure(kLoadCaption, "The quick save " + printable(path) + " could not be loaded: " + reason +
                                      ".\nThe game goes on unchanged.");
        return;
    }
    std::fprintf(stderr, "quadrill: loaded the arena (%zu boxes) from %s\n", boxes, printable(path).c_str());
    showTitleNotice(window, "arena loaded");
}
