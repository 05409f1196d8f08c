// render_support.cpp: the render test fixture, geometry and the reference
// fixed-function lighting (written from Direct3D 9's published equations,
// in double precision).
#include "render_support.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/device_creation.h"
#include "test_controls.h"

namespace rt {

namespace {

constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr UINT kStride = sizeof(Vertex);

// ---- Small vector algebra for the reference ---------------------------------------------
struct V3 {
    double x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
V3 operator*(V3 a, V3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(V3 a) { return std::sqrt(dot(a, a)); }
V3 normalized(V3 a)
{
    double l = length(a);
    return l > 0 ? a * (1.0 / l) : V3{};
}
V3 rgb(const D3DCOLORVALUE& c) { return {c.r, c.g, c.b}; }
V3 saturate(V3 a) { return {std::clamp(a.x, 0.0, 1.0), std::clamp(a.y, 0.0, 1.0), std::clamp(a.z, 0.0, 1.0)}; }

struct M4 {
    double m[4][4] = {};
};
M4 toM4(const D3DMATRIX& d)
{
    M4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = d.m[i][j];
    return r;
}
M4 operator*(const M4& a, const M4& b)
{
    M4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}
V3 transformPoint(V3 p, const M4& m)
{
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}
V3 transformVector(V3 v, const double m[3][3])
{
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}
// (upper 3x3 of m)^-1, transposed.
void inverseTranspose3(const M4& m, double out[3][3])
{
    const double(&a)[4][4] = m.m;
    double inv[3][3] = {
        {a[1][1] * a[2][2] - a[1][2] * a[2][1], a[0][2] * a[2][1] - a[0][1] * a[2][2],
         a[0][1] * a[1][2] - a[0][2] * a[1][1]},
        {a[1][2] * a[2][0] - a[1][0] * a[2][2], a[0][0] * a[2][2] - a[0][2] * a[2][0],
         a[0][2] * a[1][0] - a[0][0] * a[1][2]},
        {a[1][0] * a[2][1] - a[1][1] * a[2][0], a[0][1] * a[2][0] - a[0][0] * a[2][1],
         a[0][0] * a[1][1] - a[0][1] * a[1][0]},
    };
    double det = a[0][0] * inv[0][0] + a[0][1] * inv[1][0] + a[0][2] * inv[2][0];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = inv[j][i] / det;
}

int toLevel(double c) { return int(std::lround(std::clamp(c, 0.0, 1.0) * 255.0)); }

struct LightSums {
    V3 ambient, diffuse, specular;
};

// One light's share at camera-space position P with normal N and view vector V.
void addLight(const Scene& scene, const D3DLIGHT9& light, const M4& view, V3 P, V3 N, LightSums& sums)
{
    V3 L;
    double att = 1.0;
    if (light.Type == D3DLIGHT_DIRECTIONAL) {
        double dir3[3][3] = {};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                dir3[i][j] = view.m[i][j];
        L = normalized(transformVector({light.Direction.x, light.Direction.y, light.Direction.z}, dir3)) * -1.0;
    } else {
        V3 Lp = transformPoint({light.Position.x, light.Position.y, light.Position.z}, view);
        double d = length(Lp - P);
        if (d > light.Range)
            return;
        L = (Lp - P) * (1.0 / d);
        att = 1.0 / (light.Attenuation0 + light.Attenuation1 * d + light.Attenuation2 * d * d);
        if (light.Type == D3DLIGHT_SPOT) {
            double dir3[3][3] = {};
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    dir3[i][j] = view.m[i][j];
            V3 D = normalized(transformVector({light.Direction.x, light.Direction.y, light.Direction.z}, dir3));
            double rho = dot(L * -1.0, D);
            double ct = std::cos(light.Theta / 2.0), cp = std::cos(light.Phi / 2.0);
            double spot = rho > ct ? 1.0 : rho <= cp ? 0.0 : std::pow((rho - cp) / (ct - cp), light.Falloff);
            att *= spot;
        }
    }
    sums.ambient = sums.ambient + rgb(light.Ambient) * att;
    double NL = dot(N, L);
    sums.diffuse = sums.diffuse + rgb(light.Diffuse) * (std::max(NL, 0.0) * att);
    V3 toEye = scene.localViewer ? normalized(P * -1.0) : V3{0, 0, -1};
    V3 H = normalized(L + toEye);
    double NH = dot(N, H);
    if (NL > 0 && NH > 0)
        sums.specular = sums.specular + rgb(light.Specular) * (std::pow(NH, scene.material.Power) * att);
}

} // namespace

// ---- Colours and matrices ------------------------------------------------------------------
std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

bool near(const Rgb& a, const Rgb& b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

D3DMATRIX identity() { return scaling(1.0f, 1.0f, 1.0f); }

D3DMATRIX translation(float x, float y, float z)
{
    D3DMATRIX m = identity();
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

D3DMATRIX scaling(float x, float y, float z)
{
    D3DMATRIX m = {};
    m._11 = x;
    m._22 = y;
    m._33 = z;
    m._44 = 1.0f;
    return m;
}

D3DMATRIX screenProjection()
{
    D3DMATRIX m = {};
    m._11 = 2.0f / float(kWidth);
    m._22 = -2.0f / float(kHeight);
    m._33 = 1.0f;
    m._41 = -1.0f;
    m._42 = 1.0f;
    m._44 = 1.0f;
    return m;
}

D3DMATRIX orthoProjection()
{
    D3DMATRIX m = {};
    m._11 = 2.0f / kOrthoUnitsWide;
    m._22 = 2.0f / kOrthoUnitsHigh;
    m._33 = 1.0f / kOrthoDepth;
    m._44 = 1.0f;
    return m;
}

int orthoPixelX(float cameraX) { return int(std::lround((cameraX / kOrthoUnitsWide + 0.5f) * float(kWidth))); }
int orthoPixelY(float cameraY) { return int(std::lround((0.5f - cameraY / kOrthoUnitsHigh) * float(kHeight))); }

D3DCOLORVALUE colour(float r, float g, float b, float a) { return D3DCOLORVALUE{r, g, b, a}; }

D3DMATERIAL9 material(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient, D3DCOLORVALUE specular,
                      D3DCOLORVALUE emissive, float power)
{
    D3DMATERIAL9 m = {};
    m.Diffuse = diffuse;
    m.Ambient = ambient;
    m.Specular = specular;
    m.Emissive = emissive;
    m.Power = power;
    return m;
}

D3DMATERIAL9 flatMaterial(float r, float g, float b)
{
    D3DCOLORVALUE none = colour(0.0f, 0.0f, 0.0f);
    return material(none, none, none, colour(r, g, b), 0.0f);
}

D3DMATERIAL9 flatMaterial(const Rgb& c)
{
    return flatMaterial(float(c.r) / 255.0f, float(c.g) / 255.0f, float(c.b) / 255.0f);
}

// ---- Geometry ---------------------------------------------------------------------------
std::vector<Vertex> screenQuad(float x0, float y0, float x1, float y1, float z, float u0, float v0, float u1, float v1)
{
    Vertex tl = {x0, y0, z, 0, 0, -1, u0, v0};
    Vertex tr = {x1, y0, z, 0, 0, -1, u1, v0};
    Vertex br = {x1, y1, z, 0, 0, -1, u1, v1};
    Vertex bl = {x0, y1, z, 0, 0, -1, u0, v1};
    return {tl, tr, br, tl, br, bl};
}

std::vector<Vertex> probe(float x, float y, float z, float nx, float ny, float nz, float radius)
{
    Vertex c = {x, y, z, nx, ny, nz, 0.5f, 0.5f};
    Vertex up = {x, y + radius, z, nx, ny, nz, 0.5f, 0.0f};
    Vertex right = {x + radius, y, z, nx, ny, nz, 1.0f, 0.5f};
    Vertex down = {x, y - radius, z, nx, ny, nz, 0.5f, 1.0f};
    Vertex left = {x - radius, y, z, nx, ny, nz, 0.0f, 0.5f};
    return {c, up, right, c, right, down, c, down, left, c, left, up};
}

// ---- Lights and the reference -----------------------------------------------------------------
D3DLIGHT9 pointLight(float x, float y, float z, float range, float a0, float a1, float a2)
{
    D3DLIGHT9 l = {};
    l.Type = D3DLIGHT_POINT;
    l.Position = D3DVECTOR{x, y, z};
    l.Range = range;
    l.Attenuation0 = a0;
    l.Attenuation1 = a1;
    l.Attenuation2 = a2;
    return l;
}

D3DLIGHT9 spotLight(float x, float y, float z, float dx, float dy, float dz, float theta, float phi, float falloff)
{
    D3DLIGHT9 l = pointLight(x, y, z, 1000.0f, 1.0f, 0.0f, 0.0f);
    l.Type = D3DLIGHT_SPOT;
    l.Direction = D3DVECTOR{dx, dy, dz};
    l.Theta = theta;
    l.Phi = phi;
    l.Falloff = falloff;
    return l;
}

D3DLIGHT9 directionalLight(float dx, float dy, float dz)
{
    D3DLIGHT9 l = {};
    l.Type = D3DLIGHT_DIRECTIONAL;
    l.Direction = D3DVECTOR{dx, dy, dz};
    return l;
}

void applyScene(IDirect3DDevice9* device, const Scene& scene)
{
    device->SetTransform(D3DTS_WORLD, &scene.world);
    device->SetTransform(D3DTS_VIEW, &scene.view);
    device->SetTransform(D3DTS_PROJECTION, &scene.projection);
    for (DWORD i = 0; i < DWORD(8); ++i) {
        if (i < scene.lights.size()) {
            device->SetLight(i, &scene.lights[i]);
            device->LightEnable(i, TRUE);
        } else {
            device->LightEnable(i, FALSE);
        }
    }
    device->SetMaterial(&scene.material);
    device->SetRenderState(D3DRS_AMBIENT, scene.ambient);
    device->SetRenderState(D3DRS_LIGHTING, scene.lighting);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, scene.normalize);
    device->SetRenderState(D3DRS_LOCALVIEWER, scene.localViewer);
    device->SetRenderState(D3DRS_SPECULARENABLE, scene.specular);
}

void cameraPoint(const Scene& scene, const float position[3], float out[3])
{
    V3 p = transformPoint({position[0], position[1], position[2]}, toM4(scene.world) * toM4(scene.view));
    out[0] = float(p.x);
    out[1] = float(p.y);
    out[2] = float(p.z);
}

Rgb referencePixel(const Scene& scene, const float position[3], const float normal[3], const float* texel)
{
    V3 colour0{1, 1, 1};
    V3 colour1{0, 0, 0};
    if (scene.lighting) {
        M4 view = toM4(scene.view);
        M4 worldView = toM4(scene.world) * view;
        V3 P = transformPoint({position[0], position[1], position[2]}, worldView);
        double normalMatrix[3][3] = {};
        inverseTranspose3(worldView, normalMatrix);
        V3 N = transformVector({normal[0], normal[1], normal[2]}, normalMatrix);
        if (scene.normalize)
            N = normalized(N);
        LightSums sums;
        sums.ambient = {((scene.ambient >> 16) & 0xFF) / 255.0, ((scene.ambient >> 8) & 0xFF) / 255.0,
                        (scene.ambient & 0xFF) / 255.0};
        for (const D3DLIGHT9& light : scene.lights)
            addLight(scene, light, view, P, N, sums);
        const D3DMATERIAL9& m = scene.material;
        colour0 = saturate(rgb(m.Emissive) + rgb(m.Ambient) * sums.ambient + rgb(m.Diffuse) * sums.diffuse);
        colour1 = saturate(rgb(m.Specular) * sums.specular);
    }
    V3 out = colour0;
    if (texel)
        out = V3{texel[0], texel[1], texel[2]} * colour0;
    if (scene.specular)
        out = out + colour1;
    return Rgb{toLevel(out.x), toLevel(out.y), toLevel(out.z)};
}

// ---- The fixture ---------------------------------------------------------------------------
void RenderTest::SetUp()
{
    testctl::useOffscreenOpenGL();
    window = testctl::createTestWindow("render test");
    ASSERT_NE(window, nullptr);
    device = createDevice();
    ASSERT_NE(device, nullptr);
}

IDirect3DDevice9* RenderTest::createDevice()
{
    IDirect3DDevice9* created = nullptr;
    return ::createDevice(&created, window, kWidth, kHeight) ? created : nullptr;
}

void RenderTest::releaseDevice()
{
    if (device) {
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetIndices(nullptr);
        device->SetTexture(0, nullptr);
    }
    for (IDirect3DVertexBuffer9* b : vertexBuffers_)
        b->Release();
    for (IDirect3DIndexBuffer9* b : indexBuffers_)
        b->Release();
    for (IDirect3DTexture9* t : textures_)
        t->Release();
    vertexBuffers_.clear();
    indexBuffers_.clear();
    textures_.clear();
    if (device) {
        EXPECT_EQ(device->Release(), 0u);
    }
    device = nullptr;
}

void RenderTest::remakeDevice(const testctl::RendererOptions& options)
{
    releaseDevice();
    testctl::setRendererOptions(options);
    device = createDevice();
    ASSERT_NE(device, nullptr);
}

void RenderTest::TearDown()
{
    releaseDevice();
    if (window)
        DestroyWindow(window);
    EXPECT_EQ(testctl::liveDevices(), 0);
    EXPECT_EQ(testctl::liveBuffers(), 0);
    EXPECT_EQ(testctl::liveTextures(), 0);
}

IDirect3DVertexBuffer9* RenderTest::vertexBuffer(const std::vector<Vertex>& vertices)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT bytes = UINT(vertices.size() * sizeof(Vertex));
    if (FAILED(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, kFvf, D3DPOOL_MANAGED, &buffer, nullptr)))
        return nullptr;
    void* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    memcpy(data, vertices.data(), bytes);
    buffer->Unlock();
    vertexBuffers_.push_back(buffer);
    return buffer;
}

IDirect3DIndexBuffer9* RenderTest::indexBuffer(const std::vector<uint32_t>& indices, bool wide)
{
    IDirect3DIndexBuffer9* buffer = nullptr;
    UINT size = wide ? 4 : 2;
    UINT bytes = UINT(indices.size()) * size;
    if (FAILED(device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                         D3DPOOL_MANAGED, &buffer, nullptr)))
        return nullptr;
    void* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    uint8_t* out = static_cast<uint8_t*>(data);
    for (size_t i = 0; i < indices.size(); ++i) {
        if (wide) {
            memcpy(out + i * 4, &indices[i], 4);
        } else {
            uint16_t narrow = uint16_t(indices[i]);
            memcpy(out + i * 2, &narrow, 2);
        }
    }
    buffer->Unlock();
    indexBuffers_.push_back(buffer);
    return buffer;
}

IDirect3DTexture9* RenderTest::texture(int width, int height, const std::vector<uint8_t>& rgba)
{
    IDirect3DTexture9* t = nullptr;
    if (FAILED(testctl::createTexture(device, width, height, rgba, &t)))
        return nullptr;
    textures_.push_back(t);
    return t;
}

void RenderTest::draw(const std::vector<Vertex>& vertices)
{
    drawBuffer(vertexBuffer(vertices), UINT(vertices.size() / 3));
}

void RenderTest::drawBuffer(IDirect3DVertexBuffer9* buffer, UINT triangles, UINT startVertex)
{
    device->SetStreamSource(0, buffer, 0, kStride);
    device->SetFVF(kFvf);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, startVertex, triangles), D3D_OK);
}

void RenderTest::clear(D3DCOLOR c)
{
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c, 1.0f, 0), D3D_OK);
}

void RenderTest::begin() { EXPECT_EQ(device->BeginScene(), D3D_OK); }
void RenderTest::end() { EXPECT_EQ(device->EndScene(), D3D_OK); }

void RenderTest::readBack()
{
    int w = 0, h = 0;
    ASSERT_TRUE(testctl::readBackBuffer(device, pixels, w, h));
    ASSERT_EQ(w, kWidth);
    ASSERT_EQ(h, kHeight);
}

Rgb RenderTest::pixel(int x, int y) const
{
    size_t at = (size_t(y) * kWidth + size_t(x)) * 4;
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || at + 2 >= pixels.size())
        return Rgb{-1, -1, -1};
    return Rgb{pixels[at], pixels[at + 1], pixels[at + 2]};
}

} // namespace rt
