// arena_file.cpp: reading and writing saved arenas.
#include "save/arena_file.h"

#include "app/game_state.h"
#include "files/atomic_file.h"
#include "files/file_error.h"
#include "files/line_file.h"
#include "replay/recorder.h"
#include "save/arena_capture.h"
#include "save/arena_text.h"

namespace {

// Far longer than any line of a saved arena (a box line is about 200 bytes).
constexpr size_t kMaxArenaLineBytes = 4096;

// A save that says it succeeded must load: the text is read back before it
// is written (a game holding a NaN, say, is refused here rather than when
// the player comes to load it).
bool readsBack(const std::string& text, std::string& reason)
{
    ArenaState check;
    ArenaReader reader(check, false);
    std::string problem;
    for (size_t at = 0; at < text.size();) {
        size_t newline = text.find('\n', at);
        if (newline == std::string::npos)
            newline = text.size();
        if (!reader.accept(std::string_view(text).substr(at, newline - at), problem)) {
            reason = "the arena holds what no save may hold (" + problem + ")";
            return false;
        }
        at = newline + 1;
    }
    if (!reader.finish(problem)) {
        reason = problem;
        return false;
    }
    return true;
}

} // namespace

bool readArenaFile(const std::string& path, ArenaState& out, std::string& reason)
{
    LineFile file;
    if (!file.open(path, kMaxArenaFileBytes, kMaxArenaLineBytes, reason))
        return false;
    ArenaReader reader(out);
    std::string problem;
    for (;;) {
        switch (file.next()) {
        case LineFile::Status::Line:
            if (!reader.accept(file.line(), problem)) {
                reason = "line " + std::to_string(file.lineNumber()) + ": " + problem;
                return false;
            }
            break;
        case LineFile::Status::TooLong:
            reason = "line " + std::to_string(file.lineNumber()) + " is too long (over " +
                     std::to_string(kMaxArenaLineBytes) + " bytes): this is not a saved arena";
            return false;
        case LineFile::Status::ReadFailed:
            reason = fileErrorText(file.error());
            return false;
        case LineFile::Status::End:
            if (!reader.finish(problem)) {
                reason = problem;
                return false;
            }
            return true;
        }
    }
}

bool writeArenaFile(const std::string& path, const ArenaState& state, const std::string* backup,
                    std::string& reason)
{
    std::string text;
    appendArenaText(state, text);
    return readsBack(text, reason) && replaceFileAtomically(path, text, backup, reason);
}

bool saveGameArena(const std::string& path, const std::string* backup, size_t& boxes, std::string& reason)
{
    ArenaState state;
    captureArena(state);
    boxes = state.boxes.size();
    return writeArenaFile(path, state, backup, reason);
}

bool loadGameArena(const std::string& path, size_t& boxes, std::string& reason)
{
    ArenaState state;
    if (!readArenaFile(path, state, reason))
        return false;
    if (!applyArena(state)) {
        reason = kBoxesNotMade;
        return false;
    }
    recordArenaLoaded(state);
    boxes = state.boxes.size();
    g_timer.restart();
    return true;
}
