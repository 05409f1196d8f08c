// resident_pool.cpp: the pool of vertex buffers kept on the OpenGL
// side, its slots, and the uploads of what changed.
#include "d3d9/gl/resident_pool.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "d3d9/device.h"
#include "d3d9/gl/shader_interface.h"

namespace {

constexpr uint32_t kVertexBytes = kSupportedFvfSize;
constexpr uint32_t kInitialPoolVertices = 1u << 14;
constexpr uint32_t kMaxPoolVertices = 1u << 26; // 2 GiB of vertices
// Changed vertices are gathered into runs of adjacent slots, one upload
// each; boxes made one after another sit side by side.
constexpr uint32_t kStagingVertices = 1u << 13;
// How far back in a buffer an identical vertex is looked for.
constexpr uint32_t kLookBack = 5;

static_assert(kGlMaxResidentBytes / kVertexBytes <= 0x10000, "sharing tables hold 16-bit vertex numbers");
static_assert(kGlMaxResidentBytes / kVertexBytes <= kStagingVertices, "a whole buffer fits the staging run");

// ---- OpenGL buffers ------------------------------------------------------------------------
void pointAttributes(GlResidentPool& pool)
{
    glBindVertexArray(pool.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, pool.vertexBuffer);
    glPointVertexAttributes(GLsizei(kVertexBytes));
    glBindBuffer(GL_ARRAY_BUFFER, pool.tagBuffer);
    glVertexAttribIPointer(kGlTagAttribute, 1, GL_UNSIGNED_INT, sizeof(uint32_t), nullptr);
}

// Makes room for `wanted` vertices, keeping what the pool holds. The slots
// keep their numbers, so indices already staged stay right.
void grow(GlResidentPool& pool, uint32_t wanted)
{
    if (wanted <= pool.capacity)
        return;
    uint32_t capacity = pool.capacity ? pool.capacity : kInitialPoolVertices;
    while (capacity < wanted)
        capacity *= 2;
    pool.tags.resize(capacity);
    GLuint next = 0;
    glGenBuffers(1, &next);
    glBindBuffer(GL_COPY_WRITE_BUFFER, next);
    glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(size_t(capacity) * kVertexBytes), nullptr, GL_DYNAMIC_DRAW);
    if (pool.vertexBuffer) {
        glBindBuffer(GL_COPY_READ_BUFFER, pool.vertexBuffer);
        glCopyBufferSubData(GL_COPY_READ_BUFFER, GL_COPY_WRITE_BUFFER, 0, 0,
                            GLsizeiptr(size_t(pool.used) * kVertexBytes));
        glDeleteBuffers(1, &pool.vertexBuffer);
    }
    pool.vertexBuffer = next;
    glBindBuffer(GL_ARRAY_BUFFER, pool.tagBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(size_t(capacity) * sizeof(uint32_t)), pool.tags.data(), GL_DYNAMIC_DRAW);
    pool.tagsDirtyBegin = pool.tagsDirtyEnd = 0;
    pool.capacity = capacity;
    pointAttributes(pool);
}

// ---- Slots -----------------------------------------------------------------------------------
bool allocate(GlResidentPool& pool, uint32_t count, uint32_t& first)
{
    for (size_t i = 0; i < pool.freeRanges.size(); ++i) {
        GlResidentPool::Range& r = pool.freeRanges[i];
        if (r.count < count)
            continue;
        first = r.first;
        r.first += count;
        r.count -= count;
        if (r.count == 0)
            pool.freeRanges.erase(pool.freeRanges.begin() + std::ptrdiff_t(i));
        return true;
    }
    // Slot numbers are 32-bit; a pool this large is a mistake, refused.
    if (pool.used > kMaxPoolVertices - count)
        return false;
    grow(pool, pool.used + count);
    first = pool.used;
    pool.used += count;
    return true;
}

