// Per-vertex lighting, texturing and specular against the reference equations.
//
// Each check draws small "probes" (four triangles around one vertex) under an
// orthographic camera and reads the pixel under the probe's centre, which
// shows that vertex's colour exactly.
#include "render_support.h"

namespace rt {
namespace {

struct Probe {
    float position[3];
    float normal[3];
};

class Lighting : public RenderTest {
protected:
    // Draws the probes under the scene, compares each with the reference
    // and returns what was shown.
    std::vector<Rgb> expectProbes(const Scene& scene, const std::vector<Probe>& probes,
                                  IDirect3DTexture9* tex = nullptr, const float* texel = nullptr)
    {
        clear(D3DCOLOR_XRGB(0, 0, 0));
        begin();
        applyScene(device, scene);
        device->SetTexture(0, tex);
        for (const Probe& p : probes)
            draw(probe(p.position[0], p.position[1], p.position[2], p.normal[0], p.normal[1], p.normal[2]));
        end();
        readBack();
        std::vector<Rgb> shown;
        for (const Probe& p : probes) {
            float camera[3] = {};
            cameraPoint(scene, p.position, camera);
            Rgb actual = pixel(orthoPixelX(camera[0]), orthoPixelY(camera[1]));
            EXPECT_RGB_NEAR(actual, referencePixel(scene, p.position, p.normal, texel))
                << " probe at " << p.position[0] << "," << p.position[1] << "," << p.position[2];
            shown.push_back(actual);
        }
        return shown;
    }

