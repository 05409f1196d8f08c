// render_support.h: shared pieces of the render tests: a fixture with a
// real OpenGL device on SDL's off-screen driver, geometry helpers, and a
// reference of Direct3D 9's fixed-function lighting to compare pixels with.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "test_controls.h"

namespace rt {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
// Pixels may differ from the reference by this many levels of 255.
constexpr int kTolerance = 3;

struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

struct Rgb {
    int r = 0, g = 0, b = 0;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);
bool near(const Rgb& a, const Rgb& b, int tolerance = kTolerance);
#define EXPECT_RGB_NEAR(actual, expected) \
    EXPECT_PRED2([](const rt::Rgb& a, const rt::Rgb& e) { return rt::near(a, e); }, actual, expected)

// ---- Matrices (Direct3D rows: v' = v * M) -----------------------------------------------
D3DMATRIX identity();
D3DMATRIX translation(float x, float y, float z);
D3DMATRIX scaling(float x, float y, float z);
// Maps Direct3D screen coordinates (pixels, x right, y down) to clip space; z passes through.
D3DMATRIX screenProjection();
// Camera space to clip space: kOrthoUnitsWide by kOrthoUnitsHigh around the
// axis, depth 0..kOrthoDepth; 100 pixels per unit.
constexpr float kOrthoUnitsWide = 8.0f;
constexpr float kOrthoUnitsHigh = 6.0f;
constexpr float kOrthoDepth = 100.0f;
D3DMATRIX orthoProjection();
// The Direct3D pixel where an orthographic camera-space point lands.
int orthoPixelX(float cameraX);
int orthoPixelY(float cameraY);

D3DMATERIAL9 material(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient, D3DCOLORVALUE specular,
                      D3DCOLORVALUE emissive, float power);
// Lit by nothing but its own emissive colour: a flat colour.
D3DMATERIAL9 flatMaterial(float r, float g, float b);
D3DMATERIAL9 flatMaterial(const Rgb& c);
D3DCOLORVALUE colour(float r, float g, float b, float a = 1.0f);

// ---- Geometry ---------------------------------------------------------------------------
// Two triangles covering [x0, x1) x [y0, y1) in screen coordinates, clockwise on screen.
std::vector<Vertex> screenQuad(float x0, float y0, float x1, float y1, float z, float u0 = 0.0f, float v0 = 0.0f,
                               float u1 = 1.0f, float v1 = 1.0f);
// Four triangles meeting at (x, y, z) in object space, all with this normal;
// the pixel under the centre shows exactly the centre vertex's colour.
std::vector<Vertex> probe(float x, float y, float z, float nx, float ny, float nz, float radius = 0.05f);

// ---- Reference lighting ------------------------------------------------------------------
struct Scene {
    D3DMATRIX world = identity();
    D3DMATRIX view = identity();
    D3DMATRIX projection = orthoProjection();
    std::vector<D3DLIGHT9> lights;
    D3DMATERIAL9 material = flatMaterial(0.0f, 0.0f, 0.0f);
    D3DCOLOR ambient = 0;
    bool lighting = true;
    bool normalize = true;
    bool localViewer = true;
    bool specular = false;
};

// Sets the scene's transforms, lights (0..n-1, enabled), material and states.
void applyScene(IDirect3DDevice9* device, const Scene& scene);
// What Direct3D 9 shows for a vertex at `position` with `normal` (object
// space); `texel` (RGBA in [0, 1]) is the texture's colour there, or null.
Rgb referencePixel(const Scene& scene, const float position[3], const float normal[3], const float* texel = nullptr);

// Where an object-space point lies in camera space under the scene's World * View.
void cameraPoint(const Scene& scene, const float position[3], float out[3]);

D3DLIGHT9 pointLight(float x, float y, float z, float range, float a0, float a1, float a2);
D3DLIGHT9 spotLight(float x, float y, float z, float dx, float dy, float dz, float theta, float phi, float falloff);
D3DLIGHT9 directionalLight(float dx, float dy, float dz);

// ---- The fixture -------------------------------------------------------------------------
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A device on a fresh window; released by TearDown.
    IDirect3DDevice9* createDevice();
    // Releases the device and what was made on it, and makes `device` anew
    // with these renderer options.
    void remakeDevice(const testctl::RendererOptions& options);
    IDirect3DVertexBuffer9* vertexBuffer(const std::vector<Vertex>& vertices);
    IDirect3DIndexBuffer9* indexBuffer(const std::vector<uint32_t>& indices, bool wide);
    IDirect3DTexture9* texture(int width, int height, const std::vector<uint8_t>& rgba);
    // Binds a new vertex buffer with these vertices and draws them as a triangle list.
    void draw(const std::vector<Vertex>& vertices);
    void drawBuffer(IDirect3DVertexBuffer9* buffer, UINT triangles, UINT startVertex = 0);
    void clear(D3DCOLOR colour);
    void begin();
    void end();

    // Reads the back buffer (everything drawn so far); pixel() reads from
    // the last read.
    void readBack();
    Rgb pixel(int x, int y) const;
    std::vector<uint8_t> pixels;

    IDirect3DDevice9* device = nullptr;
    HWND window = nullptr;

private:
    void releaseDevice();
    std::vector<IDirect3DVertexBuffer9*> vertexBuffers_;
    std::vector<IDirect3DIndexBuffer9*> indexBuffers_;
    std::vector<IDirect3DTexture9*> textures_;
};

} // namespace rt
