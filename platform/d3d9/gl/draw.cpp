// draw.cpp: draws gathered into batches, one upload and one
// OpenGL draw per batch part.
//
// A draw from a small vertex buffer names the buffer's vertices in the pool
// of resident buffers (pool_draw.cpp); any other draw copies its
// vertices, as they are at the time of the call, into a stream in CPU
// memory. Either way each vertex carries a tag: the slot of the draw's
// material in the material table and whether its texture applies. A batch
// lasts while the device's state version stays the same and no second
// texture is needed; it is drawn (flushed) when it ends, when its part or
// material table is full, and before Clear, Present, read-back and a bound
// texture's destruction and the device's. Triangles keep their submission
// order within the one draw, so depth ties still go to the later triangle.
#include <cstddef>
#include <cstring>
#include <new>

#include "d3d9/gl/batch.h"

namespace {

// The stream starts small and grows up to a bound past which a batch is
// drawn in parts. Parts are handed to OpenGL at once (glFlush), so that
// llvmpipe rasterises one while the next is being shaded; much smaller
// parts cost more, each one loading and storing the whole back buffer.
constexpr size_t kInitialVertices = 4096;
constexpr size_t kMaxBatchVertices = size_t(1) << 14;
constexpr size_t kMaxBatchIndices = 3 * kMaxBatchVertices;
constexpr size_t kIndicesPerTriangle = 3;
constexpr uint32_t kNoMaterial = ~0u;
// How far back in a draw an identical vertex is looked for.
constexpr size_t kLookBack = 5;

} // namespace

namespace {

// ---- Uploading and drawing ------------------------------------------------------------
void growBuffer(GLenum target, GLuint buffer, size_t& capacity, size_t wanted, size_t elementSize)
{
    if (wanted <= capacity)
        return;
    glBindBuffer(target, buffer);
    glBufferData(target, GLsizeiptr(wanted * elementSize), nullptr, GL_STREAM_DRAW);
    capacity = wanted;
}

void upload(GlDrawing& d)
{
    if (d.stagedFromPool) {
        glResidentUpload(d.pool);
        glBindVertexArray(d.pool.vertexArray);
    } else {
        glBindVertexArray(d.vertexArray);
        growBuffer(GL_ARRAY_BUFFER, d.vertexBuffer, d.vertexBufferCapacity, d.vertices.size(), sizeof(GlVertex));
        glBindBuffer(GL_ARRAY_BUFFER, d.vertexBuffer);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(d.vertexCount * sizeof(GlVertex)), d.vertices.data());
    }
    growBuffer(GL_ELEMENT_ARRAY_BUFFER, d.indexBuffer, d.indexBufferCapacity, d.indices.size(), sizeof(uint32_t));
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, GLsizeiptr(d.indexCount * sizeof(uint32_t)), d.indices.data());
    if (d.materialsChanged) {
        glBindBuffer(GL_UNIFORM_BUFFER, d.materialBuffer);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, GLsizeiptr(d.materialCount * sizeof(GlMaterial)), d.materials);
        d.materialsChanged = false;
    }
    glBindBufferBase(GL_UNIFORM_BUFFER, kGlMaterialBinding, d.materialBuffer);
}

void flushVertices(GlRenderer& gl)
{
    GlDrawing& d = *gl.drawing;
    if (d.indexCount == 0) {
        d.vertexCount = 0;
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, gl.framebuffer);
    glViewport(0, 0, gl.width, gl.height);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glUseProgram(d.program.program);
    upload(d);
    bool textured = d.texture != nullptr;
    glProgramSetUniforms(d.program, d.state, d.pixelOffset, textured);
    glApplyPipelineState(d.state, d.sampler);
    glActiveTexture(GL_TEXTURE0 + kGlTextureUnit);
    glBindTexture(GL_TEXTURE_2D, textured ? glTextureName(*d.texture) : 0);
    glBindSampler(kGlTextureUnit, d.sampler);
    glDrawElements(GL_TRIANGLES, GLsizei(d.indexCount), GL_UNSIGNED_INT, nullptr);
    d.vertexCount = 0;
    d.indexCount = 0;
    ++d.part;
}

void endBatch(GlRenderer& gl)
{
    GlDrawing& d = *gl.drawing;
    if (!d.open)
        return;
    flushVertices(gl);
    d.open = false;
    d.texture = nullptr;
}

void openBatch(GlRenderer& gl, const DeviceState& s)
{
    GlDrawing& d = *gl.drawing;
    glBuildBatchState(s, gl.hasDepthBuffer, d.state);
    glClipTransformOf(d.state, d.pixelOffset, d.clip);
    d.version = s.version;
    d.open = true;
}

