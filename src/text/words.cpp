// words.cpp: splitting a line into words.
#include "text/words.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

} // namespace

std::string_view withoutComment(std::string_view line)
{
    const size_t hash = line.find('#');
    return hash == std::string_view::npos ? line : line.substr(0, hash);
}

Words splitWords(std::string_view line)
{
    Words words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i == start)
            break;
        if (words.count == Words::kMax) {
            words.tooMany = true;
            break;
        }
        words.word[words.count++] = line.substr(start, i - start);
    }
    return words;
}
