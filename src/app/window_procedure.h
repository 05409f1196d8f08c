// window_procedure.h: the game window's procedure and its key commands.
#pragma once

#include <windows.h>

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Puts the player cube's minimum corner on the aim point with the given
// velocity. Its mesh follows at the next physics step.
bool resetPlayerCube(float vx, float vy, float vz);
