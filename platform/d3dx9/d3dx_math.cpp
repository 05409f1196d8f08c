// d3dx_math.cpp: the D3DX 9 matrix and vector helpers, with D3DX's row-vector,
// left-handed conventions and its formulas, in single precision. The Windows
// build compiles this same file against the Windows SDK's headers.
#include <d3dx9.h>

#include <cmath>

namespace {

D3DXVECTOR3 subtract(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return D3DXVECTOR3(a.x - b.x, a.y - b.y, a.z - b.z); }

D3DXVECTOR3 crossOf(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float dotOf(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

} // namespace

D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] +
                        a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

D3DXVECTOR3* WINAPI D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v)
{
    float length = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
    if (length == 0.0f) {
        *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        return out;
    }
    *out = D3DXVECTOR3(v->x / length, v->y / length, v->z / length);
    return out;
}

D3DXVECTOR3* WINAPI D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    const float (*e)[4] = m->m;
    float w = e[0][3] * v->x + e[1][3] * v->y + e[2][3] * v->z + e[3][3];
    D3DXVECTOR3 r((e[0][0] * v->x + e[1][0] * v->y + e[2][0] * v->z + e[3][0]) / w,
                  (e[0][1] * v->x + e[1][1] * v->y + e[2][1] * v->z + e[3][1]) / w,
                  (e[0][2] * v->x + e[1][2] * v->y + e[2][2] * v->z + e[3][2]) / w);
    *out = r; // computed first: out may be v
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up)
{
    D3DXVECTOR3 z = subtract(*at, *eye);
    D3DXVec3Normalize(&z, &z);
    D3DXVECTOR3 x = crossOf(*up, z);
    D3DXVec3Normalize(&x, &x);
    D3DXVECTOR3 y = crossOf(z, x);
    D3DXMATRIX r;
    r.m[0][0] = x.x; r.m[0][1] = y.x; r.m[0][2] = z.x; r.m[0][3] = 0.0f;
    r.m[1][0] = x.y; r.m[1][1] = y.y; r.m[1][2] = z.y; r.m[1][3] = 0.0f;
    r.m[2][0] = x.z; r.m[2][1] = y.z; r.m[2][2] = z.z; r.m[2][3] = 0.0f;
    r.m[3][0] = -dotOf(x, *eye);
    r.m[3][1] = -dotOf(y, *eye);
    r.m[3][2] = -dotOf(z, *eye);
    r.m[3][3] = 1.0f;
    *out = r;
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf)
{
    float ys = 1.0f / std::tan(fovy / 2.0f);
    float xs = ys / aspect;
    D3DXMATRIX r;
    for (auto& row : r.m)
        for (float& e : row)
            e = 0.0f;
    r.m[0][0] = xs;
    r.m[1][1] = ys;
    r.m[2][2] = zf / (zf - zn);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zn * zf / (zf - zn);
    *out = r;
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle)
{
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    float s = std::sin(angle);
    float c = std::cos(angle);
    float t = 1.0f - c;
    D3DXMATRIX r;
    r.m[0][0] = t * n.x * n.x + c;       r.m[0][1] = t * n.x * n.y + s * n.z; r.m[0][2] = t * n.x * n.z - s * n.y; r.m[0][3] = 0.0f;
    r.m[1][0] = t * n.x * n.y - s * n.z; r.m[1][1] = t * n.y * n.y + c;       r.m[1][2] = t * n.y * n.z + s * n.x; r.m[1][3] = 0.0f;
    r.m[2][0] = t * n.x * n.z + s * n.y; r.m[2][1] = t * n.y * n.z - s * n.x; r.m[2][2] = t * n.z * n.z + c;       r.m[2][3] = 0.0f;
    r.m[3][0] = 0.0f;                    r.m[3][1] = 0.0f;                    r.m[3][2] = 0.0f;                    r.m[3][3] = 1.0f;
    *out = r;
    return out;
}
