// shutdown.cpp: the closing message and the release of everything held.
#include "app/shutdown.h"

#include <cstdio>

#include "app/game_state.h"
#include "replay/recorder.h"
#include "replay/replay_session.h"

namespace {

template <typename Resource>
void releaseResource(Resource*& resource)
{
    if (resource)
        resource->Release();
    resource = nullptr;
}

} // namespace

bool shutdown()
{
    // A recording's last check, and a replay's check put off to the end,
    // see the boxes as the game left them.
    finishRecording();
    replaySession().runScheduled();

    char text[100];
    std::snprintf(text, sizeof text, "Box Count: %u", unsigned(g_boxes.count()));
    MessageBoxA(nullptr, text, "End", MB_OK);
    releaseGame();
    return true;
}

void releaseGame()
{
    while (!g_boxes.isEmpty())
        g_boxes.removeLast();
    g_aimer.release();
    // The ground and the textures go before the device, so that the device
    // is really gone here and not later, during static destruction.
    g_ground.release();
    releaseResource(g_crateTexture);
    releaseResource(g_groundTexture);
    releaseResource(g_brickTexture);
    releaseResource(g_device);
}
