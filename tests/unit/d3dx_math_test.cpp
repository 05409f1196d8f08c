// The D3DX helpers: properties that fix the conventions (row vectors, left
// handed, depth 0..1) rather than restating the formulas.
#include <gtest/gtest.h>

#include <d3dx9.h>

#include <cmath>

#include "support/value_printers.h"

namespace {

constexpr float kPi = 3.14159265f;

D3DXVECTOR3 transform(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

TEST(D3DXMath, LookAtPutsTheEyeAtTheOriginAndTheTargetOnPositiveZ)
{
    D3DXVECTOR3 eye(3, 2, -5), at(4, 2, 1), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    EXPECT_VEC3_NEAR(transform(eye, view), D3DXVECTOR3(0, 0, 0), 1e-5f);
    D3DXVECTOR3 seen = transform(at, view);
    EXPECT_VEC3_NEAR(seen, D3DXVECTOR3(0, 0, std::sqrt(1.0f + 36.0f)), 1e-5f);
    // Left-handed: with the view along +z and y up, +x of the world is to the right.
    D3DXVECTOR3 e2(0, 0, -5), t2(0, 0, 1);
    D3DXMatrixLookAtLH(&view, &e2, &t2, &up);
    EXPECT_GT(transform(D3DXVECTOR3(1, 0, 0), view).x, 0.0f);
    EXPECT_GT(transform(D3DXVECTOR3(0, 1, -5), view).y, 0.0f);
}

TEST(D3DXMath, PerspectiveMapsNearAndFarPlanesToDepthZeroAndOne)
{
    D3DXMATRIX proj;
    D3DXMatrixPerspectiveFovLH(&proj, kPi / 2, 4.0f / 3.0f, 0.1f, 1000.0f);
    EXPECT_NEAR(transform(D3DXVECTOR3(0, 0, 0.1f), proj).z, 0.0f, 1e-6f);
    EXPECT_NEAR(transform(D3DXVECTOR3(0, 0, 1000.0f), proj).z, 1.0f, 1e-6f);
    // A 90 degree vertical field: a point at 45 degrees up lands on the top edge.
    EXPECT_NEAR(transform(D3DXVECTOR3(0, 10, 10), proj).y, 1.0f, 1e-6f);
    // The aspect narrows x: 4:3 puts x = z * 4/3 on the right edge.
    EXPECT_NEAR(transform(D3DXVECTOR3(40.0f / 3.0f, 0, 10), proj).x, 1.0f, 1e-5f);
}

TEST(D3DXMath, RotationAboutANonUnitAxisIsTheRotationAboutItsDirection)
{
    D3DXMATRIX r;
    D3DXVECTOR3 longY(0, 7, 0);
    D3DXMatrixRotationAxis(&r, &longY, kPi / 2);
    // Positive angles about +y carry +z toward +x (turning right in a left-handed world).
    EXPECT_VEC3_NEAR(transform(D3DXVECTOR3(0, 0, 6), r), D3DXVECTOR3(6, 0, 0), 1e-5f);
    D3DXVECTOR3 minusX(-3, 0, 0);
    D3DXMatrixRotationAxis(&r, &minusX, 0.3f);
    EXPECT_VEC3_NEAR(transform(D3DXVECTOR3(0, 0, 6), r), D3DXVECTOR3(0, 6 * std::sin(0.3f), 6 * std::cos(0.3f)),
                     1e-5f);
    // Rodrigues' formula for a skew axis.
    D3DXVECTOR3 axis(1, 2, 2);
    D3DXMatrixRotationAxis(&r, &axis, 1.0f);
    D3DXVECTOR3 n(1.0f / 3, 2.0f / 3, 2.0f / 3), v(0.5f, -1, 2);
    float c = std::cos(1.0f), s = std::sin(1.0f), nv = n.x * v.x + n.y * v.y + n.z * v.z;
    D3DXVECTOR3 nxv(n.y * v.z - n.z * v.y, n.z * v.x - n.x * v.z, n.x * v.y - n.y * v.x);
    EXPECT_VEC3_NEAR(transform(v, r),
                     D3DXVECTOR3(v.x * c + nxv.x * s + n.x * nv * (1 - c), v.y * c + nxv.y * s + n.y * nv * (1 - c),
                                 v.z * c + nxv.z * s + n.z * nv * (1 - c)),
                     1e-5f);
}

TEST(D3DXMath, TransformCoordDividesByWAndMayWorkInPlace)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._44 = 2.0f;
    m._41 = 4.0f;
    D3DXVECTOR3 v(2, 4, 6);
    D3DXVec3TransformCoord(&v, &v, &m);
    EXPECT_VEC3_NEAR(v, D3DXVECTOR3(3, 2, 3), 1e-5f);
}

TEST(D3DXMath, NormalizeGivesUnitLengthAndZeroForZero)
{
    D3DXVECTOR3 v(3, 0, 4), out;
    D3DXVec3Normalize(&out, &v);
    EXPECT_VEC3_NEAR(out, D3DXVECTOR3(0.6f, 0, 0.8f), 1e-5f);
    D3DXVECTOR3 zero(0, 0, 0);
    D3DXVec3Normalize(&out, &zero);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 0.0f);
}

TEST(D3DXMath, MultiplyComposesRowVectorTransformsLeftToRight)
{
    D3DXMATRIX a, b, ab;
    D3DXVECTOR3 yAxis(0, 1, 0);
    D3DXMatrixRotationAxis(&a, &yAxis, kPi / 2);
    D3DXMatrixIdentity(&b);
    b._41 = 10.0f;
    D3DXMatrixMultiply(&ab, &a, &b);
    // First rotate +z onto +x, then translate by +10 in x.
    EXPECT_VEC3_NEAR(transform(D3DXVECTOR3(0, 0, 1), ab), D3DXVECTOR3(11, 0, 0), 1e-5f);
}

} // namespace
