// index_decoding.cpp: reading an indexed draw's triangles.
#include "d3d9/index_decoding.h"

#include <cstring>

namespace {

constexpr size_t kIndicesPerTriangle = 3;

template <typename Index>
void decode(const uint8_t* bytes, long long base, UINT streamVertices, size_t triangles, std::vector<uint32_t>& out)
{
    for (size_t t = 0; t < triangles; ++t) {
        long long v[kIndicesPerTriangle] = {};
        bool inside = true;
        for (size_t k = 0; k < kIndicesPerTriangle; ++k) {
            Index index = 0;
            memcpy(&index, bytes + (t * kIndicesPerTriangle + k) * sizeof index, sizeof index);
            v[k] = base + (long long)index;
            inside = inside && v[k] >= 0 && v[k] < (long long)streamVertices;
        }
        if (inside)
            out.insert(out.end(), {uint32_t(v[0]), uint32_t(v[1]), uint32_t(v[2])});
    }
}

} // namespace

void decodeTriangles(const DeviceState& s, const DrawCall& call, std::vector<uint32_t>& out)
{
    out.clear();
    const bool wide = s.indices->format == D3DFMT_INDEX32;
    const uint8_t* bytes = s.indices->data.bytes.get() + size_t(call.startIndex) * (wide ? 4 : 2);
    const UINT streamVertices = streamVertexCount(s);
    if (wide)
        decode<uint32_t>(bytes, call.baseVertexIndex, streamVertices, call.primitiveCount, out);
    else
        decode<uint16_t>(bytes, call.baseVertexIndex, streamVertices, call.primitiveCount, out);
}
