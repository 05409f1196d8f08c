// Batching keeps Direct3D's semantics: each draw uses the buffer contents
// and state of its own call, in submission order, whatever is batched.
#include "render_support.h"

#include <cstring>

#include "test_controls.h"

namespace rt {
namespace {

const Rgb kBackground = {0, 0, 64};
const Rgb kRed = {255, 0, 0};
const Rgb kGreen = {0, 255, 0};

class Batching : public RenderTest {
protected:
    void beginScreenFrame()
    {
        clear(D3DCOLOR_XRGB(kBackground.r, kBackground.g, kBackground.b));
        begin();
        const D3DMATRIX projection = screenProjection();
        device->SetTransform(D3DTS_PROJECTION, &projection);
    }

    void setFlat(const Rgb& c)
    {
        const D3DMATERIAL9 m = flatMaterial(c);
        device->SetMaterial(&m);
    }

    static void write(IDirect3DVertexBuffer9* buffer, const std::vector<Vertex>& vertices)
    {
        void* data = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
        memcpy(data, vertices.data(), vertices.size() * sizeof(Vertex));
        buffer->Unlock();
    }

    bool shows(int x, int y, const Rgb& c) const { return near(pixel(x, y), c); }
};

TEST_F(Batching, ABufferRewrittenBetweenDrawsShowsBothContents)
{
    beginScreenFrame();
    setFlat(kRed);
    IDirect3DVertexBuffer9* buffer = vertexBuffer(screenQuad(100, 100, 200, 200, 0.5f));
    drawBuffer(buffer, 2);
    write(buffer, screenQuad(300, 100, 400, 200, 0.5f));
    setFlat(kGreen);
    drawBuffer(buffer, 2);
    // Rewritten again after the last draw: not part of the picture.
    write(buffer, screenQuad(500, 100, 600, 200, 0.5f));
    end();
    readBack();
    EXPECT_TRUE(shows(150, 150, kRed));
    EXPECT_TRUE(shows(350, 150, kGreen));
    EXPECT_TRUE(shows(550, 150, kBackground));
}

TEST_F(Batching, AStateChangeReachesOnlyLaterDraws)
{
    beginScreenFrame();
    setFlat(kRed);
    IDirect3DVertexBuffer9* buffer = vertexBuffer(screenQuad(100, 100, 200, 200, 0.5f));
    drawBuffer(buffer, 2);
    const D3DMATRIX moved = translation(200.0f, 0.0f, 0.0f);
    device->SetTransform(D3DTS_WORLD, &moved);
    setFlat(kGreen);
    drawBuffer(buffer, 2);
    end();
    readBack();
    EXPECT_TRUE(shows(150, 150, kRed));
    EXPECT_TRUE(shows(350, 150, kGreen));
}

TEST_F(Batching, DifferentTexturesEachShowTheirOwn)
{
    IDirect3DTexture9* red = texture(1, 1, {255, 0, 0, 255});
    IDirect3DTexture9* green = texture(1, 1, {0, 255, 0, 255});
    beginScreenFrame();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    IDirect3DTexture9* order[] = {red, green, nullptr, red, green};
    for (int i = 0; i < 5; ++i) {
        device->SetTexture(0, order[i]);
        float x = 50.0f + 100.0f * float(i);
        draw(screenQuad(x, 100, x + 50, 150, 0.5f));
    }
    end();
    readBack();
    EXPECT_TRUE(shows(75, 125, kRed));
    EXPECT_TRUE(shows(175, 125, kGreen));
    EXPECT_TRUE(shows(275, 125, (Rgb{255, 255, 255})));
    EXPECT_TRUE(shows(375, 125, kRed));
    EXPECT_TRUE(shows(475, 125, kGreen));
}

TEST_F(Batching, ATextureReleasedWhileItsDrawsWaitStillShows)
{
    IDirect3DTexture9* t = nullptr;
    ASSERT_EQ(testctl::createTexture(device, 1, 1, {0, 255, 0, 255}, &t), D3D_OK);
    beginScreenFrame();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTexture(0, t);
    draw(screenQuad(100, 100, 200, 200, 0.5f));
    device->SetTexture(0, nullptr);
    EXPECT_EQ(t->Release(), 0u);
    EXPECT_EQ(testctl::liveTextures(), 0);
    end();
    readBack();
    EXPECT_TRUE(shows(150, 150, kGreen));
}

// Buffers kept in OpenGL across frames follow every change: contents
// rewritten between frames, another material, and a buffer released while
// its draw waits, its place taken at once by a new one.
TEST_F(Batching, ResidentBuffersFollowEveryChangeAcrossFrames)
{
    IDirect3DVertexBuffer9* moved = vertexBuffer(screenQuad(100, 100, 200, 200, 0.5f));
    IDirect3DVertexBuffer9* recoloured = nullptr;
    std::vector<Vertex> quad = screenQuad(300, 100, 400, 200, 0.5f);
    ASSERT_EQ(device->CreateVertexBuffer(UINT(quad.size() * sizeof(Vertex)), 0, 0, D3DPOOL_MANAGED, &recoloured, nullptr),
              D3D_OK);
    write(recoloured, quad);
    beginScreenFrame();
    setFlat(kRed);
    drawBuffer(moved, 2);
    setFlat(kGreen);
    drawBuffer(recoloured, 2);
    end();
    readBack();
    ASSERT_TRUE(shows(150, 150, kRed));
    ASSERT_TRUE(shows(350, 150, kGreen));

    write(moved, screenQuad(500, 100, 600, 200, 0.5f));
    beginScreenFrame();
    setFlat(kRed);
    drawBuffer(moved, 2);
    const Rgb blue = {0, 0, 255};
    setFlat(blue);
    drawBuffer(recoloured, 2);
    recoloured->Release(); // still bound: it goes when the next buffer is
    IDirect3DVertexBuffer9* reused = vertexBuffer(screenQuad(300, 300, 400, 400, 0.5f));
    const Rgb yellow = {255, 255, 0};
    setFlat(yellow);
    drawBuffer(reused, 2);
    end();
    readBack();
    EXPECT_TRUE(shows(150, 150, kBackground));
    EXPECT_TRUE(shows(550, 150, kRed));
    EXPECT_TRUE(shows(350, 150, blue));
    EXPECT_TRUE(shows(350, 350, yellow));
}

// The same corners drawn twice in one draw with other texture coordinates:
// the second triangle (drawn over the first at equal depth) keeps its own.
TEST_F(Batching, RepeatedPositionsKeepTheirOwnAttributes)
{
    IDirect3DTexture9* pair = texture(2, 1, {255, 0, 0, 255, 0, 255, 0, 255});
    beginScreenFrame();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTexture(0, pair);
    std::vector<Vertex> v = {
        {100, 100, 0.5f, 0, 0, -1, 0.25f, 0.5f}, {200, 100, 0.5f, 0, 0, -1, 0.25f, 0.5f},
        {100, 200, 0.5f, 0, 0, -1, 0.25f, 0.5f}, {100, 100, 0.5f, 0, 0, -1, 0.75f, 0.5f},
        {200, 100, 0.5f, 0, 0, -1, 0.75f, 0.5f}, {100, 200, 0.5f, 0, 0, -1, 0.75f, 0.5f},
    };
    draw(v);
    end();
    readBack();
    EXPECT_TRUE(shows(120, 120, kGreen));
}

// ---- Indexed draws ----------------------------------------------------------------------------
class IndexedDraws : public Batching, public ::testing::WithParamInterface<bool> {};

TEST_P(IndexedDraws, TrianglesNamingVerticesPastTheBufferAreSkipped)
{
    const bool wide = GetParam();
    std::vector<Vertex> v = screenQuad(100, 100, 200, 200, 0.5f);                 // 0..5
    std::vector<Vertex> second = screenQuad(300, 100, 400, 200, 0.5f);            // 6..11
    std::vector<Vertex> third = screenQuad(500, 100, 600, 200, 0.5f);             // 12..17
    v.insert(v.end(), second.begin(), second.end());
    v.insert(v.end(), third.begin(), third.end());
    IDirect3DVertexBuffer9* vertices = vertexBuffer(v);
    const uint32_t past = wide ? 70000u : 60000u;
    std::vector<uint32_t> indices = {
        0, 1, 2, 3, 4, 5,      // first quad
        6, 7, 8, 9, past, 11,  // second quad: its second triangle names a missing vertex
        12, 13, 14, 15, 16, 17 // third quad: outside the declared range, inside the buffer
    };
    IDirect3DIndexBuffer9* index = indexBuffer(indices, wide);
    beginScreenFrame();
    setFlat(kRed);
    device->SetStreamSource(0, vertices, 0, sizeof(Vertex));
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    device->SetIndices(index);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 12, 0, 6), D3D_OK);
    end();
    readBack();
    EXPECT_TRUE(shows(120, 180, kRed));
    EXPECT_TRUE(shows(180, 120, kRed));
    EXPECT_TRUE(shows(380, 120, kRed));        // the whole first triangle of the second quad
    EXPECT_TRUE(shows(320, 180, kBackground)); // the skipped one
    EXPECT_TRUE(shows(520, 180, kRed));
    EXPECT_TRUE(shows(580, 120, kRed));
}

