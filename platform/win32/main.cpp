// main.cpp: the process entry on hosts that are not Windows. It hands over
// to the program's WinMain as the Windows loader would, with the arguments
// joined into one command line by the rules the C runtime splits it by.
// Ctrl+C in the terminal closes the window.
#include <windows.h>

#include <string>

#include "win32/command_line.h"
#include "win32/interrupt.h"

int main(int argc, char** argv)
{
    interruptInstall();
    static std::string commandLine;
    commandLine = joinCommandLine(argc - 1, argv + 1);
    return WinMain(GetModuleHandleA(nullptr), nullptr, &commandLine[0], SW_SHOWDEFAULT);
}
