// bench_boxes.cpp: the cost of writing box vertices: one rebuildMesh, and a
// moveBy pass over 10,000 boxes, on the recording device.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench_support.h"

namespace {

constexpr int kPassBoxes = 10000;

void BM_RebuildMesh(benchmark::State& state)
{
    if (!bench::makeDevice(false)) {
        state.SkipWithError("no device");
        return;
    }
    Box box;
    box.create(g_device, 0, 0, 0, 2, 2, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(box.rebuildMesh());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RebuildMesh);

void BM_MoveByPass(benchmark::State& state)
{
    if (!bench::makeDevice(false)) {
        state.SkipWithError("no device");
        return;
    }
    std::vector<std::unique_ptr<Box>> boxes;
    for (int i = 0; i < kPassBoxes; ++i) {
        boxes.emplace_back(new Box());
        boxes.back()->create(g_device, float(i % 100), 0, float(i / 100), 2, 2, 2);
    }
    for (auto _ : state)
        for (auto& box : boxes)
            box->moveBy(0.001f, 0.0f, 0.0f);
    state.SetItemsProcessed(state.iterations() * kPassBoxes);
}
BENCHMARK(BM_MoveByPass)->Unit(benchmark::kMicrosecond);

} // namespace