// ---- Materials --------------------------------------------------------------------------
bool sameMaterial(const D3DMATERIAL9& a, const D3DMATERIAL9& b) { return memcmp(&a, &b, sizeof a) == 0; }

// The slot of the material in the batch's table, added if new. A full
// table draws what is staged and starts afresh.
uint32_t materialSlot(GlRenderer& gl, const D3DMATERIAL9& m)
{
    GlDrawing& d = *gl.drawing;
    if (d.lastMaterial != kNoMaterial && sameMaterial(d.materialKeys[d.lastMaterial], m))
        return d.lastMaterial;
    for (uint32_t i = 0; i < d.materialCount; ++i)
        if (sameMaterial(d.materialKeys[i], m))
            return d.lastMaterial = i;
    if (d.materialCount == uint32_t(kGlMaxMaterials)) {
        flushVertices(gl);
        d.materialCount = 0;
    }
    d.materialsChanged = true;
    uint32_t slot = d.materialCount++;
    d.materialKeys[slot] = m;
    GlMaterial& g = d.materials[slot];
    glColour(m.Diffuse, g.diffuse);
    glColour(m.Ambient, g.ambient);
    glColour(m.Specular, g.specular);
    glColour(m.Emissive, g.emissive);
    g.power[0] = m.Power;
    return d.lastMaterial = slot;
}

// ---- The stream ---------------------------------------------------------------------------
size_t grownSize(size_t current, size_t wanted, size_t limit)
{
    size_t size = current < kInitialVertices ? kInitialVertices : current;
    while (size < wanted)
        size *= 2;
    return size < limit ? size : limit;
}

void flushPart(GlRenderer& gl)
{
    flushVertices(gl);
    glFlush(); // see kMaxBatchVertices
}

// Makes room for more vertices and indices, drawing what is staged when the
// batch would pass its bound. False when even an empty stream is too small.
bool ensureRoom(GlRenderer& gl, size_t moreVertices, size_t moreIndices)
{
    GlDrawing& d = *gl.drawing;
    if (moreVertices > kMaxBatchVertices || moreIndices > kMaxBatchIndices)
        return false;
    if (d.vertexCount + moreVertices > kMaxBatchVertices || d.indexCount + moreIndices > kMaxBatchIndices)
        flushPart(gl);
    size_t wantedVertices = d.vertexCount + moreVertices;
    size_t wantedIndices = d.indexCount + moreIndices;
    if (wantedVertices > d.vertices.size())
        d.vertices.resize(grownSize(d.vertices.size(), wantedVertices, kMaxBatchVertices));
    if (wantedIndices > d.indices.size())
        d.indices.resize(grownSize(d.indices.size(), wantedIndices, kMaxBatchIndices));
    return true;
}

struct Source {
    const uint8_t* bytes = nullptr; // vertex 0 of the stream
    size_t stride = 0;
    size_t count = 0; // whole vertices the buffer holds past the offset
    uint32_t tag = 0;
};

uint32_t appendVertex(GlDrawing& d, const Source& src, size_t vertex)
{
    GlVertex& v = d.vertices[d.vertexCount];
    memcpy(&v, src.bytes + vertex * src.stride, kSupportedFvfSize);
    v.tag = src.tag;
    return uint32_t(d.vertexCount++);
}

// A vertex identical to one of the last few of the same draw is indexed
// again rather than copied, so it is shaded once: a box's faces repeat two
// of their six corners. (Earlier vertices of the draw share its tag.)
uint32_t appendOrReuse(GlDrawing& d, const Source& src, size_t vertex, size_t emittedInDraw)
{
    const uint8_t* bytes = src.bytes + vertex * src.stride;
    size_t back = emittedInDraw < kLookBack ? emittedInDraw : kLookBack;
    for (size_t k = 1; k <= back; ++k) {
        uint32_t candidate = d.indices[d.indexCount - k];
        if (memcmp(&d.vertices[candidate], bytes, kSupportedFvfSize) == 0)
            return candidate;
    }
    return appendVertex(d, src, vertex);
}

void appendTriangles(GlRenderer& gl, const Source& src, size_t firstVertex, size_t triangles)
{
    GlDrawing& d = *gl.drawing;
    if (firstVertex > src.count || triangles * kIndicesPerTriangle > src.count - firstVertex)
        return;
    const size_t maxTriangles = kMaxBatchVertices / kIndicesPerTriangle;
    while (triangles > 0) {
        size_t chunk = triangles < maxTriangles ? triangles : maxTriangles;
        size_t count = chunk * kIndicesPerTriangle;
        ensureRoom(gl, count, count);
        for (size_t i = 0; i < count; ++i) {
            uint32_t index = appendOrReuse(d, src, firstVertex + i, i);
            d.indices[d.indexCount++] = index;
        }
        firstVertex += count;
        triangles -= chunk;
    }
}

