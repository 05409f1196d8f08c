// fixed_function.h: Direct3D 9 fixed-function state turned into
// what the OpenGL program and pipeline take: uniforms in camera space and
// GL enums. Computed once when a batch opens, so later state changes cannot
// reach draws already recorded.
#pragma once

#include <epoxy/gl.h>

#include "d3d9/device.h"

struct GlBatchState {
    // ---- Uniforms: matrices as Direct3D rows, which GLSL reads as the transpose.
    float worldView[16] = {};
    float projection[16] = {};
    float normalMatrix[9] = {}; // rows of (World*View)^-T, upper 3x3
    float globalAmbient[3] = {};
    bool lighting = true;
    bool normalizeNormals = false;
    bool localViewer = true;
    bool specular = false;
    // The enabled lights, packed from index 0, in camera space.
    int lightCount = 0;
    float lightPosition[kMaxLights][4] = {};    // xyz, w = Range
    float lightDirection[kMaxLights][4] = {};   // unit xyz the light shines along, w = type
    float lightDiffuse[kMaxLights][4] = {};
    float lightSpecular[kMaxLights][4] = {};
    float lightAmbient[kMaxLights][4] = {};
    float lightAttenuation[kMaxLights][4] = {}; // a0, a1, a2, Falloff
    float lightSpot[kMaxLights][4] = {};        // cos(Theta/2), cos(Phi/2)

    // ---- Pipeline state.
    bool cull = true;
    GLenum cullFace = GL_BACK; // front faces are clockwise
    GLenum polygonMode = GL_FILL;
    bool depthTest = true;
    bool depthWrite = true;
    GLenum depthFunc = GL_LEQUAL;

    // ---- Sampler 0.
    GLint minFilter = GL_NEAREST;
    GLint magFilter = GL_NEAREST;
    GLint wrapS = GL_REPEAT;
    GLint wrapT = GL_REPEAT;
    float borderColor[4] = {};
};

void glBuildBatchState(const DeviceState& state, bool hasDepthBuffer, GlBatchState& out);

// Render states this renderer does not turn into anything. Drawing with
// one of them away from its default is said on standard error, once per
// state: the picture may not be what Direct3D would show.
struct GlStateReport {
    DWORD defaults[kRenderStateCount] = {};
    bool reported[kRenderStateCount] = {};
};
void glReportUnhonouredStates(const DeviceState& state, GlStateReport& report);

// A Direct3D colour as the four floats OpenGL takes, r, g, b, a.
void glColour(const D3DCOLORVALUE& c, float out[4]);
// A packed A8R8G8B8 colour (a render state, a clear colour) likewise, each
// channel over 255.
void glColourFromArgb(D3DCOLOR c, float out[4]);
