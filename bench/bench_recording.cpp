// bench_recording.cpp: what --record costs the game's thread, and how large
// a recording grows.
//
// The real WinMain runs frame by frame (16 ms frames of the manual clock)
// while scripted input keeps the recorder busy: the mouse moves every frame
// (a `cursor` line each frame, so no two frames fold into one line), W is
// held, a switch key is typed every 30 frames and a crate placed every 50.
// Rounds without and with recording alternate in one process (each kind
// first in every other pair), so that the machine's load falls on both
// alike; each round is a fresh game. Reported per scene: the game thread's
// CPU time per frame, the median over the rounds of each kind, their ratio,
// and the recording's bytes per minute of
// play at 60 frames a second.
//
//   bench_recording [--opengl] [--rounds N] [--frames N] [--crates N]
//
// On the recording device by default: the game's own work with nothing of
// the renderer's, so that the recorder's share is as large as it gets.
// --opengl runs the OpenGL renderer off-screen, as the game draws.
#include <pthread.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "test_controls.h"

namespace {

constexpr DWORD kFrameMs = 16;
constexpr double kFramesPerMinute = 60.0 * 60.0; // at 60 frames a second
constexpr int kWarmUpFrames = 30;
constexpr int kCharEveryFrames = 30;
constexpr int kClickEveryFrames = 50;
constexpr int kDesktopWidth = 800;
constexpr int kDesktopHeight = 600;

struct Options {
    bool openGL = false;
    int rounds = 6;
    int frames = 600;
    int onlyCrates = -1; // one scene alone: this many crates
};

double threadCpuMs(clockid_t clock)
{
    timespec t = {};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

// Crates resting in layers inside the walls, clear of the player.
bool addCrates(int crates)
{
    for (int i = 0; i < crates; ++i) {
        const float x = -17.0f + 2.0f * float(i % 17);
        const float z = 9.0f + 2.0f * float((i / 17) % 4);
        const float y = -5.0f + 2.0f * float(i / 68);
        if (!addBox(g_device, x, y, z, 2.0f, 2.0f, 2.0f))
            return false;
    }
    return true;
}

struct Round {
    double cpuMsPerFrame = 0.0;
    double bytes = 0.0;
    double expectPerCheck = 0.0; // values changed since the check before, on average
};

double expectLinesPerCheck(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return 0.0;
    char line[8192];
    double expects = 0.0, checks = 0.0;
    while (std::fgets(line, sizeof line, file)) {
        expects += std::strncmp(line, "expect ", 7) == 0;
        checks += std::strncmp(line, "check ", 6) == 0;
    }
    std::fclose(file);
    return checks > 0.0 ? expects / checks : 0.0;
}

// One game: warmed up, then `frames` frames of input measured.
bool playRound(const Options& o, int crates, const std::string& recording, Round& out)
{
    if (o.openGL)
        testctl::useOffscreenOpenGL();
    else
        testctl::useHeadless();
    testctl::captureMessageBoxes();
    testctl::setDesktopSize(kDesktopWidth, kDesktopHeight);
    testctl::drawLog().recording = false;
    const std::string commandLine = recording.empty() ? "" : testctl::joinCommandLine({"--record", recording});
    testctl::ProgramRunner game(WinMain, commandLine);
    game.start();
    clockid_t clock = CLOCK_THREAD_CPUTIME_ID;
    bool made = false;
    game.onProgramThread([&] {
        pthread_getcpuclockid(pthread_self(), &clock);
        made = addCrates(crates);
    });
    if (game.ended() || !made || !game.frames(kWarmUpFrames, kFrameMs))
        return false;
    testctl::keyDown('W');
    const double start = threadCpuMs(clock);
    for (int i = 0; i < o.frames; ++i) {
        testctl::setCursorPosition(kDesktopWidth / 2 + (i % 2 ? 3 : -2), kDesktopHeight / 2 + (i % 3) - 1);
        if (i % kCharEveryFrames == 0)
            testctl::typeChar('z');
        if (i % kClickEveryFrames == 0) {
            testctl::mouseButton(true, true);
            testctl::mouseButton(true, false);
        }
        if (!game.frame(kFrameMs))
            return false;
    }
    out.cpuMsPerFrame = (threadCpuMs(clock) - start) / double(o.frames);
    testctl::keyUp('W');
    game.quit();
    struct stat info = {};
    out.bytes = recording.empty() || stat(recording.c_str(), &info) != 0 ? 0.0 : double(info.st_size);
    out.expectPerCheck = recording.empty() ? 0.0 : expectLinesPerCheck(recording);
    testctl::resetPlatform();
    return true;
}

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--opengl") == 0)
            o.openGL = true;
        else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            o.rounds = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            o.frames = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--crates") == 0 && i + 1 < argc)
            o.onlyCrates = std::atoi(argv[++i]);
        else
            return false;
    }
    return o.rounds > 0 && o.frames > 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: bench_recording [--opengl] [--rounds N] [--frames N] [--crates N]\n");
        return 2;
    }
#ifdef QUADRILL_SOURCE_DIR
    if (chdir(QUADRILL_SOURCE_DIR) != 0)
        std::fprintf(stderr, "cannot enter %s: textures will be missing\n", QUADRILL_SOURCE_DIR);
#endif
    const char* base = getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/quadrill-bench-XXXXXX";
    if (!mkdtemp(&folder[0]))
        return 1;
    const std::string recording = folder + "/bench.rec";
    double load[1] = {};
    std::printf("device: %s, %d rounds of each kind, %d frames each\n", o.openGL ? "OpenGL off-screen" : "recording",
                o.rounds, o.frames);
    std::printf("| scene | game thread CPU per frame, not recording | recording | more | recording's size per minute "
                "| expected values a check |\n");
    std::printf("|---|---|---|---|---|---|\n");
    int status = 0;
    for (int crates : {0, 1000}) {
        if (o.onlyCrates >= 0)
            crates = o.onlyCrates;
        std::vector<double> off, on, bytes, expects;
        for (int r = 0; r < 2 * o.rounds; ++r) {
            // off, on, on, off, ...: neither kind always follows the other.
            const bool recordingRound = (r % 4 == 1) || (r % 4 == 2);
            Round round;
            if (!playRound(o, crates, recordingRound ? recording : "", round)) {
                std::fprintf(stderr, "the game did not run\n");
                status = 1;
                break;
            }
            (recordingRound ? on : off).push_back(round.cpuMsPerFrame);
            if (recordingRound) {
                bytes.push_back(round.bytes);
                expects.push_back(round.expectPerCheck);
            }
        }
        const double frames = double(kWarmUpFrames + o.frames);
        const double offMs = median(off), onMs = median(on);
        std::printf("| %d crates | %.4f ms | %.4f ms | %+.2f%% | %.0f KiB | %.0f |\n", crates,
                    offMs, onMs, offMs > 0 ? 100.0 * (onMs - offMs) / offMs : 0.0,
                    median(bytes) / frames * kFramesPerMinute / 1024.0, median(expects));
        if (o.onlyCrates >= 0)
            break;
    }
    getloadavg(load, 1);
    std::printf("load average at the end: %.1f\n", load[0]);
    unlink(recording.c_str());
    rmdir(folder.c_str());
    return status;
}
