// bench_physics.cpp: one frame's physics (gravity, the contact step and the
// mesh rebuild of every box) with crates resting in the arena, on the
// recording device. The step is quadratic in the number of boxes.
#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "bench_support.h"

namespace {

constexpr float kFrameSeconds = 0.016f;

void BM_PhysicsFrame(benchmark::State& state)
{
    if (!bench::makeDevice(false) || !bench::makeArena(int(state.range(0)))) {
        state.SkipWithError("no arena");
        return;
    }
    for (auto _ : state)
        advancePhysics(kFrameSeconds);
    state.counters["boxes"] = double(g_boxes.count());
}
BENCHMARK(BM_PhysicsFrame)->Arg(100)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

} // namespace
