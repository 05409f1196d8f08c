// batch.h: the batch that draws are gathered into, shared by
// the two ways a draw joins it: copying its vertices into the batch stream
// (draw.cpp) or naming vertices kept in the pool
// (pool_draw.cpp).
//
// What is staged comes from one of the two sources; a draw from the other
// draws what is staged first. Staged indices refer to the stream or the
// pool as they stand when the part is drawn, so whatever they name is not
// rewritten before then.
#pragma once

#include <cstdint>
#include <vector>

#include "d3d9/gl/renderer_state.h"
#include "d3d9/gl/program.h"
#include "d3d9/gl/resident_pool.h"

struct GlDrawing {
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

// Draws what is staged; the batch, its state and material table go on.
void glDrawStaged(GlRenderer& gl);
// Room for `more` indices in the staged part, drawing it first when it would
// pass its bound. False when even an empty part is too small.
bool glIndexRoom(GlRenderer& gl, size_t more);
// Most indices a part holds.
size_t glMaxPartIndices();

// Joins the draw to the batch through the pool. False when its vertex
// buffer cannot be drawn from the pool: copy it instead.
bool glDrawFromPool(GlRenderer& gl, const DeviceState& s, const DrawCall& call, uint32_t tag);
