// Rasterisation as Direct3D 9 does it: winding and culling, orientation,
// pixel centres, the depth range and test, and fill modes.
#include "render_support.h"
#include "test_controls.h"

#include <cmath>
#include <string>


namespace rt {
namespace {

const Rgb kBackground = {0, 0, 64};
const Rgb kRed = {255, 0, 0};
const Rgb kGreen = {0, 255, 0};

class Raster : public RenderTest {
protected:
    // A frame in screen coordinates with flat colours, lighting only emissive.
    void beginScreenFrame()
    {
        clear(D3DCOLOR_XRGB(kBackground.r, kBackground.g, kBackground.b));
        begin();
        const D3DMATRIX projection = screenProjection();
        device->SetTransform(D3DTS_PROJECTION, &projection);
    }

    void drawFlat(const std::vector<Vertex>& vertices, const Rgb& c)
    {
        const D3DMATERIAL9 m = flatMaterial(c);
        device->SetMaterial(&m);
        draw(vertices);
    }

    bool shows(int x, int y, const Rgb& c) const { return near(pixel(x, y), c); }
};

// ---- Winding, culling and orientation ----------------------------------------------------------
std::vector<Vertex> clockwiseTriangle()
{
    // Top-left, top-right, bottom-left on screen: clockwise as seen.
    return {{100, 100, 0.5f, 0, 0, -1, 0, 0}, {200, 100, 0.5f, 0, 0, -1, 0, 0}, {100, 200, 0.5f, 0, 0, -1, 0, 0}};
}

std::vector<Vertex> counterClockwiseTriangle()
{
    return {{300, 100, 0.5f, 0, 0, -1, 0, 0}, {300, 200, 0.5f, 0, 0, -1, 0, 0}, {400, 100, 0.5f, 0, 0, -1, 0, 0}};
}

TEST_F(Raster, CullModesFollowDirect3DWinding)
{
    struct Case {
        DWORD cull;
        bool clockwiseShown;
        bool counterClockwiseShown;
    };
    const Case cases[] = {
        {D3DCULL_CCW, true, false},
        {D3DCULL_NONE, true, true},
        {D3DCULL_CW, false, true},
    };
    for (const Case& c : cases) {
        beginScreenFrame();
        device->SetRenderState(D3DRS_CULLMODE, c.cull);
        drawFlat(clockwiseTriangle(), kRed);
        drawFlat(counterClockwiseTriangle(), kGreen);
        end();
        readBack();
        EXPECT_EQ(shows(120, 120, kRed), c.clockwiseShown) << "cull mode " << c.cull;
        EXPECT_EQ(shows(320, 120, kGreen), c.counterClockwiseShown) << "cull mode " << c.cull;
    }
}

// The camera matrices built here from Direct3D's definitions, so this test
// does not lean on our D3DX. D3DXMatrixLookAtLH from (0, 0, -distance) to the
// origin with y up keeps the axes: it is a translation.
D3DMATRIX lookAtFromMinusZ(float distance) { return translation(0.0f, 0.0f, distance); }

D3DMATRIX perspective(float fovy, float aspect, float zn, float zf)
{
    float ys = 1.0f / std::tan(fovy / 2.0f);
    D3DMATRIX m = {};
    m._11 = ys / aspect;
    m._22 = ys;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

// A square facing the camera (normal -z), clockwise as the camera sees it.
std::vector<Vertex> facingSquare(float cx, float cy, float half, float z)
{
    Vertex tl = {cx - half, cy + half, z, 0, 0, -1, 0, 0};
    Vertex tr = {cx + half, cy + half, z, 0, 0, -1, 1, 0};
    Vertex br = {cx + half, cy - half, z, 0, 0, -1, 1, 1};
    Vertex bl = {cx - half, cy - half, z, 0, 0, -1, 0, 1};
    return {tl, tr, br, tl, br, bl};
}

TEST_F(Raster, PositiveXIsRightAndPositiveYIsUpUnderAPerspectiveCamera)
{
    clear(D3DCOLOR_XRGB(kBackground.r, kBackground.g, kBackground.b));
    begin();
    const D3DMATRIX view = lookAtFromMinusZ(5.0f);
    const D3DMATRIX projection = perspective(1.5707964f, 4.0f / 3.0f, 0.1f, 1000.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    drawFlat(facingSquare(2.0f, 0.0f, 0.5f, 0.0f), kRed);
    drawFlat(facingSquare(0.0f, 2.0f, 0.5f, 0.0f), kGreen);
    end();
    readBack();
    // 90 degrees vertically at distance 5: 2 units is 0.4 of the half-height (300 px), 0.3 of the half-width.
    EXPECT_TRUE(shows(400 + 120, 300, kRed));
    EXPECT_TRUE(shows(400, 300 - 120, kGreen));
    EXPECT_TRUE(shows(400 - 120, 300, kBackground));
    EXPECT_TRUE(shows(400, 300 + 120, kBackground));
}

// ---- Pixel centres --------------------------------------------------------------------------------
// Direct3D 9 samples pixel (i, j) at (i, j): a quad from 10 to 20 covers
// pixels 10..19, one from 30.5 to 40.5 covers pixels 31..40.
TEST_F(Raster, PixelCentresAreAtIntegerCoordinates)
{
    beginScreenFrame();
    drawFlat(screenQuad(10.0f, 10.0f, 20.0f, 20.0f, 0.5f), kRed);
    drawFlat(screenQuad(30.5f, 30.5f, 40.5f, 40.5f, 0.5f), kGreen);
    end();
    readBack();
    for (int i = 0; i < 60; ++i) {
        bool insideRed = i >= 10 && i < 20;
        EXPECT_EQ(shows(i, 15, kRed), insideRed) << "column " << i;
        EXPECT_EQ(shows(15, i, kRed), insideRed) << "row " << i;
        bool insideGreen = i >= 31 && i <= 40;
        EXPECT_EQ(shows(i, 35, kGreen), insideGreen) << "column " << i;
        EXPECT_EQ(shows(35, i, kGreen), insideGreen) << "row " << i;
    }
}

// The Direct3D 9 idiom for drawing a texture one texel per pixel: shift
// the quad up and left by half a pixel.
TEST_F(Raster, AHalfPixelShiftedQuadMapsTexelsOneToOne)
{
    const int size = 8;
    std::vector<uint8_t> rgba;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            rgba.insert(rgba.end(), {uint8_t(x * 30), uint8_t(y * 30), uint8_t(100), uint8_t(255)});
    IDirect3DTexture9* t = texture(size, size, rgba);
    ASSERT_NE(t, nullptr);
    beginScreenFrame();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTexture(0, t);
    draw(screenQuad(49.5f, 49.5f, 49.5f + size, 49.5f + size, 0.5f));
    end();
    readBack();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            EXPECT_RGB_NEAR(pixel(50 + x, 50 + y), (Rgb{x * 30, y * 30, 100})) << " texel " << x << "," << y;
}

// ---- Depth ------------------------------------------------------------------------------------------
TEST_F(Raster, EqualDepthGoesToTheLaterDrawUnderLessEqual)
{
    beginScreenFrame();
    drawFlat(screenQuad(100, 100, 200, 200, 0.5f), kRed);
    drawFlat(screenQuad(150, 150, 250, 250, 0.5f), kGreen);
    end();
    readBack();
    EXPECT_TRUE(shows(175, 175, kGreen));
    EXPECT_TRUE(shows(120, 120, kRed));
}

TEST_F(Raster, EqualDepthKeepsTheEarlierDrawUnderLess)
{
    beginScreenFrame();
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    drawFlat(screenQuad(100, 100, 200, 200, 0.5f), kRed);
    drawFlat(screenQuad(150, 150, 250, 250, 0.5f), kGreen);
    end();
    readBack();
    EXPECT_TRUE(shows(175, 175, kRed));
    EXPECT_TRUE(shows(225, 225, kGreen));
}

TEST_F(Raster, NearerSurfacesHideFartherOnesWhateverTheOrder)
{
    beginScreenFrame();
    drawFlat(screenQuad(100, 100, 200, 200, 0.3f), kRed);   // near, first
    drawFlat(screenQuad(150, 150, 250, 250, 0.7f), kGreen); // far, second
    drawFlat(screenQuad(300, 100, 400, 200, 0.7f), kGreen); // far, first
    drawFlat(screenQuad(350, 150, 450, 250, 0.3f), kRed);   // near, second
    end();
    readBack();
    EXPECT_TRUE(shows(175, 175, kRed));
    EXPECT_TRUE(shows(375, 175, kRed));
}

TEST_F(Raster, DepthTestAndDepthWritesCanBeTurnedOff)
{
    beginScreenFrame();
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    drawFlat(screenQuad(100, 100, 200, 200, 0.3f), kRed);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    drawFlat(screenQuad(150, 150, 250, 250, 0.7f), kGreen); // the red one left no depth
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    drawFlat(screenQuad(300, 100, 400, 200, 0.3f), kRed);
    drawFlat(screenQuad(350, 150, 450, 250, 0.9f), kGreen); // no test: drawn over
    end();
    readBack();
    EXPECT_TRUE(shows(175, 175, kGreen));
    EXPECT_TRUE(shows(375, 175, kGreen));
}

// Depth runs from 0 to 1, with or without glClipControl: against a buffer
// cleared to 0.5, 0.4 is in front and 0.6 behind; below 0 and above 1 is clipped.
class DepthRange : public Raster, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        testctl::RendererOptions options;
        options.clipControl = GetParam();
        testctl::setRendererOptions(options);
        Raster::SetUp();
    }
};

TEST_P(DepthRange, DepthIsZeroToOne)
{
    EXPECT_EQ(testctl::usesClipControl(device), GetParam());
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 64), 0.5f, 0),
              D3D_OK);
    begin();
    const D3DMATRIX projection = screenProjection();
    device->SetTransform(D3DTS_PROJECTION, &projection);
    drawFlat(screenQuad(100, 100, 200, 200, 0.4f), kRed);
    drawFlat(screenQuad(300, 100, 400, 200, 0.6f), kRed);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    drawFlat(screenQuad(100, 300, 200, 400, -0.05f), kGreen);
    drawFlat(screenQuad(300, 300, 400, 400, 1.05f), kGreen);
    drawFlat(screenQuad(500, 300, 600, 400, 0.99f), kGreen);
    end();
    readBack();
    EXPECT_TRUE(shows(150, 150, kRed));
    EXPECT_TRUE(shows(350, 150, kBackground));
    EXPECT_TRUE(shows(150, 350, kBackground));
    EXPECT_TRUE(shows(350, 350, kBackground));
    EXPECT_TRUE(shows(550, 350, kGreen));
}

