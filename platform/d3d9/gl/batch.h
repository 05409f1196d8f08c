// batch.h: the batch that draws are gathered into, and its one OpenGL draw
// per part. A draw joins it in one of two ways: by copying its vertices
// into the batch stream (stream_draw.h) or by naming vertices kept in the
// pool of resident buffers (pool_draw.h).
//
// A batch lasts while the device's state version stays the same and no
// second texture is needed; it is drawn when it ends, when its part or
// material table is full, and before Clear, Present, read-back, a change
// to a texture it uses and the device's end. What is staged comes from one
// of the two sources; a draw from the other draws what is staged first.
// Staged indices refer to the stream or the pool as they stand when the
// part is drawn, so whatever they name is not rewritten before then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "d3d9/gl/cull.h"
#include "d3d9/gl/program.h"
#include "d3d9/gl/renderer_state.h"
#include "d3d9/gl/resident_pool.h"

// The stream grows up to a bound past which a batch is drawn in parts.
// Parts are handed to OpenGL at once (glFlush), so that llvmpipe
// rasterises one while the next is being shaded; much smaller parts cost
// more, each one loading and storing the whole back buffer.
constexpr size_t kGlMaxPartVertices = size_t(1) << 14;
constexpr size_t kGlMaxPartIndices = 3 * kGlMaxPartVertices;
constexpr size_t kGlIndicesPerTriangle = 3;

struct GlBatch {
    GlProgram program;
    GLuint vertexArray = 0; // the stream's
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    GLuint materialBuffer = 0;
    GLuint sampler = 0;
    size_t vertexBufferCapacity = 0; // in vertices, on the OpenGL side
    size_t indexBufferCapacity = 0;

    std::vector<GlVertex> vertices; // sized to capacity; vertexCount are in use
    std::vector<uint32_t> indices;
    size_t vertexCount = 0;
    size_t indexCount = 0;
    bool stagedFromPool = false; // what the staged indices name
    uint64_t part = 1;           // rises each time staged indices are drawn
    std::vector<uint32_t> triangles; // an indexed draw's, decoded

    GlResidentPool pool;

    // The material table lasts across batches and frames, so a pooled
    // buffer drawn the same way keeps its tag; when the table is full it
    // starts afresh, and a tag is written again wherever its slot changed.
    D3DMATERIAL9 materialKeys[kGlMaxMaterials] = {};
    GlMaterial materials[kGlMaxMaterials] = {};
    uint32_t materialCount = 0;
    uint32_t lastMaterial = ~0u;
    bool materialsChanged = false;

    bool open = false;
    uint32_t version = 0;
    const Texture* texture = nullptr;
    GlBatchState state;
    float pixelOffset[3] = {};
    GlClipTransform clip; // the batch's, for dropping draws off the screen
};

bool glBatchCreate(GlRenderer& gl);
void glBatchDestroy(GlRenderer& gl);

// Opens a batch on the device's state, ending the open one first when the
// state or the texture it needs differs.
void glBatchJoin(GlRenderer& gl, const DeviceState& state);
// Draws what is recorded and closes the batch.
void glBatchEnd(GlRenderer& gl);
// Draws what is staged; the batch, its state and material table go on.
void glDrawStaged(GlRenderer& gl);
// Makes room for more staged vertices and indices, drawing the part first
// when it would pass its bound. False when even an empty part is too small.
bool glStageRoom(GlRenderer& gl, size_t moreVertices, size_t moreIndices);
// The slot of the material in the table, added if new.
uint32_t glMaterialSlot(GlRenderer& gl, const D3DMATERIAL9& material);

// A texture is about to change or go away: draws recorded with it are drawn first.
void glForgetTexture(GlRenderer& gl, const Texture& texture);
// A buffer is going away: draws recorded from its pooled copy are drawn
// first. `gl` is null once the renderer is gone.
void glForgetBuffer(GlRenderer* gl, BufferData& buffer);
