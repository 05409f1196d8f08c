// renderer_headless.cpp: a renderer without a display. It draws nothing:
// each clear, draw and present goes, with the state bound at that moment,
// to whatever the test seams name (the test controls' draw log), so tests
// can check what was drawn with what.
#include "common/test_seams.h"
#include "d3d9/device.h"

namespace {

bool create(Device&, HostWindow*, const RendererOptions&) { return true; }
void destroy(Device&) {}

void clear(Device&, DWORD flags, D3DCOLOR color, float z, DWORD)
{
    if (auto seen = testSeams().headlessClear)
        seen(flags, color, z);
}

void draw(Device& device, const DrawCall& call)
{
    if (auto seen = testSeams().headlessDraw)
        seen(device.state, call);
}

void present(Device&, const RECT* destination)
{
    if (auto seen = testSeams().headlessPresent)
        seen(destination);
}

bool createTexture(Device&, Texture&) { return true; }
void updateTexture(Device&, Texture&, UINT) {}
void destroyTexture(Device&, Texture&) {}
void destroyBuffer(Device&, BufferData&) {}

} // namespace

const RendererBackend kHeadlessRenderer = {
    "headless", create, destroy, clear, draw, present, createTexture, updateTexture, destroyTexture, destroyBuffer,
};
