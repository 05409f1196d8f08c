// fixed_function.cpp: device state to batch uniforms and GL state.
#include "d3d9/gl/fixed_function.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Below this a determinant counts as zero: the normal matrix is then left
// unscaled, which normalisation makes harmless.
constexpr float kSingularDeterminant = 1e-30f;

void multiply(const D3DMATRIX& a, const D3DMATRIX& b, float out[16])
{
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[row][k] * b.m[k][col];
            out[row * 4 + col] = sum;
        }
}

// Normals are rows too (n' = n * N), so N is the inverse transpose of the
// upper 3x3: the cofactor matrix over the determinant.
void normalMatrixOf(const float m[16], float out[9])
{
    auto at = [m](int r, int c) { return m[r * 4 + c]; };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            out[r * 3 + c] = at(r1, c1) * at(r2, c2) - at(r1, c2) * at(r2, c1);
        }
    float det = at(0, 0) * out[0] + at(0, 1) * out[1] + at(0, 2) * out[2];
    float scale = std::fabs(det) > kSingularDeterminant ? 1.0f / det : 1.0f;
    for (int i = 0; i < 9; ++i)
        out[i] *= scale;
}

void transformPoint(const D3DVECTOR& p, const D3DMATRIX& m, float out[3])
{
    for (int c = 0; c < 3; ++c)
        out[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + m.m[3][c];
}

// Zero stays zero (as D3DXVec3Normalize), so a light without a direction
// lights nothing diffusely instead of poisoning the shader with NaN.
void transformDirection(const D3DVECTOR& d, const D3DMATRIX& m, float out[3])
{
    for (int c = 0; c < 3; ++c)
        out[c] = d.x * m.m[0][c] + d.y * m.m[1][c] + d.z * m.m[2][c];
    float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    float inverse = length > 0.0f ? 1.0f / length : 0.0f;
    for (int c = 0; c < 3; ++c)
        out[c] *= inverse;
}

void buildLight(const D3DLIGHT9& light, const D3DMATRIX& view, GlBatchState& out, int slot)
{
    transformPoint(light.Position, view, out.lightPosition[slot]);
    out.lightPosition[slot][3] = light.Range;
    transformDirection(light.Direction, view, out.lightDirection[slot]);
    out.lightDirection[slot][3] = float(light.Type);
    glColour(light.Diffuse, out.lightDiffuse[slot]);
    glColour(light.Specular, out.lightSpecular[slot]);
    glColour(light.Ambient, out.lightAmbient[slot]);
    float* att = out.lightAttenuation[slot];
    att[0] = light.Attenuation0;
    att[1] = light.Attenuation1;
    att[2] = light.Attenuation2;
    att[3] = light.Falloff;
    // Theta and Phi are full cone angles.
    out.lightSpot[slot][0] = std::cos(light.Theta * 0.5f);
    out.lightSpot[slot][1] = std::cos(light.Phi * 0.5f);
}

GLenum depthFuncOf(DWORD cmp)
{
    switch (cmp) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    case D3DCMP_ALWAYS: return GL_ALWAYS;
    default: return GL_LEQUAL;
    }
}

GLenum polygonModeOf(DWORD fill)
{
    switch (fill) {
    case D3DFILL_POINT: return GL_POINT;
    case D3DFILL_WIREFRAME: return GL_LINE;
    default: return GL_FILL;
    }
}

