// sim_run.cpp: the game under quadrill-sim.
//
// The real WinMain runs on the recording device (or, when the script takes
// screenshots, the OpenGL renderer off-screen) with a manual clock; each
// frame command advances the clock and lets exactly one frame run.
#include "sim_run.h"

#include <errno.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/game_state.h"
#include "replay/recorder.h"
#include "replay/replay_session.h"
#include "replay/replayer.h"
#include "save/arena_capture.h"
#include "save/arena_file.h"
#include "save/arena_text.h"
#include "script/message_lines.h"
#include "text/printable.h"
#include "test_controls.h"

namespace {

constexpr int kDesktopWidth = 800;
constexpr int kDesktopHeight = 600;
constexpr int kCommandFailed = 2;
constexpr int kDeparted = 1;

// ---- Output ---------------------------------------------------------------------
// The first write to standard output that fails stops the run; after that,
// and after any other failure, the game ends without another word.
int g_outputError = 0;
bool g_quiet = false;

void flushOutput()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        if (g_outputError == 0)
            g_outputError = errno != 0 ? errno : EIO;
        g_quiet = true;
    }
}

bool outputFailed()
{
    if (g_outputError == 0)
        return false;
    std::fprintf(stderr, "quadrill-sim: cannot write the output: %s\n", std::strerror(g_outputError));
    return true;
}

void printMessage(const testctl::ShownBox& box)
{
    if (g_quiet)
        return;
    std::printf("message %s | %s\n", box.caption.c_str(), box.text.c_str());
    flushOutput();
}

void dump()
{
    std::printf("count %u\n", unsigned(g_boxes.count()));
    for (uint32_t i = 0; i < g_boxes.count(); ++i) {
        const Box& b = g_boxes.at(i);
        std::printf("box %u %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g\n", unsigned(i), b.position.x, b.position.y,
                    b.position.z, b.size.x, b.size.y, b.size.z, b.velocity.x, b.velocity.y, b.velocity.z);
    }
    const Camera& c = g_camera;
    std::printf("camera %.9g %.9g %.9g %.9g %.9g %.9g\n", c.eye.x, c.eye.y, c.eye.z, c.target.x, c.target.y,
                c.target.z);
    flushOutput();
}

// The process's resident memory, from the kernel's count of resident pages.
void memory()
{
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    std::printf("memory %ld\n", resident * (sysconf(_SC_PAGESIZE) / 1024));
    flushOutput();
}

// The CPU time the process has used so far, in milliseconds: user and system.
// Unlike the wall clock, it does not count what other programs take.
void cpuTime()
{
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    const double ms = 1e3 * double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      1e-3 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    std::printf("cpu %.1f\n", ms);
    flushOutput();
}

bool screenshot(const SimCommand& c)
{
    std::vector<uint8_t> pixels;
    int width = 0, height = 0;
    if (!testctl::readBackBuffer(g_device, pixels, width, height)) {
        std::fprintf(stderr, "quadrill-sim: line %d: there is no picture to save (the game has no device)\n", c.line);
        return false;
    }
    if (!testctl::writePng(c.text, pixels, width, height)) {
        std::fprintf(stderr, "quadrill-sim: line %d: cannot write %s: %s\n", c.line, printable(c.text).c_str(),
                     std::strerror(errno));
        return false;
    }
    return true;
}

// Saves or loads an arena on the program's thread, once the input before
// the command has been taken.
bool saveOrLoad(const SimCommand& c, testctl::ProgramRunner& game)
{
    game.settle();
    if (game.ended())
        return false;
    bool done = false;
    size_t boxes = 0;
    std::string reason;
    game.onProgramThread([&] {
        done = c.op == SimOp::Save ? saveGameArena(c.text, nullptr, boxes, reason) : loadGameArena(c.text, boxes, reason);
    });
    if (!done)
        std::fprintf(stderr, "quadrill-sim: line %d: cannot %s %s: %s\n", c.line, c.op == SimOp::Save ? "save" : "load",
                     printable(c.text).c_str(), reason.c_str());
    return done;
}

// Posts one input message. A full queue is what a program that has not run
// its message loop for a long while has: let it take what is waiting, as it
// would before its next frame, and post again.
bool post(testctl::ProgramRunner& game, const std::function<bool()>& input)
{
    if (input())
        return true;
    game.settle();
    return !game.ended() && input();
}

bool postCommand(const SimCommand& c, testctl::ProgramRunner& game)
{
    // A key pressed with Alt held comes as a system key, as from a keyboard.
    if (c.op == SimOp::KeyDown || c.op == SimOp::KeyUp)
        return post(game, [&] { return testctl::keyMessage(c.virtualKey, c.op == SimOp::KeyDown, c.extended, c.repeat); });
    MSG msg;
    bool input = false;
    messageForCommand(c, msg, input);
    return post(game, [&] {
        return input ? testctl::postInputMessage(msg.message, msg.wParam, msg.lParam)
                     : testctl::postMessage(msg.message, msg.wParam, msg.lParam);
    });
}

// A recording: its keys bring their own characters, and its quick loads
// their arenas; the game's own quick saves stay out of it.
void startReplaying(const SimCommand& c)
{
    replaySession().active = true;
    testctl::translateKeys(false);
    if (c.text != gameVersion())
        std::fprintf(stderr, "quadrill-sim: line %d: the recording was made by Quadrill %s, this is %s: a departure "
                     "may come from that\n", c.line, c.text.c_str(), gameVersion());
}

