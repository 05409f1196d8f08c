// Sampler 0: addressing, magnification, minification and mip filtering.
// Lighting is off, so every pixel shows its texel unchanged.
#include "render_support.h"

#include <cstring>

namespace rt {
namespace {

const Rgb kLeft = {255, 0, 0};  // texel 0
const Rgb kRight = {0, 0, 255}; // texel 1
const Rgb kBorder = {0, 255, 0};

class Texturing : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        // Two texels side by side: red, then blue.
        pair = texture(2, 1, {255, 0, 0, 255, 0, 0, 255, 255});
        ASSERT_NE(pair, nullptr);
    }

    void beginFrame(IDirect3DTexture9* t)
    {
        clear(D3DCOLOR_XRGB(40, 40, 40));
        begin();
        const D3DMATRIX projection = screenProjection();
        device->SetTransform(D3DTS_PROJECTION, &projection);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetTexture(0, t);
    }

    void sampler(D3DSAMPLERSTATETYPE type, DWORD value) { device->SetSamplerState(0, type, value); }

    // u runs 0..2 across [100, 300): a texel covers 50 pixels.
    void drawTwoRepeats(IDirect3DTexture9* t, DWORD address)
    {
        beginFrame(t);
        sampler(D3DSAMP_ADDRESSU, address);
        draw(screenQuad(100, 100, 300, 120, 0.5f, 0.0f, 0.0f, 2.0f, 1.0f));
        end();
        readBack();
    }

    IDirect3DTexture9* pair = nullptr;
};

TEST_F(Texturing, WrapRepeats)
{
    drawTwoRepeats(pair, D3DTADDRESS_WRAP);
    EXPECT_RGB_NEAR(pixel(125, 110), kLeft);
    EXPECT_RGB_NEAR(pixel(175, 110), kRight);
    EXPECT_RGB_NEAR(pixel(225, 110), kLeft);
    EXPECT_RGB_NEAR(pixel(275, 110), kRight);
}

TEST_F(Texturing, MirrorReflectsEveryOtherRepeat)
{
    drawTwoRepeats(pair, D3DTADDRESS_MIRROR);
    EXPECT_RGB_NEAR(pixel(125, 110), kLeft);
    EXPECT_RGB_NEAR(pixel(175, 110), kRight);
    EXPECT_RGB_NEAR(pixel(225, 110), kRight);
    EXPECT_RGB_NEAR(pixel(275, 110), kLeft);
}

TEST_F(Texturing, ClampHoldsTheEdgeTexel)
{
    drawTwoRepeats(pair, D3DTADDRESS_CLAMP);
    EXPECT_RGB_NEAR(pixel(125, 110), kLeft);
    EXPECT_RGB_NEAR(pixel(225, 110), kRight);
    EXPECT_RGB_NEAR(pixel(275, 110), kRight);
}

TEST_F(Texturing, BorderShowsTheBorderColour)
{
    beginFrame(pair);
    sampler(D3DSAMP_BORDERCOLOR, D3DCOLOR_XRGB(kBorder.r, kBorder.g, kBorder.b));
    sampler(D3DSAMP_ADDRESSU, D3DTADDRESS_BORDER);
    draw(screenQuad(100, 100, 300, 120, 0.5f, 0.0f, 0.0f, 2.0f, 1.0f));
    end();
    readBack();
    EXPECT_RGB_NEAR(pixel(125, 110), kLeft);
    EXPECT_RGB_NEAR(pixel(175, 110), kRight);
    EXPECT_RGB_NEAR(pixel(275, 110), kBorder);
}

TEST_F(Texturing, TheFirstRowOfTheImageIsAtVZero)
{
    IDirect3DTexture9* column = texture(1, 2, {255, 0, 0, 255, 0, 0, 255, 255});
    ASSERT_NE(column, nullptr);
    beginFrame(column);
    draw(screenQuad(100, 100, 200, 200, 0.5f));
    end();
    readBack();
    EXPECT_RGB_NEAR(pixel(150, 120), kLeft);
    EXPECT_RGB_NEAR(pixel(150, 180), kRight);
}

// A texture written between two draws: the first shows what it held then.
TEST_F(Texturing, ALevelWrittenAfterADrawChangesOnlyLaterDraws)
{
    beginFrame(pair);
    draw(screenQuad(100, 100, 200, 200, 0.5f));
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(pair->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const uint8_t blueBgra[8] = {255, 0, 0, 255, 255, 0, 0, 255};
    memcpy(locked.pBits, blueBgra, sizeof blueBgra);
    ASSERT_EQ(pair->UnlockRect(0), D3D_OK);
    draw(screenQuad(300, 100, 400, 200, 0.5f));
    end();
    readBack();
    EXPECT_RGB_NEAR(pixel(125, 150), kLeft);
    EXPECT_RGB_NEAR(pixel(325, 150), kRight);
}

// Across [100, 300) u runs 0..1: the texel centres sit at pixels 150 and
// 250. Linear magnification blends between them, point picks the nearer.
TEST_F(Texturing, MagnificationFilters)
{
    beginFrame(pair);
    sampler(D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    sampler(D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    draw(screenQuad(100, 100, 300, 120, 0.5f));
    end();
    readBack();
    EXPECT_RGB_NEAR(pixel(150, 110), kLeft);
    EXPECT_RGB_NEAR(pixel(200, 110), (Rgb{128, 0, 128}));
    EXPECT_RGB_NEAR(pixel(225, 110), (Rgb{64, 0, 191}));

    beginFrame(pair);
    sampler(D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    draw(screenQuad(100, 100, 300, 120, 0.5f));
    end();
    readBack();
    EXPECT_RGB_NEAR(pixel(190, 110), kLeft);
    EXPECT_RGB_NEAR(pixel(210, 110), kRight);
}

// A 64x64 checker of single black and white texels drawn on 16x16 pixels:
// without a mip filter only level 0 is sampled (pure black or white); with
// one, the smaller levels are the average grey.
TEST_F(Texturing, MipFilterNoneUsesOnlyTheTopLevel)
{
    const int size = 64;
    std::vector<uint8_t> rgba;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint8_t v = ((x + y) % 2) ? 255 : 0;
            rgba.insert(rgba.end(), {v, v, v, 255});
        }
    IDirect3DTexture9* checker = texture(size, size, rgba);
    ASSERT_NE(checker, nullptr);
    struct Case {
        DWORD mipFilter;
        bool grey;
    };
    for (Case c : {Case{D3DTEXF_NONE, false}, Case{D3DTEXF_POINT, true}, Case{D3DTEXF_LINEAR, true}}) {
        beginFrame(checker);
        sampler(D3DSAMP_MINFILTER, D3DTEXF_POINT);
        sampler(D3DSAMP_MIPFILTER, c.mipFilter);
        draw(screenQuad(100, 100, 116, 116, 0.5f));
        end();
        readBack();
        for (int y = 102; y < 114; y += 3)
            for (int x = 102; x < 114; x += 3) {
                int v = pixel(x, y).r;
                if (c.grey)
                    EXPECT_NEAR(v, 128, 8) << "mip filter " << c.mipFilter << " at " << x << "," << y;
                else
                    EXPECT_TRUE(v < 8 || v > 247) << "mip filter none gave " << v << " at " << x << "," << y;
            }
    }
}

} // namespace
} // namespace rt
