// program.h: the one shader program that emulates Direct3D 9's
// fixed-function pipeline, its vertex layout and its material table.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>

#include "d3d9/gl/fixed_function.h"

// Materials a batch can name; the vertex tag holds the slot in its low byte.
constexpr int kGlMaxMaterials = 128;
constexpr uint32_t kGlTexturedBit = 0x100;

// A vertex as the batch stream holds it: Direct3D's 32 bytes, then the tag.
struct GlVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
    uint32_t tag;
};
static_assert(sizeof(GlVertex) == 36, "the vertex layout is shared with the shader");

// One entry of the std140 material block.
struct GlMaterial {
    float diffuse[4];
    float ambient[4];
    float specular[4];
    float emissive[4];
    float power[4];
};
static_assert(sizeof(GlMaterial) == 80, "std140 layout of Material");

extern const char* const kGlVertexShader;
extern const char* const kGlFragmentShader;

struct GlProgram {
    GLuint program = 0;
    GLint worldView = -1;
    GLint projection = -1;
    GLint normalMatrix = -1;
    GLint pixelOffset = -1;
    GLint lighting = -1;
    GLint normalize = -1;
    GLint localViewer = -1;
    GLint specular = -1;
    GLint globalAmbient = -1;
    GLint lightCount = -1;
    GLint lightPosition = -1;
    GLint lightDirection = -1;
    GLint lightDiffuse = -1;
    GLint lightSpecular = -1;
    GLint lightAmbient = -1;
    GLint lightAttenuation = -1;
    GLint lightSpot = -1;
    GLint texture = -1;
    GLint hasTexture = -1;
};

// Binding point of the material block.
constexpr GLuint kGlMaterialBinding = 0;
// Texture unit of stage 0.
constexpr GLuint kGlTextureUnit = 0;

// Compiles and links; false (with the log on standard error) on failure.
bool glProgramCreate(GlProgram& program);
void glProgramDestroy(GlProgram& program);

// Sets the batch's uniforms on the bound program. `pixelOffset` is the
// clip-space half-pixel shift (x, y) and 1 in z when depth must be remapped.
void glProgramSetUniforms(const GlProgram& program, const GlBatchState& state, const float pixelOffset[3],
                          bool hasTexture);

// Cull, fill, depth and the sampler's filtering and addressing.
void glApplyPipelineState(const GlBatchState& state, GLuint sampler);
