// interrupt.cpp: SIGINT becomes a close request for the program's window.
//
// The handler only sets a flag, the one thing a signal handler may safely
// do; the event pump turns it into WM_CLOSE. SA_RESETHAND restores the
// default action as the first signal arrives, so a second Ctrl+C ends the
// process even while the program waits on a message box.
#include "win32/interrupt.h"

#include <signal.h>

namespace {

volatile sig_atomic_t g_requested = 0;

void onInterrupt(int) { g_requested = 1; }

} // namespace

void interruptInstall()
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool interruptTakeRequest()
{
    if (!g_requested)
        return false;
    g_requested = 0;
    return true;
}