void release(GlResidentPool& pool, uint32_t first, uint32_t count)
{
    std::vector<GlResidentPool::Range>& ranges = pool.freeRanges;
    size_t at = 0;
    while (at < ranges.size() && ranges[at].first < first)
        ++at;
    ranges.insert(ranges.begin() + std::ptrdiff_t(at), GlResidentPool::Range{first, count});
    if (at + 1 < ranges.size() && ranges[at].first + ranges[at].count == ranges[at + 1].first) {
        ranges[at].count += ranges[at + 1].count;
        ranges.erase(ranges.begin() + std::ptrdiff_t(at + 1));
    }
    if (at > 0 && ranges[at - 1].first + ranges[at - 1].count == ranges[at].first) {
        ranges[at - 1].count += ranges[at].count;
        ranges.erase(ranges.begin() + std::ptrdiff_t(at));
    }
}

// ---- Staging ---------------------------------------------------------------------------------
void uploadStaged(GlResidentPool& pool)
{
    if (pool.stagedCount == 0)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, pool.vertexBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, GLintptr(size_t(pool.stagedFirst) * kVertexBytes),
                    GLsizeiptr(size_t(pool.stagedCount) * kVertexBytes), pool.staging.data());
    pool.stagedCount = 0;
}

void stage(GlResidentPool& pool, uint32_t first, uint32_t count, const uint8_t* bytes)
{
    bool follows = pool.stagedFirst + pool.stagedCount == first;
    if (pool.stagedCount > 0 && (!follows || pool.stagedCount + count > kStagingVertices))
        uploadStaged(pool);
    if (pool.stagedCount == 0)
        pool.stagedFirst = first;
    memcpy(pool.staging.data() + size_t(pool.stagedCount) * kVertexBytes, bytes, size_t(count) * kVertexBytes);
    pool.stagedCount += count;
}

// ---- Sharing ---------------------------------------------------------------------------------
bool sameVertex(const uint8_t* bytes, uint32_t a, uint32_t b)
{
    return memcmp(bytes + size_t(a) * kVertexBytes, bytes + size_t(b) * kVertexBytes, kVertexBytes) == 0;
}

// Still right when every vertex drawn as another has that one's bytes.
// New chances to share are only a loss of speed, never of correctness.
bool sharingHolds(const GlResidentBuffer& r, const uint8_t* bytes)
{
    for (uint32_t i = 0; i < r.count; ++i)
        if (r.sameAs[i] != i && !sameVertex(bytes, r.sameAs[i], i))
            return false;
    return true;
}

void findSharing(GlResidentBuffer& r, const uint8_t* bytes)
{
    for (uint32_t i = 0; i < r.count; ++i) {
        r.sameAs[i] = uint16_t(i);
        uint32_t back = i < kLookBack ? i : kLookBack;
        for (uint32_t k = 1; k <= back; ++k) {
            uint16_t candidate = r.sameAs[i - k];
            if (sameVertex(bytes, candidate, i)) {
                r.sameAs[i] = candidate;
                break;
            }
        }
    }
}

bool contentStale(const GlResidentBuffer& r, const BufferData& b)
{
    return !r.uploaded || r.version != b.version || b.locks > 0;
}

bool tagStale(const GlResidentBuffer& r, uint32_t tag) { return !r.tagged || r.tag != tag; }

} // namespace

// ---- The pool's entry points --------------------------------------------------------------
bool glResidentCreate(GlResidentPool& pool, GLuint indexBuffer)
{
    pool.staging.resize(size_t(kStagingVertices) * kVertexBytes);
    glGenVertexArrays(1, &pool.vertexArray);
    glGenBuffers(1, &pool.tagBuffer);
    glBindVertexArray(pool.vertexArray);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    for (GLuint attribute = 0; attribute < kGlAttributeCount; ++attribute)
        glEnableVertexAttribArray(attribute);
    grow(pool, kInitialPoolVertices);
    return glGetError() == GL_NO_ERROR;
}

