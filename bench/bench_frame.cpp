// bench_frame.cpp: one frame's drawing (renderFrame: clear, every draw,
// present), physics aside, of the starting arena and of the arena with
// thousands of crates, on the OpenGL renderer (off-screen; with
// --headless, the recording renderer instead).
//
//   bench_frame [--headless] [benchmark flags]
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_support.h"
#include "render/frame_render.h"

namespace {

bool g_openGL = true;

void BM_RenderFrame(benchmark::State& state)
{
    if (!bench::makeDevice(g_openGL) || !bench::makeArena(int(state.range(0)))) {
        state.SkipWithError("no device or arena");
        return;
    }
    for (auto _ : state)
        renderFrame();
    state.counters["boxes"] = double(g_boxes.count());
    state.SetLabel(g_openGL ? "opengl" : "headless");
}
BENCHMARK(BM_RenderFrame)->Arg(0)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            g_openGL = false;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
