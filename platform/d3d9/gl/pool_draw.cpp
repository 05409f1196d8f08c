// pool_draw.cpp: a draw joining the batch as indices into the
// pool of resident vertex buffers, uploading the buffer first if the
// program changed it since.
#include "d3d9/gl/batch.h"

#include <cstring>

namespace {

constexpr uint32_t kVertexBytes = kSupportedFvfSize;
constexpr size_t kIndicesPerTriangle = 3;

// The draw's vertex stream as pool vertices: stream vertex v is pool vertex
// base + v, for v below count.
struct PoolStream {
    const GlResidentBuffer* record = nullptr;
    uint32_t offset = 0; // stream vertex 0, in the buffer's vertices
    uint32_t base = 0;
    uint32_t count = 0;
};

void appendTriangles(GlRenderer& gl, const PoolStream& ps, size_t firstVertex, size_t triangles)
{
    GlDrawing& d = *gl.drawing;
    size_t wanted = triangles * kIndicesPerTriangle;
    if (firstVertex > ps.count || wanted > ps.count - firstVertex)
        return;
    // A pooled buffer is far smaller than a part.
    if (!glIndexRoom(gl, wanted))
        return;
    const uint16_t* sameAs = ps.record->sameAs.get() + ps.offset + firstVertex;
    uint32_t* out = d.indices.data() + d.indexCount;
    const uint32_t first = ps.record->first;
    for (size_t i = 0; i < wanted; ++i)
        out[i] = first + sameAs[i];
    d.indexCount += wanted;
}

uint32_t readIndex(const uint8_t* bytes, bool wide, size_t position)
{
    if (wide) {
        uint32_t value = 0;
        memcpy(&value, bytes + position * sizeof value, sizeof value);
        return value;
    }
    uint16_t value = 0;
    memcpy(&value, bytes + position * sizeof value, sizeof value);
    return value;
}

// Triangles naming a vertex outside the stream are skipped, as the copying
// path does.
void appendIndexed(GlRenderer& gl, const DeviceState& s, const PoolStream& ps, const DrawCall& call)
{
    GlDrawing& d = *gl.drawing;
    const BufferData& data = s.indices->data;
    const bool wide = s.indices->format == D3DFMT_INDEX32;
    const size_t indexSize = wide ? 4 : 2;
    const size_t available = data.length / indexSize;
    size_t triangles = call.primitiveCount;
    if (call.startIndex > available || triangles * kIndicesPerTriangle > available - call.startIndex)
        return;
    const uint8_t* bytes = data.bytes.get() + size_t(call.startIndex) * indexSize;
    const long long base = call.baseVertexIndex;
    const size_t chunk = glMaxPartIndices() / kIndicesPerTriangle;
    for (size_t t = 0; t < triangles; ++t) {
        if (t % chunk == 0 && !glIndexRoom(gl, kIndicesPerTriangle * (triangles - t < chunk ? triangles - t : chunk)))
            return;
        long long v[kIndicesPerTriangle] = {};
        bool inside = true;
        for (size_t k = 0; k < kIndicesPerTriangle; ++k) {
            v[k] = base + readIndex(bytes, wide, t * kIndicesPerTriangle + k);
            inside = inside && v[k] >= 0 && v[k] < (long long)ps.count;
        }
        if (!inside)
            continue;
        for (long long vertex : v)
            d.indices[d.indexCount++] = ps.base + uint32_t(vertex);
    }
}

} // namespace

bool glDrawFromPool(GlRenderer& gl, const DeviceState& s, const DrawCall& call, uint32_t tag)
{
    GlDrawing& d = *gl.drawing;
    BufferData& data = s.stream->data;
    if (s.streamStride != kVertexBytes || s.streamOffset % kVertexBytes != 0)
        return false;
    GlResidentBuffer* record = glResidentFind(d.pool, data);
    if (!record)
        return false;
    if (!d.stagedFromPool) {
        glDrawStaged(gl);
        d.stagedFromPool = true;
    }
    if (glResidentStale(*record, data, tag)) {
        // Staged indices may name the old contents or tag.
        if (record->part == d.part)
            glDrawStaged(gl);
        glResidentRefresh(d.pool, *record, data, tag);
    }
    // Nothing of it can show: nothing to shade.
    if (record->bounded && glOutsideView(d.clip, record->bounds))
        return true;
    PoolStream ps;
    ps.record = record;
    ps.offset = s.streamOffset / kVertexBytes;
    ps.base = record->first + ps.offset;
    ps.count = ps.offset < record->count ? record->count - ps.offset : 0;
    if (!call.indexed)
        appendTriangles(gl, ps, call.startVertex, call.primitiveCount);
    else if (s.indices)
        appendIndexed(gl, s, ps, call);
    // Set after the appends: one of them may have drawn a full part.
    record->part = d.part;
    return true;
}
