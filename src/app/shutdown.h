// shutdown.h: the end of the game after its message loop.
#pragma once

// Shows the box count, then releases the game (releaseGame).
bool shutdown();
// Empties the box list and releases the marker, the ground, the textures
// and the device.
void releaseGame();