void glResidentDestroy(GlResidentPool& pool)
{
    glDeleteBuffers(1, &pool.tagBuffer);
    glDeleteBuffers(1, &pool.vertexBuffer);
    glDeleteVertexArrays(1, &pool.vertexArray);
    pool = GlResidentPool();
}

GlResidentBuffer* glResidentFind(GlResidentPool& pool, BufferData& buffer)
{
    if (buffer.rendererData)
        return static_cast<GlResidentBuffer*>(buffer.rendererData);
    uint32_t count = buffer.length / kVertexBytes;
    if (buffer.length > kGlMaxResidentBytes || count == 0)
        return nullptr;
    GlResidentBuffer* r = new (std::nothrow) GlResidentBuffer();
    if (!r)
        return nullptr;
    r->sameAs.reset(new (std::nothrow) uint16_t[count]);
    if (!r->sameAs || !allocate(pool, count, r->first)) {
        delete r;
        return nullptr;
    }
    r->count = count;
    buffer.rendererData = r;
    return r;
}

bool glResidentStale(const GlResidentBuffer& record, const BufferData& buffer, uint32_t tag)
{
    return contentStale(record, buffer) || tagStale(record, tag);
}

void glResidentRefresh(GlResidentPool& pool, GlResidentBuffer& r, BufferData& b, uint32_t tag)
{
    const uint8_t* bytes = b.bytes.get();
    if (contentStale(r, b)) {
        // Only the range locked since the last upload can differ.
        uint32_t lo = 0;
        uint32_t hi = r.count;
        if (r.uploaded && b.dirtyEnd > b.dirtyBegin) {
            lo = b.dirtyBegin / kVertexBytes;
            uint32_t end = (b.dirtyEnd + kVertexBytes - 1) / kVertexBytes;
            hi = end < r.count ? end : r.count;
        }
        if (lo < hi)
            stage(pool, r.first + lo, hi - lo, bytes + size_t(lo) * kVertexBytes);
        if (!r.uploaded || !sharingHolds(r, bytes))
            findSharing(r, bytes);
        r.bounded = glBoundsOf(bytes, r.count, r.bounds);
        r.uploaded = true;
        r.version = b.version;
        b.dirtyBegin = b.dirtyEnd = 0;
    }
    if (tagStale(r, tag)) {
        for (uint32_t i = 0; i < r.count; ++i)
            pool.tags[r.first + i] = tag;
        if (pool.tagsDirtyEnd == pool.tagsDirtyBegin) {
            pool.tagsDirtyBegin = r.first;
            pool.tagsDirtyEnd = r.first + r.count;
        } else {
            if (r.first < pool.tagsDirtyBegin)
                pool.tagsDirtyBegin = r.first;
            if (r.first + r.count > pool.tagsDirtyEnd)
                pool.tagsDirtyEnd = r.first + r.count;
        }
        r.tag = tag;
        r.tagged = true;
    }
}

void glResidentUpload(GlResidentPool& pool)
{
    uploadStaged(pool);
    if (pool.tagsDirtyEnd > pool.tagsDirtyBegin) {
        glBindBuffer(GL_ARRAY_BUFFER, pool.tagBuffer);
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(size_t(pool.tagsDirtyBegin) * sizeof(uint32_t)),
                        GLsizeiptr(size_t(pool.tagsDirtyEnd - pool.tagsDirtyBegin) * sizeof(uint32_t)),
                        pool.tags.data() + pool.tagsDirtyBegin);
        pool.tagsDirtyBegin = pool.tagsDirtyEnd = 0;
    }
}

void glResidentRelease(GlResidentPool* pool, BufferData& buffer)
{
    GlResidentBuffer* r = static_cast<GlResidentBuffer*>(buffer.rendererData);
    if (!r)
        return;
    if (pool && pool->capacity)
        release(*pool, r->first, r->count);
    delete r;
    buffer.rendererData = nullptr;
}