// Compared once the input before it has been taken: now, or, when that
// input ended the game, by the game's shutdown while the boxes are there.
bool check(const SimCommand& c, testctl::ProgramRunner& game)
{
    ReplaySession& session = replaySession();
    session.schedule(c);
    game.settle();
    if (!game.ended())
        game.onProgramThread([&] { session.runScheduled(); });
    return session.departure.empty();
}

// The lines of an arena block, put in the game's place at its end.
struct ArenaBlock {
    ArenaState arena;
    std::unique_ptr<ArenaReader> reader;
};

bool arenaLine(const SimCommand& c, testctl::ProgramRunner& game, ArenaBlock& block)
{
    if (!block.reader) {
        block.arena = ArenaState();
        block.reader.reset(new ArenaReader(block.arena));
    }
    std::string problem;
    block.reader->accept(c.text, problem); // the whole block was checked before the run
    if (!block.reader->ended())
        return true;
    block.reader.reset();
    game.settle();
    if (game.ended())
        return false;
    bool applied = false;
    game.onProgramThread([&] {
        applied = applyArena(block.arena);
        if (applied)
            recordArenaLoaded(block.arena);
    });
    if (!applied) {
        std::fprintf(stderr, "quadrill-sim: line %d: the arena could not be loaded: %s\n", c.line, kBoxesNotMade);
        return false;
    }
    replaySession().expected = block.arena;
    return true;
}

bool carryOut(const SimCommand& c, testctl::ProgramRunner& game, ArenaBlock& block)
{
    switch (c.op) {
    case SimOp::Frame:
        game.frames(int(c.count), c.ms);
        return true;
    case SimOp::KeyDown:
    case SimOp::KeyUp:
    case SimOp::Char:
    case SimOp::Mouse:
    case SimOp::Focus:
    case SimOp::Close:
    case SimOp::Message: return postCommand(c, game);
    case SimOp::Cursor:
        testctl::setCursorPosition(g_desktopRect.right / 2 + c.dx, g_desktopRect.bottom / 2 + c.dy);
        return true;
    case SimOp::Dump:
        game.settle();
        dump();
        return true;
    case SimOp::Memory:
        game.settle();
        memory();
        return true;
    case SimOp::Cpu:
        game.settle();
        cpuTime();
        return true;
    case SimOp::Screenshot: {
        game.settle();
        bool saved = false;
        game.onProgramThread([&] { saved = screenshot(c); });
        return saved;
    }
    case SimOp::Save:
    case SimOp::Load: return saveOrLoad(c, game);
    case SimOp::Recording:
        startReplaying(c);
        return true;
    case SimOp::Look:
        game.settle();
        game.onProgramThread([&] { applyLookSettings(c); });
        return true;
    case SimOp::Check: return check(c, game);
    case SimOp::Expect:
        replaySession().expect(c.text);
        return true;
    case SimOp::Arena: return arenaLine(c, game, block);
    case SimOp::Quit:
        game.quit();
        return true;
    }
    return true;
}

} // namespace

int runSimScript(ScriptStream& script, bool needsRenderer, const std::string& gameCommandLine)
{
    // A script plays the same whatever the player's settings: no settings
    // file can be found under a configuration folder that is not a folder.
    setenv("XDG_CONFIG_HOME", "/dev/null", 1);
    if (needsRenderer)
        testctl::useOffscreenOpenGL();
    else
        testctl::useHeadless();
    testctl::drawLog().recording = false;
    testctl::setDesktopSize(kDesktopWidth, kDesktopHeight);
    testctl::captureMessageBoxes(printMessage);

    testctl::ProgramRunner game(WinMain, gameCommandLine);
    game.start();
    if (game.ended()) {
        std::fprintf(stderr, "quadrill-sim: the game did not start (exit code %d)\n", game.exitCode());
        return kCommandFailed;
    }
    game.onProgramThread([] { replaySession().begin(); });
    ArenaBlock block;
    SimCommand c;
    std::string error;
    for (;;) {
        ScriptStream::Step step = script.next(c, error);
        if (step == ScriptStream::Step::End)
            break;
        if (step == ScriptStream::Step::Bad) {
            // Only a script changed since it was checked gets here.
            std::fprintf(stderr, "quadrill-sim: %s\n", error.c_str());
            g_quiet = true;
            return kCommandFailed;
        }
        if (game.ended()) {
            std::fprintf(stderr, "quadrill-sim: line %d: the game has already ended\n", c.line);
            g_quiet = true;
            game.finish();
            return kCommandFailed;
        }
        bool done = carryOut(c, game, block);
        if (outputFailed())
            return kCommandFailed;
        if (!replaySession().departure.empty()) {
            std::fprintf(stderr, "quadrill-sim: %s\n", replaySession().departure.c_str());
            g_quiet = true;
            return kDeparted;
        }
        if (!done) {
            if (game.ended())
                std::fprintf(stderr, "quadrill-sim: line %d: the game has already ended\n", c.line);
            g_quiet = true;
            return kCommandFailed;
        }
    }
    // A script that stops early still ends the game the way a player would.
    int code = game.quit();
    return outputFailed() ? kCommandFailed : code;
}
