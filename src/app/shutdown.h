// shutdown.h: the end of the game after its message loop.
#pragma once

// Shows the box count, empties the box list, and releases the marker, the
// ground, the textures and the device.
bool shutdown();
