// pause.h: the pause key. While paused the world stands still (no physics,
// no controls, no crates), the pointer is free, and the message loop
// sleeps until there is a message. p again, or a click in the window,
// resumes: the frame timer starts afresh, so no time passes in the world.
#pragma once

#include <windows.h>

struct PauseState {
    bool paused = false;
    // The button-up of the click that resumed: the game never sees it, as
    // it never saw its button-down.
    UINT heldBackButtonUp = 0;
};

extern PauseState g_pause;

void pauseGame();
// `resumingMessage` is the button-down that resumed, or 0.
void resumeGame(UINT resumingMessage);

// True when the game must not see this message: any mouse button while
// paused, and the release of the click that resumed.
bool pauseHoldsBack(UINT message);
