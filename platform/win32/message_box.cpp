// message_box.cpp: MessageBoxA.
//
// Every box is logged as one line on standard error, "CAPTION: TEXT", as a
// desktop program on Linux logs, then shown by the host; while it is open
// the windows' messages are still dispatched, as in the modal loop of a
// Windows message box. With no display, or once the program has been told
// to end (SIGTERM, SIGHUP), the logged line is all there is.
#include <windows.h>

#include <cstdio>

#include "common/test_seams.h"
#include "win32/cursor.h"
#include "win32/host.h"
#include "win32/interrupt.h"
#include "win32/message_queue.h"

namespace {

void logToStderr(LPCSTR text, LPCSTR caption)
{
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}

void modalLoop()
{
    host().pumpEvents();
    MSG msg;
    while (queueTakeForModalLoop(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    TestSeams& seams = testSeams();
    if (seams.messageBox)
        return seams.messageBox(seams.messageBoxUser, owner, text, caption, type);
    logToStderr(text, caption);
    if (interruptEnding())
        return IDOK;
    cursorOnMessageBox(true);
    host().messageBox(caption ? caption : "", text ? text : "", type, modalLoop);
    cursorOnMessageBox(false);
    return IDOK;
}
