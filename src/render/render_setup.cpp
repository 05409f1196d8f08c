// render_setup.cpp: what draws the arena: the view and projection, the
// three materials, the two lights, and the sampler and render states that
// hold for the rest of the run.
#include "render/render_setup.h"

#include "app/game_state.h"
#include "math/color_value.h"
#include "math/matrix4.h"

namespace {

constexpr float kFieldOfView = 1.5707964f;
constexpr float kAspectRatio = 4.0f / 3.0f; // constant, whatever the window's shape
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 1000.0f;
constexpr float kMaterialPower = 5.0f;
constexpr float kLightRange = 100.0f;
constexpr float kLightLinearAttenuation = 0.1f;

D3DMATERIAL9 makeMaterial(ColorValue diffuse, ColorValue ambient, ColorValue specular, ColorValue emissive)
{
    D3DMATERIAL9 m;
    m.Diffuse = diffuse.toD3D();
    m.Ambient = ambient.toD3D();
    m.Specular = specular.toD3D();
    m.Emissive = emissive.toD3D();
    m.Power = kMaterialPower;
    return m;
}

void setUpMaterials()
{
    const ColorValue white(1.0f, 1.0f, 1.0f, 1.0f);
    const ColorValue none = scaled(white, 0.0f);
    const ColorValue opaqueBlack(0.0f, 0.0f, 0.0f, 1.0f);
    g_shadowMaterial = makeMaterial(none, none, none, opaqueBlack);
    g_crateMaterial = makeMaterial(white, white, scaled(white, 0.1f), opaqueBlack);
    g_defaultMaterial = makeMaterial(none, white, none, opaqueBlack);
}

// The spot light's cone, full angles in radians: full light within the
// inner cone, none beyond the outer, fading between them with this falloff.
constexpr float kSpotInnerCone = 0.5f;
constexpr float kSpotOuterCone = 1.0f;
constexpr float kSpotFalloff = 1.0f;

// What differs between the two lights; both reach 100 units and fade as
// 1 / (0.1 d).
struct LightSettings {
    D3DLIGHTTYPE type;
    ColorValue diffuse, specular, ambient;
    Vec3 position, direction;
    float falloff, theta, phi;
};

D3DLIGHT9 makeLight(const LightSettings& l)
{
    D3DLIGHT9 light;
    ZeroMemory(&light, sizeof light);
    light.Type = l.type;
    light.Diffuse = l.diffuse.toD3D();
    light.Specular = l.specular.toD3D();
    light.Ambient = l.ambient.toD3D();
    light.Position = toD3DX(l.position);
    light.Direction = toD3DX(l.direction);
    light.Range = kLightRange;
    light.Falloff = l.falloff;
    light.Attenuation0 = 0.0f;
    light.Attenuation1 = kLightLinearAttenuation;
    light.Attenuation2 = 0.0f;
    light.Theta = l.theta;
    light.Phi = l.phi;
    return light;
}

void setUpLights()
{
    const ColorValue white(1.0f, 1.0f, 1.0f, 1.0f);
    const ColorValue none = scaled(white, 0.0f);

    g_pointLight = makeLight({D3DLIGHT_POINT, none, scaled(white, 0.5f), scaled(white, 0.5f),
                              makeVec3(0.0f, 5.0f, 0.0f), makeVec3(0.0f, 0.0f, 0.0f), 0.0f, 0.0f, 0.0f});
    g_device->SetLight(kPointLightIndex, &g_pointLight);
    g_device->LightEnable(kPointLightIndex, TRUE);

    // It starts above the centre looking along the view; each frame moves it onto the camera.
    g_spotLight = makeLight({D3DLIGHT_SPOT, none, none, ColorValue(0.0f, 0.0f, 0.5f, 0.5f),
                             makeVec3(0.0f, 1.0f, 0.0f), g_camera.viewDirection(), kSpotFalloff, kSpotInnerCone,
                             kSpotOuterCone});
    g_device->SetLight(kSpotLightIndex, &g_spotLight);
    g_device->LightEnable(kSpotLightIndex, TRUE);
}

void setUpViewAndProjection()
{
    g_camera.applyView(g_device);

    Matrix4 projection;
    D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, kAspectRatio, kNearPlane, kFarPlane);
    g_device->SetTransform(D3DTS_PROJECTION, &projection);
}

} // namespace

void setUpRendering()
{
    setUpViewAndProjection();
    setUpMaterials();
    setUpLights();

    g_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    g_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    g_device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    g_device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    g_device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);

    g_device->SetMaterial(&g_crateMaterial);
    g_device->SetTexture(0, g_crateTexture);

    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    g_device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    g_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
}
