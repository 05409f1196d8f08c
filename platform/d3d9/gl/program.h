// program.h: the one shader program that emulates Direct3D 9's
// fixed-function pipeline, and feeding it a batch's state.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>

#include "d3d9/gl/fixed_function.h"
#include "d3d9/gl/shader_interface.h"

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

// Compiles and links; false (with the log on standard error) on failure.
bool glProgramCreate(GlProgram& program);
void glProgramDestroy(GlProgram& program);

// Sets the batch's uniforms on the bound program. `pixelOffset` is the
// clip-space half-pixel shift (x, y) and 1 in z when depth must be remapped.
void glProgramSetUniforms(const GlProgram& program, const GlBatchState& state, const float pixelOffset[3],
                          bool hasTexture);

// Cull, fill, depth and the sampler's filtering and addressing.
void glApplyPipelineState(const GlBatchState& state, GLuint sampler);
