// batch.cpp: the batch's stream, material table and parts, and drawing a
// part: one upload and one OpenGL draw. Triangles keep their submission
// order within the one draw, so depth ties still go to the later triangle.
#include "d3d9/gl/batch.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "d3d9/gl/texture.h"

namespace {

constexpr size_t kInitialVertices = 4096;
constexpr uint32_t kNoMaterial = ~0u;

// ---- Uploading and drawing ------------------------------------------------------------
void growBuffer(GLenum target, GLuint buffer, size_t& capacity, size_t wanted, size_t elementSize)
{
    if (wanted <= capacity)
        return;
    glBindBuffer(target, buffer);
    glBufferData(target, GLsizeiptr(wanted * elementSize), nullptr, GL_STREAM_DRAW);
    capacity = wanted;
}

void upload(GlBatch& b)
{
    if (b.stagedFromPool) {
        glResidentUpload(b.pool);
        glBindVertexArray(b.pool.vertexArray);
    } else {
        glBindVertexArray(b.vertexArray);
        growBuffer(GL_ARRAY_BUFFER, b.vertexBuffer, b.vertexBufferCapacity, b.vertices.size(), sizeof(GlVertex));
        glBindBuffer(GL_ARRAY_BUFFER, b.vertexBuffer);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(b.vertexCount * sizeof(GlVertex)), b.vertices.data());
    }
    growBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indexBuffer, b.indexBufferCapacity, b.indices.size(), sizeof(uint32_t));
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, GLsizeiptr(b.indexCount * sizeof(uint32_t)), b.indices.data());
    if (b.materialsChanged) {
        glBindBuffer(GL_UNIFORM_BUFFER, b.materialBuffer);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, GLsizeiptr(b.materialCount * sizeof(GlMaterial)), b.materials);
        b.materialsChanged = false;
    }
    glBindBufferBase(GL_UNIFORM_BUFFER, kGlMaterialBinding, b.materialBuffer);
}

void openBatch(GlRenderer& gl, const DeviceState& s)
{
    GlBatch& b = *gl.batch;
    glBuildBatchState(s, gl.hasDepthBuffer, b.state);
    glClipTransformOf(b.state, b.pixelOffset, b.clip);
    glReportUnhonouredStates(s, gl.stateReport);
    b.version = s.version;
    b.open = true;
}

// ---- The stream ---------------------------------------------------------------------------
size_t grownSize(size_t current, size_t wanted, size_t limit)
{
    size_t size = current < kInitialVertices ? kInitialVertices : current;
    while (size < wanted)
        size *= 2;
    return size < limit ? size : limit;
}

void pointStreamAttributes()
{
    const GLsizei stride = sizeof(GlVertex);
    for (GLuint attribute = 0; attribute < kGlAttributeCount; ++attribute)
        glEnableVertexAttribArray(attribute);
    glPointVertexAttributes(stride);
    glVertexAttribIPointer(kGlTagAttribute, 1, GL_UNSIGNED_INT, stride, reinterpret_cast<void*>(offsetof(GlVertex, tag)));
}

} // namespace

// ---- Life ----------------------------------------------------------------------------------
bool glBatchCreate(GlRenderer& gl)
{
    GlBatch* b = new (std::nothrow) GlBatch();
    if (!b)
        return false;
    gl.batch = b;
    if (!glProgramCreate(b->program))
        return false;
    glGenVertexArrays(1, &b->vertexArray);
    glGenBuffers(1, &b->vertexBuffer);
    glGenBuffers(1, &b->indexBuffer);
    glGenBuffers(1, &b->materialBuffer);
    glGenSamplers(1, &b->sampler);

    glBindVertexArray(b->vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, b->vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b->indexBuffer);
    pointStreamAttributes();
    glBindBuffer(GL_UNIFORM_BUFFER, b->materialBuffer);
    glBufferData(GL_UNIFORM_BUFFER, GLsizeiptr(sizeof b->materials), nullptr, GL_DYNAMIC_DRAW);
    if (!glResidentCreate(b->pool, b->indexBuffer))
        return false;

    // Direct3D's front faces are clockwise on screen; the back buffer is
    // stored upside down for OpenGL, which mirrors them to counter-clockwise.
    glFrontFace(GL_CCW);
    // Half a pixel right and down, in clip space per unit w.
    b->pixelOffset[0] = 1.0f / float(gl.width);
    b->pixelOffset[1] = -1.0f / float(gl.height);
    b->pixelOffset[2] = gl.clipControl ? 0.0f : 1.0f;
    return glGetError() == GL_NO_ERROR;
}

