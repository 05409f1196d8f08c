// bench_renderer.cpp: one frame of the game's drawing (marker, ground, and
// for each box a shadow slab then the box, every box's vertices rewritten)
// on the OpenGL renderer off-screen and on the headless recorder.
#include <benchmark/benchmark.h>

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <memory>
#include <vector>

#include "app/device_creation.h"
#include "app/game_state.h"
#include "game/arena.h"
#include "render/render_setup.h"
#include "test_controls.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTextureSize = 256;
constexpr int kColumns = 40;
constexpr int kRows = 25;

IDirect3DTexture9* makeTexture(IDirect3DDevice9* device, uint8_t tint)
{
    std::vector<uint8_t> rgba;
    rgba.reserve(size_t(kTextureSize) * kTextureSize * 4);
    for (int y = 0; y < kTextureSize; ++y)
        for (int x = 0; x < kTextureSize; ++x)
            rgba.insert(rgba.end(), {uint8_t(x ^ y), tint, uint8_t(x + y), 255});
    IDirect3DTexture9* t = nullptr;
    testctl::createTexture(device, kTextureSize, kTextureSize, rgba, &t);
    return t;
}

// The game's arena in miniature, drawn with the game's own camera start,
// view, projection, lights, materials and states (through g_device).
struct Arena {
    HWND window = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* brick = nullptr;
    IDirect3DTexture9* crate = nullptr;
    IDirect3DTexture9* ground = nullptr;
    std::unique_ptr<Box[]> boxes;
    int boxCount = 0;
    Box marker;
    Box floor;

    bool create(int count)
    {
        window = testctl::createTestWindow("bench");
        if (!window || !createDevice(&device, window, kWidth, kHeight))
            return false;
        brick = makeTexture(device, 60);
        crate = makeTexture(device, 160);
        ground = makeTexture(device, 220);
        g_device = device;
        placeCameraAtStart();
        setUpRendering();
        boxCount = count;
        boxes.reset(new Box[size_t(count)]);
        // A block of crates in front of the camera, stacked in layers going away.
        for (int i = 0; i < count; ++i) {
            float x = float(i % kColumns) - kColumns / 2.0f;
            float y = float((i / kColumns) % kRows) - 5.0f;
            float z = 5.0f + 1.5f * float(i / (kColumns * kRows));
            if (!boxes[i].create(device, x, y, z, 0.9f, 0.9f, 0.9f))
                return false;
        }
        return marker.create(device, 0.0f, 0.0f, 0.0f, 0.05f, 0.05f, 0.05f) &&
               floor.create(device, -20.0f, -10.0f, -20.0f, 40.0f, 5.0f, 40.0f);
    }

    void drawMesh(IDirect3DVertexBuffer9* vertices)
    {
        device->SetStreamSource(0, vertices, 0, sizeof(BoxVertex));
        device->SetFVF(kBoxVertexFvf);
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kBoxTriangleCount);
    }

    void frame()
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
        device->BeginScene();
        // The view is set every frame, as the control modes do.
        g_camera.applyView(device);
        device->SetTexture(0, nullptr);
        device->SetMaterial(&g_defaultMaterial);
        drawMesh(marker.vertexBuffer);
        device->SetTexture(0, ground);
        drawMesh(floor.vertexBuffer);
        device->SetTexture(0, nullptr);
        for (int i = 0; i < boxCount; ++i) {
            Box& box = boxes[i];
            box.rebuildMesh();
            device->SetTexture(0, nullptr);
            device->SetMaterial(&g_shadowMaterial);
            device->SetStreamSource(0, box.shadowVertexBuffer, 0, sizeof(BoxVertex));
            device->SetFVF(kBoxVertexFvf);
            device->SetIndices(box.shadowIndexBuffer);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kSlabVertexCount, 0, kBoxTriangleCount);
            bool isCrate = uint32_t(i) >= kFirstCrateIndex;
            device->SetMaterial(isCrate ? &g_crateMaterial : &g_defaultMaterial);
            device->SetTexture(0, isCrate ? crate : brick);
            drawMesh(box.vertexBuffer);
        }
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        // Count the drawing itself, not only handing it over.
        testctl::finishDevice(device);
    }

    void destroy()
    {
        boxes.reset();
        marker.release();
        floor.release();
        for (IDirect3DTexture9* t : {brick, crate, ground})
            if (t)
                t->Release();
        if (device) {
            device->SetTexture(0, nullptr);
            device->SetStreamSource(0, nullptr, 0, 0);
            device->SetIndices(nullptr);
            device->Release();
        }
        g_device = nullptr;
        if (window)
            DestroyWindow(window);
    }
};

void runFrames(benchmark::State& state)
{
    Arena arena;
    if (!arena.create(int(state.range(0)))) {
        state.SkipWithError("no device");
        arena.destroy();
        return;
    }
    arena.frame(); // warm-up: the renderer's buffers reach their size
    for (auto _ : state)
        arena.frame();
    state.counters["boxes"] = double(state.range(0));
    arena.destroy();
}

void BM_FrameOpenGL(benchmark::State& state)
{
    testctl::useOffscreenOpenGL();
    runFrames(state);
}

void BM_FrameOpenGLUnbatched(benchmark::State& state)
{
    testctl::useOffscreenOpenGL();
    testctl::RendererOptions unbatched;
    unbatched.batching = false;
    testctl::setRendererOptions(unbatched);
    runFrames(state);
    testctl::setRendererOptions(testctl::RendererOptions());
}

void BM_FrameHeadless(benchmark::State& state)
{
    testctl::useHeadless();
    testctl::drawLog().recording = false;
    runFrames(state);
}

constexpr int kRepetitions = 5;

} // namespace

BENCHMARK(BM_FrameOpenGL)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameOpenGLUnbatched)
    ->Arg(10)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameHeadless)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
