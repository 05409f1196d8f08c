// direct3d.cpp: Direct3DCreate9 and IDirect3D9: capabilities and device creation.
#include "d3d9/direct3d.h"

#include <new>

#include "common/test_seams.h"
#include "d3d9/device.h"
#include "win32/host.h"
#include "win32/window.h"

namespace {

Direct3D* asImpl(IDirect3D9* d) { return static_cast<Direct3D*>(d); }

bool supportedBackBufferFormat(D3DFORMAT f)
{
    return f == D3DFMT_A8R8G8B8 || f == D3DFMT_X8R8G8B8 || f == D3DFMT_UNKNOWN;
}

bool supportedDepthFormat(D3DFORMAT f) { return f == D3DFMT_D24S8 || f == D3DFMT_D24X8 || f == D3DFMT_D16; }

bool supportedInterval(UINT interval)
{
    return interval == D3DPRESENT_INTERVAL_IMMEDIATE || interval == D3DPRESENT_INTERVAL_DEFAULT ||
           interval == D3DPRESENT_INTERVAL_ONE;
}

// Exactly one kind of vertex processing must be asked for, as Direct3D 9 requires.
bool validBehaviour(DWORD flags)
{
    DWORD processing = flags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                D3DCREATE_MIXED_VERTEXPROCESSING);
    return processing == D3DCREATE_SOFTWARE_VERTEXPROCESSING || processing == D3DCREATE_HARDWARE_VERTEXPROCESSING ||
           processing == D3DCREATE_MIXED_VERTEXPROCESSING;
}

// What this implementation can show: a windowed, single-sampled back buffer.
HRESULT checkParameters(const D3DPRESENT_PARAMETERS& p)
{
    if (!p.Windowed || p.MultiSampleType != D3DMULTISAMPLE_NONE || !supportedBackBufferFormat(p.BackBufferFormat))
        return D3DERR_NOTAVAILABLE;
    if (p.BackBufferCount > 3 || p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY)
        return D3DERR_INVALIDCALL;
    if (p.EnableAutoDepthStencil && !supportedDepthFormat(p.AutoDepthStencilFormat))
        return D3DERR_NOTAVAILABLE;
    if (!supportedInterval(p.PresentationInterval))
        return D3DERR_INVALIDCALL;
    if (p.BackBufferWidth > kMaxTextureSize || p.BackBufferHeight > kMaxTextureSize)
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

} // namespace

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION || testSeams().refuseDirect3D)
        return nullptr;
    return new (std::nothrow) Direct3D();
}

ULONG IDirect3D9::AddRef() { return ++asImpl(this)->refs; }

ULONG IDirect3D9::Release()
{
    Direct3D* d = asImpl(this);
    if (d->refs == 0)
        return 0;
    ULONG left = --d->refs;
    if (left == 0)
        delete d;
    return left;
}

HRESULT IDirect3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps)
{
    if (!caps || adapter != D3DADAPTER_DEFAULT)
        return D3DERR_INVALIDCALL;
    *caps = D3DCAPS9();
    if (deviceType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    caps->DeviceType = D3DDEVTYPE_HAL;
    caps->AdapterOrdinal = adapter;
    caps->PresentationIntervals = DWORD(D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE);
    caps->DevCaps = testSeams().noHardwareTransform ? 0 : DWORD(D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    caps->MaxTextureWidth = kMaxTextureSize;
    caps->MaxTextureHeight = kMaxTextureSize;
    return D3D_OK;
}

HRESULT IDirect3D9::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** returnedDevice)
{
    if (!params || !returnedDevice || adapter != D3DADAPTER_DEFAULT || !validBehaviour(behaviorFlags))
        return D3DERR_INVALIDCALL;
    if (deviceType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    HRESULT checked = checkParameters(*params);
    if (FAILED(checked))
        return checked;
    HWND window = params->hDeviceWindow ? params->hDeviceWindow : focusWindow;
    if (!windowIsLive(window) || testSeams().refuseDevice)
        return D3DERR_NOTAVAILABLE;

    Device* d = new (std::nothrow) Device();
    if (!d)
        return E_OUTOFMEMORY;
    d->params = *params;
    d->params.hDeviceWindow = window;
    if (d->params.BackBufferWidth == 0 || d->params.BackBufferHeight == 0) {
        RECT client = {};
        GetClientRect(window, &client);
        d->params.BackBufferWidth = UINT(client.right);
        d->params.BackBufferHeight = UINT(client.bottom);
    }
    if (d->params.BackBufferFormat == D3DFMT_UNKNOWN)
        d->params.BackBufferFormat = D3DFMT_X8R8G8B8;
    d->behaviorFlags = behaviorFlags;
    d->window = window;
    d->renderer = windowMaker(window)->renderer;
    d->owner = ResourceOwner{d, d, d->renderer};
    d->host = windowRetainHost(window);
    resetDeviceState(d->state, d->params);
    if (!d->renderer->create(*d, d->host, testSeams().renderer)) {
        windowReleaseHost(window);
        delete d;
        return D3DERR_NOTAVAILABLE;
    }
    AddRef();
    d->direct3d = asImpl(this);
    ++liveObjectCounts().devices;
    *returnedDevice = d;
    return D3D_OK;
}
