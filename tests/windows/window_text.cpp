// window_text.cpp: prints the caption and control texts of a top-level window.
//
// Run under Wine next to the game: a message box is one X window there, but its
// text lives in a child control that only the Win32 side can read.
//
//   window_text TITLE            the texts, one a line
//   window_text --client TITLE   "X Y WIDTH HEIGHT" of the client area, from
//                                the window's top-left corner
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kTextCapacity = 512;

BOOL CALLBACK printText(HWND window, LPARAM)
{
    char text[kTextCapacity] = {};
    if (GetWindowTextA(window, text, kTextCapacity) > 0)
        std::printf("%s\n", text);
    return TRUE;
}

// Where the picture is inside the frame Wine draws around it.
int printClientArea(HWND window)
{
    RECT outer = {}, client = {};
    POINT origin = {0, 0};
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return 1;
    std::printf("%ld %ld %ld %ld\n", long(origin.x - outer.left), long(origin.y - outer.top), long(client.right),
                long(client.bottom));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    bool clientArea = argc == 3 && std::strcmp(argv[1], "--client") == 0;
    if (argc != 2 && !clientArea) {
        std::fprintf(stderr, "usage: window_text [--client] TITLE\n");
        return 2;
    }
    const char* title = argv[argc - 1];
    HWND window = FindWindowA(nullptr, title);
    if (!window) {
        std::fprintf(stderr, "window_text: no window titled \"%s\"\n", title);
        return 1;
    }
    if (clientArea)
        return printClientArea(window);
    printText(window, 0);
    EnumChildWindows(window, printText, 0);
    return 0;
}
