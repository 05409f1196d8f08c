// exact_number.cpp: writing and reading numbers exactly.
#include "text/exact_number.h"

#include <charconv>
#include <cmath>

#include "math/float_bits.h"

namespace {

constexpr char kNanPrefix[] = "nan:";
constexpr size_t kNanPrefixLength = sizeof kNanPrefix - 1;
constexpr size_t kHex32Digits = 8;
constexpr size_t kHex64Digits = 16;
// Room for any float the shortest way ("-1.17549435e-38" is 15 bytes).
constexpr size_t kFloatRoom = 32;

bool readHex(std::string_view word, size_t digits, uint64_t& value)
{
    if (word.size() != digits)
        return false;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    return result.ec == std::errc() && result.ptr == word.data() + word.size();
}

void appendHex(std::string& out, uint64_t value, size_t digits)
{
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = digits; i-- > 0;)
        out += kDigits[(value >> (4 * i)) & 0xF];
}

} // namespace

void appendExactFloat(std::string& out, float value)
{
    if (std::isnan(value)) {
        out += kNanPrefix;
        appendHex(out, bitsOf(value), kHex32Digits);
        return;
    }
    if (std::isinf(value)) {
        out += value < 0.0f ? "-inf" : "inf";
        return;
    }
    char text[kFloatRoom];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

bool readExactFloat(std::string_view word, float& value)
{
    if (word.compare(0, kNanPrefixLength, kNanPrefix) == 0) {
        uint64_t bits = 0;
        if (!readHex(word.substr(kNanPrefixLength), kHex32Digits, bits) || !std::isnan(floatOf(uint32_t(bits))))
            return false;
        value = floatOf(uint32_t(bits));
        return true;
    }
    if (word == "inf" || word == "-inf") {
        value = word[0] == '-' ? -INFINITY : INFINITY;
        return true;
    }
    // from_chars would take "nan" and "infinity" too: only the forms above stand for those.
    if (word.empty() || word.find_first_of("nN") != std::string_view::npos ||
        word.find_first_of("iI") != std::string_view::npos)
        return false;
    float parsed = 0.0f;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size())
        return false;
    value = parsed;
    return true;
}

bool readWholeNumber(std::string_view word, uint64_t& value)
{
    if (word.empty() || word[0] < '0' || word[0] > '9')
        return false;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    return result.ec == std::errc() && result.ptr == word.data() + word.size();
}

bool readHex64(std::string_view word, uint64_t& value) { return readHex(word, kHex64Digits, value); }

void appendHex64(std::string& out, uint64_t value) { appendHex(out, value, kHex64Digits); }
