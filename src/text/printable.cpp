// printable.cpp: escaping for messages.
#include "text/printable.h"

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
// The C1 control characters, U+0080 to U+009F, act on some terminals as
// escape sequences do; printable text starts after them.
constexpr unsigned long kFirstPrintableBeyondAscii = 0xA0;

// The length of the UTF-8 sequence of one printable character at `text`,
// or 0 when it is not one.
size_t printableSequence(std::string_view text)
{
    unsigned char lead = (unsigned char)text[0];
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || length > text.size())
        return 0;
    unsigned long code = lead & (0x7Fu >> length);
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = (unsigned char)text[i];
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    static const unsigned long kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    bool overlong = code < kSmallest[length];
    bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF || code < kFirstPrintableBeyondAscii)
        return 0;
    return length;
}

} // namespace

std::string printable(std::string_view text, size_t limit)
{
    static const char kHex[] = "0123456789abcdef";
    bool shortened = text.size() > limit;
    if (shortened)
        text = text.substr(0, limit);
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned char c = (unsigned char)text[i];
        if (c == '\\') {
            shown += "\\\\";
            ++i;
        } else if (c >= kFirstPrintable && c < kDelete) {
            shown += char(c);
            ++i;
        } else if (size_t length = c > kDelete ? printableSequence(text.substr(i)) : 0) {
            shown.append(text.data() + i, length);
            i += length;
        } else {
            shown += "\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 0xF];
            ++i;
        }
    }
    if (shortened)
        shown += "...";
    return shown;
}
