// interrupt.cpp: SIGINT, SIGTERM and SIGHUP become a close request for the
// program's window.
//
// The handler only sets flags, the one thing a signal handler may safely
// do; the event pump turns them into WM_CLOSE, so the program ends through
// its own close path. SA_RESETHAND restores the default action as the first
// signal arrives, so a second one ends the process even while the program
// waits on a message box (whose helper process goes with it: box_process.cpp).
#include "win32/interrupt.h"

#include <signal.h>

#include <initializer_list>

namespace {

volatile sig_atomic_t g_closeRequested = 0;
volatile sig_atomic_t g_ending = 0;

void onSignal(int number)
{
    if (number != SIGINT)
        g_ending = 1;
    g_closeRequested = 1;
}

} // namespace

void interruptInstall()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

bool interruptCloseRequested() { return g_closeRequested != 0; }
void interruptCloseHandled() { g_closeRequested = 0; }
bool interruptEnding() { return g_ending != 0; }
