// shader_interface.cpp: the shared constants written out for GLSL.
#include "d3d9/gl/shader_interface.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace {

void declareInt(std::string& out, const char* name, long long value)
{
    out += "const int " + std::string(name) + " = " + std::to_string(value) + ";\n";
}

void declareUint(std::string& out, const char* name, uint32_t value)
{
    out += "const uint " + std::string(name) + " = " + std::to_string(value) + "u;\n";
}

// Nine significant digits give back the same float.
void declareFloat(std::string& out, const char* name, float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(value));
    out += "const float " + std::string(name) + " = " + text + ";\n";
}

std::string declarations()
{
    std::string out;
    declareInt(out, "kMaxLights", kMaxLights);
    declareInt(out, "kMaxMaterials", kGlMaxMaterials);
    declareUint(out, "kMaterialMask", kGlMaterialMask);
    declareUint(out, "kTexturedBit", kGlTexturedBit);
    declareInt(out, "kPoint", D3DLIGHT_POINT);
    declareInt(out, "kSpot", D3DLIGHT_SPOT);
    declareInt(out, "kDirectional", D3DLIGHT_DIRECTIONAL);
    declareFloat(out, "kMinDenominator", kGlMinDenominator);
    declareFloat(out, "kMaxAttenuation", kGlMaxAttenuation);
    return out;
}

} // namespace

const char* glShaderDeclarations()
{
    static const std::string text = declarations();
    return text.c_str();
}

void glBindShaderAttributes(GLuint program)
{
    glBindAttribLocation(program, kGlPositionAttribute, "aPosition");
    glBindAttribLocation(program, kGlNormalAttribute, "aNormal");
    glBindAttribLocation(program, kGlTexCoordAttribute, "aTexCoord");
    glBindAttribLocation(program, kGlTagAttribute, "aTag");
}

void glPointVertexAttributes(GLsizei stride)
{
    glVertexAttribPointer(kGlPositionAttribute, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(GlVertex, position)));
    glVertexAttribPointer(kGlNormalAttribute, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(GlVertex, normal)));
    glVertexAttribPointer(kGlTexCoordAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(GlVertex, texCoord)));
}
