// device.cpp: IDirect3DDevice9: state setters, validation of draws, and
// hand-off to the renderer.
#include "d3d9/device.h"


#include "win32/window.h"

namespace {

// sqrt(FLT_MAX): the largest range Direct3D 9 accepts.
constexpr float kMaxLightRange = 1.8446743e19f;

bool sameBytes(const void* a, const void* b, size_t n) { return memcmp(a, b, n) == 0; }

D3DMATRIX* transformSlot(DeviceState& s, D3DTRANSFORMSTATETYPE which)
{
    switch (int(which)) {
    case D3DTS_VIEW: return &s.view;
    case D3DTS_PROJECTION: return &s.projection;
    case int(D3DTS_WORLD): return &s.world;
    default: return nullptr;
    }
}

D3DLIGHT9 defaultLight()
{
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = D3DVECTOR{0.0f, 0.0f, 1.0f};
    return light;
}

// What Direct3D 9 refuses in SetLight: an unknown type, a negative or
// enormous range, negative attenuation, and a light that shines along a
// zero direction.
bool validLight(const D3DLIGHT9& light)
{
    if (light.Type < D3DLIGHT_POINT || light.Type > D3DLIGHT_DIRECTIONAL)
        return false;
    if (light.Type != D3DLIGHT_DIRECTIONAL && !(light.Range >= 0.0f && light.Range <= kMaxLightRange))
        return false;
    if (!(light.Attenuation0 >= 0.0f && light.Attenuation1 >= 0.0f && light.Attenuation2 >= 0.0f))
        return false;
    const D3DVECTOR& d = light.Direction;
    if (light.Type != D3DLIGHT_POINT && d.x == 0.0f && d.y == 0.0f && d.z == 0.0f)
        return false;
    return true;
}

UINT verticesFor(UINT primitiveCount) { return primitiveCount * 3; }

bool streamReady(const DeviceState& s)
{
    return s.stream && s.fvf == kSupportedFvf && s.streamStride >= kSupportedFvfSize;
}

UINT streamVertexCount(const DeviceState& s)
{
    UINT length = s.stream->data.length;
    return s.streamOffset >= length ? 0 : (length - s.streamOffset) / s.streamStride;
}

void destroyDevice(Device* d)
{
    DeviceState& s = d->state;
    rebind(s.texture, nullptr);
    rebind(s.stream, nullptr);
    rebind(s.indices, nullptr);
    d->renderer->destroy(*d);
    windowReleaseHost(d->window);
    if (d->direct3d)
        d->direct3d->Release();
    --liveObjectCounts().devices;
    delete d;
}

} // namespace

void releaseDeviceFromResource(Device* device)
{
    if (device)
        device->Release();
}

// ---- Lifetime -----------------------------------------------------------------------
ULONG IDirect3DDevice9::AddRef() { return ++asImpl(this).refs; }

ULONG IDirect3DDevice9::Release()
{
    Device& d = asImpl(this);
    if (d.refs == 0)
        return 0;
    ULONG left = --d.refs;
    if (left == 0)
        destroyDevice(&d);
    return left;
}

