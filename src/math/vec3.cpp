// vec3.cpp: vector arithmetic, in single precision.
#include "math/vec3.h"

#include <cmath>

Vec3& Vec3::operator+=(const Vec3& w)
{
    x += w.x;
    y += w.y;
    z += w.z;
    return *this;
}

Vec3& Vec3::operator-=(const Vec3& w)
{
    x -= w.x;
    y -= w.y;
    z -= w.z;
    return *this;
}

Vec3& Vec3::operator*=(float s)
{
    x = s * x;
    y = s * y;
    z = s * z;
    return *this;
}

Vec3 makeVec3(float x, float y, float z) { return Vec3(x, y, z); }

Vec3 operator+(const Vec3& a, const Vec3& b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }

Vec3 operator-(const Vec3& a, const Vec3& b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }

bool operator!=(const Vec3& a, const Vec3& b)
{
    // Written as negated equality so that NaN, unequal to everything, counts as different.
    return !(a.x == b.x) || !(a.y == b.y) || !(a.z == b.z);
}

Vec3& cross(Vec3& out, const Vec3& a, const Vec3& b)
{
    Vec3 r(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    out = r;
    return out;
}

float length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

float absValue(float f) { return std::fabs(f); }

void normalizeInPlace(Vec3& v)
{
    D3DXVECTOR3 d = toD3DX(v);
    D3DXVec3Normalize(&d, &d);
    v = fromD3DX(d);
}
