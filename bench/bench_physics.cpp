// bench_physics.cpp: one frame's physics (advancePhysics: gravity, the
// contact step, the moves and their mesh rebuilds) with crates resting in
// layers in the arena, on the recording device, with the broad-phase step
// and the reference step in the same run; and the same frame with one fast
// crate added, falling far below the ground or into the stack.
#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "bench_support.h"
#include "physics/physics_step.h"

namespace {

constexpr float kFrameSeconds = 0.016f;

const char* methodName(PhysicsStepMethod m) { return m == PhysicsStepMethod::Reference ? "reference" : "broad phase"; }

// state.range(0) crates, state.range(1) the step (0 broad phase, 1 reference).
bool setUp(benchmark::State& state)
{
    g_physicsStepMethod = state.range(1) ? PhysicsStepMethod::Reference : PhysicsStepMethod::BroadPhase;
    if (!bench::makeDevice(false) || !bench::makeArena(int(state.range(0)))) {
        state.SkipWithError("no arena");
        return false;
    }
    state.SetLabel(methodName(g_physicsStepMethod));
    return true;
}

void BM_PhysicsFrame(benchmark::State& state)
{
    if (!setUp(state))
        return;
    for (auto _ : state)
        advancePhysics(kFrameSeconds);
    state.counters["boxes"] = double(g_boxes.count());
}
BENCHMARK(BM_PhysicsFrame)
    ->ArgsProduct({{0, 100, 1000, 3000}, {0, 1}})
    ->Args({10000, 0})
    ->Unit(benchmark::kMillisecond);

// One more crate falling at `speed`, put back at `y` before every frame.
void fastCrateFrames(benchmark::State& state, float y, float speed)
{
    if (!setUp(state) || !addBox(g_device, 0.0f, y, 0.0f, 2.0f, 2.0f, 2.0f))
        return;
    Box& crate = g_boxes.last();
    for (auto _ : state) {
        state.PauseTiming();
        crate.setPosition(0.0f, y, 0.0f);
        crate.velocity = Vec3(0.0f, -speed, 0.0f);
        state.ResumeTiming();
        advancePhysics(kFrameSeconds);
    }
    state.counters["boxes"] = double(g_boxes.count());
}

// Far below the ground, where it can meet nothing: an ordinary frame.
void BM_PhysicsFrameCrateFallingFarBelow(benchmark::State& state) { fastCrateFrames(state, -1.0e5f, 5000.0f); }
BENCHMARK(BM_PhysicsFrameCrateFallingFarBelow)->Args({3000, 0})->Unit(benchmark::kMillisecond);

// Inside the arena, three units above the stack (3,000 crates reach up to
// y = 17), about to land on it: the frame is split.
void BM_PhysicsFrameCrateFallingIntoTheStack(benchmark::State& state) { fastCrateFrames(state, 20.0f, 200.0f); }
BENCHMARK(BM_PhysicsFrameCrateFallingIntoTheStack)->Args({3000, 0})->Unit(benchmark::kMillisecond);

} // namespace
