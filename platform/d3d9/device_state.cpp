// device_state.cpp: Direct3D 9's default device state.
#include "d3d9/device.h"

namespace {

void setIdentity(D3DMATRIX& m)
{
    m = D3DMATRIX();
    m._11 = m._22 = m._33 = m._44 = 1.0f;
}

constexpr DWORD kShadeGouraud = 2;
constexpr DWORD kBlendZero = 1;
constexpr DWORD kBlendOne = 2;
constexpr DWORD kMaterialSourceMaterial = 0;
constexpr DWORD kMaterialSourceColor1 = 1;
constexpr DWORD kMaterialSourceColor2 = 2;

} // namespace

void resetDeviceState(DeviceState& s, const D3DPRESENT_PARAMETERS& params)
{
    s = DeviceState();
    setIdentity(s.world);
    setIdentity(s.view);
    setIdentity(s.projection);

    DWORD* rs = s.renderStates;
    rs[D3DRS_ZENABLE] = params.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = kShadeGouraud;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_SRCBLEND] = kBlendOne;
    rs[D3DRS_DESTBLEND] = kBlendZero;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_COLORVERTEX] = TRUE;
    rs[D3DRS_LOCALVIEWER] = TRUE;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = kMaterialSourceColor1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = kMaterialSourceColor2;
    rs[D3DRS_AMBIENTMATERIALSOURCE] = kMaterialSourceMaterial;
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = kMaterialSourceMaterial;

    DWORD* ss = s.samplerStates;
    ss[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
    ss[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
    ss[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    ss[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
    ss[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    ss[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    ss[D3DSAMP_MAXANISOTROPY] = 1;

    s.fvf = 0;
}
