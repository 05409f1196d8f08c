// main.cpp: the process entry on hosts that are not Windows. It hands over
// to the program's WinMain as the Windows loader would; the command line is
// not passed on.
#include <windows.h>

int main(int, char**)
{
    static char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, emptyCommandLine, SW_SHOWDEFAULT);
}
