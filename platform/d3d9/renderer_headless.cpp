// renderer_headless.cpp: a renderer without a display that records draws.
#include "d3d9/renderer_headless.h"

namespace {

bool create(Device&, SDL_Window*) { return true; }
void destroy(Device&) {}

void clear(Device&, DWORD flags, D3DCOLOR color, float z, DWORD)
{
    HeadlessLog& log = headlessLog();
    log.lastClearFlags = flags;
    log.lastClearColor = color;
    log.lastClearZ = z;
}

void draw(Device& device, const DrawCall& call)
{
    HeadlessLog& log = headlessLog();
    if (!log.recording)
        return;
    const DeviceState& s = device.state;
    DrawRecord r;
    r.call = call;
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
    r.frame = log.presents;
    log.draws.push_back(r);
}

void present(Device&, const RECT* destination)
{
    HeadlessLog& log = headlessLog();
    ++log.presents;
    log.lastPresentDestination = destination ? *destination : RECT{0, 0, 0, 0};
}

bool createTexture(Device&, Texture&, const uint8_t*) { return true; }
void destroyTexture(Device&, Texture&) {}
void destroyBuffer(Device&, BufferData&) {}

} // namespace

HeadlessLog& headlessLog()
{
    static HeadlessLog log;
    return log;
}

const RendererBackend kHeadlessRenderer = {
    "headless", create, destroy, clear, draw, present, createTexture, destroyTexture, destroyBuffer,
};
