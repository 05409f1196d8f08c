// Vectors and colours: the cases where single-precision arithmetic or
// aliasing can go wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "math/color_value.h"
#include "math/vec3.h"
#include "support/value_printers.h"

namespace {

TEST(Vec3, CrossFollowsTheRightHandRuleOnTheStoredComponents)
{
    Vec3 out;
    EXPECT_VEC3_EQ(cross(out, Vec3(0, 0, 1), Vec3(0, 1, 0)), Vec3(-1, 0, 0));
    EXPECT_VEC3_EQ(cross(out, Vec3(0, 1, 0), Vec3(0, 0, 1)), Vec3(1, 0, 0));
    EXPECT_VEC3_EQ(cross(out, Vec3(2, 3, 4), Vec3(5, 6, 7)), Vec3(3 * 7 - 4 * 6, 4 * 5 - 2 * 7, 2 * 6 - 3 * 5));
}

TEST(Vec3, CrossMayWriteIntoEitherOperand)
{
    Vec3 a(2, 3, 4), b(5, 6, 7);
    cross(a, a, b);
    EXPECT_VEC3_EQ(a, Vec3(-3, 6, -3));

    Vec3 c(2, 3, 4), d(5, 6, 7);
    cross(d, c, d);
    EXPECT_VEC3_EQ(d, Vec3(-3, 6, -3));

    Vec3 e(1, 2, 3);
    cross(e, e, e);
    EXPECT_VEC3_EQ(e, Vec3(0, 0, 0));
}

TEST(Vec3, InequalityTreatsNaNAsDifferentEvenFromItself)
{
    EXPECT_FALSE(Vec3(1, 2, 3) != Vec3(1, 2, 3));
    EXPECT_TRUE(Vec3(1, 2, 3) != Vec3(1, 2, 3.0000002f));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Vec3 v(0, nan, 0);
    EXPECT_TRUE(v != v);
    EXPECT_FALSE(Vec3(0.0f, 0, 0) != Vec3(-0.0f, 0, 0)); // IEEE: +0 equals -0
}

TEST(Vec3, ArithmeticLeavesOperandsAloneAndScalesInPlace)
{
    Vec3 a(1, 2, 3), b(4, 5, 6);
    EXPECT_VEC3_EQ(a + b, Vec3(5, 7, 9));
    EXPECT_VEC3_EQ(a - b, Vec3(-3, -3, -3));
    EXPECT_VEC3_EQ(a, Vec3(1, 2, 3));
    a += b;
    EXPECT_VEC3_EQ(a, Vec3(5, 7, 9));
    a -= b;
    a *= -2.0f;
    EXPECT_VEC3_EQ(a, Vec3(-2, -4, -6));
    EXPECT_FLOAT_EQ(length(Vec3(3, 4, 0)), 5.0f);
    EXPECT_EQ(length(Vec3(0, 0, 0)), 0.0f);
    EXPECT_EQ(absValue(-2.5f), 2.5f);
}

TEST(ColorValue, ScaledScalesAlphaToo)
{
    ColorValue white(1, 1, 1, 1);
    ColorValue zero = scaled(white, 0.0f);
    EXPECT_EQ(zero.r, 0.0f);
    EXPECT_EQ(zero.a, 0.0f);
    ColorValue tenth = scaled(white, 0.1f);
    EXPECT_FLOAT_EQ(tenth.a, 0.1f);
    ColorValue same = scaled(ColorValue(0.2f, 0.4f, 0.6f, 0.8f), 1.0f);
    EXPECT_EQ(same.g, 0.4f);
    EXPECT_EQ(same.a, 0.8f);
    D3DCOLORVALUE d = same.toD3D();
    EXPECT_EQ(d.b, 0.6f);
}

} // namespace