TEST_P(IndexedDraws, BaseVertexIndexShiftsEveryIndex)
{
    std::vector<Vertex> v = screenQuad(100, 100, 200, 200, 0.5f);
    std::vector<Vertex> second = screenQuad(300, 100, 400, 200, 0.5f);
    v.insert(v.end(), second.begin(), second.end());
    IDirect3DVertexBuffer9* vertices = vertexBuffer(v);
    IDirect3DIndexBuffer9* index = indexBuffer({0, 1, 2, 3, 4, 5}, GetParam());
    beginScreenFrame();
    setFlat(kGreen);
    device->SetStreamSource(0, vertices, 0, sizeof(Vertex));
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    device->SetIndices(index);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 6, 0, 6, 0, 2), D3D_OK);
    end();
    readBack();
    EXPECT_TRUE(shows(150, 150, kBackground));
    EXPECT_TRUE(shows(350, 150, kGreen));
}

INSTANTIATE_TEST_SUITE_P(IndexSizes, IndexedDraws, ::testing::Values(false, true));

// ---- Batched against one flush per draw ------------------------------------------------------------
// A frame like the game's: for each of many cells a shadow slab (indexed,
// untextured, shadow material) then a box face (textured or not, one of
// many materials, more than a batch's material table holds), overlapping
// at equal depth so draw order decides, under a light. The last columns
// and rows reach past the edges or lie wholly beyond them. Each cell's
// buffers are as large as a game box's (8 slab corners, 36 mesh vertices),
// so together they pass the first block of the pool of resident buffers.
class BatchedFrame : public Batching {
protected:
    std::vector<uint8_t> renderFrame()
    {
        clear(D3DCOLOR_XRGB(0, 0, 64));
        begin();
        Scene s;
        D3DLIGHT9 light = pointLight(400.0f, 300.0f, -200.0f, 2000.0f, 0.5f, 0.002f, 0.0f);
        light.Diffuse = colour(1.0f, 1.0f, 1.0f);
        light.Ambient = colour(0.2f, 0.2f, 0.2f);
        s.lights.push_back(light);
        s.projection = screenProjection();
        applyScene(device, s);
        const D3DMATERIAL9 shadow = flatMaterial(0.1f, 0.1f, 0.1f);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        for (int i = 0; i < kCells; ++i) {
            float x = float(60 + (i % 25) * 32);
            float y = float(20 + (i / 25) * 40);
            device->SetTexture(0, nullptr);
            device->SetMaterial(&shadow);
            device->SetStreamSource(0, slabs[i], 0, sizeof(Vertex));
            device->SetIndices(slabIndices);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
            const D3DMATERIAL9 m = material(colour(float(i % 7) / 7.0f, float(i % 11) / 11.0f, float(i % 13) / 13.0f),
                                            colour(0.3f, 0.3f, 0.3f), colour(0, 0, 0), colour(0, 0, 0), 1.0f);
            device->SetMaterial(&m);
            device->SetTexture(0, (i % 3) ? crate : nullptr);
            write(boxes[i], screenQuad(x + 5.0f, y + 5.0f, x + 35.0f, y + 35.0f, 0.5f));
            device->SetStreamSource(0, boxes[i], 0, sizeof(Vertex));
            device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
        }
        end();
        readBack();
        return pixels;
    }

