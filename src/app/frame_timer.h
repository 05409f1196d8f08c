// frame_timer.h: seconds since the last restart, from the millisecond clock.
#pragma once

#include <windows.h>

struct FrameTimer {
    // The clock reading at the last restart, in milliseconds. Kept as the
    // raw count: an unsigned difference of two readings is right at any
    // uptime and across the clock's wrap, which float seconds since boot
    // are not.
    DWORD startMs;

    FrameTimer();
    void restart();
    // Seconds since the last restart; restarts afterwards when asked (with a
    // fresh reading of the clock).
    float elapsed(bool restartAfter);
    // The same in whole milliseconds, the clock's own unit.
    DWORD elapsedMs(bool restartAfter);
    // The seconds of a whole number of milliseconds, as elapsed gives them.
    static float secondsOf(DWORD ms);
};
