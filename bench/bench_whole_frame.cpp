// bench_whole_frame.cpp: the real frame of the real game: WinMain's loop
// runs timing, physics, the controls, drawing and Present, on the OpenGL
// renderer off-screen (SDL's off-screen driver, no display), with the real
// textures, one 16 ms frame of the manual clock at a time. Each frame is
// timed until OpenGL has finished drawing it.
//
// Scenes: the start arena, and 1,000, 3,000 and 10,000 crates resting in
// layers in front of and behind the player; a variant where 5% of them fall
// through the air above the stack, lifted back every 1.5 s. Each is run the
// old way (the reference physics step, every draw copying its vertices) and
// the new way (the broad phase, vertex buffers resident in OpenGL), in the
// same process.
//
// Reported per row: the median whole-frame time and frames per second, the
// median CPU time of the game's thread per frame and of the whole process
// (with Mesa's driver thread and llvmpipe's), the median time of one
// frame's physics alone (advancePhysics on the same scene, after the
// frames), and the load average when the row ended.
//
//   bench_whole_frame [benchmark flags]     e.g. --benchmark_format=json
//   bench_whole_frame --memory CRATES       prints the resident memory
#include <benchmark/benchmark.h>

#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/frame.h"
#include "app/game_state.h"
#include "test_controls.h"

#include "physics/physics_step.h"

namespace {
void usePhysicsStep(bool reference)
{
    g_physicsStepMethod = reference ? PhysicsStepMethod::Reference : PhysicsStepMethod::BroadPhase;
}
} // namespace

