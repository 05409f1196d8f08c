// console.cpp: the console calls and the thread's last error.
#include <windows.h>

namespace {

thread_local DWORD t_lastError = 0;

} // namespace

DWORD WINAPI GetLastError(void) { return t_lastError; }

void WINAPI SetLastError(DWORD error) { t_lastError = error; }

BOOL WINAPI AttachConsole(DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}
