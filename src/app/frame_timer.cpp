// frame_timer.cpp: frame timing over timeGetTime.
#include "app/frame_timer.h"

#include <mmsystem.h>

namespace {
constexpr float kSecondsPerMillisecond = 0.001f;
}

FrameTimer::FrameTimer() : startMs(0) { restart(); }

void FrameTimer::restart() { startMs = timeGetTime(); }

DWORD FrameTimer::elapsedMs(bool restartAfter)
{
    DWORD now = timeGetTime();
    DWORD ms = DWORD(now - startMs);
    if (restartAfter)
        restart();
    return ms;
}

float FrameTimer::elapsed(bool restartAfter) { return secondsOf(elapsedMs(restartAfter)); }

float FrameTimer::secondsOf(DWORD ms) { return float(ms) * kSecondsPerMillisecond; }
