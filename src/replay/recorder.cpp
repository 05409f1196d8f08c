// recorder.cpp: writing the recording.
#include "replay/recorder.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "app/command_line.h"
#include "app/game_state.h"
#include "app/settings.h"
#include "files/file_error.h"
#include "save/arena_capture.h"
#include "save/arena_compare.h"
#include "save/arena_text.h"
#include "script/message_lines.h"
#include "script/sim_script.h"
#include "text/exact_number.h"
#include "text/printable.h"

namespace {

constexpr uint64_t kFramesPerCheck = 60;
// Lines wait in memory until a check or until this many bytes have gathered.
constexpr size_t kWriteBytes = 64 * 1024;

struct Recorder {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string path;
    bool active = false;
    std::string lines;       // whole commands not written yet
    std::string duringFrame; // messages seen while a frame ran (a message box's own loop)
    bool inFrame = false;
    uint64_t written = 0; // bytes in the file, all whole commands
    DWORD foldMs = 0;     // frames of the same length in a row, not written yet
    uint32_t foldCount = 0;
    ArenaState checked; // the game as the last check or arena left it
    ArenaState now;
    std::string checkedSettings[kArenaSettingsLines];
    std::string nowSettings[kArenaSettingsLines];
};

Recorder g_recorder;

void addLine(std::string& out, const std::string& line)
{
    out += line;
    out += '\n';
}

// Every frame writes numbers: straight into the lines, with nothing to allocate.
void addNumber(std::string& out, long long value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void writeFold()
{
    Recorder& r = g_recorder;
    if (r.foldCount == 0)
        return;
    if (r.foldCount == 1) {
        r.lines += "frame ";
    } else {
        r.lines += "frames ";
        addNumber(r.lines, r.foldCount);
        r.lines += ' ';
    }
    addNumber(r.lines, r.foldMs);
    r.lines += '\n';
    r.foldCount = 0;
}

void appendArena(const ArenaState& state, std::string& out)
{
    std::string text;
    appendArenaText(state, text);
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        out += "arena ";
        out.append(text, at, end - at + 1);
        at = end + 1;
    }
}

void rememberChecked(const ArenaState& state)
{
    Recorder& r = g_recorder;
    r.checked = state;
    arenaSettingsLines(r.checked, r.checkedSettings);
}

void stop(const std::string& reason)
{
    Recorder& r = g_recorder;
    // What was written of the failed write goes: the file ends with a whole command.
    LARGE_INTEGER end = {};
    end.QuadPart = LONGLONG(r.written);
    SetFilePointerEx(r.file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(r.file);
    CloseHandle(r.file);
    r.file = INVALID_HANDLE_VALUE;
    r.active = false;
    r.lines.clear();
    std::fprintf(stderr, "quadrill: the recording in %s stopped at frame %llu: %s; what it holds up to there replays\n",
                 printable(r.path).c_str(), (unsigned long long)g_frameCount, reason.c_str());
}

void writeLines()
{
    Recorder& r = g_recorder;
    if (!r.active || r.lines.empty())
        return;
    DWORD done = 0;
    if (!WriteFile(r.file, r.lines.data(), DWORD(r.lines.size()), &done, nullptr) || done != r.lines.size()) {
        const DWORD error = GetLastError();
        stop(fileErrorText(error != ERROR_SUCCESS ? error : DWORD(ERROR_DISK_FULL)));
        return;
    }
    r.written += r.lines.size();
    r.lines.clear();
}

// What changed since the last check, then the digest of everything.
void appendCheck()
{
    Recorder& r = g_recorder;
    writeFold();
    captureArena(r.now);
    arenaSettingsLines(r.now, r.nowSettings);
    for (int i = 0; i < kArenaSettingsLines; ++i)
        if (r.nowSettings[i] != r.checkedSettings[i])
            addLine(r.lines, "expect " + r.nowSettings[i]);
    if (r.now.boxes.size() != r.checked.boxes.size())
        addLine(r.lines, "expect boxes " + std::to_string(r.now.boxes.size()));
    for (size_t i = 0; i < r.now.boxes.size(); ++i) {
        if (i < r.checked.boxes.size() && std::memcmp(&r.now.boxes[i], &r.checked.boxes[i], sizeof(BoxState)) == 0)
            continue;
        r.lines += "expect ";
        appendBoxLine(uint32_t(i), r.now.boxes[i], r.lines);
        r.lines += '\n';
    }
    r.lines += "check " + std::to_string(g_frameCount) + " ";
    appendHex64(r.lines, arenaDigest(r.now));
    r.lines += '\n';
    std::swap(r.checked, r.now);
    for (int i = 0; i < kArenaSettingsLines; ++i)
        std::swap(r.checkedSettings[i], r.nowSettings[i]);
}

} // namespace

bool openRecording(const std::string& path, std::string& reason)
{
    Recorder& r = g_recorder;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason = "it is a folder";
        return false;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = fileErrorText(GetLastError());
        return false;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        reason = "it is not a regular file (a pipe or a device)";
        return false;
    }
    r = Recorder();
    r.file = file;
    r.path = path;
    r.lines.reserve(2 * kWriteBytes);
    return true;
}

