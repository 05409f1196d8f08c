// bench_physics.cpp: one frame's physics (advancePhysics: gravity, the
// contact step, the moves and their mesh rebuilds) with crates resting in
// layers in the arena, on the recording device, with the broad-phase step
// and the reference step in the same run; and the same frame with one fast
// crate added, falling far below the ground or into the stack.
#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "bench_support.h"
#include "physics/contact.h"
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

// The arena plus state.range(0) crates thrown over the wall, as fast as the
// game allows one after another, the last of them state.range(1) minutes of
// game time ago: a long game's crates, falling outside the walls where they
// can meet nothing, each in a column of its own. Their cost must not grow
// with how long they have fallen. The run adds a few seconds of fall to
// minutes, so they are left to fall on. state.range(2) crates rest in the
// arena meanwhile.
void BM_PhysicsFrameCratesFallingForMinutes(benchmark::State& state)
{
    g_physicsStepMethod = PhysicsStepMethod::BroadPhase;
    if (!bench::makeDevice(false) || !bench::makeArena(int(state.range(2)))) {
        state.SkipWithError("no arena");
        return;
    }
    constexpr float kSecondsBetweenThrows = 0.1f;
    constexpr int kColumnsPerRow = 32;
    constexpr float kColumnSpacing = 3.0f;
    for (int i = 0; i < int(state.range(0)); ++i) {
        const float seconds = 60.0f * float(state.range(1)) + kSecondsBetweenThrows * float(i);
        const float x = -48.0f + kColumnSpacing * float(i % kColumnsPerRow);
        const float z = 30.0f + kColumnSpacing * float(i / kColumnsPerRow);
        if (!addBox(g_device, x, -5.0f - 0.5f * kGravity * seconds * seconds, z, 2.0f, 2.0f, 2.0f)) {
            state.SkipWithError("no crate");
            return;
        }
        g_boxes.last().velocity = Vec3(0.0f, -kGravity * seconds, 0.0f);
    }
    for (auto _ : state)
        advancePhysics(kFrameSeconds);
    state.counters["boxes"] = double(g_boxes.count());
}
BENCHMARK(BM_PhysicsFrameCratesFallingForMinutes)
    ->ArgsProduct({{1000}, {1, 10, 60}, {0}})
    ->Args({1000, 60, 3000})
    ->Unit(benchmark::kMillisecond);

} // namespace
