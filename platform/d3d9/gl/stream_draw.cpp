// stream_draw.cpp: copying a draw's vertices into the batch stream.
#include "d3d9/gl/stream_draw.h"

#include <cstring>

#include "d3d9/index_decoding.h"

namespace {

// How far back in a draw an identical vertex is looked for.
constexpr size_t kLookBack = 5;

struct Source {
    const uint8_t* bytes = nullptr; // vertex 0 of the stream
    size_t stride = 0;
    uint32_t tag = 0;
};

uint32_t appendVertex(GlBatch& b, const Source& src, size_t vertex)
{
    GlVertex& v = b.vertices[b.vertexCount];
    memcpy(&v, src.bytes + vertex * src.stride, kSupportedFvfSize);
    v.tag = src.tag;
    return uint32_t(b.vertexCount++);
}

// A vertex identical to one of the last few of the same draw is indexed
// again rather than copied, so it is shaded once: a box's faces repeat two
// of their six corners. (Earlier vertices of the draw share its tag.)
uint32_t appendOrReuse(GlBatch& b, const Source& src, size_t vertex, size_t emittedInDraw)
{
    const uint8_t* bytes = src.bytes + vertex * src.stride;
    size_t back = emittedInDraw < kLookBack ? emittedInDraw : kLookBack;
    for (size_t k = 1; k <= back; ++k) {
        uint32_t candidate = b.indices[b.indexCount - k];
        if (memcmp(&b.vertices[candidate], bytes, kSupportedFvfSize) == 0)
            return candidate;
    }
    return appendVertex(b, src, vertex);
}

void appendTriangles(GlRenderer& gl, const Source& src, size_t firstVertex, size_t triangles)
{
    GlBatch& b = *gl.batch;
    const size_t maxTriangles = kGlMaxPartVertices / kGlIndicesPerTriangle;
    while (triangles > 0) {
        size_t chunk = triangles < maxTriangles ? triangles : maxTriangles;
        size_t count = chunk * kGlIndicesPerTriangle;
        glStageRoom(gl, count, count);
        for (size_t i = 0; i < count; ++i) {
            uint32_t index = appendOrReuse(b, src, firstVertex + i, i);
            b.indices[b.indexCount++] = index;
        }
        firstVertex += count;
        triangles -= chunk;
    }
}

// Copies the declared vertex range once and indexes into it, so shared
// vertices are shaded once. An index past the range (allowed to read
// anything in the buffer) gets its own copy.
void appendIndexedBlock(GlBatch& b, const Source& src, const std::vector<uint32_t>& vertices, size_t first,
                        size_t count)
{
    size_t blockStart = b.vertexCount;
    for (size_t i = 0; i < count; ++i)
        appendVertex(b, src, first + i);
    for (uint32_t vertex : vertices) {
        bool inBlock = vertex >= first && vertex < first + count;
        b.indices[b.indexCount++] = inBlock ? uint32_t(blockStart + (vertex - first)) : appendVertex(b, src, vertex);
    }
}

void appendIndexedEach(GlRenderer& gl, const Source& src, const std::vector<uint32_t>& vertices)
{
    GlBatch& b = *gl.batch;
    for (size_t t = 0; t < vertices.size(); t += kGlIndicesPerTriangle) {
        glStageRoom(gl, kGlIndicesPerTriangle, kGlIndicesPerTriangle);
        for (size_t k = 0; k < kGlIndicesPerTriangle; ++k)
            b.indices[b.indexCount++] = appendVertex(b, src, vertices[t + k]);
    }
}

} // namespace

void glStreamDraw(GlRenderer& gl, const DeviceState& s, const DrawCall& call, uint32_t tag)
{
    GlBatch& b = *gl.batch;
    if (b.stagedFromPool) {
        glDrawStaged(gl);
        b.stagedFromPool = false;
    }
    const BufferData& stream = s.stream->data;
    Source src;
    src.stride = s.streamStride;
    src.bytes = stream.bytes.get() + (s.streamOffset < stream.length ? s.streamOffset : 0);
    src.tag = tag;
    if (!call.indexed) {
        appendTriangles(gl, src, call.startVertex, call.primitiveCount);
        return;
    }
    b.triangles.resize(size_t(call.primitiveCount) * kGlIndicesPerTriangle);
    b.triangles.resize(decodeTriangles(s, call, 0, call.primitiveCount, 0, b.triangles.data()));
    const size_t wanted = b.triangles.size();
    const size_t first = size_t((long long)call.baseVertexIndex + call.minVertexIndex);
    // A range larger than the index list would copy more than it saves.
    if (call.numVertices <= wanted && glStageRoom(gl, call.numVertices + wanted, wanted))
        appendIndexedBlock(b, src, b.triangles, first, call.numVertices);
    else
        appendIndexedEach(gl, src, b.triangles);
}
