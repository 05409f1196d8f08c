// The starting arena and what one frame draws, through the real WinMain on
// the recording device.
#include <gtest/gtest.h>

#include <vector>

#include "support/game_fixture.h"
#include "support/value_printers.h"

namespace {

void expectColour(const D3DCOLORVALUE& c, float r, float g, float b, float a)
{
    EXPECT_EQ(c.r, r);
    EXPECT_EQ(c.g, g);
    EXPECT_EQ(c.b, b);
    EXPECT_EQ(c.a, a);
}

using SceneTest = GameTest;

TEST_F(SceneTest, TheArenaHoldsTenBoxesInTheirPlaces)
{
    ASSERT_EQ(g_boxes.count(), 10u);
    EXPECT_VEC3_EQ(g_boxes.at(0).position, Vec3(0, 0, 0));
    EXPECT_EQ(g_player.cube, &g_boxes.at(0));
    EXPECT_EQ(g_player.camera, &g_camera);
    EXPECT_EQ(g_player.walkSpeed, 5.0f);
    EXPECT_EQ(g_player.jumpSpeed, 7.5f);

    EXPECT_VEC3_EQ(g_boxes.at(1).position, Vec3(-20, -5, -20));
    EXPECT_VEC3_EQ(g_boxes.at(2).position, Vec3(-20, -5, 18));
    EXPECT_VEC3_EQ(g_boxes.at(3).position, Vec3(-20, -5, -18));
    EXPECT_VEC3_EQ(g_boxes.at(4).position, Vec3(18, -5, -18));
    for (uint32_t i = 1; i <= 4; ++i)
        EXPECT_EQ(g_boxes.at(i).textureScale, 7.8125f);

    EXPECT_EQ(g_boxes.at(5).position.x, -13.2f);
    for (uint32_t i = 5; i < 9; ++i)
        EXPECT_EQ(g_boxes.at(i).position.x + g_boxes.at(i).size.x, g_boxes.at(i + 1).position.x);
    for (uint32_t i = 5; i <= 9; ++i) {
        EXPECT_EQ(g_boxes.at(i).position.y, -5.0f);
        EXPECT_EQ(g_boxes.at(i).position.z, 5.0f);
    }

    for (uint32_t i = 0; i < g_boxes.count(); ++i) {
        EXPECT_NE(&g_boxes.at(i), &g_aimer);
        EXPECT_NE(&g_boxes.at(i), &g_ground);
    }
    EXPECT_VEC3_EQ(g_ground.position, Vec3(-20, -10, -20));
    EXPECT_EQ(g_ground.textureScale, 40.0f / 3.0f);
    EXPECT_EQ(g_aimer.size.x, 0.05f);
}

TEST_F(SceneTest, CameraLightsMaterialsAndStatesAreSetOnTheDevice)
{
    EXPECT_VEC3_EQ(g_camera.eye, Vec3(0, 0, -5));
    EXPECT_VEC3_EQ(g_camera.target, Vec3(0, 0, 1));

    D3DLIGHT9 spot;
    ASSERT_EQ(g_device->GetLight(1, &spot), D3D_OK);
    EXPECT_EQ(spot.Type, D3DLIGHT_SPOT);
    EXPECT_EQ(spot.Direction.z, 1.0f);
    EXPECT_EQ(spot.Direction.x, 0.0f);
    EXPECT_EQ(spot.Theta, 0.5f);
    EXPECT_EQ(spot.Phi, 1.0f);
    expectColour(spot.Ambient, 0, 0, 0.5f, 0.5f);
    D3DLIGHT9 point;
    ASSERT_EQ(g_device->GetLight(0, &point), D3D_OK);
    EXPECT_EQ(point.Type, D3DLIGHT_POINT);
    EXPECT_EQ(point.Position.y, 5.0f);
    EXPECT_EQ(point.Attenuation1, 0.1f);
    EXPECT_EQ(point.Range, 100.0f);
    expectColour(point.Specular, 0.5f, 0.5f, 0.5f, 0.5f);

    expectColour(g_crateMaterial.Specular, 0.1f, 0.1f, 0.1f, 0.1f);
    expectColour(g_defaultMaterial.Diffuse, 0, 0, 0, 0);
    expectColour(g_defaultMaterial.Ambient, 1, 1, 1, 1);
    expectColour(g_shadowMaterial.Emissive, 0, 0, 0, 1);

    DWORD value = 0;
    g_device->GetRenderState(D3DRS_NORMALIZENORMALS, &value);
    EXPECT_EQ(value, DWORD(TRUE));
    g_device->GetRenderState(D3DRS_SPECULARENABLE, &value);
    EXPECT_EQ(value, DWORD(TRUE));
    g_device->GetSamplerState(0, D3DSAMP_MIPFILTER, &value);
    EXPECT_EQ(value, DWORD(D3DTEXF_LINEAR));

    D3DMATRIX projection;
    g_device->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_FLOAT_EQ(projection._22 / projection._11, 4.0f / 3.0f);
    EXPECT_EQ(projection._34, 1.0f);
}

struct Expected {
    bool indexed;
    IDirect3DBaseTexture9* texture;
    const D3DMATERIAL9* material;
    IDirect3DVertexBuffer9* stream;
};

std::vector<testctl::DrawRecord> drawsOfLastFrame()
{
    const testctl::DrawLog& log = testctl::drawLog();
    std::vector<testctl::DrawRecord> last;
    for (const testctl::DrawRecord& r : log.draws)
        if (r.frame + 1 == log.presents)
            last.push_back(r);
    return last;
}

void expectDraws(const std::vector<Expected>& expected)
{
    std::vector<testctl::DrawRecord> draws = drawsOfLastFrame();
    ASSERT_EQ(draws.size(), expected.size());
    for (size_t i = 0; i < draws.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(draws[i].call.indexed, expected[i].indexed);
        EXPECT_EQ(draws[i].texture, expected[i].texture);
        EXPECT_EQ(memcmp(&draws[i].material, expected[i].material, sizeof(D3DMATERIAL9)), 0);
        EXPECT_EQ(draws[i].stream, expected[i].stream);
        EXPECT_EQ(draws[i].fvf, 274u);
        EXPECT_EQ(draws[i].streamStride, 32u);
        EXPECT_EQ(draws[i].call.primitiveCount, 12u);
    }
}

std::vector<Expected> expectedFrame(bool shadows)
{
    std::vector<Expected> e;
    e.push_back({false, nullptr, &g_defaultMaterial, g_aimer.vertexBuffer});
    e.push_back({false, g_groundTexture, &g_defaultMaterial, g_ground.vertexBuffer});
    for (uint32_t i = 0; i < g_boxes.count(); ++i) {
        const Box& box = g_boxes.at(i);
        if (shadows)
            e.push_back({true, nullptr, &g_shadowMaterial, box.shadowVertexBuffer});
        bool crate = i >= 5;
        e.push_back({false, crate ? g_crateTexture : g_brickTexture, crate ? &g_crateMaterial : &g_defaultMaterial,
                     box.vertexBuffer});
    }
    return e;
}

TEST_F(SceneTest, AFrameDrawsMarkerGroundThenEachShadowAndBox)
{
    ASSERT_TRUE(frame());
    ASSERT_NE(g_brickTexture, nullptr);
    expectDraws(expectedFrame(true));
    const testctl::DrawLog& log = testctl::drawLog();
    EXPECT_EQ(log.lastClearColor, 0xFFFFFFFFu);
    EXPECT_EQ(log.lastClearFlags, DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
    EXPECT_EQ(log.lastClearZ, 1.0f);
}

TEST_F(SceneTest, EveryDrawUsesTheCamerasViewAndTheIdentityWorld)
{
    hold(VK_RIGHT);
    type('x');
    frames(3); // the free camera turns: the view changes every frame
    D3DXVECTOR3 eye = toD3DX(g_camera.eye), at = toD3DX(g_camera.target), up = toD3DX(g_camera.up);
    D3DXMATRIX expected;
    D3DXMatrixLookAtLH(&expected, &eye, &at, &up);
    std::vector<testctl::DrawRecord> draws = drawsOfLastFrame();
    ASSERT_FALSE(draws.empty());
    for (const testctl::DrawRecord& r : draws) {
        EXPECT_MATRIX_EQ(r.view, expected);
        EXPECT_EQ(r.world._11, 1.0f);
        EXPECT_EQ(r.world._41, 0.0f);
        EXPECT_EQ(r.projection._34, 1.0f);
    }
}

TEST_F(SceneTest, WithShadowsOffNoSlabIsDrawn)
{
    type('z');
    ASSERT_TRUE(frame());
    expectDraws(expectedFrame(false));
    type('z');
    ASSERT_TRUE(frame());
    expectDraws(expectedFrame(true));
}

TEST_F(SceneTest, FewerThanSixBoxesShowNoCrateAndAnEmptyListStillDraws)
{
    while (g_boxes.count() > 5)
        g_boxes.removeLast();
    ASSERT_TRUE(frame());
    expectDraws(expectedFrame(true));
    for (const testctl::DrawRecord& r : drawsOfLastFrame())
        EXPECT_NE(r.texture, g_crateTexture);

    while (!g_boxes.isEmpty())
        g_boxes.removeLast();
    g_player.cube = &g_aimer; // the control mode needs a cube to steer
    ASSERT_TRUE(frame());
    expectDraws(expectedFrame(true));
    EXPECT_EQ(drawsOfLastFrame().size(), 2u);
}

TEST_F(SceneTest, TheSpotLightFollowsTheCameraAndTheLightKeysSwitchLights)
{
    frames(3);
    D3DLIGHT9 spot;
    g_device->GetLight(1, &spot);
    EXPECT_EQ(spot.Position.x, g_camera.eye.x);
    EXPECT_EQ(spot.Position.y, g_camera.eye.y);
    BOOL on = FALSE;
    g_device->GetLightEnable(0, &on);
    EXPECT_TRUE(on);
    type('n');
    type('m');
    frame();
    g_device->GetLightEnable(0, &on);
    EXPECT_FALSE(on);
    g_device->GetLightEnable(1, &on);
    EXPECT_FALSE(on);
    type('N'); // upper case does nothing
    frame();
    g_device->GetLightEnable(0, &on);
    EXPECT_FALSE(on);
}

} // namespace
