// Vectors and colours: the cases where single-precision arithmetic or
// aliasing can go wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "math/color_value.h"
#include "math/vec3.h"

namespace {

void expectVec(const Vec3& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(Vec3, CrossFollowsTheRightHandRuleOnTheStoredComponents)
{
    Vec3 out;
    expectVec(cross(out, Vec3(0, 0, 1), Vec3(0, 1, 0)), -1, 0, 0);
    expectVec(cross(out, Vec3(0, 1, 0), Vec3(0, 0, 1)), 1, 0, 0);
    expectVec(cross(out, Vec3(2, 3, 4), Vec3(5, 6, 7)), 3 * 7 - 4 * 6, 4 * 5 - 2 * 7, 2 * 6 - 3 * 5);
}

TEST(Vec3, CrossMayWriteIntoEitherOperand)
{
    Vec3 a(2, 3, 4), b(5, 6, 7);
    cross(a, a, b);
    expectVec(a, -3, 6, -3);

    Vec3 c(2, 3, 4), d(5, 6, 7);
    cross(d, c, d);
    expectVec(d, -3, 6, -3);

    Vec3 e(1, 2, 3);
    cross(e, e, e);
    expectVec(e, 0, 0, 0);
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
    expectVec(a + b, 5, 7, 9);
    expectVec(a - b, -3, -3, -3);
    expectVec(a, 1, 2, 3);
    a += b;
    expectVec(a, 5, 7, 9);
    a -= b;
    a *= -2.0f;
    expectVec(a, -2, -4, -6);
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
