// Boxes: the mesh and slab they write, and their buffers' lifecycle,
// on the recording device.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "boxes/box.h"
#include "support/headless_device.h"

namespace {

std::vector<BoxVertex> readVertices(IDirect3DVertexBuffer9* buffer, UINT count)
{
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    const BoxVertex* v = static_cast<const BoxVertex*>(data);
    std::vector<BoxVertex> out(v, v + count);
    buffer->Unlock();
    return out;
}

std::vector<WORD> readIndices(IDirect3DIndexBuffer9* buffer)
{
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    const WORD* i = static_cast<const WORD*>(data);
    std::vector<WORD> out(i, i + kSlabIndexCount);
    buffer->Unlock();
    return out;
}

Vec3 positionOf(const BoxVertex& v) { return Vec3(v.x, v.y, v.z); }

float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// In this left-handed world a triangle is clockwise seen from outside
// exactly when the right-hand cross of its edges points away from the box.
bool facesOutward(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& centre)
{
    Vec3 n;
    cross(n, b - a, c - a);
    Vec3 middle((a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3);
    return dot(n, middle - centre) > 0.0f;
}

struct BoxTest : ::testing::Test {
    HeadlessDevice headless;
    IDirect3DDevice9* device() { return headless.device; }
};

TEST_F(BoxTest, CreateSetsTheDefaultsAndWritesBothMeshes)
{
    Box box;
    ASSERT_TRUE(box.create(device(), 0, 0, 0, 2, 2, 2));
    EXPECT_FALSE(box.velocity != Vec3(0, 0, 0));
    EXPECT_EQ(box.textureScale, 1.0f);
    EXPECT_TRUE(box.castsShadow);
    EXPECT_EQ(box.shadowBaseY, -5.0f);
    EXPECT_EQ(box.shadowThickness, 0.01f);

    std::vector<BoxVertex> mesh = readVertices(box.vertexBuffer, kBoxMeshVertexCount);
    const BoxVertex& first = mesh[0];
    EXPECT_FALSE(positionOf(first) != Vec3(0, 0, 0));
    EXPECT_FALSE(Vec3(first.nx, first.ny, first.nz) != Vec3(-1, -1, -1));
    EXPECT_EQ(first.u, 0.0f);
    EXPECT_EQ(first.v, 1.0f);
    const BoxVertex& last = mesh[35];
    EXPECT_FALSE(positionOf(last) != Vec3(2, 0, 2));
    EXPECT_FALSE(Vec3(last.nx, last.ny, last.nz) != Vec3(1, -1, 1));
    EXPECT_EQ(last.u, 0.0f);
    EXPECT_EQ(last.v, 0.0f);
    for (const BoxVertex& v : mesh) {
        EXPECT_TRUE(v.x == 0 || v.x == 2);
        EXPECT_TRUE(v.y == 0 || v.y == 2);
        EXPECT_TRUE(v.z == 0 || v.z == 2);
    }

    std::vector<BoxVertex> slab = readVertices(box.shadowVertexBuffer, kSlabVertexCount);
    for (const BoxVertex& v : slab) {
        EXPECT_TRUE(v.x == 0 || v.x == 2);
        EXPECT_TRUE(v.z == 0 || v.z == 2);
        EXPECT_TRUE(v.y == -5.0f || v.y == -5.0f + 0.01f);
    }
}

TEST_F(BoxTest, NormalsPointDiagonallyAwayFromTheCentreAtEveryCorner)
{
    Box box;
    ASSERT_TRUE(box.create(device(), -1, 3, 7, 4, 1, 2));
    Vec3 centre(1, 3.5f, 8);
    for (const BoxVertex& v : readVertices(box.vertexBuffer, kBoxMeshVertexCount)) {
        EXPECT_EQ(v.nx, v.x > centre.x ? 1.0f : -1.0f);
        EXPECT_EQ(v.ny, v.y > centre.y ? 1.0f : -1.0f);
        EXPECT_EQ(v.nz, v.z > centre.z ? 1.0f : -1.0f);
    }
}

TEST_F(BoxTest, EveryTriangleOfMeshAndSlabIsClockwiseSeenFromOutside)
{
    Box box;
    ASSERT_TRUE(box.create(device(), 1, -5, 2, 3, 4, 5));
    std::vector<BoxVertex> mesh = readVertices(box.vertexBuffer, kBoxMeshVertexCount);
    Vec3 centre(2.5f, -3, 4.5f);
    for (UINT t = 0; t < kBoxTriangleCount; ++t)
        EXPECT_TRUE(facesOutward(positionOf(mesh[3 * t]), positionOf(mesh[3 * t + 1]), positionOf(mesh[3 * t + 2]),
                                 centre))
            << "mesh triangle " << t;

    std::vector<BoxVertex> slab = readVertices(box.shadowVertexBuffer, kSlabVertexCount);
    std::vector<WORD> indices = readIndices(box.shadowIndexBuffer);
    Vec3 slabCentre(2.5f, -5.0f + 0.005f, 4.5f);
    for (UINT t = 0; t < kBoxTriangleCount; ++t)
        EXPECT_TRUE(facesOutward(positionOf(slab[indices[3 * t]]), positionOf(slab[indices[3 * t + 1]]),
                                 positionOf(slab[indices[3 * t + 2]]), slabCentre))
            << "slab triangle " << t;
}

TEST_F(BoxTest, SideFacesShowTheTextureUprightAndUnmirrored)
{
    Box box;
    ASSERT_TRUE(box.create(device(), 0, 0, 0, 2, 2, 2));
    std::vector<BoxVertex> mesh = readVertices(box.vertexBuffer, kBoxMeshVertexCount);
    const Vec3 up(0, 1, 0);
    const int kSideFaces = 4;
    for (int face = 0; face < kSideFaces; ++face) {
        const BoxVertex* f = &mesh[face * 6];
        // The outward normal of the face, from its first triangle.
        Vec3 n;
        cross(n, positionOf(f[1]) - positionOf(f[0]), positionOf(f[2]) - positionOf(f[0]));
        Vec3 right; // screen right for a viewer outside looking at the face
        cross(right, up, Vec3(-n.x, -n.y, -n.z));
        for (int i = 0; i < 6; ++i) {
            float across = dot(positionOf(f[i]), right);
            float leftmost = 1e9f, rightmost = -1e9f;
            for (int j = 0; j < 6; ++j) {
                leftmost = std::min(leftmost, dot(positionOf(f[j]), right));
                rightmost = std::max(rightmost, dot(positionOf(f[j]), right));
            }
            EXPECT_EQ(f[i].u, across == rightmost ? 1.0f : 0.0f) << "face " << face << " vertex " << i;
            EXPECT_EQ(f[i].v, f[i].y == 0.0f ? 1.0f : 0.0f) << "face " << face << " vertex " << i;
        }
    }
}

TEST_F(BoxTest, TextureScaleRepeatsTheTexturePerFaceWhateverItsSize)
{
    Box ground;
    ASSERT_TRUE(ground.create(device(), -20, -10, -20, 40, 5, 40));
    ground.textureScale = 40.0f / 3.0f;
    std::vector<BoxVertex> before = readVertices(ground.vertexBuffer, kBoxMeshVertexCount);
    EXPECT_EQ(before[0].v, 1.0f); // nothing changes until the next rebuild
    ASSERT_TRUE(ground.rebuildMesh());
    std::vector<BoxVertex> mesh = readVertices(ground.vertexBuffer, kBoxMeshVertexCount);
    for (const BoxVertex& v : mesh) {
        EXPECT_TRUE(v.u == 0.0f || v.u == 40.0f / 3.0f);
        EXPECT_TRUE(v.v == 0.0f || v.v == 40.0f / 3.0f);
    }
    // On the 40-wide top face that is one repeat every 3 units.
    const BoxVertex* top = &mesh[24];
    EXPECT_NEAR((top[2].x - top[0].x) / (top[2].u - top[0].u), 3.0f, 1e-5f);

    ground.textureScale = 0.0f;
    ground.rebuildMesh();
    for (const BoxVertex& v : readVertices(ground.vertexBuffer, kBoxMeshVertexCount)) {
        EXPECT_EQ(v.u, 0.0f);
        EXPECT_EQ(v.v, 0.0f);
    }
}

TEST_F(BoxTest, TheSlabStaysOnTheGroundWhenTheBoxRisesAndFollowsItSideways)
{
    Box box;
    ASSERT_TRUE(box.create(device(), 0, 0, 0, 2, 2, 2));
    ASSERT_TRUE(box.moveBy(3, 10, -1));
    EXPECT_FALSE(box.position != Vec3(3, 10, -1));
    std::vector<BoxVertex> mesh = readVertices(box.vertexBuffer, kBoxMeshVertexCount);
    EXPECT_EQ(mesh[0].y, 10.0f);
    std::vector<BoxVertex> slab = readVertices(box.shadowVertexBuffer, kSlabVertexCount);
    EXPECT_EQ(slab[0].y, -5.0f);
    EXPECT_EQ(slab[1].y, -5.0f + 0.01f);
    EXPECT_EQ(slab[0].x, 3.0f);
    EXPECT_EQ(slab[6].x, 5.0f);
    EXPECT_EQ(slab[6].z, 1.0f);
    ASSERT_TRUE(box.setPosition(-4, 0, 0));
    EXPECT_EQ(readVertices(box.shadowVertexBuffer, kSlabVertexCount)[0].x, -4.0f);
}

// A move rewrites the vertex data only when its bytes would change: not for
// a move by nothing, but for a position written directly (a landing's snap),
// a new texture scale, or a zero changing sign.
TEST_F(BoxTest, MoveByRewritesTheVerticesOnlyWhenTheyWouldChange)
{
    Box box;
    ASSERT_TRUE(box.create(device(), 1, 2, 3, 2, 2, 2));
    auto writes = [&box] {
        return testctl::bufferWrites(box.vertexBuffer) + testctl::bufferWrites(box.shadowVertexBuffer);
    };
    const uint32_t created = writes();
    ASSERT_TRUE(box.moveBy(0, 0, 0));
    EXPECT_EQ(writes(), created);

    box.position.y = -5.0f;
    ASSERT_TRUE(box.moveBy(0, 0, 0));
    EXPECT_EQ(readVertices(box.vertexBuffer, kBoxMeshVertexCount)[0].y, -5.0f);
    const uint32_t snapped = writes();
    EXPECT_GT(snapped, created);

    box.textureScale = 3.0f;
    ASSERT_TRUE(box.moveBy(0, 0, 0));
    EXPECT_EQ(readVertices(box.vertexBuffer, kBoxMeshVertexCount)[0].v, 3.0f);
    const uint32_t rescaled = writes();
    EXPECT_GT(rescaled, snapped);

    box.position.x = 0.0f;
    ASSERT_TRUE(box.moveBy(0, 0, 0));
    const uint32_t atZero = writes();
    box.position.x = -0.0f;
    ASSERT_TRUE(box.moveBy(-0.0f, 0, 0));
    EXPECT_GT(writes(), atZero);
}

TEST_F(BoxTest, ANullDeviceChangesNothing)
{
    Box box;
    box.position = Vec3(9, 9, 9);
    EXPECT_FALSE(box.create(nullptr, 0, 0, 0, 1, 1, 1));
    EXPECT_FALSE(box.position != Vec3(9, 9, 9));
    EXPECT_EQ(box.vertexBuffer, nullptr);
}

TEST_F(BoxTest, ARefusedMeshBufferLeavesTheBoxAsItWas)
{
    Box box;
    box.position = Vec3(9, 9, 9);
    testctl::failBufferCreationAfter(0);
    EXPECT_FALSE(box.create(device(), 0, 0, 0, 1, 1, 1));
    EXPECT_EQ(box.vertexBuffer, nullptr);
    EXPECT_FALSE(box.position != Vec3(9, 9, 9));
    EXPECT_EQ(testctl::liveBuffers(), 0);
}

TEST_F(BoxTest, ARefusedSlabBufferLeavesAPartlyCreatedBox)
{
    Box box;
    testctl::failBufferCreationAfter(1);
    EXPECT_FALSE(box.create(device(), 1, 2, 3, 2, 2, 2));
    EXPECT_NE(box.vertexBuffer, nullptr);
    EXPECT_EQ(box.shadowVertexBuffer, nullptr);
    EXPECT_EQ(box.shadowIndexBuffer, nullptr);
    EXPECT_FALSE(box.position != Vec3(1, 2, 3));
    EXPECT_EQ(box.textureScale, 1.0f);
    // Neither mesh was written.
    EXPECT_EQ(readVertices(box.vertexBuffer, kBoxMeshVertexCount)[0].nx, 0.0f);
    // A rebuild writes the box mesh and still reports the missing slab.
    EXPECT_FALSE(box.rebuildMesh());
    EXPECT_EQ(readVertices(box.vertexBuffer, kBoxMeshVertexCount)[0].nx, -1.0f);
    EXPECT_FALSE(box.moveBy(1, 0, 0));
    EXPECT_EQ(box.position.x, 2.0f);
}

TEST_F(BoxTest, BothSlabBuffersAreAskedForBeforeEitherIsTested)
{
    Box box;
    testctl::failBufferCreationAfter(2);
    EXPECT_FALSE(box.create(device(), 0, 0, 0, 2, 2, 2));
    EXPECT_NE(box.vertexBuffer, nullptr);
    EXPECT_NE(box.shadowVertexBuffer, nullptr);
    EXPECT_EQ(box.shadowIndexBuffer, nullptr);
    box.release();
    EXPECT_EQ(testctl::liveBuffers(), 0);
}

TEST_F(BoxTest, ReleaseIsSafeTwiceAndCreateReplacesOldBuffers)
{
    Box box;
    ASSERT_TRUE(box.create(device(), 0, 0, 0, 1, 1, 1));
    EXPECT_EQ(testctl::liveBuffers(), 3);
    ASSERT_TRUE(box.create(device(), 5, 0, 0, 1, 1, 1));
    EXPECT_EQ(testctl::liveBuffers(), 3);
    box.release();
    EXPECT_EQ(testctl::liveBuffers(), 0);
    box.release();
    EXPECT_EQ(box.vertexBuffer, nullptr);
    EXPECT_EQ(box.position.x, 5.0f); // a released box keeps its fields
}

TEST_F(BoxTest, WithoutBuffersMoveByMovesAndFailsWhileSetPositionRefuses)
{
    Box geometry;
    geometry.position = Vec3(1, 1, 1);
    geometry.size = Vec3(1, 1, 1);
    EXPECT_FALSE(geometry.moveBy(0.5f, 0, -1));
    EXPECT_FALSE(geometry.position != Vec3(1.5f, 1, 0));
    EXPECT_FALSE(geometry.setPosition(7, 7, 7));
    EXPECT_FALSE(geometry.position != Vec3(1.5f, 1, 0));
}

} // namespace
