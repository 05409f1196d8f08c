// value_printers.h: a failed check shows the game's vectors and the D3DX
// vectors and matrices by their components, not as bytes. GoogleTest finds
// these PrintTo by argument-dependent lookup wherever this header is seen.
#pragma once

#include <gtest/gtest.h>

#include <d3dx9.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>

#include "math/vec3.h"

namespace value_printers {

// Enough digits to tell any two floats apart.
inline void printFloats(std::ostream* out, const float* values, int count)
{
    const std::streamsize precision = out->precision(std::numeric_limits<float>::max_digits10);
    *out << "(";
    for (int i = 0; i < count; ++i)
        *out << (i ? ", " : "") << values[i];
    *out << ")";
    out->precision(precision);
}

} // namespace value_printers

inline void PrintTo(const Vec3& v, std::ostream* out) { value_printers::printFloats(out, &v.x, 3); }
inline void PrintTo(const D3DXVECTOR3& v, std::ostream* out) { value_printers::printFloats(out, &v.x, 3); }

inline void PrintTo(const D3DMATRIX& m, std::ostream* out)
{
    *out << "[";
    for (int row = 0; row < 4; ++row) {
        *out << (row ? ", " : "");
        value_printers::printFloats(out, m.m[row], 4);
    }
    *out << "]";
}
inline void PrintTo(const D3DXMATRIX& m, std::ostream* out) { PrintTo(static_cast<const D3DMATRIX&>(m), out); }

// Equal by the game's own comparison (so a NaN component always differs).
inline ::testing::AssertionResult sameVec3(const char* actualText, const char* expectedText, const Vec3& actual,
                                           const Vec3& expected)
{
    if (!(actual != expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actualText << " is " << ::testing::PrintToString(actual) << ", "
                                         << expectedText << " is " << ::testing::PrintToString(expected);
}

// Every component within `tolerance` of the expected one.
template <typename Vector>
::testing::AssertionResult nearVec3(const char* actualText, const char* expectedText, const char* toleranceText,
                                    const Vector& actual, const Vector& expected, float tolerance)
{
    const float a[3] = {actual.x, actual.y, actual.z};
    const float e[3] = {expected.x, expected.y, expected.z};
    bool near = true;
    for (int i = 0; i < 3; ++i)
        near = near && std::fabs(a[i] - e[i]) <= tolerance;
    if (near)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actualText << " is " << ::testing::PrintToString(actual) << ", not within "
                                         << toleranceText << " of " << expectedText << ", "
                                         << ::testing::PrintToString(expected);
}

// The same sixteen floats, bit for bit.
inline ::testing::AssertionResult sameMatrix(const char* actualText, const char* expectedText, const D3DMATRIX& actual,
                                             const D3DMATRIX& expected)
{
    if (std::memcmp(&actual, &expected, sizeof actual) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actualText << " is " << ::testing::PrintToString(actual) << ", "
                                         << expectedText << " is " << ::testing::PrintToString(expected);
}

#define EXPECT_VEC3_EQ(actual, expected) EXPECT_PRED_FORMAT2(sameVec3, actual, expected)
#define EXPECT_VEC3_NEAR(actual, expected, tolerance) EXPECT_PRED_FORMAT3(nearVec3, actual, expected, tolerance)
#define EXPECT_MATRIX_EQ(actual, expected) EXPECT_PRED_FORMAT2(sameMatrix, actual, expected)
