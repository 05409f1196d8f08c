// vec3.h: the 3D vector of the game, with the layout of D3DXVECTOR3.
#pragma once

#include <d3dx9.h>

struct Vec3 {
    float x;
    float y;
    float z;

    // Components are left unset, like every other value type here.
    Vec3() = default;
    constexpr Vec3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}

    Vec3& operator+=(const Vec3& w);
    Vec3& operator-=(const Vec3& w);
    Vec3& operator*=(float s);
};

static_assert(sizeof(Vec3) == sizeof(D3DXVECTOR3), "Vec3 must have the layout of D3DXVECTOR3");

// The world is left-handed with y up.
constexpr Vec3 kWorldUp(0.0f, 1.0f, 0.0f);

Vec3 makeVec3(float x, float y, float z);
Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
// True when any component differs; a NaN component always differs.
bool operator!=(const Vec3& a, const Vec3& b);
// out = a x b, computed into a temporary first, so out may be a or b.
Vec3& cross(Vec3& out, const Vec3& a, const Vec3& b);
float length(const Vec3& v);
float absValue(float f);

// Conversions at the D3DX boundary.
inline D3DXVECTOR3 toD3DX(const Vec3& v) { return D3DXVECTOR3(v.x, v.y, v.z); }
inline Vec3 fromD3DX(const D3DXVECTOR3& v) { return Vec3(v.x, v.y, v.z); }
// unit(v): D3DXVec3Normalize applied to v in place.
void normalizeInPlace(Vec3& v);
