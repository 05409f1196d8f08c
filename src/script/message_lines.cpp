// message_lines.cpp: messages to lines and back.
#include "script/message_lines.h"

#include "text/exact_number.h"

namespace {

constexpr LPARAM kRepeatCountOne = 1;
constexpr unsigned char kFirstShownCharacter = 0x21; // after the space
constexpr unsigned char kLastShownCharacter = 0x7E;
constexpr char kCommentCharacter = '#';

std::string hex(uint64_t value, size_t digits)
{
    std::string all;
    appendHex64(all, value);
    return "0x" + all.substr(all.size() - digits);
}

WORD keyFlags(LPARAM lParam) { return HIWORD(lParam); }

// A key line keeps the key, its extended-key flag and whether it repeats;
// a key message that holds more than that (a repeat count, the Alt
// context bit) is written whole instead. The scan code goes either way.
constexpr LPARAM kScanCodeBits = LPARAM(0xFF) << 16;

bool fitsKeyLine(UINT message, LPARAM lParam)
{
    const LPARAM rest = lParam & ~kScanCodeBits;
    const LPARAM always = message == WM_KEYUP ? LPARAM(DWORD(KF_REPEAT | KF_UP) << 16) : 0;
    const LPARAM optional = LPARAM(DWORD(message == WM_KEYDOWN ? KF_EXTENDED | KF_REPEAT : KF_EXTENDED) << 16);
    return (rest & ~optional) == (kRepeatCountOne | always);
}

std::string keyLine(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int key = int(wParam & 0xFF);
    std::string line = message == WM_KEYDOWN ? "keydown " : "keyup ";
    line += keyName(key);
    const WORD flags = keyFlags(lParam);
    if (message == WM_KEYDOWN && (flags & KF_REPEAT))
        line += " repeat";
    const bool extended = (flags & KF_EXTENDED) != 0;
    if (extended != keyExtendedByDefault(key))
        line += extended ? " extended" : " plain";
    return line;
}

std::string charLine(WPARAM code)
{
    const unsigned char c = (unsigned char)code;
    if (c >= kFirstShownCharacter && c <= kLastShownCharacter && c != kCommentCharacter)
        return std::string("char ") + char(c);
    return "char " + hex(c, 2);
}

} // namespace

std::string scriptLineForMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam >= 1 && wParam <= 0xFE && fitsKeyLine(message, lParam))
            return keyLine(message, wParam, lParam);
        break;
    case WM_CHAR:
        if (wParam <= 0xFF)
            return charLine(wParam);
        break;
    case WM_LBUTTONDOWN: return "mouse left down";
    case WM_LBUTTONUP: return "mouse left up";
    case WM_RBUTTONDOWN: return "mouse right down";
    case WM_RBUTTONUP: return "mouse right up";
    case WM_MBUTTONDOWN: return "mouse middle down";
    case WM_MBUTTONUP: return "mouse middle up";
    case WM_SETFOCUS: return "focus gained";
    case WM_KILLFOCUS: return "focus lost";
    case WM_CLOSE: return "close";
    case WM_MOUSEMOVE: return "";
    default: break;
    }
    const bool input = (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
                       (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
    if (!input)
        return "";
    return "message " + hex(message, 4) + " " + hex(uint64_t(wParam), 2 * sizeof(WPARAM)) + " " +
           hex(uint64_t(lParam), 2 * sizeof(LPARAM));
}

bool messageForCommand(const SimCommand& c, MSG& out, bool& input)
{
    out = MSG();
    input = true;
    switch (c.op) {
    case SimOp::KeyDown:
    case SimOp::KeyUp: {
        WORD flags = c.extended ? KF_EXTENDED : 0;
        if (c.op == SimOp::KeyUp)
            flags |= KF_REPEAT | KF_UP;
        else if (c.repeat)
            flags |= KF_REPEAT;
        out.message = c.op == SimOp::KeyDown ? WM_KEYDOWN : WM_KEYUP;
        out.wParam = WPARAM(c.virtualKey);
        out.lParam = kRepeatCountOne | LPARAM(DWORD(flags) << 16);
        return true;
    }
    case SimOp::Char:
        out.message = WM_CHAR;
        out.wParam = WPARAM(c.character);
        out.lParam = kRepeatCountOne;
        input = false; // as TranslateMessage queues it
        return true;
    case SimOp::Mouse: {
        const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
        const UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
        out.message = c.down ? downs[c.button] : ups[c.button];
        return true;
    }
    case SimOp::Focus:
        out.message = c.gained ? WM_SETFOCUS : WM_KILLFOCUS;
        input = false;
        return true;
    case SimOp::Close:
        out.message = WM_CLOSE;
        input = false;
        return true;
    case SimOp::Message:
        out.message = c.message;
        out.wParam = WPARAM(c.wParam);
        out.lParam = LPARAM(c.lParam);
        return true;
    default:
        return false;
    }
}
