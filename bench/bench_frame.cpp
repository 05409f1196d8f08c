// bench_frame.cpp: one frame's drawing (renderFrame: clear, every draw,
// present), physics aside, of the starting arena and of the arena with
// thousands of crates, on the OpenGL renderer (off-screen; with
// --headless, the recording renderer instead), from vertex buffers kept in
// OpenGL and the old way, copying every draw.
//
//   bench_frame [--headless] [benchmark flags]
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench_support.h"
#include "render/frame_render.h"

namespace {

bool g_openGL = true;

// The second argument: 1 draws from vertex buffers kept in OpenGL, 0 copies
// every draw's vertices (the old way).
void BM_RenderFrame(benchmark::State& state)
{
    testctl::RendererOptions options;
    options.residentBuffers = state.range(1) != 0;
    if (!bench::makeDevice(g_openGL, options) || !bench::makeArena(int(state.range(0)))) {
        state.SkipWithError("no device or arena");
        return;
    }
    for (auto _ : state)
        renderFrame();
    state.counters["boxes"] = double(g_boxes.count());
    state.SetLabel(g_openGL ? (state.range(1) ? "opengl resident" : "opengl copying") : "headless");
}
BENCHMARK(BM_RenderFrame)
    ->ArgsProduct({{0, 1000, 5000, 10000}, {0, 1}})
    ->ArgNames({"crates", "resident"})
    ->Unit(benchmark::kMillisecond);

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
