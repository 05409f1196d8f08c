// The Direct3D 9 object and device of the platform on the recording
// renderer: creation checks, reference counting, bindings and draw checks.
#include <gtest/gtest.h>

#include "support/headless_device.h"

namespace {

struct Device : ::testing::Test {
    HeadlessDevice headless;
    IDirect3DDevice9* d() { return headless.device; }

    IDirect3DVertexBuffer9* vertexBuffer(UINT bytes = 1152)
    {
        IDirect3DVertexBuffer9* vb = nullptr;
        d()->CreateVertexBuffer(bytes, D3DUSAGE_DYNAMIC, 274, D3DPOOL_DEFAULT, &vb, nullptr);
        return vb;
    }
};

TEST(Direct3D, OnlyTheSdkVersionOfThisHeaderIsAccepted)
{
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DCAPS9 caps;
    ASSERT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_NE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST(Direct3D, CreateDeviceRefusesWhatItCannotShow)
{
    testctl::useHeadless();
    HWND window = testctl::createTestWindow();
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = 800;
    p.BackBufferHeight = 600;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    const DWORD hw = D3DCREATE_HARDWARE_VERTEXPROCESSING;

    EXPECT_TRUE(FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, hw, &p, &device))); // no window
    EXPECT_TRUE(FAILED(d3d->CreateDevice(0, D3DDEVTYPE_REF, window, hw, &p, &device)));
    EXPECT_TRUE(FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0, &p, &device))); // no vertex processing
    D3DPRESENT_PARAMETERS fullscreen = p;
    fullscreen.Windowed = FALSE;
    EXPECT_TRUE(FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, hw, &fullscreen, &device)));
    D3DPRESENT_PARAMETERS badDepth = p;
    badDepth.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
    EXPECT_TRUE(FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, hw, &badDepth, &device)));
    EXPECT_EQ(device, nullptr);

    p.hDeviceWindow = window;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, hw, &p, &device), D3D_OK);
    EXPECT_EQ(testctl::deviceBehaviorFlags(device), hw);
    EXPECT_EQ(d3d->Release(), 1u); // the device keeps the Direct3D object
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(testctl::liveDevices(), 0);
}

TEST_F(Device, ResourcesHoldTheDeviceAndBoundOnesOutliveTheirRelease)
{
    IDirect3DVertexBuffer9* vb = vertexBuffer();
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(d()->AddRef(), 3u); // ours, the buffer's, this one
    d()->Release();
    d()->SetStreamSource(0, vb, 0, 32);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(testctl::liveBuffers(), 1); // still bound
    d()->SetStreamSource(0, nullptr, 0, 0);
    EXPECT_EQ(testctl::liveBuffers(), 0);
}

TEST_F(Device, ReleasingTheDeviceFreesResourcesThatAreOnlyBound)
{
    IDirect3DVertexBuffer9* vb = vertexBuffer();
    d()->SetStreamSource(0, vb, 0, 32);
    vb->Release();
    EXPECT_EQ(headless.device->Release(), 0u);
    headless.device = nullptr;
    EXPECT_EQ(testctl::liveDevices(), 0);
    EXPECT_EQ(testctl::liveBuffers(), 0);
}

TEST_F(Device, BuffersLockWhollyOrInRangeAndRejectBadRanges)
{
    IDirect3DVertexBuffer9* vb = vertexBuffer(64);
    void* whole = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &whole, 0), D3D_OK);
    static_cast<unsigned char*>(whole)[63] = 0xAB;
    vb->Unlock();
    void* part = nullptr;
    ASSERT_EQ(vb->Lock(60, 4, &part, 0), D3D_OK);
    EXPECT_EQ(static_cast<unsigned char*>(part)[3], 0xAB);
    vb->Unlock();
    EXPECT_EQ(vb->Lock(60, 8, &part, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL); // not locked
    vb->Release();

    IDirect3DVertexBuffer9* none = nullptr;
    EXPECT_TRUE(FAILED(d()->CreateVertexBuffer(0, 0, 274, D3DPOOL_DEFAULT, &none, nullptr)));
    EXPECT_EQ(none, nullptr);
}

