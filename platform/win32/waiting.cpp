// waiting.cpp: WaitMessage and MsgWaitForMultipleObjects: the thread sleeps
// until a message can be retrieved instead of asking again and again.
#include <windows.h>
#include <mmsystem.h>

#include "common/test_seams.h"
#include "win32/host.h"
#include "win32/message_queue.h"

namespace {

// A wait is cut into slices this long: a Ctrl+C in the terminal cannot wake
// the host's wait, and is taken at the end of the slice.
constexpr DWORD kSliceMs = 100;

// True once a message can be retrieved; false when `ms` ran out first.
bool waitForMessage(DWORD ms)
{
    host().pumpEvents();
    if (queueHasMessage())
        return true;
    // Under the test controls time is scripted: waiting would bring nothing.
    if (testSeams().manualClock)
        return false;
    const DWORD start = timeGetTime();
    for (;;) {
        const DWORD waited = timeGetTime() - start;
        if (ms != INFINITE && waited >= ms)
            return false;
        const DWORD left = ms == INFINITE || ms - waited > kSliceMs ? kSliceMs : ms - waited;
        // A host that nothing can arrive from (the headless one) has nothing to wait for.
        if (!host().waitForEvents(left))
            return false;
        host().pumpEvents();
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
