// color_value.h: an RGBA colour with the layout of D3DCOLORVALUE.
#pragma once

#include <d3d9.h>

struct ColorValue {
    float r;
    float g;
    float b;
    float a;

    ColorValue() = default;
    ColorValue(float cr, float cg, float cb, float ca) : r(cr), g(cg), b(cb), a(ca) {}

    // Copies the four components in order into a light's or material's colour.
    D3DCOLORVALUE toD3D() const { return D3DCOLORVALUE{r, g, b, a}; }
};

static_assert(sizeof(ColorValue) == sizeof(D3DCOLORVALUE), "ColorValue must have the layout of D3DCOLORVALUE");

// (s·r, s·g, s·b, s·a): alpha is scaled like the others.
ColorValue scaled(const ColorValue& c, float s);