namespace {

constexpr DWORD kFrameMs = 16;
constexpr float kFrameSeconds = 0.016f;
constexpr int kWarmUpFrames = 3;

// ---- The scene --------------------------------------------------------------------------
// 2-unit crates in 17 columns (x = -17 .. 17) and in rows in front of the
// player (z = 9 .. 17) and behind (z = -17 .. -7), clear of the player
// cube and the starting crates; layers from the ground (y = -5) up.
constexpr int kColumns = 17;
const float kRowZ[] = {9.0f, 11.0f, 13.0f, 15.0f, -17.0f, -15.0f, -13.0f, -11.0f, -9.0f};
constexpr int kRows = int(sizeof kRowZ / sizeof kRowZ[0]);
constexpr int kPerLayer = kColumns * kRows;
constexpr float kCrateSize = 2.0f;
constexpr float kGroundTop = -5.0f;
// Falling crates start this far above the stack and are lifted back before
// they can reach it (a 1.5 s fall covers 11.25 units).
constexpr float kFallStartAbove = 20.0f;
constexpr int kLiftEveryFrames = 96;

struct Scene {
    int crates = 0;
    int movingPercent = 0;
};

struct Falling {
    uint32_t index;
    float x, y, z;
};

float cellX(int i) { return -17.0f + kCrateSize * float(i % kColumns); }
float cellZ(int i) { return kRowZ[(i / kColumns) % kRows]; }

// Adds the scene's crates to the running game; the falling ones are noted.
bool addCrates(const Scene& scene, std::vector<Falling>& falling)
{
    int moving = scene.crates * scene.movingPercent / 100;
    int resting = scene.crates - moving;
    for (int i = 0; i < resting; ++i)
        if (!addBox(g_device, cellX(i), kGroundTop + kCrateSize * float(i / kPerLayer), cellZ(i), kCrateSize,
                    kCrateSize, kCrateSize))
            return false;
    float stackTop = kGroundTop + kCrateSize * float((resting + kPerLayer - 1) / kPerLayer);
    for (int i = 0; i < moving; ++i) {
        Falling f = {g_boxes.count(), cellX(i), stackTop + kFallStartAbove + kCrateSize * float(i / kPerLayer),
                     cellZ(i)};
        if (!addBox(g_device, f.x, f.y, f.z, kCrateSize, kCrateSize, kCrateSize))
            return false;
        falling.push_back(f);
    }
    return true;
}

void liftFalling(const std::vector<Falling>& falling)
{
    for (const Falling& f : falling) {
        Box& box = g_boxes.at(f.index);
        box.velocity = Vec3(0.0f, 0.0f, 0.0f);
        box.setPosition(f.x, f.y, f.z);
    }
}

// ---- Measuring --------------------------------------------------------------------------
double threadCpuMs(clockid_t clock)
{
    timespec t = {};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// CPU time of every thread of the process: the game's, Mesa's driver
// thread and llvmpipe's rasterisers.
double processCpuMs()
{
    timespec t = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double>& values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

double loadAverage()
{
    double load[1] = {};
    return getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

long residentKilobytes()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::atol(line + 6);
    std::fclose(status);
    return kb;
}

// A game started on the off-screen renderer, its crates added and warmed up.
struct Game {
    testctl::ProgramRunner runner{WinMain};
    std::vector<Falling> falling;
    clockid_t gameThreadClock = CLOCK_THREAD_CPUTIME_ID;

    bool start(const Scene& scene)
    {
        testctl::useOffscreenOpenGL();
        testctl::captureMessageBoxes();
        runner.start();
        if (runner.ended() || !g_device)
            return false;
        runner.onProgramThread([this] { pthread_getcpuclockid(pthread_self(), &gameThreadClock); });
        if (!addCrates(scene, falling))
            return false;
        liftFalling(falling);
        return runner.frames(kWarmUpFrames, kFrameMs);
    }

    // One frame, until OpenGL has drawn it.
    bool frame()
    {
        bool running = runner.frame(kFrameMs);
        runner.onProgramThread([] { testctl::finishDevice(g_device); });
        return running;
    }
};

struct Way {
    const char* name;
    bool referencePhysics;
    bool copyingDraws;
};
const Way kOldWay = {"old", true, true};
const Way kNewWay = {"new", false, false};

void wholeFrame(benchmark::State& state, Scene scene, Way way, int physicsSteps)
{
    usePhysicsStep(way.referencePhysics);
    testctl::RendererOptions options;
    options.residentBuffers = !way.copyingDraws;
    testctl::setRendererOptions(options);
    {
        Game game;
        if (!game.start(scene)) {
            state.SkipWithError("the game did not start or its crates were refused");
            return;
        }
        std::vector<double> frameMs, cpuMs, processMs, physicsMs;
        frameMs.reserve(size_t(state.max_iterations));
        cpuMs.reserve(size_t(state.max_iterations));
        processMs.reserve(size_t(state.max_iterations));
        int frames = 0;
        for (auto _ : state) {
            if (++frames % kLiftEveryFrames == 0)
                liftFalling(game.falling);
            double cpu0 = threadCpuMs(game.gameThreadClock);
            double process0 = processCpuMs();
            auto t0 = std::chrono::steady_clock::now();
            if (!game.frame()) {
                state.SkipWithError("the game ended");
                break;
            }
            auto t1 = std::chrono::steady_clock::now();
            double wall = std::chrono::duration<double, std::milli>(t1 - t0).count();
            state.SetIterationTime(wall / 1e3);
            frameMs.push_back(wall);
            cpuMs.push_back(threadCpuMs(game.gameThreadClock) - cpu0);
            processMs.push_back(processCpuMs() - process0);
        }
        // The program waits between frames: its state is ours to step.
        for (int i = 0; i < physicsSteps; ++i) {
            auto t0 = std::chrono::steady_clock::now();
            advancePhysics(kFrameSeconds);
            physicsMs.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        double frame = median(frameMs);
        state.counters["boxes"] = double(g_boxes.count());
        state.counters["frame_ms"] = frame;
        state.counters["fps"] = frame > 0.0 ? 1e3 / frame : 0.0;
        state.counters["cpu_ms"] = median(cpuMs);
        state.counters["process_cpu_ms"] = median(processMs);
        state.counters["physics_ms"] = median(physicsMs);
        state.counters["load"] = loadAverage();
        state.counters["broad_phase"] = !way.referencePhysics;
        state.SetLabel(way.name);
        game.runner.quit();
    }
    testctl::setRendererOptions(testctl::RendererOptions());
    usePhysicsStep(true);
}

// Frames and physics steps per row: the old way's physics takes seconds a
// frame at 10,000 crates.
struct Plan {
    int crates;
    int oldFrames, newFrames;
    int oldPhysics, newPhysics;
};
const Plan kPlans[] = {
    {0, 300, 300, 50, 50},
    {1000, 60, 200, 20, 50},
    {3000, 15, 100, 5, 50},
    {10000, 3, 60, 2, 20},
};

void registerAll()
{
    for (const Plan& p : kPlans)
        for (int moving : {0, 5}) {
            if (p.crates == 0 && moving)
                continue;
            for (const Way& way : {kOldWay, kNewWay}) {
                bool old = way.referencePhysics;
                char name[64];
                std::snprintf(name, sizeof name, "WholeFrame/%d/moving:%d/%s", p.crates, moving, way.name);
                Scene scene = {p.crates, moving};
                int physics = old ? p.oldPhysics : p.newPhysics;
                benchmark::RegisterBenchmark(name, [scene, way, physics](benchmark::State& s) {
                    wholeFrame(s, scene, way, physics);
                })
                    ->Iterations(old ? p.oldFrames : p.newFrames)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
}

// Starts the game with this many crates (the new way), runs a few frames
// and prints the process's resident memory; one scene per process.
int printMemory(int crates)
{
    Game game;
    Scene scene = {crates, 0};
    if (!game.start(scene) || !game.runner.frames(10, kFrameMs))
        return 1;
    std::printf("{\"crates\": %d, \"boxes\": %u, \"rss_kb\": %ld}\n", crates, g_boxes.count(), residentKilobytes());
    game.runner.quit();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef QUADRILL_SOURCE_DIR
    // The game loads textures/ from the working folder.
    if (chdir(QUADRILL_SOURCE_DIR) != 0)
        std::fprintf(stderr, "cannot enter %s: textures will be missing\n", QUADRILL_SOURCE_DIR);
#endif
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
        return printMemory(std::atoi(argv[2]));
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
