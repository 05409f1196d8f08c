// command_line.cpp: joining arguments into a Windows command line.
#include "win32/command_line.h"

#include <cstring>

namespace {

void appendQuoted(std::string& line, const char* argument)
{
    line += '"';
    size_t backslashes = 0;
    for (const char* c = argument; *c; ++c) {
        if (*c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        line.append(*c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += *c;
    }
    // Before the closing quote, too.
    line.append(2 * backslashes, '\\');
    line += '"';
}

} // namespace

std::string joinCommandLine(int count, const char* const* arguments)
{
    std::string line;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            line += ' ';
        const char* argument = arguments[i];
        if (*argument && !std::strpbrk(argument, " \t\""))
            line += argument;
        else
            appendQuoted(line, argument);
    }
    return line;
}