// ---- Frames -------------------------------------------------------------------------
HRESULT IDirect3DDevice9::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                DWORD stencil)
{
    Device& d = asImpl(this);
    // Clearing parts of the target is not part of this subset.
    if (count != 0 && rects)
        return D3DERR_INVALIDCALL;
    if (flags == 0 || (flags & ~DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !d.params.EnableAutoDepthStencil)
        return D3DERR_INVALIDCALL;
    if (!(z >= 0.0f && z <= 1.0f))
        return D3DERR_INVALIDCALL;
    d.renderer->clear(d, flags, color, z, stencil);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::BeginScene()
{
    Device& d = asImpl(this);
    if (d.inScene)
        return D3DERR_INVALIDCALL;
    d.inScene = true;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::EndScene()
{
    Device& d = asImpl(this);
    if (!d.inScene)
        return D3DERR_INVALIDCALL;
    d.inScene = false;
    return D3D_OK;
}

// The destination is in the window's client coordinates; an empty one
// shows nothing, as on Windows.
HRESULT IDirect3DDevice9::Present(const RECT*, const RECT* destination, HWND, const RGNDATA*)
{
    Device& d = asImpl(this);
    if (destination && (destination->right <= destination->left || destination->bottom <= destination->top))
        return D3D_OK;
    d.renderer->present(d, destination);
    return D3D_OK;
}

// ---- Resources ----------------------------------------------------------------------
HRESULT IDirect3DDevice9::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL,
                                             IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (!buffer || sharedHandle)
        return D3DERR_INVALIDCALL;
    return createVertexBuffer(asImpl(this), length, usage, fvf, buffer);
}

HRESULT IDirect3DDevice9::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL,
                                            IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (!buffer || sharedHandle)
        return D3DERR_INVALIDCALL;
    return createIndexBuffer(asImpl(this), length, usage, format, buffer);
}

// ---- State --------------------------------------------------------------------------
HRESULT IDirect3DDevice9::SetTransform(D3DTRANSFORMSTATETYPE which, const D3DMATRIX* matrix)
{
    if (!matrix)
        return D3DERR_INVALIDCALL;
    DeviceState& s = asImpl(this).state;
    D3DMATRIX* slot = transformSlot(s, which);
    if (!slot)
        return D3D_OK; // texture transforms are accepted and have no effect here
    if (!sameBytes(slot, matrix, sizeof *slot)) {
        *slot = *matrix;
        ++s.version;
    }
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetTransform(D3DTRANSFORMSTATETYPE which, D3DMATRIX* matrix)
{
    D3DMATRIX* slot = transformSlot(asImpl(this).state, which);
    if (!slot || !matrix)
        return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetLight(DWORD index, const D3DLIGHT9* light)
{
    if (!light || index >= DWORD(kMaxLights))
        return D3DERR_INVALIDCALL;
    if (!validLight(*light))
        return D3DERR_INVALIDCALL;
    DeviceState& s = asImpl(this).state;
    if (!sameBytes(&s.lights[index], light, sizeof *light)) {
        s.lights[index] = *light;
        ++s.version;
    }
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetLight(DWORD index, D3DLIGHT9* light)
{
    DeviceState& s = asImpl(this).state;
    if (!light || index >= DWORD(kMaxLights) || s.lights[index].Type == 0)
        return D3DERR_INVALIDCALL;
    *light = s.lights[index];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::LightEnable(DWORD index, BOOL enable)
{
    if (index >= DWORD(kMaxLights))
        return D3DERR_INVALIDCALL;
    DeviceState& s = asImpl(this).state;
    // Enabling a light that was never set gives it Direct3D's default light.
    if (s.lights[index].Type == 0) {
        s.lights[index] = defaultLight();
        ++s.version;
    }
    bool on = enable != FALSE;
    if (s.lightEnabled[index] != on) {
        s.lightEnabled[index] = on;
        ++s.version;
    }
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetLightEnable(DWORD index, BOOL* enable)
{
    DeviceState& s = asImpl(this).state;
    if (!enable || index >= DWORD(kMaxLights) || s.lights[index].Type == 0)
        return D3DERR_INVALIDCALL;
    *enable = s.lightEnabled[index] ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetMaterial(const D3DMATERIAL9* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    asImpl(this).state.material = *material;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetMaterial(D3DMATERIAL9* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = asImpl(this).state.material;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (stage != 0)
        return D3D_OK; // later stages stay disabled in this subset
    rebind(asImpl(this).state.texture, texture ? asImpl(texture) : nullptr);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (int(type) <= 0 || int(type) >= kSamplerStateCount)
        return D3DERR_INVALIDCALL;
    if (sampler != 0)
        return D3D_OK;
    DeviceState& s = asImpl(this).state;
    if (s.samplerStates[type] != value) {
        s.samplerStates[type] = value;
        ++s.version;
    }
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    if (!value || sampler != 0 || int(type) <= 0 || int(type) >= kSamplerStateCount)
        return D3DERR_INVALIDCALL;
    *value = asImpl(this).state.samplerStates[type];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (int(state) < 0 || int(state) >= kRenderStateCount)
        return D3DERR_INVALIDCALL;
    DeviceState& s = asImpl(this).state;
    if (s.renderStates[state] != value) {
        s.renderStates[state] = value;
        ++s.version;
    }
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (!value || int(state) < 0 || int(state) >= kRenderStateCount)
        return D3DERR_INVALIDCALL;
    *value = asImpl(this).state.renderStates[state];
    return D3D_OK;
}

// ---- Geometry and drawing ---------------------------------------------------------------
HRESULT IDirect3DDevice9::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride)
{
    if (stream != 0)
        return D3D_OK; // only stream 0 feeds the fixed-function vertex layout here
    DeviceState& s = asImpl(this).state;
    rebind(s.stream, buffer ? asImpl(buffer) : nullptr);
    s.streamOffset = offset;
    s.streamStride = stride;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetFVF(DWORD fvf)
{
    asImpl(this).state.fvf = fvf;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetIndices(IDirect3DIndexBuffer9* indices)
{
    rebind(asImpl(this).state.indices, indices ? asImpl(indices) : nullptr);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    Device& d = asImpl(this);
    const DeviceState& s = d.state;
    if (!d.inScene || type != D3DPT_TRIANGLELIST || !streamReady(s))
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return D3D_OK;
    UINT available = streamVertexCount(s);
    if (startVertex > available || verticesFor(primitiveCount) > available - startVertex)
        return D3DERR_INVALIDCALL;
    DrawCall call = {};
    call.type = type;
    call.startVertex = startVertex;
    call.primitiveCount = primitiveCount;
    d.renderer->draw(d, call);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                               UINT numVertices, UINT startIndex, UINT primitiveCount)
{
    Device& d = asImpl(this);
    const DeviceState& s = d.state;
    if (!d.inScene || type != D3DPT_TRIANGLELIST || !streamReady(s) || !s.indices)
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return D3D_OK;
    UINT indexSize = s.indices->format == D3DFMT_INDEX32 ? 4 : 2;
    UINT indexCount = s.indices->data.length / indexSize;
    if (startIndex > indexCount || verticesFor(primitiveCount) > indexCount - startIndex)
        return D3DERR_INVALIDCALL;
    long long first = (long long)baseVertexIndex + minVertexIndex;
    if (first < 0 || first + numVertices > streamVertexCount(s))
        return D3DERR_INVALIDCALL;
    DrawCall call = {};
    call.type = type;
    call.indexed = true;
    call.primitiveCount = primitiveCount;
    call.baseVertexIndex = baseVertexIndex;
    call.minVertexIndex = minVertexIndex;
    call.numVertices = numVertices;
    call.startIndex = startIndex;
    d.renderer->draw(d, call);
    return D3D_OK;
}
