// resident_pool.h: vertex buffers kept on the OpenGL side across
// frames.
//
// Every small vertex buffer that is drawn gets a slot in one large OpenGL
// buffer, the pool, and is uploaded again only when the program has
// unlocked it since (its version rose). Draws from it then cost indices
// alone. Beside each pooled vertex the pool keeps its tag (material slot
// and textured bit, see shader_interface.h), written when a draw needs
// another one; a buffer drawn the same way every frame is never touched.
//
// The caller keeps Direct3D's ordering: it draws what it has staged before
// a slot that staged indices name is rewritten, retagged or freed.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "d3d9/gl/cull.h"
#include "d3d9/resources.h"

// Larger buffers are copied into the batch stream by each draw instead.
constexpr uint32_t kGlMaxResidentBytes = 64u * 1024u;

// BufferData::rendererData of a pooled vertex buffer.
struct GlResidentBuffer {
    uint32_t first = 0; // its vertex 0, in pool vertices
    uint32_t count = 0; // whole vertices it holds
    uint32_t version = 0;
    bool uploaded = false;
    uint32_t tag = 0;
    bool tagged = false;
    uint64_t part = 0; // the batch part that last named it
    GlBounds bounds;
    bool bounded = false; // false: bounds unknown or not finite
    // For each vertex, the earliest of the few before it with the same
    // bytes (or itself): a non-indexed draw indexes that one, so it is
    // shaded once, as a box's faces share two of their six corners.
    std::unique_ptr<uint16_t[]> sameAs;
};

struct GlResidentPool {
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint tagBuffer = 0;
    uint32_t capacity = 0; // vertices
    uint32_t used = 0;     // vertices below this were handed out at some time
    struct Range {
        uint32_t first;
        uint32_t count;
    };
    std::vector<Range> freeRanges; // sorted, never adjacent

    std::vector<uint32_t> tags; // mirror of tagBuffer
    uint32_t tagsDirtyBegin = 0;
    uint32_t tagsDirtyEnd = 0;

    // Changed vertices waiting for the next draw, one run of the pool.
    std::vector<uint8_t> staging;
    uint32_t stagedFirst = 0;
    uint32_t stagedCount = 0;
};

// The pool's vertex array draws with `indexBuffer` as its element buffer.
bool glResidentCreate(GlResidentPool& pool, GLuint indexBuffer);
void glResidentDestroy(GlResidentPool& pool);

// The buffer's record, made with its slot on first use. Null when the
// buffer is too large to pool or memory runs out: draw it the old way.
GlResidentBuffer* glResidentFind(GlResidentPool& pool, BufferData& buffer);

// True when the pool's copy of the buffer or its tag must be written before
// the buffer is drawn with `tag`.
bool glResidentStale(const GlResidentBuffer& record, const BufferData& buffer, uint32_t tag);
// Stages what changed: the vertices, their sharing table, bounds and tag.
void glResidentRefresh(GlResidentPool& pool, GlResidentBuffer& record, BufferData& buffer, uint32_t tag);

// Puts everything staged into OpenGL; call before drawing from the pool.
void glResidentUpload(GlResidentPool& pool);

// The buffer is going away: its slot returns to the pool (if the renderer
// still has one) and its record is deleted.
void glResidentRelease(GlResidentPool* pool, BufferData& buffer);
