// window_text.cpp: prints the caption and control texts of a top-level window.
//
// Run under Wine next to the game: a message box is one X window there, but its
// text lives in a child control that only the Win32 side can read.
#include <windows.h>

#include <cstdio>

namespace {

constexpr int kTextCapacity = 512;

BOOL CALLBACK printText(HWND window, LPARAM)
{
    char text[kTextCapacity] = {};
    if (GetWindowTextA(window, text, kTextCapacity) > 0)
        std::printf("%s\n", text);
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_text TITLE\n");
        return 2;
    }
    HWND window = FindWindowA(nullptr, argv[1]);
    if (!window) {
        std::fprintf(stderr, "window_text: no window titled \"%s\"\n", argv[1]);
        return 1;
    }
    printText(window, 0);
    EnumChildWindows(window, printText, 0);
    return 0;
}
