// frame_render.cpp: the draws of a frame.
//
// Nothing here sets a render state, sampler state or transform: scene set-up
// set those once, and the control mode sets the view each frame. Boxes are
// drawn with the identity world transform, their vertices being world
// coordinates.
#include "render/frame_render.h"

#include "app/fullscreen.h"
#include "app/game_state.h"

namespace {

constexpr D3DCOLOR kClearColour = 0xFFFFFFFF;
constexpr float kClearDepth = 1.0f;
constexpr UINT kVertexStride = sizeof(BoxVertex);

void drawMesh(IDirect3DVertexBuffer9* vertices)
{
    g_device->SetStreamSource(0, vertices, 0, kVertexStride);
    g_device->SetFVF(kBoxVertexFvf);
    g_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kBoxTriangleCount);
}

void drawShadow(const Box& box)
{
    g_device->SetTexture(0, nullptr);
    g_device->SetMaterial(&g_shadowMaterial);
    g_device->SetStreamSource(0, box.shadowVertexBuffer, 0, kVertexStride);
    g_device->SetFVF(kBoxVertexFvf);
    g_device->SetIndices(box.shadowIndexBuffer);
    g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kSlabVertexCount, 0, kBoxTriangleCount);
}

void drawListedBox(uint32_t index)
{
    const Box& box = g_boxes.at(index);
    if (g_shadowsEnabled && box.castsShadow)
        drawShadow(box);
    // The player cube and the walls are brick; crates from their index on.
    g_device->SetMaterial(&g_defaultMaterial);
    g_device->SetTexture(0, g_brickTexture);
    if (index >= kFirstCrateIndex) {
        g_device->SetMaterial(&g_crateMaterial);
        g_device->SetTexture(0, g_crateTexture);
    }
    g_device->SetFVF(kBoxVertexFvf);
    g_device->SetStreamSource(0, box.vertexBuffer, 0, kVertexStride);
    g_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kBoxTriangleCount);
}

} // namespace

bool renderFrame()
{
    if (!g_device)
        return false;
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, kClearDepth, 0);
    g_device->BeginScene();

    g_device->SetTexture(0, nullptr);
    g_device->SetMaterial(&g_defaultMaterial);
    drawMesh(g_aimer.vertexBuffer);

    g_device->SetTexture(0, g_groundTexture);
    drawMesh(g_ground.vertexBuffer);

    g_device->SetTexture(0, nullptr);
    if (!g_boxes.isEmpty())
        for (uint32_t i = 0; i < g_boxes.count(); ++i)
            drawListedBox(i);

    g_device->EndScene();
    g_device->Present(nullptr, presentDestination(), nullptr, nullptr);
    return true;
}
