// host_sdl_events.h: turns SDL's events into the window messages of the queue.
#pragma once

// Drains SDL's event queue into the message queue (the SDL host's
// pumpEvents). Does nothing before SDL's video is up.
void sdlPumpEvents();
// Drops every event the host has not delivered yet (the test controls,
// between tests).
void sdlDropPendingEvents();
