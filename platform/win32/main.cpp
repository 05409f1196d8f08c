// main.cpp: the process entry on hosts that are not Windows. It hands over
// to the program's WinMain as the Windows loader would; the command line is
// not passed on. Ctrl+C in the terminal closes the window.
#include <windows.h>

#include "win32/interrupt.h"

int main(int, char**)
{
    interruptInstall();
    static char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWDEFAULT);
}