INSTANTIATE_TEST_SUITE_P(ClipControl, DepthRange, ::testing::Values(true, false));

// ---- Fill modes ---------------------------------------------------------------------------------------

TEST_F(Raster, WireframeDrawsOnlyTheEdges)
{
    beginScreenFrame();
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    drawFlat(screenQuad(100, 100, 300, 300, 0.5f), kRed);
    end();
    readBack();
    EXPECT_TRUE(shows(250, 150, kBackground)); // inside, off the diagonal
    EXPECT_TRUE(shows(150, 250, kBackground));
    EXPECT_TRUE(shows(200, 200, kRed) || shows(199, 200, kRed) || shows(201, 200, kRed)); // the diagonal
    for (int y : {150, 250}) {
        bool left = shows(99, y, kRed) || shows(100, y, kRed) || shows(101, y, kRed);
        EXPECT_TRUE(left) << "left edge at row " << y;
    }
    for (int x : {150, 250}) {
        bool top = shows(x, 99, kRed) || shows(x, 100, kRed) || shows(x, 101, kRed);
        EXPECT_TRUE(top) << "top edge at column " << x;
    }
}

TEST_F(Raster, PointFillDrawsOnlyTheVertices)
{
    beginScreenFrame();
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_POINT);
    drawFlat(screenQuad(100, 100, 300, 300, 0.5f), kRed);
    end();
    readBack();
    EXPECT_TRUE(shows(100, 100, kRed));
    EXPECT_TRUE(shows(300, 300, kRed));
    EXPECT_TRUE(shows(200, 100, kBackground));
    EXPECT_TRUE(shows(200, 200, kBackground));
}

// ---- States the renderer does not honour --------------------------------------------------------------
size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Drawing under a render state the renderer does not turn into anything
// says so once on standard error; states it honours, and one set back to
// its default, say nothing.
TEST_F(Raster, AnUnhonouredRenderStateIsReportedOnce)
{
    ::testing::internal::CaptureStderr();
    beginScreenFrame();
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    drawFlat(screenQuad(100, 100, 200, 200, 0.5f), kRed);
    device->SetRenderState(D3DRS_SHADEMODE, 2); // Gouraud, the default
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    drawFlat(screenQuad(100, 100, 200, 200, 0.5f), kRed);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    drawFlat(screenQuad(100, 100, 200, 200, 0.5f), kRed);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    drawFlat(screenQuad(100, 100, 200, 200, 0.5f), kRed);
    end();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(occurrences(errors, "not honoured"), 1u) << errors;
    EXPECT_EQ(occurrences(errors, "D3DRS_ALPHABLENDENABLE = 1 is not honoured"), 1u) << errors;
}

} // namespace
} // namespace rt
