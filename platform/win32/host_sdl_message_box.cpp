// host_sdl_message_box.cpp: the SDL host's message boxes.
//
// SDL shows its box modally and blocks the calling thread, so the box runs
// on a helper thread while this thread goes on with the modal loop the
// caller gives, as a Windows message box goes on dispatching the windows'
// messages.
#include "win32/host_sdl_message_box.h"

#include <SDL.h>

#include <atomic>

#include "win32/box_process.h"
#include "win32/host_sdl_video.h"
#include "win32/interrupt.h"

namespace {

constexpr Uint32 kModalLoopSleepMs = 10;

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

bool sdlMessageBox(const char* caption, const char* text, UINT type, void (*whileOpen)())
{
    if (!sdlVideoReady())
        return false;
    BoxOnThread shown;
    shown.flags = sdlFlagsFor(type);
    shown.caption = caption;
    shown.text = text;
    // Without fonts or a usable display the box cannot show and this fails
    // at once.
    SDL_Thread* box = SDL_CreateThread(showBox, "message box", &shown);
    while (box && !shown.done) {
        whileOpen();
        // An ending program takes its box down, as if dismissed, and goes on
        // through its own close path.
        if (interruptEnding())
            boxProcessDismiss();
        SDL_Delay(kModalLoopSleepMs);
    }
    SDL_WaitThread(box, nullptr);
    return box != nullptr;
}
