// shader_interface.h: what the C++ side and the GLSL of the fixed-function
// program share, each defined once, here: the vertex attributes, the layout
// of a vertex and of a material, the bits of a vertex's tag, the light
// types and the attenuation's bounds. The shaders see the constants as GLSL
// declarations put ahead of their source (glShaderDeclarations).
#pragma once

#include <epoxy/gl.h>

#include <cstdint>

#include "d3d9/device.h"

// Vertex attributes, bound to these locations by name before the program links.
constexpr GLuint kGlPositionAttribute = 0;
constexpr GLuint kGlNormalAttribute = 1;
constexpr GLuint kGlTexCoordAttribute = 2;
constexpr GLuint kGlTagAttribute = 3;
constexpr GLuint kGlAttributeCount = 4;

// Materials a batch can name: a vertex's tag holds the slot in its low
// byte, and the textured bit when the draw's texture applies to it.
constexpr int kGlMaxMaterials = 128;
constexpr uint32_t kGlMaterialMask = 0xFF;
constexpr uint32_t kGlTexturedBit = 0x100;
static_assert(kGlMaxMaterials <= int(kGlMaterialMask) + 1, "a slot fits the tag's low byte");

// Attenuation denominators at or below kGlMinDenominator light with the
// large, finite kGlMaxAttenuation.
constexpr float kGlMinDenominator = 1e-20f;
constexpr float kGlMaxAttenuation = 1e20f;

// Binding point of the material block; texture unit of stage 0.
constexpr GLuint kGlMaterialBinding = 0;
constexpr GLuint kGlTextureUnit = 0;

// A vertex as the batch stream holds it: Direct3D's 32 bytes, then the tag.
struct GlVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
    uint32_t tag;
};
static_assert(sizeof(GlVertex) == kSupportedFvfSize + sizeof(uint32_t), "Direct3D's vertex, then the tag");

// One entry of the std140 material block.
struct GlMaterial {
    float diffuse[4];
    float ambient[4];
    float specular[4];
    float emissive[4];
    float power[4]; // x
};
static_assert(sizeof(GlMaterial) == 80, "std140 layout of Material");

// The constants above that the shaders read, with the device's light
// count and Direct3D's light types, as GLSL const declarations.
const char* glShaderDeclarations();

// Binds the attributes' names to their locations; call before linking.
void glBindShaderAttributes(GLuint program);
// Points position, normal and texture coordinate at vertices laid out as
// GlVertex starts, `stride` bytes apart, in the bound GL_ARRAY_BUFFER.
void glPointVertexAttributes(GLsizei stride);
