// d3dx_identity.cpp: D3DXMatrixIdentity. The Windows SDK's headers define it
// inline, so only the other systems' build compiles this.
#include <d3dx9.h>

D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* out)
{
    *out = D3DXMATRIX();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out->m[i][j] = i == j ? 1.0f : 0.0f;
    return out;
}
