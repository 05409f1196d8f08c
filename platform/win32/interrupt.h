// interrupt.h: the signals that end a program from outside, taken as a
// desktop program takes them.
#pragma once

// SIGINT (Ctrl+C in the terminal) asks the program's window to close, as its
// close button would. SIGTERM and SIGHUP (the session ending) ask the same
// and put the platform into ending: from then on message boxes are logged
// but not shown, and one already open is taken down. A second signal of the
// same kind ends the process at once.
void interruptInstall();
// True while a close request has not been handed to a window yet.
bool interruptCloseRequested();
// The request has been acted on (or there was no window left to close).
void interruptCloseHandled();
// True once SIGTERM or SIGHUP has arrived.
bool interruptEnding();
