// shaders.cpp: the GLSL of the fixed-function program.
//
// Vertex stage: Direct3D 9 per-vertex lighting in camera space, then the
// projection with Direct3D's pixel centres and depth range. Fragment stage:
// texture stage 0 modulate and specular added after texturing. The
// constants they name (kMaxLights, kTexturedBit, ...) are declared ahead of
// them from shader_interface.h.
#include "d3d9/gl/shaders.h"

const char* const kGlShaderVersion = "#version 330 core\n";

const char* const kGlVertexShader = R"glsl(
in vec3 aPosition;
in vec3 aNormal;
in vec2 aTexCoord;
in uint aTag; // material slot, plus kTexturedBit when a texture applies

struct Material {
    vec4 diffuse;
    vec4 ambient;
    vec4 specular;
    vec4 emissive;
    vec4 power; // x
};
layout(std140) uniform Materials { Material uMaterials[kMaxMaterials]; };

uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform vec3 uPixelOffset; // x, y: clip-space offset per unit w; z: 1 to remap depth from [0, 1]
uniform bool uLighting;
uniform bool uNormalize;
uniform bool uLocalViewer;
uniform bool uSpecular;
uniform vec3 uGlobalAmbient;
uniform int uLightCount;
uniform vec4 uLightPosition[kMaxLights];
uniform vec4 uLightDirection[kMaxLights];
uniform vec4 uLightDiffuse[kMaxLights];
uniform vec4 uLightSpecular[kMaxLights];
uniform vec4 uLightAmbient[kMaxLights];
uniform vec4 uLightAttenuation[kMaxLights];
uniform vec4 uLightSpot[kMaxLights];

out vec4 vColor0;
out vec3 vColor1;
out vec2 vTexCoord;
flat out uint vTextured;

vec3 safeNormalize(vec3 v)
{
    float len = length(v);
    return len > 0.0 ? v / len : vec3(0.0);
}

void light(Material m, vec3 P, vec3 N, vec3 V, inout vec3 ambient, inout vec3 diffuse, inout vec3 specular)
{
    for (int i = 0; i < uLightCount; ++i) {
        int type = int(uLightDirection[i].w);
        vec3 L;
        float att = 1.0;
        if (type == kDirectional) {
            L = -uLightDirection[i].xyz;
        } else {
            vec3 toLight = uLightPosition[i].xyz - P;
            float d = length(toLight);
            if (d > uLightPosition[i].w)
                continue; // beyond Range: not even ambient
            L = d > 0.0 ? toLight / d : vec3(0.0);
            vec4 a = uLightAttenuation[i];
            float denominator = a.x + a.y * d + a.z * d * d;
            att = denominator > kMinDenominator ? 1.0 / denominator : kMaxAttenuation;
            if (type == kSpot) {
                float rho = dot(-L, uLightDirection[i].xyz);
                float inner = uLightSpot[i].x;
                float outer = uLightSpot[i].y;
                float spot = rho > inner ? 1.0 : (rho <= outer ? 0.0 : pow((rho - outer) / (inner - outer), a.w));
                att *= spot;
            }
        }
        ambient += uLightAmbient[i].rgb * att;
        float NL = dot(N, L);
        diffuse += uLightDiffuse[i].rgb * (max(NL, 0.0) * att);
        if (uSpecular && NL > 0.0) {
            float NH = dot(N, safeNormalize(L + V));
            if (NH > 0.0)
                specular += uLightSpecular[i].rgb * (pow(NH, m.power.x) * att);
        }
    }
}

void main()
{
    vec4 P = uWorldView * vec4(aPosition, 1.0);
    vec4 clip = uProjection * P;
    // Direct3D 9 samples pixels at integer coordinates, OpenGL at half-integers.
    clip.xy += uPixelOffset.xy * clip.w;
    // The back buffer is kept top row first, as Direct3D's, so that pixels
    // exactly on an edge go to the same triangle as under Direct3D's
    // top-left rule.
    clip.y = -clip.y;
    if (uPixelOffset.z != 0.0)
        clip.z = 2.0 * clip.z - clip.w;
    gl_Position = clip;
    vTexCoord = aTexCoord;
    vTextured = aTag & kTexturedBit;

    if (!uLighting) {
        vColor0 = vec4(1.0);
        vColor1 = vec3(0.0);
        return;
    }
    Material m = uMaterials[int(aTag & kMaterialMask)];
    vec3 N = uNormalMatrix * aNormal;
    if (uNormalize)
        N = safeNormalize(N);
    vec3 V = uLocalViewer ? safeNormalize(-P.xyz) : vec3(0.0, 0.0, -1.0);
    vec3 ambient = uGlobalAmbient;
    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    light(m, P.xyz, N, V, ambient, diffuse, specular);
    vColor0 = clamp(vec4(m.emissive.rgb + m.ambient.rgb * ambient + m.diffuse.rgb * diffuse, m.diffuse.a), 0.0, 1.0);
    vColor1 = clamp(m.specular.rgb * specular, 0.0, 1.0);
}
)glsl";

const char* const kGlFragmentShader = R"glsl(
in vec4 vColor0;
in vec3 vColor1;
in vec2 vTexCoord;
flat in uint vTextured;

uniform sampler2D uTexture;
uniform bool uHasTexture; // the batch has a texture; vTextured says whether this draw used it
uniform bool uSpecular;

out vec4 fragColor;

void main()
{
    vec4 colour = vColor0;
    if (uHasTexture && vTextured != 0u) {
        vec4 texel = texture(uTexture, vTexCoord);
        colour = vec4(texel.rgb * vColor0.rgb, texel.a);
    }
    if (uSpecular)
        colour.rgb += vColor1;
    fragColor = colour;
}
)glsl";