void startRecording()
{
    Recorder& r = g_recorder;
    if (r.file == INVALID_HANDLE_VALUE || r.active)
        return;
    r.active = true;
    r.lines += "recording " + std::to_string(kRecordingFormat) + " " + gameVersion() + "\n";
    r.lines += "# Quadrill " + std::string(gameVersion()) +
               ": replay it with quadrill-sim FILE, or watch it with quadrill --replay FILE\n";
    // Mouse look turns by the player's settings: the replay must turn alike.
    r.lines += "look ";
    appendExactFloat(r.lines, g_settings.mouseSensitivity);
    r.lines += g_settings.invertLook ? " inverted\n" : " normal\n";
    captureArena(r.now);
    rememberChecked(r.now);
    appendArena(r.checked, r.lines);
    writeLines();
}

bool isRecording() { return g_recorder.active; }

void recordMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    Recorder& r = g_recorder;
    if (!r.active)
        return;
    const std::string line = scriptLineForMessage(message, wParam, lParam);
    if (line.empty())
        return;
    if (r.inFrame) {
        addLine(r.duringFrame, line);
        return;
    }
    writeFold();
    addLine(r.lines, line);
}

void recordFrameStart() { g_recorder.inFrame = g_recorder.active; }

void recordFrameEnd(DWORD ms)
{
    Recorder& r = g_recorder;
    r.inFrame = false;
    if (!r.active)
        return;
    const LONG dx = g_cursorPos.x - g_desktopRect.right / 2;
    const LONG dy = g_cursorPos.y - g_desktopRect.bottom / 2;
    if (dx != 0 || dy != 0) {
        writeFold();
        r.lines += "cursor ";
        addNumber(r.lines, dx);
        r.lines += ' ';
        addNumber(r.lines, dy);
        r.lines += '\n';
    }
    if (r.foldCount > 0 && r.foldMs != ms)
        writeFold();
    r.foldMs = ms;
    ++r.foldCount;
    // What the window procedure saw during the frame comes after it.
    if (!r.duringFrame.empty()) {
        writeFold();
        r.lines += r.duringFrame;
        r.duringFrame.clear();
    }
    if (g_frameCount % kFramesPerCheck == 0) {
        appendCheck();
        writeLines();
    } else if (r.lines.size() >= kWriteBytes) {
        writeLines();
    }
}

void recordArenaLoaded(const ArenaState& state)
{
    Recorder& r = g_recorder;
    if (!r.active)
        return;
    if (!r.inFrame)
        writeFold();
    appendArena(state, r.inFrame ? r.duringFrame : r.lines);
    rememberChecked(state);
}

void finishRecording()
{
    Recorder& r = g_recorder;
    if (!r.active)
        return;
    appendCheck();
    writeLines();
    if (r.active && !CloseHandle(r.file))
        std::fprintf(stderr, "quadrill: the recording in %s may be incomplete: %s\n", printable(r.path).c_str(),
                     fileErrorText(GetLastError()).c_str());
    r.file = INVALID_HANDLE_VALUE;
    r.active = false;
}

void resetRecorder()
{
    if (g_recorder.file != INVALID_HANDLE_VALUE)
        CloseHandle(g_recorder.file);
    g_recorder = Recorder();
}
