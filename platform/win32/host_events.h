// host_events.h: turns SDL's events into the window messages of the queue.
#pragma once

// Drains SDL's event queue into the message queue. Does nothing while
// headless or before any window exists.
void hostPumpEvents();
// Drops every event the host has not delivered yet (the test controls,
// between tests).
void hostDropPendingEvents();