GLint wrapOf(DWORD address)
{
    switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

bool linear(DWORD filter) { return filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC; }

GLint minFilterOf(DWORD minFilter, DWORD mipFilter)
{
    bool smooth = linear(minFilter);
    if (mipFilter == D3DTEXF_POINT)
        return smooth ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    if (linear(mipFilter))
        return smooth ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    return smooth ? GL_LINEAR : GL_NEAREST; // no mip filter: level 0 only
}

void buildPipelineState(const DWORD* rs, bool hasDepthBuffer, GlBatchState& out)
{
    out.cull = rs[D3DRS_CULLMODE] != D3DCULL_NONE;
    out.cullFace = rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_FRONT : GL_BACK;
    out.polygonMode = polygonModeOf(rs[D3DRS_FILLMODE]);
    out.depthTest = hasDepthBuffer && rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    out.depthWrite = rs[D3DRS_ZWRITEENABLE] != FALSE;
    out.depthFunc = depthFuncOf(rs[D3DRS_ZFUNC]);
}

void buildSamplerState(const DWORD* ss, GlBatchState& out)
{
    out.minFilter = minFilterOf(ss[D3DSAMP_MINFILTER], ss[D3DSAMP_MIPFILTER]);
    out.magFilter = linear(ss[D3DSAMP_MAGFILTER]) ? GL_LINEAR : GL_NEAREST;
    out.wrapS = wrapOf(ss[D3DSAMP_ADDRESSU]);
    out.wrapT = wrapOf(ss[D3DSAMP_ADDRESSV]);
    glColourFromArgb(ss[D3DSAMP_BORDERCOLOR], out.borderColor);
}

// What buildPipelineState and glBuildBatchState read, and the states that
// change nothing for vertices without colours (the only layout drawn).
bool honoured(int state)
{
    switch (state) {
    case D3DRS_ZENABLE:
    case D3DRS_FILLMODE:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_CULLMODE:
    case D3DRS_ZFUNC:
    case D3DRS_SPECULARENABLE:
    case D3DRS_LIGHTING:
    case D3DRS_AMBIENT:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_COLORVERTEX:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE: return true;
    default: return false;
    }
}

const char* stateName(int state)
{
    switch (state) {
    case D3DRS_SHADEMODE: return "D3DRS_SHADEMODE";
    case D3DRS_ALPHATESTENABLE: return "D3DRS_ALPHATESTENABLE";
    case D3DRS_SRCBLEND: return "D3DRS_SRCBLEND";
    case D3DRS_DESTBLEND: return "D3DRS_DESTBLEND";
    case D3DRS_ALPHAREF: return "D3DRS_ALPHAREF";
    case D3DRS_ALPHAFUNC: return "D3DRS_ALPHAFUNC";
    case D3DRS_DITHERENABLE: return "D3DRS_DITHERENABLE";
    case D3DRS_ALPHABLENDENABLE: return "D3DRS_ALPHABLENDENABLE";
    case D3DRS_FOGENABLE: return "D3DRS_FOGENABLE";
    case D3DRS_STENCILENABLE: return "D3DRS_STENCILENABLE";
    case D3DRS_TEXTUREFACTOR: return "D3DRS_TEXTUREFACTOR";
    default: return nullptr;
    }
}

} // namespace

void glReportUnhonouredStates(const DeviceState& s, GlStateReport& report)
{
    for (int state = 0; state < kRenderStateCount; ++state) {
        const DWORD value = s.renderStates[state];
        if (value == report.defaults[state] || report.reported[state] || honoured(state))
            continue;
        report.reported[state] = true;
        const char* name = stateName(state);
        if (name)
            std::fprintf(stderr, "OpenGL renderer: %s = %lu is not honoured; drawing as if it were %lu\n", name,
                         (unsigned long)value, (unsigned long)report.defaults[state]);
        else
            std::fprintf(stderr, "OpenGL renderer: render state %d = %lu is not honoured; drawing as if it were %lu\n",
                         state, (unsigned long)value, (unsigned long)report.defaults[state]);
        std::fflush(stderr);
    }
}

void glColour(const D3DCOLORVALUE& c, float out[4])
{
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

void glColourFromArgb(D3DCOLOR c, float out[4])
{
    out[0] = float((c >> 16) & 0xFF) / 255.0f;
    out[1] = float((c >> 8) & 0xFF) / 255.0f;
    out[2] = float(c & 0xFF) / 255.0f;
    out[3] = float((c >> 24) & 0xFF) / 255.0f;
}

void glBuildBatchState(const DeviceState& s, bool hasDepthBuffer, GlBatchState& out)
{
    const DWORD* rs = s.renderStates;
    multiply(s.world, s.view, out.worldView);
    memcpy(out.projection, &s.projection, sizeof out.projection);
    normalMatrixOf(out.worldView, out.normalMatrix);

    float ambient[4];
    glColourFromArgb(rs[D3DRS_AMBIENT], ambient);
    memcpy(out.globalAmbient, ambient, sizeof out.globalAmbient);
    out.lighting = rs[D3DRS_LIGHTING] != FALSE;
    out.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != FALSE;
    out.localViewer = rs[D3DRS_LOCALVIEWER] != FALSE;
    out.specular = rs[D3DRS_SPECULARENABLE] != FALSE;

    out.lightCount = 0;
    for (int i = 0; i < kMaxLights; ++i) {
        const D3DLIGHT9& light = s.lights[i];
        bool known = light.Type >= D3DLIGHT_POINT && light.Type <= D3DLIGHT_DIRECTIONAL;
        if (s.lightEnabled[i] && known)
            buildLight(light, s.view, out, out.lightCount++);
    }

    buildPipelineState(rs, hasDepthBuffer, out);
    buildSamplerState(s.samplerStates, out);
}
