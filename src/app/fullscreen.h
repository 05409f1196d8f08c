// fullscreen.h: the game over the whole monitor, the way a windowed
// Direct3D 9 game does it: a window without a frame covering the monitor,
// the back buffer shown in its middle at its own shape, black around it.
#pragma once

#include <windows.h>

struct FullscreenState {
    bool on = false;
    // The window as it was before, to go back to.
    LONG windowedStyle = 0;
    RECT windowedRect = {0, 0, 0, 0};
    RECT letterbox = {0, 0, 0, 0}; // the last destination handed out
};

extern FullscreenState g_fullscreen;

// Switches between full screen and the window as it was.
void setFullscreen(HWND window, bool on);
void toggleFullscreen(HWND window);

// Where Present shows the back buffer in the game window: null in a window
// (stretched over all of it), the letterboxed rectangle in full screen.
const RECT* presentDestination();