void glBatchDestroy(GlRenderer& gl)
{
    GlBatch* b = gl.batch;
    if (!b)
        return;
    glBatchEnd(gl);
    glResidentDestroy(b->pool);
    glDeleteSamplers(1, &b->sampler);
    glDeleteBuffers(1, &b->materialBuffer);
    glDeleteBuffers(1, &b->indexBuffer);
    glDeleteBuffers(1, &b->vertexBuffer);
    glDeleteVertexArrays(1, &b->vertexArray);
    glProgramDestroy(b->program);
    delete b;
    gl.batch = nullptr;
}

// ---- Batches and parts -----------------------------------------------------------------------
void glDrawStaged(GlRenderer& gl)
{
    GlBatch& b = *gl.batch;
    if (b.indexCount == 0) {
        b.vertexCount = 0;
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, gl.framebuffer);
    glViewport(0, 0, gl.width, gl.height);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glUseProgram(b.program.program);
    upload(b);
    bool textured = b.texture != nullptr;
    glProgramSetUniforms(b.program, b.state, b.pixelOffset, textured);
    glApplyPipelineState(b.state, b.sampler);
    glActiveTexture(GL_TEXTURE0 + kGlTextureUnit);
    glBindTexture(GL_TEXTURE_2D, textured ? glTextureName(*b.texture) : 0);
    glBindSampler(kGlTextureUnit, b.sampler);
    glDrawElements(GL_TRIANGLES, GLsizei(b.indexCount), GL_UNSIGNED_INT, nullptr);
    b.vertexCount = 0;
    b.indexCount = 0;
    ++b.part;
}

void glBatchJoin(GlRenderer& gl, const DeviceState& s)
{
    GlBatch& b = *gl.batch;
    if (b.open && (s.version != b.version || (s.texture && b.texture && s.texture != b.texture)))
        glBatchEnd(gl);
    if (!b.open)
        openBatch(gl, s);
    if (s.texture && !b.texture)
        b.texture = s.texture;
}

void glBatchEnd(GlRenderer& gl)
{
    GlBatch& b = *gl.batch;
    if (!b.open)
        return;
    glDrawStaged(gl);
    b.open = false;
    b.texture = nullptr;
}

bool glStageRoom(GlRenderer& gl, size_t moreVertices, size_t moreIndices)
{
    GlBatch& b = *gl.batch;
    if (moreVertices > kGlMaxPartVertices || moreIndices > kGlMaxPartIndices)
        return false;
    if (b.vertexCount + moreVertices > kGlMaxPartVertices || b.indexCount + moreIndices > kGlMaxPartIndices) {
        glDrawStaged(gl);
        glFlush(); // see kGlMaxPartVertices
    }
    size_t wantedVertices = b.vertexCount + moreVertices;
    size_t wantedIndices = b.indexCount + moreIndices;
    if (wantedVertices > b.vertices.size())
        b.vertices.resize(grownSize(b.vertices.size(), wantedVertices, kGlMaxPartVertices));
    if (wantedIndices > b.indices.size())
        b.indices.resize(grownSize(b.indices.size(), wantedIndices, kGlMaxPartIndices));
    return true;
}

// ---- Materials --------------------------------------------------------------------------
// A full table draws what is staged and starts afresh.
uint32_t glMaterialSlot(GlRenderer& gl, const D3DMATERIAL9& m)
{
    GlBatch& b = *gl.batch;
    auto same = [](const D3DMATERIAL9& x, const D3DMATERIAL9& y) { return memcmp(&x, &y, sizeof x) == 0; };
    if (b.lastMaterial != kNoMaterial && same(b.materialKeys[b.lastMaterial], m))
        return b.lastMaterial;
    for (uint32_t i = 0; i < b.materialCount; ++i)
        if (same(b.materialKeys[i], m))
            return b.lastMaterial = i;
    if (b.materialCount == uint32_t(kGlMaxMaterials)) {
        glDrawStaged(gl);
        b.materialCount = 0;
    }
    b.materialsChanged = true;
    uint32_t slot = b.materialCount++;
    b.materialKeys[slot] = m;
    GlMaterial& g = b.materials[slot];
    glColour(m.Diffuse, g.diffuse);
    glColour(m.Ambient, g.ambient);
    glColour(m.Specular, g.specular);
    glColour(m.Emissive, g.emissive);
    g.power[0] = m.Power;
    return b.lastMaterial = slot;
}

// ---- What goes away -------------------------------------------------------------------------
void glForgetTexture(GlRenderer& gl, const Texture& texture)
{
    if (gl.batch && gl.batch->texture == &texture)
        glBatchEnd(gl);
}

void glForgetBuffer(GlRenderer* gl, BufferData& buffer)
{
    GlBatch* b = gl ? gl->batch : nullptr;
    const GlResidentBuffer* r = static_cast<const GlResidentBuffer*>(buffer.rendererData);
    if (b && r && b->stagedFromPool && r->part == b->part)
        glDrawStaged(*gl);
    glResidentRelease(b ? &b->pool : nullptr, buffer);
}
