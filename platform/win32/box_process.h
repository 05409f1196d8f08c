// box_process.h: the helper process a message box may be drawn in.
//
// SDL draws an X11 message box from a child process it forks (and the
// Wayland one from a zenity it starts). That helper must never outlive the
// program, nor hold its window on the screen, and a program that is ending
// must be able to take its box down.
#pragma once

// Called on the thread that shows a box, around the call that shows it:
// a process forked from this thread in between is the box's helper.
void boxProcessBegin();
void boxProcessEnd();
// Ends the helper of the box being shown; false while it has not started
// (or the box has none).
bool boxProcessDismiss();
