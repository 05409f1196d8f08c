// bench_saved_arena.cpp: saving and loading an arena of 10,000 crates, as
// F5 and F9 do: the whole text built and read back, written to a
// temporary file, flushed to the disk and renamed over the save (with the
// save before kept as the backup); and the file read, checked in full and
// every box given its values (made, with its buffers, when the arena did not
// have it yet). On the recording device, or the
// OpenGL one off-screen with QUADRILL_BENCH_OPENGL=1.
//
// Reported: the wall time of one save and one load (they wait on the disk),
// and the file's size.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "bench_support.h"
#include "save/arena_file.h"

namespace {

constexpr int kCrates = 10000;

bool useOpenGL()
{
    const char* value = getenv("QUADRILL_BENCH_OPENGL");
    return value && *value == '1';
}

const char* const kFileNames[] = {"quicksave.arena", "quicksave-previous.arena", "load.arena"};

// A folder of the run's own for the files, emptied and removed at the end.
struct BenchFolder {
    std::string path;
    BenchFolder()
    {
        const char* base = getenv("TMPDIR");
        path = std::string(base && *base ? base : "/tmp") + "/quadrill-bench-XXXXXX";
        if (!mkdtemp(&path[0]))
            path = ".";
    }
    ~BenchFolder()
    {
        if (path == ".")
            return;
        for (const char* name : kFileNames)
            unlink((path + "/" + name).c_str());
        rmdir(path.c_str());
    }
};

std::string benchFolder()
{
    static BenchFolder folder;
    return folder.path;
}

bool prepare(benchmark::State& state)
{
    if (!bench::makeDevice(useOpenGL()) || !bench::makeArena(kCrates)) {
        state.SkipWithError("no device or arena");
        return false;
    }
    return true;
}

void reportSize(benchmark::State& state, const std::string& path)
{
    struct stat info = {};
    stat(path.c_str(), &info);
    state.counters["file_bytes"] = double(info.st_size);
    state.counters["boxes"] = double(g_boxes.count());
}

void BM_SaveArena(benchmark::State& state)
{
    if (!prepare(state))
        return;
    const std::string path = benchFolder() + "/quicksave.arena";
    const std::string previous = benchFolder() + "/quicksave-previous.arena";
    size_t boxes = 0;
    std::string reason;
    for (auto _ : state)
        if (!saveGameArena(path, &previous, boxes, reason)) {
            state.SkipWithError(reason.c_str());
            return;
        }
    reportSize(state, path);
}
BENCHMARK(BM_SaveArena)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadArena(benchmark::State& state)
{
    if (!prepare(state))
        return;
    const std::string path = benchFolder() + "/load.arena";
    size_t boxes = 0;
    std::string reason;
    if (!saveGameArena(path, nullptr, boxes, reason)) {
        state.SkipWithError(reason.c_str());
        return;
    }
    const bool fresh = state.range(0) != 0;
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            bench::makeArena(0);
            state.ResumeTiming();
        }
        if (!loadGameArena(path, boxes, reason)) {
            state.SkipWithError(reason.c_str());
            return;
        }
    }
    reportSize(state, path);
}
// 0: into the same arena, as F9 after F5 (the boxes are there already);
// 1: into the start arena, as --load (every crate is made).
BENCHMARK(BM_LoadArena)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
