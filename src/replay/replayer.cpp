// replayer.cpp: reading the recording and feeding it to the game.
#include "replay/replayer.h"

#include <mmsystem.h>

#include <cstdio>
#include <memory>

#include "app/command_line.h"
#include "app/frame.h"
#include "app/game_state.h"
#include "app/settings.h"
#include "files/file_error.h"
#include "files/line_file.h"
#include "replay/replay_session.h"
#include "save/arena_capture.h"
#include "save/arena_file.h"
#include "save/arena_text.h"
#include "script/message_lines.h"
#include "script/script_rules.h"
#include "script/sim_script.h"
#include "text/printable.h"

namespace {

// Far more than hours of play (a minute takes some tens of kilobytes), and
// a bound on what a wrong file can make the game read before it starts.
constexpr uint64_t kMaxRecordingBytes = uint64_t(1) << 30;
// As quadrill-sim reads scripts.
constexpr size_t kMaxScriptLineBytes = 8192;
// How long the loop waits while the next frame is not due yet.
constexpr DWORD kWaitMs = 1;
constexpr BYTE kKeyDown = 0x80;
constexpr BYTE kKeyToggled = 0x01;

struct Replayer {
    LineFile file;
    std::string path;
    HWND window = nullptr;
    bool active = false;
    bool injecting = false;
    bool ended = false;
    DWORD startMs = 0;
    uint64_t dueMs = 0; // the recorded time the next frame starts at, after startMs
    uint32_t framesLeft = 0;
    DWORD frameMs = 0;
    int dx = 0, dy = 0; // the next frame's cursor offset
    BYTE keys[256] = {};
    ArenaState arena;
    std::unique_ptr<ArenaReader> arenaReader;
};

std::unique_ptr<Replayer> g_replayer;

bool isInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

// The key-state table as Windows keeps it for the messages it delivers:
// each side of Ctrl, Shift and Alt, and the shared code down while either is.
void setKey(BYTE* keys, int key, bool down)
{
    keys[key & 0xFF] = BYTE(down ? (keys[key & 0xFF] | kKeyDown) : (keys[key & 0xFF] & ~kKeyDown));
}

void applyToKeys(BYTE* keys, const MSG& m)
{
    struct Sides {
        int shared, left, right;
    };
    const Sides kSided[] = {{VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                            {VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                            {VK_MENU, VK_LMENU, VK_RMENU}};
    const bool keyDown = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    const bool keyUp = m.message == WM_KEYUP || m.message == WM_SYSKEYUP;
    if (keyDown || keyUp) {
        int key = int(m.wParam & 0xFF);
        const bool extended = (HIWORD(m.lParam) & KF_EXTENDED) != 0;
        if (keyDown && key == VK_CAPITAL && !(HIWORD(m.lParam) & KF_REPEAT))
            keys[VK_CAPITAL] ^= kKeyToggled;
        for (const Sides& s : kSided)
            if (key == s.shared)
                key = extended ? s.right : s.left;
        setKey(keys, key, keyDown);
        for (const Sides& s : kSided)
            setKey(keys, s.shared, (keys[s.left] & kKeyDown) || (keys[s.right] & kKeyDown));
        return;
    }
    switch (m.message) {
    case WM_LBUTTONDOWN: setKey(keys, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: setKey(keys, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: setKey(keys, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: setKey(keys, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: setKey(keys, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: setKey(keys, VK_MBUTTON, false); break;
    default: break;
    }
}

void say(const Replayer& r, const std::string& text)
{
    std::fprintf(stderr, "quadrill: replay of %s: %s\n", printable(r.path).c_str(), text.c_str());
}

// Hands a recorded message to the window procedure, as the message loop
// would have: the keys table first, as Windows updates it on taking input.
void inject(Replayer& r, const SimCommand& c)
{
    MSG msg;
    bool input = false;
    if (!messageForCommand(c, msg, input))
        return;
    msg.hwnd = r.window;
    if (input)
        applyToKeys(r.keys, msg);
    SetKeyboardState(r.keys);
    r.injecting = true;
    DispatchMessageA(&msg);
    r.injecting = false;
}

void check(Replayer& r, const SimCommand& c)
{
    ReplaySession& session = replaySession();
    if (session.departure.empty() && !session.check(c))
        say(r, session.departure);
}

void readArenaLine(Replayer& r, const SimCommand& c)
{
    if (!r.arenaReader) {
        r.arena = ArenaState();
        r.arenaReader.reset(new ArenaReader(r.arena));
    }
    std::string problem;
    r.arenaReader->accept(c.text, problem); // checked when the replay was opened
    if (!r.arenaReader->ended())
        return;
    r.arenaReader.reset();
    if (!applyArena(r.arena)) {
        say(r, "line " + std::to_string(c.line) + ": the arena could not be loaded: " + kBoxesNotMade);
        return;
    }
    replaySession().expected = r.arena;
}

// Carries out one command before a frame; true when it is the frame.
bool carryOut(Replayer& r, const SimCommand& c)
{
    switch (c.op) {
    case SimOp::Frame:
        r.framesLeft = c.count;
        r.frameMs = c.ms;
        return c.count > 0;
    case SimOp::Cursor:
        r.dx = c.dx;
        r.dy = c.dy;
        break;
    case SimOp::Recording:
        if (c.text != gameVersion())
            say(r, "it was made by Quadrill " + c.text + ", this is " + gameVersion() +
                       ": a departure may come from that");
        break;
    case SimOp::Look: applyLookSettings(c); break;
    case SimOp::Check: check(r, c); break;
    case SimOp::Expect: replaySession().expect(c.text); break;
    case SimOp::Arena: readArenaLine(r, c); break;
    case SimOp::Load: {
        size_t boxes = 0;
        std::string reason;
        if (!loadGameArena(c.text, boxes, reason))
            say(r, "line " + std::to_string(c.line) + ": cannot load " + printable(c.text) + ": " + reason);
        else
            captureArena(replaySession().expected);
        break;
    }
    case SimOp::Quit: {
        SimCommand escape;
        escape.op = SimOp::KeyDown;
        escape.virtualKey = VK_ESCAPE;
        inject(r, escape);
        break;
    }
    case SimOp::Dump:
    case SimOp::Memory:
    case SimOp::Cpu:
    case SimOp::Screenshot:
    case SimOp::Save: break; // quadrill-sim's reports: nothing to show here
    default: inject(r, c); break;
    }
    return false;
}

// Reads on to the next frame. False at the end of the recording.
bool readToFrame(Replayer& r)
{
    for (;;) {
        switch (r.file.next()) {
        case LineFile::Status::End: return false;
        case LineFile::Status::TooLong:
        case LineFile::Status::ReadFailed:
            say(r, "line " + std::to_string(r.file.lineNumber()) + " can no longer be read");
            return false;
        case LineFile::Status::Line: break;
        }
        SimCommand c;
        std::string problem;
        if (parseSimLine(r.file.line(), c, problem) != SimLine::Command)
            continue;
        c.line = r.file.lineNumber();
        if (carryOut(r, c))
            return true;
    }
}

void endReplay(Replayer& r)
{
    r.ended = true;
    const ReplaySession& session = replaySession();
    if (session.departure.empty())
        say(r, "it ends here; its " + std::to_string(session.checksPassed) + " checks all matched");
    PostQuitMessage(0);
}

} // namespace

bool openReplay(const std::string& path, std::string& reason)
{
    std::unique_ptr<Replayer> r(new Replayer());
    if (!r->file.open(path, kMaxRecordingBytes, kMaxScriptLineBytes, reason))
        return false;
    ScriptRules rules;
    std::string problem;
    for (;;) {
        const LineFile::Status status = r->file.next();
        const std::string at = "line " + std::to_string(r->file.lineNumber());
        if (status == LineFile::Status::End)
            break;
        if (status == LineFile::Status::TooLong) {
            reason = at + " is too long (over " + std::to_string(kMaxScriptLineBytes) + " bytes)";
            return false;
        }
        if (status == LineFile::Status::ReadFailed) {
            reason = fileErrorText(r->file.error());
            return false;
        }
        SimCommand c;
        const SimLine kind = parseSimLine(r->file.line(), c, problem);
        c.line = r->file.lineNumber();
        if (kind == SimLine::Bad || (kind == SimLine::Command && !rules.accept(c, problem))) {
            reason = at + ": " + problem;
            return false;
        }
    }
    if (!rules.finish(problem)) {
        reason = problem;
        return false;
    }
    if (!r->file.rewind()) {
        reason = fileErrorText(r->file.error());
        return false;
    }
    r->path = path;
    g_replayer = std::move(r);
    return true;
}

void startReplay(HWND window)
{
    if (!g_replayer)
        return;
    Replayer& r = *g_replayer;
    r.window = window;
    r.active = true;
    r.startMs = timeGetTime();
    g_mouseLookWhileUnseen = true;
    ReplaySession& session = replaySession();
    session.begin();
    session.active = true;
}

bool isReplaying() { return g_replayer && g_replayer->active; }

void replayStep()
{
    Replayer& r = *g_replayer;
    if (r.ended) {
        Sleep(kWaitMs); // the quit is on its way
        return;
    }
    if (r.framesLeft == 0 && !readToFrame(r)) {
        endReplay(r);
        return;
    }
    const uint64_t now = DWORD(timeGetTime() - r.startMs);
    if (now < r.dueMs + r.frameMs) {
        Sleep(kWaitMs);
        return;
    }
    // The player's own keys and pointer are put out of the frame's reach.
    SetKeyboardState(r.keys);
    SetCursorPos(g_desktopRect.right / 2 + r.dx, g_desktopRect.bottom / 2 + r.dy);
    r.dx = r.dy = 0;
    runFrameOf(r.frameMs);
    r.dueMs += r.frameMs;
    --r.framesLeft;
}

bool replayIgnores(UINT message, WPARAM wParam)
{
    if (!isReplaying() || g_replayer->injecting || !isInput(message))
        return false;
    return !(message == WM_KEYDOWN && wParam == VK_ESCAPE);
}

void applyLookSettings(const SimCommand& look)
{
    g_settings.mouseSensitivity = look.sensitivity;
    g_settings.invertLook = look.invertLook;
}

void resetReplayer() { g_replayer.reset(); }
