// waiting.cpp: WaitMessage and MsgWaitForMultipleObjects: the thread sleeps
// until a message can be retrieved instead of asking again and again.
#include <windows.h>

#include <SDL.h>

#include "common/hooks.h"
#include "win32/host_events.h"
#include "win32/message_queue.h"

namespace {

// A wait is cut into slices this long: a Ctrl+C in the terminal cannot wake
// SDL's wait, and is taken at the end of the slice.
constexpr Uint64 kSliceMs = 100;

// True once a message can be retrieved; false when `ms` ran out first.
bool waitForMessage(DWORD ms)
{
    hostPumpEvents();
    if (queueHasMessage())
        return true;
    // Under the test controls input and time are scripted: waiting would
    // bring neither.
    const PlatformHooks& hooks = platformHooks();
    if (hooks.headless || hooks.manualClock)
        return false;
    const Uint64 start = SDL_GetTicks64();
    for (;;) {
        const Uint64 waited = SDL_GetTicks64() - start;
        if (ms != INFINITE && waited >= ms)
            return false;
        const Uint64 left = ms == INFINITE ? kSliceMs : SDL_min(kSliceMs, Uint64(ms) - waited);
        // A null event leaves what arrives in SDL's queue for the pump.
        if (SDL_WasInit(SDL_INIT_VIDEO))
            SDL_WaitEventTimeout(nullptr, int(left));
        else
            SDL_Delay(Uint32(left));
        hostPumpEvents();
        if (queueHasMessage())
            return true;
    }
}

} // namespace

BOOL WINAPI WaitMessage(void)
{
    waitForMessage(INFINITE);
    return TRUE;
}

// Without handles to wait on, only messages end the wait.
DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL, DWORD milliseconds, DWORD)
{
    if (count != 0 || handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    return waitForMessage(milliseconds) ? WAIT_OBJECT_0 : DWORD(WAIT_TIMEOUT);
}
