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

struct BoxOnThread {
    Uint32 flags = 0;
    const char* caption = "";
    const char* text = "";
    std::atomic<bool> done{false};
};

// On an SDL thread: SDL frees what it keeps per thread (its error text)
// only when a thread of its own ends.
int SDLCALL showBox(void* data)
{
    BoxOnThread* box = static_cast<BoxOnThread*>(data);
    boxProcessBegin();
    SDL_ShowSimpleMessageBox(box->flags, box->caption, box->text, nullptr);
    boxProcessEnd();
    box->done = true;
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
    BoxOnThread shown;
    shown.flags = sdlFlagsFor(type);
    shown.caption = caption ? caption : "";
    shown.text = text ? text : "";
    // Without fonts or a usable display the box cannot show and this fails
    // at once; the logged line has still reached the player.
    SDL_Thread* box = SDL_CreateThread(showBox, "message box", &shown);
    while (box && !shown.done) {
        hostPumpEvents();
        // An ending program takes its box down, as if dismissed, and goes on
        // through its own close path.
        if (interruptEnding())
            boxProcessDismiss();
        MSG msg;
        while (!shown.done && queueTakeForModalLoop(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        SDL_Delay(kModalLoopSleepMs);
    }
    SDL_WaitThread(box, nullptr);
    cursorOnMessageBox(false);
    return IDOK;
}