    void prepare()
    {
        slabs.clear();
        boxes.clear();
        std::vector<uint8_t> rgba;
        for (int i = 0; i < 16; ++i)
            rgba.insert(rgba.end(), {uint8_t(100 + i * 8), uint8_t(200 - i * 4), uint8_t(i * 16), 255});
        crate = texture(4, 4, rgba);
        for (int i = 0; i < kCells; ++i) {
            float x = float(60 + (i % 25) * 32);
            float y = float(20 + (i / 25) * 40);
            std::vector<Vertex> q = screenQuad(x, y, x + 30.0f, y + 30.0f, 0.5f);
            std::vector<Vertex> slab = {q[0], q[1], q[2], q[5]};
            slab.resize(kSlabVertices, q[0]);
            q.resize(kMeshVertices, q[0]);
            slabs.push_back(vertexBuffer(slab));
            boxes.push_back(vertexBuffer(q));
        }
        slabIndices = indexBuffer({0, 1, 2, 0, 2, 3}, false);
    }

    static constexpr int kCells = 400;
    static constexpr size_t kSlabVertices = 8;
    static constexpr size_t kMeshVertices = 36;
    IDirect3DTexture9* crate = nullptr;
    IDirect3DIndexBuffer9* slabIndices = nullptr;
    std::vector<IDirect3DVertexBuffer9*> slabs;
    std::vector<IDirect3DVertexBuffer9*> boxes;
};

