// index_decoding.cpp: reading an indexed draw's triangles.
#include "d3d9/index_decoding.h"

#include <cstring>

namespace {

constexpr size_t kIndicesPerTriangle = 3;

template <typename Index>
size_t decode(const uint8_t* bytes, long long base, UINT streamVertices, size_t count, uint32_t offset,
              uint32_t* out)
{
    size_t written = 0;
    for (size_t t = 0; t < count; ++t) {
        long long v[kIndicesPerTriangle] = {};
        bool inside = true;
        for (size_t k = 0; k < kIndicesPerTriangle; ++k) {
            Index index = 0;
            memcpy(&index, bytes + (t * kIndicesPerTriangle + k) * sizeof index, sizeof index);
            v[k] = base + (long long)index;
            inside = inside && v[k] >= 0 && v[k] < (long long)streamVertices;
        }
        if (!inside)
            continue;
        for (long long vertex : v)
            out[written++] = offset + uint32_t(vertex);
    }
    return written;
}

} // namespace

size_t decodeTriangles(const DeviceState& s, const DrawCall& call, size_t first, size_t count, uint32_t offset,
                       uint32_t* out)
{
    const bool wide = s.indices->format == D3DFMT_INDEX32;
    const size_t indexBytes = wide ? 4 : 2;
    const uint8_t* bytes =
        s.indices->data.bytes.get() + (size_t(call.startIndex) + first * kIndicesPerTriangle) * indexBytes;
    const UINT streamVertices = streamVertexCount(s);
    if (wide)
        return decode<uint32_t>(bytes, call.baseVertexIndex, streamVertices, count, offset, out);
    return decode<uint16_t>(bytes, call.baseVertexIndex, streamVertices, count, offset, out);
}
