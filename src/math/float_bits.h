// float_bits.h: a float's bits and back, for comparing and writing floats
// exactly (-0 and every NaN payload kept apart).
#pragma once

#include <stdint.h>

#include <cstring>

inline uint32_t bitsOf(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

inline float floatOf(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
