// draw_log.cpp: the headless renderer's clears, draws and presents, kept
// for the tests to read.
#include "draw_log.h"

#include "common/test_seams.h"
#include "d3d9/device.h"
#include "test_controls.h"

namespace testctl {

namespace {

DrawLog g_log;

void onClear(DWORD flags, DWORD color, float z)
{
    g_log.lastClearFlags = flags;
    g_log.lastClearColor = color;
    g_log.lastClearZ = z;
}

void onDraw(const DeviceState& s, const DrawCall& call)
{
    if (!g_log.recording)
        return;
    DrawRecord r = {};
    r.call.type = call.type;
    r.call.indexed = call.indexed;
    r.call.startVertex = call.startVertex;
    r.call.primitiveCount = call.primitiveCount;
    r.call.baseVertexIndex = call.baseVertexIndex;
    r.call.minVertexIndex = call.minVertexIndex;
    r.call.numVertices = call.numVertices;
    r.call.startIndex = call.startIndex;
    r.material = s.material;
    r.texture = s.texture;
    r.stream = s.stream;
    r.streamOffset = s.streamOffset;
    r.streamStride = s.streamStride;
    r.indices = s.indices;
    r.fvf = s.fvf;
    r.world = s.world;
    r.view = s.view;
    r.projection = s.projection;
    r.frame = g_log.presents;
    g_log.draws.push_back(r);
}

void onPresent(const RECT* destination)
{
    ++g_log.presents;
    g_log.lastPresentDestination = destination ? *destination : RECT{0, 0, 0, 0};
}

} // namespace

DrawLog& drawLog() { return g_log; }

void recordHeadlessDraws()
{
    TestSeams& seams = testSeams();
    seams.headlessClear = onClear;
    seams.headlessDraw = onDraw;
    seams.headlessPresent = onPresent;
}

void resetDrawLog() { g_log = DrawLog(); }

} // namespace testctl
