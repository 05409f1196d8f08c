// words.h: a line of text as its words, without copying.
#pragma once

#include <stddef.h>

#include <string_view>

// The part of a line before its comment ('#' to the end of the line).
std::string_view withoutComment(std::string_view line);

// The words of a line: runs of bytes between the blanks of the "C" locale.
struct Words {
    static constexpr size_t kMax = 16;
    std::string_view word[kMax];
    size_t count = 0;
    bool tooMany = false; // the line has more than kMax words; the first kMax are kept

    std::string_view operator[](size_t i) const { return i < count ? word[i] : std::string_view(); }
};

Words splitWords(std::string_view line);
