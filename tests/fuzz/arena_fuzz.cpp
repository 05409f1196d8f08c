// arena_fuzz.cpp: libFuzzer target for the saved arena's reader, fed whole
// files line by line as the game reads them. An arena it takes must write
// back as text that reads to the same arena.
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <string_view>

#include "save/arena_text.h"

namespace {

// As the game's file reader: a longer line stops the read.
constexpr size_t kMaxLineBytes = 4096;

bool readAll(std::string_view text, ArenaState& state)
{
    ArenaReader reader(state);
    std::string problem;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        if (end - at > kMaxLineBytes || !reader.accept(text.substr(at, end - at), problem))
            return false;
        if (problem.size() != 0)
            __builtin_trap(); // a line taken with a problem
        at = end + 1;
    }
    return reader.finish(problem);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ArenaState state;
    if (!readAll(std::string_view(reinterpret_cast<const char*>(data), size), state))
        return 0;
    std::string written;
    appendArenaText(state, written);
    ArenaState again;
    if (!readAll(written, again))
        __builtin_trap();
    std::string rewritten;
    appendArenaText(again, rewritten);
    if (rewritten != written)
        __builtin_trap();
    return 0;
}
