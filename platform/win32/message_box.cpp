// message_box.cpp: MessageBoxA.
//
// SDL shows its box modally and blocks the calling thread, so the box runs
// on a helper thread while this thread goes on pumping and dispatching the
// windows' messages, as the modal loop of a Windows message box does. Every
// box is also logged as one line on standard error, "CAPTION: TEXT", as a
// desktop program on Linux logs; with no display, or once the program has
// been told to end (SIGTERM, SIGHUP), that line is all there is.
#include <windows.h>

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "common/hooks.h"
#include "win32/box_process.h"
#include "win32/cursor.h"
#include "win32/host_events.h"
#include "win32/host_video.h"
#include "win32/interrupt.h"
#include "win32/message_queue.h"

namespace {

constexpr Uint32 kModalLoopSleepMs = 10;

void logToStderr(LPCSTR text, LPCSTR caption)
{
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}

Uint32 sdlFlagsFor(UINT type)
{
    if (type & MB_ICONERROR)
        return SDL_MESSAGEBOX_ERROR;
    if (type & MB_ICONINFORMATION)
        return SDL_MESSAGEBOX_INFORMATION;
    return 0;
}

} // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    PlatformHooks& hooks = platformHooks();
    if (hooks.messageBox)
        return hooks.messageBox(hooks.messageBoxUser, owner, text, caption, type);
    logToStderr(text, caption);
    if (hooks.headless || interruptEnding() || !hostVideoReady())
        return IDOK;

    cursorOnMessageBox(true);
    std::atomic<bool> done{false};
    // Without fonts or a usable display the box cannot show and this fails
    // at once; the logged line has still reached the player.
    std::thread box([&] {
        boxProcessBegin();
        SDL_ShowSimpleMessageBox(sdlFlagsFor(type), caption ? caption : "", text ? text : "", nullptr);
        boxProcessEnd();
        done = true;
    });
    while (!done) {
        hostPumpEvents();
        // An ending program takes its box down, as if dismissed, and goes on
        // through its own close path.
        if (interruptEnding())
            boxProcessDismiss();
        MSG msg;
        while (!done && queueTakeForModalLoop(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        SDL_Delay(kModalLoopSleepMs);
    }
    box.join();
    cursorOnMessageBox(false);
    return IDOK;
}
