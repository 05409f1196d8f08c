// printable.h: bytes from a file, a script or the command line, made safe to show.
#pragma once

#include <stddef.h>

#include <string>
#include <string_view>

// How much of a word from a file a message shows; the rest is "...".
constexpr size_t kShownWordBytes = 80;

// `text` with every byte that is not printable (NUL, control characters,
// terminal escape sequences, broken UTF-8) shown as \xHH and a backslash as
// \\; at most `limit` bytes of the text are shown.
std::string printable(std::string_view text, size_t limit = std::string_view::npos);
