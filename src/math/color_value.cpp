// color_value.cpp: colour scaling.
#include "math/color_value.h"

ColorValue scaled(const ColorValue& c, float s) { return ColorValue(s * c.r, s * c.g, s * c.b, s * c.a); }