// ---- Indexed draws ------------------------------------------------------------------------
struct IndexSource {
    const uint8_t* bytes = nullptr;
    bool wide = false;
    long long base = 0; // BaseVertexIndex
};

long long vertexOf(const IndexSource& ix, size_t position)
{
    if (ix.wide) {
        uint32_t value = 0;
        memcpy(&value, ix.bytes + position * sizeof value, sizeof value);
        return ix.base + value;
    }
    uint16_t value = 0;
    memcpy(&value, ix.bytes + position * sizeof value, sizeof value);
    return ix.base + value;
}

bool inStream(const Source& src, long long vertex) { return vertex >= 0 && (unsigned long long)vertex < src.count; }

// The vertices a triangle names, or false when one lies outside the buffer.
bool triangleVertices(const Source& src, const IndexSource& ix, size_t triangle, long long out[3])
{
    for (size_t k = 0; k < kIndicesPerTriangle; ++k) {
        out[k] = vertexOf(ix, triangle * kIndicesPerTriangle + k);
        if (!inStream(src, out[k]))
            return false;
    }
    return true;
}

// Copies the declared vertex range once and indexes into it, so shared
// vertices are shaded once. An index past the range (allowed to read
// anything in the buffer) gets its own copy.
void appendIndexedBlock(GlDrawing& d, const Source& src, const IndexSource& ix, size_t triangles,
                        long long first, size_t count)
{
    size_t blockStart = d.vertexCount;
    for (size_t i = 0; i < count; ++i)
        appendVertex(d, src, size_t(first) + i);
    for (size_t t = 0; t < triangles; ++t) {
        long long v[3] = {};
        if (!triangleVertices(src, ix, t, v))
            continue;
        for (long long vertex : v) {
            bool inBlock = vertex >= first && vertex < first + (long long)count;
            d.indices[d.indexCount++] =
                inBlock ? uint32_t(blockStart + size_t(vertex - first)) : appendVertex(d, src, size_t(vertex));
        }
    }
}

void appendIndexedEach(GlRenderer& gl, const Source& src, const IndexSource& ix, size_t triangles)
{
    GlDrawing& d = *gl.drawing;
    for (size_t t = 0; t < triangles; ++t) {
        long long v[3] = {};
        if (!triangleVertices(src, ix, t, v))
            continue;
        ensureRoom(gl, kIndicesPerTriangle, kIndicesPerTriangle);
        for (long long vertex : v)
            d.indices[d.indexCount++] = appendVertex(d, src, size_t(vertex));
    }
}

void appendIndexed(GlRenderer& gl, const DeviceState& s, const Source& src, const DrawCall& call)
{
    const BufferData& data = s.indices->data;
    size_t indexSize = s.indices->format == D3DFMT_INDEX32 ? 4 : 2;
    size_t indexCount = data.length / indexSize;
    size_t triangles = call.primitiveCount;
    size_t wanted = triangles * kIndicesPerTriangle;
    if (call.startIndex > indexCount || wanted > indexCount - call.startIndex)
        return;
    IndexSource ix;
    ix.bytes = data.bytes.get() + size_t(call.startIndex) * indexSize;
    ix.wide = indexSize == 4;
    ix.base = call.baseVertexIndex;
    long long first = (long long)call.baseVertexIndex + call.minVertexIndex;
    bool rangeValid = first >= 0 && first + (long long)call.numVertices <= (long long)src.count;
    // A range larger than the index list would copy more than it saves.
    if (rangeValid && call.numVertices <= wanted && ensureRoom(gl, call.numVertices + wanted, wanted))
        appendIndexedBlock(*gl.drawing, src, ix, triangles, first, call.numVertices);
    else
        appendIndexedEach(gl, src, ix, triangles);
}

} // namespace

