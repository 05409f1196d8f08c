// host_sdl_message_box.h: the SDL host's message boxes (its part of host.h's table).
#pragma once

#include <windows.h>

// Shows a box on a thread of its own and returns when it is dismissed,
// calling `whileOpen` every few milliseconds meanwhile. False when no box
// could be shown (no display, no fonts).
bool sdlMessageBox(const char* caption, const char* text, UINT type, void (*whileOpen)());
