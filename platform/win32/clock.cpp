// clock.cpp: timeGetTime, a monotonic millisecond count.
#include <mmsystem.h>

#include <time.h>

#include "common/test_seams.h"

DWORD WINAPI timeGetTime(void)
{
    const TestSeams& seams = testSeams();
    if (seams.manualClock)
        return seams.clockMs;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Truncation to 32 bits wraps after 49.7 days, exactly like Windows.
    uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
    return DWORD(ms);
}