// ---- The renderer's entry points ---------------------------------------------------------
bool glDrawingCreate(GlRenderer& gl)
{
    GlDrawing* d = new (std::nothrow) GlDrawing();
    if (!d)
        return false;
    gl.drawing = d;
    if (!glProgramCreate(d->program))
        return false;
    glGenVertexArrays(1, &d->vertexArray);
    glGenBuffers(1, &d->vertexBuffer);
    glGenBuffers(1, &d->indexBuffer);
    glGenBuffers(1, &d->materialBuffer);
    glGenSamplers(1, &d->sampler);

    glBindVertexArray(d->vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, d->vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, d->indexBuffer);
    const GLsizei stride = sizeof(GlVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(GlVertex, position)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(GlVertex, normal)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(GlVertex, texCoord)));
    glEnableVertexAttribArray(3);
    glVertexAttribIPointer(3, 1, GL_UNSIGNED_INT, stride, reinterpret_cast<void*>(offsetof(GlVertex, tag)));
    glBindBuffer(GL_UNIFORM_BUFFER, d->materialBuffer);
    glBufferData(GL_UNIFORM_BUFFER, GLsizeiptr(sizeof d->materials), nullptr, GL_DYNAMIC_DRAW);
    if (!glResidentCreate(d->pool, d->indexBuffer))
        return false;

    // Direct3D's front faces are clockwise on screen; the back buffer is
    // stored upside down for OpenGL, which mirrors them to counter-clockwise.
    glFrontFace(GL_CCW);
    // Half a pixel right and down, in clip space per unit w.
    d->pixelOffset[0] = 1.0f / float(gl.width);
    d->pixelOffset[1] = -1.0f / float(gl.height);
    d->pixelOffset[2] = gl.clipControl ? 0.0f : 1.0f;
    return glGetError() == GL_NO_ERROR;
}

void glDrawingDestroy(GlRenderer& gl)
{
    GlDrawing* d = gl.drawing;
    if (!d)
        return;
    endBatch(gl);
    glResidentDestroy(d->pool);
    glDeleteSamplers(1, &d->sampler);
    glDeleteBuffers(1, &d->materialBuffer);
    glDeleteBuffers(1, &d->indexBuffer);
    glDeleteBuffers(1, &d->vertexBuffer);
    glDeleteVertexArrays(1, &d->vertexArray);
    glProgramDestroy(d->program);
    delete d;
    gl.drawing = nullptr;
}

void glDraw(Device& device, GlRenderer& gl, const DrawCall& call)
{
    GlDrawing& d = *gl.drawing;
    const DeviceState& s = device.state;
    if (!s.stream || call.type != D3DPT_TRIANGLELIST)
        return;
    if (d.open && (s.version != d.version || (s.texture && d.texture && s.texture != d.texture)))
        endBatch(gl);
    if (!d.open)
        openBatch(gl, s);
    if (s.texture && !d.texture)
        d.texture = s.texture;

    Source src;
    const BufferData& stream = s.stream->data;
    src.stride = s.streamStride;
    if (s.streamOffset < stream.length && src.stride >= kSupportedFvfSize) {
        src.bytes = stream.bytes.get() + s.streamOffset;
        // Whole vertices only: the last one must fit all 32 bytes.
        size_t span = stream.length - s.streamOffset;
        src.count = span < kSupportedFvfSize ? 0 : (span - kSupportedFvfSize) / src.stride + 1;
    }
    src.tag = materialSlot(gl, s.material) | (s.texture ? kGlTexturedBit : 0u);
    bool pooled = glRendererOptions().residentBuffers && glDrawFromPool(gl, s, call, src.tag);
    if (!pooled) {
        if (d.stagedFromPool) {
            flushVertices(gl);
            d.stagedFromPool = false;
        }
        if (!call.indexed)
            appendTriangles(gl, src, call.startVertex, call.primitiveCount);
        else if (s.indices)
            appendIndexed(gl, s, src, call);
    }

    if (!glRendererOptions().batching)
        endBatch(gl);
}

void glFlushDraws(GlRenderer& gl)
{
    if (gl.drawing)
        endBatch(gl);
}

void glForgetTexture(GlRenderer& gl, const Texture& texture)
{
    if (gl.drawing && gl.drawing->texture == &texture)
        endBatch(gl);
}

void glForgetBuffer(GlRenderer* gl, BufferData& buffer)
{
    GlDrawing* d = gl ? gl->drawing : nullptr;
    const GlResidentBuffer* r = static_cast<const GlResidentBuffer*>(buffer.rendererData);
    if (d && r && d->stagedFromPool && r->part == d->part)
        flushVertices(*gl);
    glResidentRelease(d ? &d->pool : nullptr, buffer);
}

uint32_t glPoolCapacity(const GlRenderer& gl) { return gl.drawing ? gl.drawing->pool.capacity : 0; }

void glDrawStaged(GlRenderer& gl) { flushVertices(gl); }

bool glIndexRoom(GlRenderer& gl, size_t more)
{
    GlDrawing& d = *gl.drawing;
    if (more > kMaxBatchIndices)
        return false;
    if (d.indexCount + more > kMaxBatchIndices)
        flushPart(gl);
    size_t wanted = d.indexCount + more;
    if (wanted > d.indices.size())
        d.indices.resize(grownSize(d.indices.size(), wanted, kMaxBatchIndices));
    return true;
}

size_t glMaxPartIndices() { return kMaxBatchIndices; }