// Batched from resident buffers, twice: the first frame grows the pool,
// the second draws from what the first left in OpenGL (the slabs from the
// grown pool's copy), its tags written under a newer material table.
TEST_F(BatchedFrame, GivesExactlyThePixelsOfOneCopiedFlushPerDraw)
{
    // The straightforward way: each draw copied and drawn on its own.
    testctl::RendererOptions straightforward;
    straightforward.batching = false;
    straightforward.residentBuffers = false;
    remakeDevice(straightforward);
    prepare();
    std::vector<uint8_t> single = renderFrame();

    remakeDevice(testctl::RendererOptions());
    prepare();
    const UINT firstBlock = testctl::residentPoolCapacity(device);
    ASSERT_GT(firstBlock, 0u);
    for (int frame = 0; frame < 2; ++frame) {
        std::vector<uint8_t> batched = renderFrame();
        ASSERT_EQ(batched.size(), single.size());
        size_t differing = 0;
        for (size_t i = 0; i < batched.size(); ++i)
            differing += batched[i] != single[i];
        EXPECT_EQ(differing, 0u) << "frame " << frame;
        EXPECT_GT(testctl::residentPoolCapacity(device), firstBlock);
    }
    // The frame is not trivially empty: shadows peek out, faces differ.
    EXPECT_FALSE(shows(62, 22, kBackground));
    EXPECT_FALSE(near(pixel(62, 22), pixel(80, 40)));
    EXPECT_FALSE(shows(797, 585, kBackground));
}

// A draw of more vertices than a batch holds is drawn in parts, all of it.
TEST_F(Batching, ADrawLargerThanABatchIsDrawnWhole)
{
    const size_t triangles = 400000; // 1.2 million vertices
    std::vector<Vertex> v(triangles * 3, Vertex{0, 0, 0.5f, 0, 0, -1, 0, 0});
    std::vector<Vertex> first = screenQuad(100, 100, 200, 200, 0.5f);
    std::vector<Vertex> last = screenQuad(300, 100, 400, 200, 0.5f);
    std::copy(first.begin(), first.end(), v.begin());
    std::copy(last.begin(), last.end(), v.end() - 6);
    IDirect3DVertexBuffer9* buffer = vertexBuffer(v);
    ASSERT_NE(buffer, nullptr);
    beginScreenFrame();
    setFlat(kRed);
    drawBuffer(buffer, UINT(triangles));
    end();
    readBack();
    EXPECT_TRUE(shows(150, 150, kRed));
    EXPECT_TRUE(shows(350, 150, kRed));
}

} // namespace
} // namespace rt
