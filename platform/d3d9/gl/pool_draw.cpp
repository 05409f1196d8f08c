// pool_draw.cpp: drawing from the pool of resident vertex buffers.
#include "d3d9/gl/pool_draw.h"

#include "d3d9/index_decoding.h"

namespace {

constexpr uint32_t kVertexBytes = kSupportedFvfSize;

// The draw's vertex stream as pool vertices: stream vertex v is pool vertex
// base + v. The device has checked the draw against the stream.
struct PoolStream {
    const GlResidentBuffer* record = nullptr;
    uint32_t offset = 0; // stream vertex 0, in the buffer's vertices
    uint32_t base = 0;
};

void appendTriangles(GlRenderer& gl, const PoolStream& ps, size_t firstVertex, size_t triangles)
{
    GlBatch& b = *gl.batch;
    size_t wanted = triangles * kGlIndicesPerTriangle;
    // A pooled buffer is far smaller than a part.
    if (!glStageRoom(gl, 0, wanted))
        return;
    const uint16_t* sameAs = ps.record->sameAs.get() + ps.offset + firstVertex;
    uint32_t* out = b.indices.data() + b.indexCount;
    const uint32_t first = ps.record->first;
    for (size_t i = 0; i < wanted; ++i)
        out[i] = first + sameAs[i];
    b.indexCount += wanted;
}

void appendIndexed(GlRenderer& gl, const DeviceState& s, const PoolStream& ps, const DrawCall& call)
{
    GlBatch& b = *gl.batch;
    const size_t chunk = kGlMaxPartIndices / kGlIndicesPerTriangle;
    for (size_t first = 0; first < call.primitiveCount; first += chunk) {
        const size_t count = call.primitiveCount - first < chunk ? call.primitiveCount - first : chunk;
        if (!glStageRoom(gl, 0, count * kGlIndicesPerTriangle))
            return;
        b.indexCount += decodeTriangles(s, call, first, count, ps.base, b.indices.data() + b.indexCount);
    }
}

} // namespace

bool glPoolDraw(GlRenderer& gl, const DeviceState& s, const DrawCall& call, uint32_t tag)
{
    GlBatch& b = *gl.batch;
    BufferData& data = s.stream->data;
    if (s.streamStride != kVertexBytes || s.streamOffset % kVertexBytes != 0)
        return false;
    GlResidentBuffer* record = glResidentFind(b.pool, data);
    if (!record)
        return false;
    if (!b.stagedFromPool) {
        glDrawStaged(gl);
        b.stagedFromPool = true;
    }
    if (glResidentStale(*record, data, tag)) {
        // Staged indices may name the old contents or tag.
        if (record->part == b.part)
            glDrawStaged(gl);
        glResidentRefresh(b.pool, *record, data, tag);
    }
    // Nothing of it can show: nothing to shade.
    if (record->bounded && glOutsideView(b.clip, record->bounds))
        return true;
    PoolStream ps;
    ps.record = record;
    ps.offset = s.streamOffset / kVertexBytes;
    ps.base = record->first + ps.offset;
    if (call.indexed)
        appendIndexed(gl, s, ps, call);
    else
        appendTriangles(gl, ps, call.startVertex, call.primitiveCount);
    // Set after the appends: one of them may have drawn a full part.
    record->part = b.part;
    return true;
}
