// host_events.cpp: SDL events in, Win32 messages out.
#include "win32/host_events.h"

#include <SDL.h>

#include "common/hooks.h"
#include "win32/cursor.h"
#include "win32/host_video.h"
#include "win32/host_x11.h"
#include "win32/interrupt.h"
#include "win32/keyboard.h"
#include "win32/message_queue.h"
#include "win32/window.h"

namespace {

WPARAM mouseKeyFlags(Uint32 buttons)
{
    WPARAM flags = 0;
    if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
    if (keyboardIsDown(VK_SHIFT)) flags |= MK_SHIFT;
    if (keyboardIsDown(VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

LPARAM clientPoint(int x, int y)
{
    return MAKELPARAM(x, y);
}

void onWindowEvent(const SDL_WindowEvent& e)
{
    HWND window = windowFromHostId(e.windowID);
    if (!window)
        return;
    switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
        queuePost(window, WM_CLOSE, 0, 0, false);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        windowInvalidate(window);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        queuePost(window, WM_SIZE, 0, MAKELPARAM(e.data1, e.data2), false);
        windowInvalidate(window);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        cursorOnFocus(true);
        queuePost(window, WM_SETFOCUS, 0, 0, false);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        cursorOnFocus(false);
        queuePost(window, WM_KILLFOCUS, 0, 0, false);
        break;
    default:
        break;
    }
}

void onKey(const SDL_KeyboardEvent& e)
{
    HWND window = windowFromHostId(e.windowID);
    if (!window)
        window = windowFirstLive();
    bool extended = false;
    int vk = keyboardVirtualKeyFromSdl(e.keysym.sym, &extended);
    if (!window || vk == 0)
        return;
    const bool down = e.type == SDL_KEYDOWN;
    WORD flags = extended ? KF_EXTENDED : 0;
    if (!down)
        flags |= KF_REPEAT | KF_UP;
    else if (e.repeat)
        flags |= KF_REPEAT;
    // The modifiers as they were at this event, not as the messages taken so far say.
    const bool alt = (e.keysym.mod & KMOD_ALT) != 0;
    const bool control = (e.keysym.mod & KMOD_CTRL) != 0;
    const UINT message = keyMessageFor(vk, down, alt, control, flags);
    queuePost(window, message, WPARAM(vk), keyMessageLParam(e.keysym.scancode, flags), true);
}

void onMouseButton(const SDL_MouseButtonEvent& e)
{
    HWND window = windowFromHostId(e.windowID);
    if (!window)
        return;
    bool down = e.type == SDL_MOUSEBUTTONDOWN;
    UINT message = 0;
    switch (e.button) {
    case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: return;
    }
    queuePost(window, message, mouseKeyFlags(SDL_GetMouseState(nullptr, nullptr)),
              clientPoint(e.x, e.y), true);
}

void onMouseMotion(const SDL_MouseMotionEvent& e)
{
    HWND window = windowFromHostId(e.windowID);
    CursorMotion motion;
    motion.x = e.x;
    motion.y = e.y;
    motion.dx = e.xrel;
    motion.dy = e.yrel;
    if (SDL_Window* host = SDL_GetWindowFromID(e.windowID))
        SDL_GetWindowSize(host, &motion.windowWidth, &motion.windowHeight);
    cursorOnMotion(motion);
    if (window)
        queuePost(window, WM_MOUSEMOVE, mouseKeyFlags(e.state), clientPoint(e.x, e.y), true);
}

} // namespace

void hostDropPendingEvents()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void hostPumpEvents()
{
    if (platformHooks().headless || !SDL_WasInit(SDL_INIT_VIDEO))
        return;
    if (interruptCloseRequested()) {
        // A request waits while the queue is full; with no window left there
        // is nothing to close.
        HWND window = windowFirstLive();
        if (!window || queuePost(window, WM_CLOSE, 0, 0, false))
            interruptCloseHandled();
    }
    bool scripted = platformHooks().scriptedInput;
    SDL_Event e;
    // Each event makes at most one message; while the queue is full the
    // rest wait in SDL's queue (and the display's) rather than being lost.
    while (queueHasRoom() && SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_WINDOWEVENT:
            onWindowEvent(e.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (!scripted)
                onKey(e.key);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (!scripted)
                onMouseButton(e.button);
            break;
        case SDL_MOUSEMOTION:
            if (!scripted)
                onMouseMotion(e.motion);
            break;
        case SDL_SYSWMEVENT:
            hostX11OnEvent(e);
            break;
        default:
            break; // SDL_QUIT too: closing arrives as the window's own close event
        }
    }
    // A window another client destroyed is closed as if by its close button.
    if (unsigned long lost = hostX11LostWindow()) {
        HWND window = windowFromX11Window(lost);
        if (!window || queuePost(window, WM_CLOSE, 0, 0, false))
            hostX11LostHandled(lost);
    }
}