    IDirect3DTexture9* solidTexture(uint8_t r, uint8_t g, uint8_t b)
    {
        const int size = 4;
        std::vector<uint8_t> rgba;
        for (int i = 0; i < size * size; ++i)
            rgba.insert(rgba.end(), {r, g, b, 255});
        return texture(size, size, rgba);
    }
};

Scene pointLitScene()
{
    Scene s;
    D3DLIGHT9 light = pointLight(1.0f, 0.5f, 5.0f, 100.0f, 0.5f, 0.1f, 0.02f);
    light.Ambient = colour(0.6f, 0.4f, 0.2f);
    light.Diffuse = colour(0.5f, 0.7f, 1.0f);
    s.lights.push_back(light);
    s.material = material(colour(0.8f, 0.6f, 0.4f), colour(1.0f, 1.0f, 1.0f), colour(0, 0, 0),
                          colour(0.05f, 0.05f, 0.05f), 1.0f);
    return s;
}

TEST_F(Lighting, PointLightAmbientDiffuseAndAttenuation)
{
    Scene s = pointLitScene();
    std::vector<Rgb> shown = expectProbes(s, {
        {{-3.0f, 0.0f, 10.0f}, {0, 0, -1}},
        {{0.0f, 0.0f, 10.0f}, {0, 0, -1}},
        {{2.0f, 1.5f, 10.0f}, {0, 0, -1}},
        {{1.0f, 0.5f, 6.0f}, {0, 0, -1}},
        {{-2.0f, -2.0f, 20.0f}, {0.6f, 0.0f, -0.8f}},
    });
    // Farther probes are darker: attenuation acts.
    EXPECT_LT(shown[4].g, shown[3].g);
    EXPECT_LT(shown[0].g, shown[1].g);
}

TEST_F(Lighting, SpotConeInsideBetweenAndOutside)
{
    Scene s;
    // Theta and Phi are full angles: the inner cone reaches 0.2 rad off axis, the outer 0.4.
    D3DLIGHT9 spot = spotLight(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.4f, 0.8f, 2.0f);
    spot.Diffuse = colour(1.0f, 1.0f, 1.0f);
    s.lights.push_back(spot);
    s.material = material(colour(0.9f, 0.9f, 0.9f), colour(0, 0, 0), colour(0, 0, 0), colour(0, 0, 0), 1.0f);
    std::vector<Rgb> shown = expectProbes(s, {
        {{0.5f, 0.0f, 5.0f}, {0, 0, -1}},  // 0.10 rad: inside
        {{1.5f, 0.0f, 5.0f}, {0, 0, -1}},  // 0.29 rad: between
        {{0.0f, -1.3f, 5.0f}, {0, 0, -1}}, // 0.25 rad: between
        {{3.5f, 0.0f, 5.0f}, {0, 0, -1}},  // 0.61 rad: outside
    });
    EXPECT_GT(shown[0].r, 200);
    EXPECT_GT(shown[1].r, 10);
    EXPECT_LT(shown[1].r, shown[0].r - 50);
    EXPECT_GT(shown[2].r, shown[1].r);
    EXPECT_EQ(shown[3].r, 0);
}

TEST_F(Lighting, BeyondRangeALightGivesNothingNotEvenAmbient)
{
    Scene s;
    D3DLIGHT9 light = pointLight(0.0f, 0.0f, 0.0f, 6.0f, 1.0f, 0.0f, 0.0f);
    light.Ambient = colour(0.5f, 0.5f, 0.5f);
    light.Diffuse = colour(0.3f, 0.3f, 0.3f);
    s.lights.push_back(light);
    s.ambient = D3DCOLOR_XRGB(0x20, 0x20, 0x20);
    s.material = material(colour(1, 1, 1), colour(1, 1, 1), colour(0, 0, 0), colour(0.1f, 0.2f, 0.3f), 1.0f);
    std::vector<Rgb> shown = expectProbes(s, {
        {{0.0f, 0.0f, 5.5f}, {0, 0, -1}}, // inside Range
        {{0.0f, 1.0f, 6.5f}, {0, 0, -1}}, // beyond it
    });
    // Beyond Range only emissive and the global ambient remain.
    EXPECT_RGB_NEAR(shown[1], (Rgb{26 + 32, 51 + 32, 77 + 32}));
    EXPECT_GT(shown[0].r, shown[1].r + 50);
}

TEST_F(Lighting, GlobalAmbientIsAnArgbColourScaledByTheMaterialAmbient)
{
    Scene s;
    s.ambient = 0x80336699; // alpha plays no part
    s.material = material(colour(1, 1, 1), colour(1.0f, 0.5f, 1.0f), colour(0, 0, 0), colour(0, 0, 0), 1.0f);
    std::vector<Rgb> shown = expectProbes(s, {{{0.0f, 0.0f, 5.0f}, {0, 0, -1}}});
    EXPECT_RGB_NEAR(shown[0], (Rgb{0x33, 0x33, 0x99}));
}

Scene specularScene()
{
    Scene s;
    D3DLIGHT9 light = pointLight(2.0f, 1.0f, 0.0f, 100.0f, 1.0f, 0.0f, 0.0f);
    light.Diffuse = colour(0.3f, 0.3f, 0.3f);
    light.Specular = colour(1.0f, 0.8f, 0.6f);
    s.lights.push_back(light);
    s.material = material(colour(0.5f, 0.5f, 0.5f), colour(0, 0, 0), colour(0.9f, 0.9f, 0.9f), colour(0, 0, 0),
                          8.0f);
    return s;
}

const std::vector<Probe> kSpecularProbes = {
    {{1.0f, 0.5f, 4.0f}, {0, 0, -1}},
    {{0.0f, 0.0f, 4.0f}, {0, 0, -1}},
    {{-2.0f, 1.0f, 6.0f}, {0.3f, 0.0f, -1.0f}},
};

TEST_F(Lighting, SpecularIsAddedOnlyWhenEnabled)
{
    Scene s = specularScene();
    s.specular = false;
    std::vector<Rgb> off = expectProbes(s, kSpecularProbes);
    s.specular = true;
    std::vector<Rgb> on = expectProbes(s, kSpecularProbes);
    EXPECT_GT(on[0].r, off[0].r + 30);
}

TEST_F(Lighting, LocalViewerChangesTheHalfVector)
{
    Scene s = specularScene();
    s.specular = true;
    s.localViewer = true;
    std::vector<Rgb> local = expectProbes(s, kSpecularProbes);
    s.localViewer = false;
    std::vector<Rgb> infinite = expectProbes(s, kSpecularProbes);
    EXPECT_NE(local[0].r, infinite[0].r);
}

TEST_F(Lighting, SpecularComesAfterTexturing)
{
    Scene s = specularScene();
    s.specular = true;
    IDirect3DTexture9* t = solidTexture(128, 64, 255);
    const float texel[4] = {128 / 255.0f, 64 / 255.0f, 1.0f, 1.0f};
    expectProbes(s, kSpecularProbes, t, texel);
}

TEST_F(Lighting, TextureModulatesTheLitColourAndNoTextureShowsItAlone)
{
    Scene s = pointLitScene();
    const std::vector<Probe> probes = {{{0.0f, 0.0f, 8.0f}, {0, 0, -1}}, {{-1.0f, 1.0f, 6.0f}, {0, 0, -1}}};
    std::vector<Rgb> plain = expectProbes(s, probes);
    IDirect3DTexture9* t = solidTexture(200, 100, 50);
    const float texel[4] = {200 / 255.0f, 100 / 255.0f, 50 / 255.0f, 1.0f};
    std::vector<Rgb> textured = expectProbes(s, probes, t, texel);
    EXPECT_LT(textured[0].g, plain[0].g);
    std::vector<Rgb> again = expectProbes(s, probes, nullptr);
    EXPECT_RGB_NEAR(again[0], plain[0]);
}

TEST_F(Lighting, NonUnitNormalsAreNormalisedOnlyWhenAsked)
{
    Scene s;
    D3DLIGHT9 light = directionalLight(0.3f, -0.2f, 1.0f);
    light.Diffuse = colour(0.25f, 0.25f, 0.25f);
    s.lights.push_back(light);
    s.material = material(colour(1, 1, 1), colour(0, 0, 0), colour(0, 0, 0), colour(0, 0, 0), 1.0f);
    const std::vector<Probe> longNormals = {{{0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, -3.0f}},
                                            {{1.0f, 0.0f, 5.0f}, {-1.0f, 1.0f, -1.0f}}};
    s.normalize = true;
    std::vector<Rgb> normalised = expectProbes(s, longNormals);
    s.normalize = false;
    std::vector<Rgb> raw = expectProbes(s, longNormals);
    EXPECT_GT(raw[0].r, normalised[0].r * 2);
}

TEST_F(Lighting, NormalsFollowTheInverseTransposeOfANonUniformWorld)
{
    Scene s;
    D3DLIGHT9 light = directionalLight(-1.0f, 0.0f, 1.0f);
    light.Diffuse = colour(1.0f, 1.0f, 1.0f);
    s.lights.push_back(light);
    s.material = material(colour(0.8f, 0.8f, 0.8f), colour(0, 0, 0), colour(0, 0, 0), colour(0, 0, 0), 1.0f);
    s.world = scaling(3.0f, 1.0f, 1.0f);
    expectProbes(s, {{{0.5f, 0.0f, 5.0f}, {1.0f, 0.0f, -1.0f}}, {{-0.5f, 1.0f, 5.0f}, {0.5f, 0.5f, -1.0f}}});
}

TEST_F(Lighting, SeveralLightsInCameraSpaceAddUp)
{
    Scene s;
    D3DLIGHT9 sun = directionalLight(0.0f, -1.0f, 1.0f);
    sun.Diffuse = colour(0.3f, 0.2f, 0.1f);
    D3DLIGHT9 lamp = pointLight(0.0f, 2.0f, 2.0f, 50.0f, 0.2f, 0.1f, 0.0f);
    lamp.Diffuse = colour(0.1f, 0.3f, 0.2f);
    lamp.Ambient = colour(0.1f, 0.0f, 0.1f);
    D3DLIGHT9 spot = spotLight(-1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.6f, 1.2f, 1.0f);
    spot.Diffuse = colour(0.2f, 0.2f, 0.4f);
    s.lights = {sun, lamp, spot};
    s.material = material(colour(1, 1, 1), colour(1, 1, 1), colour(0, 0, 0), colour(0, 0, 0), 1.0f);
    // The camera stands back and to the side: lights move with the view.
    s.view = translation(-0.5f, 0.3f, 4.0f);
    expectProbes(s, {{{0.0f, 0.0f, 4.0f}, {0, 0, -1}},
                     {{-1.0f, -0.5f, 3.0f}, {0, 0.5f, -1}},
                     {{1.0f, 1.0f, 6.0f}, {-0.2f, 0, -1}}});
}

TEST_F(Lighting, WithoutLightingVerticesAreWhiteAndHaveNoSpecular)
{
    Scene s = specularScene();
    s.specular = true;
    s.lighting = false;
    std::vector<Rgb> plain = expectProbes(s, kSpecularProbes);
    EXPECT_RGB_NEAR(plain[0], (Rgb{255, 255, 255}));
    IDirect3DTexture9* t = solidTexture(30, 60, 90);
    const float texel[4] = {30 / 255.0f, 60 / 255.0f, 90 / 255.0f, 1.0f};
    std::vector<Rgb> textured = expectProbes(s, kSpecularProbes, t, texel);
    EXPECT_RGB_NEAR(textured[0], (Rgb{30, 60, 90}));
}

// A strip lit far beyond 1 at its left end and not at all at its right:
// clamped per vertex, its middle shows half the colour, not a full one.
TEST_F(Lighting, ColoursSaturatePerVertexBeforeInterpolation)
{
    Scene s;
    D3DLIGHT9 light = directionalLight(0.0f, 0.0f, 1.0f);
    light.Diffuse = colour(4.0f, 0.0f, 0.0f);
    light.Specular = colour(0.0f, 4.0f, 0.0f);
    s.lights.push_back(light);
    s.specular = true;
    s.localViewer = false;
    s.material = material(colour(1, 1, 1), colour(0, 0, 0), colour(1, 1, 1), colour(0, 0, 0), 1.0f);
    const float z = 5.0f;
    Vertex tl = {-2.0f, 0.5f, z, 0, 0, -1, 0, 0};
    Vertex bl = {-2.0f, -0.5f, z, 0, 0, -1, 0, 0};
    Vertex tr = {2.0f, 0.5f, z, 0, 0, 1, 0, 0};
    Vertex br = {2.0f, -0.5f, z, 0, 0, 1, 0, 0};
    clear(D3DCOLOR_XRGB(0, 0, 255));
    begin();
    applyScene(device, s);
    draw({tl, tr, br, tl, br, bl});
    end();
    readBack();
    EXPECT_RGB_NEAR(pixel(orthoPixelX(-2.0f) + 1, orthoPixelY(0.0f)), (Rgb{255, 255, 0}));
    EXPECT_RGB_NEAR(pixel(orthoPixelX(0.0f), orthoPixelY(0.0f)), (Rgb{128, 128, 0}));
    EXPECT_RGB_NEAR(pixel(orthoPixelX(1.0f), orthoPixelY(0.0f)), (Rgb{64, 64, 0}));
}

TEST_F(Lighting, ZeroAttenuationSaturatesInsteadOfBreaking)
{
    Scene s;
    D3DLIGHT9 light = pointLight(0.0f, 0.0f, 0.0f, 100.0f, 0.0f, 0.0f, 0.0f);
    light.Ambient = colour(0.5f, 0.0f, 0.0f);
    light.Diffuse = colour(0.0f, 0.0f, 0.2f);
    s.lights.push_back(light);
    s.material = material(colour(1, 1, 1), colour(1, 1, 1), colour(0, 0, 0), colour(0, 0.25f, 0), 1.0f);
    clear(D3DCOLOR_XRGB(0, 0, 0));
    begin();
    applyScene(device, s);
    draw(probe(0.0f, 0.0f, 5.0f, 0.0f, 0.0f, -1.0f));
    end();
    readBack();
    EXPECT_RGB_NEAR(pixel(orthoPixelX(0.0f), orthoPixelY(0.0f)), (Rgb{255, 64, 255}));
}

TEST_F(Lighting, TheGameLightsMatchTheReference)
{
    // The arena's own set-up: a point light with ambient and specular and a
    // spot light with blue ambient, through a perspective-free probe view.
    Scene s;
    D3DLIGHT9 point = pointLight(0.0f, 5.0f, 0.0f, 100.0f, 0.0f, 0.1f, 0.0f);
    point.Specular = colour(0.5f, 0.5f, 0.5f);
    point.Ambient = colour(0.5f, 0.5f, 0.5f);
    D3DLIGHT9 spot = spotLight(0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f, 1.0f, 1.0f);
    spot.Attenuation0 = 0.0f;
    spot.Attenuation1 = 0.1f;
    spot.Range = 100.0f;
    spot.Ambient = colour(0.0f, 0.0f, 0.5f, 0.5f);
    s.lights = {point, spot};
    s.specular = true;
    s.view = translation(0.0f, 0.0f, 5.0f);
    s.material = material(colour(1, 1, 1), colour(1, 1, 1), colour(0.1f, 0.1f, 0.1f), colour(0, 0, 0, 1), 5.0f);
    expectProbes(s, {{{0.0f, 0.0f, 10.0f}, {0, 0, -1}},
                     {{-3.0f, -2.0f, 3.0f}, {0.577f, 0.577f, -0.577f}},
                     {{2.0f, 1.0f, 20.0f}, {0, 0, -1}}});
}

} // namespace
} // namespace rt
