// interrupt.h: Ctrl+C in the terminal, as a desktop program takes it.
#pragma once

// The first SIGINT asks the program's window to close, as the window's own
// close button would; a second one ends the process at once.
void interruptInstall();
// True once for each request that has not been acted on yet.
bool interruptTakeRequest();
