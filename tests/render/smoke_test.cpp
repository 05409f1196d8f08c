// The OpenGL device on the off-screen driver: creation, Clear and read-back.
#include "render_support.h"

#include "test_controls.h"

namespace rt {
namespace {

using Smoke = RenderTest;

TEST_F(Smoke, ClearFillsTheWholeBackBufferWithTheColour)
{
    struct Case {
        D3DCOLOR colour;
        Rgb expected;
    };
    const Case cases[] = {
        {D3DCOLOR_XRGB(255, 255, 255), {255, 255, 255}},
        {D3DCOLOR_XRGB(255, 0, 0), {255, 0, 0}},
        {D3DCOLOR_XRGB(0, 0, 255), {0, 0, 255}},
        {D3DCOLOR_XRGB(0x12, 0x9A, 0xF0), {0x12, 0x9A, 0xF0}},
    };
    for (const Case& c : cases) {
        clear(c.colour);
        readBack();
        for (int y : {0, kHeight / 2, kHeight - 1})
            for (int x : {0, kWidth / 2, kWidth - 1})
                EXPECT_RGB_NEAR(pixel(x, y), c.expected) << " at " << x << "," << y;
    }
}

TEST_F(Smoke, PresentAndFurtherFramesKeepWorking)
{
    const D3DMATERIAL9 red = flatMaterial(1.0f, 0.0f, 0.0f);
    const D3DMATRIX projection = screenProjection();
    for (int frame = 0; frame < 3; ++frame) {
        clear(D3DCOLOR_XRGB(10 * frame, 20, 30));
        begin();
        device->SetMaterial(&red);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        draw(screenQuad(100, 100, 200, 200, 0.5f));
        end();
        readBack();
        EXPECT_RGB_NEAR(pixel(150, 150), (Rgb{255, 0, 0}));
        EXPECT_RGB_NEAR(pixel(50, 50), (Rgb{10 * frame, 20, 30}));
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
}

TEST_F(Smoke, ReadBackRefusesAHeadlessDevice)
{
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    EXPECT_FALSE(testctl::readBackBuffer(nullptr, rgba, w, h));
    EXPECT_FALSE(testctl::finishDevice(nullptr));
    EXPECT_TRUE(testctl::finishDevice(device));
}

} // namespace
} // namespace rt