// Managed textures: a level keeps what was written to it, each level is
// half the one above, and what Direct3D refuses is refused.
TEST_F(Device, TexturesLockByLevelAndKeepTheirContents)
{
    IDirect3DTexture9* t = nullptr;
    ASSERT_EQ(d()->CreateTexture(8, 2, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &t, nullptr), D3D_OK);
    EXPECT_EQ(t->GetLevelCount(), 4u); // 8x2, 4x1, 2x1, 1x1
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(t->GetLevelDesc(1, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(t->GetLevelDesc(4, &desc), D3DERR_INVALIDCALL);

    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(t->LockRect(1, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    EXPECT_EQ(t->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    static_cast<unsigned char*>(locked.pBits)[15] = 0xAB;
    EXPECT_EQ(t->UnlockRect(1), D3D_OK);
    EXPECT_EQ(t->UnlockRect(1), D3DERR_INVALIDCALL);
    ASSERT_EQ(t->LockRect(1, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<unsigned char*>(locked.pBits)[15], 0xAB);
    t->UnlockRect(1);
    const RECT part = {0, 0, 1, 1};
    EXPECT_EQ(t->LockRect(0, &locked, &part, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(t->LockRect(4, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    t->Release();

    IDirect3DTexture9* none = nullptr;
    EXPECT_EQ(d()->CreateTexture(0, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &none, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(d()->CreateTexture(4, 4, 4, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &none, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(d()->CreateTexture(16384, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &none, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(d()->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &none, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(testctl::liveTextures(), 0);
}

TEST_F(Device, DrawsAreCheckedAndRecordedWithTheirState)
{
    IDirect3DVertexBuffer9* vb = vertexBuffer();
    d()->SetStreamSource(0, vb, 0, 32);
    d()->SetFVF(274);
    EXPECT_EQ(d()->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 12), D3DERR_INVALIDCALL); // outside a scene
    d()->BeginScene();
    EXPECT_EQ(d()->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 13), D3DERR_INVALIDCALL); // past the buffer
    EXPECT_EQ(d()->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
    D3DMATERIAL9 material = {};
    material.Power = 7.0f;
    d()->SetMaterial(&material);
    EXPECT_EQ(d()->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 12), D3D_OK);
    d()->SetFVF(D3DFVF_XYZ);
    EXPECT_EQ(d()->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    d()->EndScene();
    ASSERT_EQ(testctl::drawLog().draws.size(), 1u);
    const testctl::DrawRecord& r = testctl::drawLog().draws[0];
    EXPECT_EQ(r.stream, vb);
    EXPECT_EQ(r.material.Power, 7.0f);
    EXPECT_EQ(r.call.primitiveCount, 12u);
    d()->SetStreamSource(0, nullptr, 0, 0);
    vb->Release();
}

TEST_F(Device, StateHasDirect3DDefaultsAndKeepsWhatIsSet)
{
    DWORD value = 0;
    d()->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_CCW));
    d()->GetRenderState(D3DRS_ZFUNC, &value);
    EXPECT_EQ(value, DWORD(D3DCMP_LESSEQUAL));
    d()->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, DWORD(TRUE));
    d()->GetSamplerState(0, D3DSAMP_MINFILTER, &value);
    EXPECT_EQ(value, DWORD(D3DTEXF_POINT));
    D3DMATRIX world;
    d()->GetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(world._11, 1.0f);
    EXPECT_EQ(world._41, 0.0f);

    // Enabling a light never set gives the default white directional light.
    EXPECT_EQ(d()->LightEnable(3, TRUE), D3D_OK);
    D3DLIGHT9 light;
    ASSERT_EQ(d()->GetLight(3, &light), D3D_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Direction.z, 1.0f);
    EXPECT_EQ(d()->LightEnable(8, TRUE), D3DERR_INVALIDCALL);
}

TEST_F(Device, LightsDirect3DRefusesAreRefused)
{
    D3DLIGHT9 spot = {};
    spot.Type = D3DLIGHT_SPOT;
    spot.Range = 100.0f;
    spot.Attenuation1 = 0.1f;
    spot.Direction = D3DVECTOR{0, 0, 1};
    EXPECT_EQ(d()->SetLight(0, &spot), D3D_OK);
    D3DLIGHT9 bad = spot;
    bad.Direction = D3DVECTOR{0, 0, 0};
    EXPECT_EQ(d()->SetLight(0, &bad), D3DERR_INVALIDCALL);
    bad = spot;
    bad.Attenuation2 = -1.0f;
    EXPECT_EQ(d()->SetLight(0, &bad), D3DERR_INVALIDCALL);
    bad = spot;
    bad.Range = -1.0f;
    EXPECT_EQ(d()->SetLight(0, &bad), D3DERR_INVALIDCALL);
    bad = spot;
    bad.Type = D3DLIGHTTYPE(9);
    EXPECT_EQ(d()->SetLight(0, &bad), D3DERR_INVALIDCALL);
    D3DLIGHT9 kept;
    d()->GetLight(0, &kept);
    EXPECT_EQ(kept.Direction.z, 1.0f); // a refused light changes nothing
    D3DLIGHT9 point = spot;
    point.Type = D3DLIGHT_POINT;
    point.Direction = D3DVECTOR{0, 0, 0}; // a point light has no direction
    EXPECT_EQ(d()->SetLight(1, &point), D3D_OK);
}

TEST_F(Device, ARefusedBufferLeavesTheOutputNull)
{
    testctl::failBufferCreationAfter(1);
    IDirect3DVertexBuffer9* first = vertexBuffer();
    IDirect3DVertexBuffer9* second = vertexBuffer();
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    first->Release();
}

} // namespace
