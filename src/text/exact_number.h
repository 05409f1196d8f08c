// exact_number.h: numbers written as text and read back exactly.
//
// A float is written as the shortest decimal that reads back to the same
// bits (-0 keeps its sign); infinities as "inf" and "-inf"; a NaN as "nan:"
// and its 32 bits in hex, so that even its payload survives. Reading does
// not depend on the locale.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>

void appendExactFloat(std::string& out, float value);
// False when `word` is not one number in the form above (or is out of range).
bool readExactFloat(std::string_view word, float& value);

// Whole numbers in decimal, with no sign, no leading '+', no spaces.
bool readWholeNumber(std::string_view word, uint64_t& value);
// Exactly 16 hex digits.
bool readHex64(std::string_view word, uint64_t& value);
void appendHex64(std::string& out, uint64_t value);
