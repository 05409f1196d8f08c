// bench_support.h: the game's device and arena for benchmarks, without WinMain.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "app/device_creation.h"
#include "app/game_state.h"
#include "app/scene_setup.h"
#include "app/shutdown.h"
#include "test_controls.h"

namespace bench {

// The game's back buffer.
constexpr UINT kBenchWidth = 800;
constexpr UINT kBenchHeight = 600;

// A window and the game's device on the chosen platform, made once per
// process (a benchmark function runs several times) and made again, with
// whatever was made on it, when the renderer's options change: they reach
// a renderer when its device is created. False when the device cannot be
// made (no OpenGL here, for example).
inline bool makeDevice(bool openGL, const testctl::RendererOptions& options = testctl::RendererOptions())
{
    static int made = 0; // 0 untried, 1 made, -1 failed
    static HWND window = nullptr;
    static testctl::RendererOptions madeWith;
    const bool sameOptions = madeWith.batching == options.batching && madeWith.clipControl == options.clipControl &&
                             madeWith.residentBuffers == options.residentBuffers;
    if (made == -1 || (made == 1 && sameOptions))
        return made == 1;
    if (made == 1)
        shutdown(); // the arena and the device go; the window stays
    made = -1;
    if (!window) {
        if (openGL)
            testctl::useOffscreenOpenGL();
        else
            testctl::useHeadless();
        testctl::captureMessageBoxes();
        testctl::drawLog().recording = false;
        window = testctl::createTestWindow("bench");
    }
    testctl::setRendererOptions(options);
    madeWith = options;
    if (!window || !createDevice(&g_device, window, kBenchWidth, kBenchHeight))
        return false;
    made = 1;
    return true;
}

// The starting arena plus `crates` crates resting in layers on the ground,
// one 2x2x2 cell each, filling the square inside the walls row by row.
inline bool makeArena(int crates)
{
    while (!g_boxes.isEmpty())
        g_boxes.removeLast();
    g_aimer.release();
    g_ground.release();
    g_shadowsEnabled = true;
    g_pointLightEnabled = g_spotLightEnabled = true;
    g_collisionType = CollisionType::Stop;
    if (!setupScene())
        return false;
    const int perRow = 17; // 2-unit cells from x = -17 to 17
    for (int i = 0; i < crates; ++i) {
        int column = i % perRow;
        int row = (i / perRow) % perRow;
        int layer = i / (perRow * perRow);
        float x = -17.0f + 2.0f * float(column);
        float z = -17.0f + 2.0f * float(row);
        float y = -5.0f + 2.0f * float(layer);
        if (!addBox(g_device, x, y, z, 2.0f, 2.0f, 2.0f))
            return false;
    }
    return true;
}

} // namespace bench
