// frame_timer.cpp: frame timing over timeGetTime.
#include "app/frame_timer.h"

#include <mmsystem.h>

namespace {
constexpr float kSecondsPerMillisecond = 0.001f;
}

FrameTimer::FrameTimer() : startMs(0) { restart(); }

void FrameTimer::restart() { startMs = timeGetTime(); }

float FrameTimer::elapsed(bool restartAfter)
{
    DWORD now = timeGetTime();
    float seconds = float(DWORD(now - startMs)) * kSecondsPerMillisecond;
    if (restartAfter)
        restart();
    return seconds;
}
