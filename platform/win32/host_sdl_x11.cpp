// host_sdl_x11.cpp: windows destroyed by another client are closed, not fatal.
//
// An error about one of our windows (it is gone: BadWindow, BadDrawable, or
// an extension's error such as GLX's) marks it lost instead of ending the
// process; any other error goes on to the handler that was there before.
// The handler may run on any thread that reads the display (the driver's
// too), so it only writes atomics. The event pump turns a lost window into
// WM_CLOSE (host_sdl_events.cpp).
#include "win32/host_sdl_x11.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <atomic>

namespace {

// Every window the program has made, oldest overwritten first: errors about
// a window can arrive after it was destroyed, and must still be known.
constexpr int kWatched = 64;
std::atomic<unsigned long> g_watched[kWatched];
std::atomic<int> g_nextWatched{0};
std::atomic<unsigned long> g_lost{0};
XErrorHandler g_previousHandler = nullptr;
bool g_watching = false;

bool isWatched(unsigned long window)
{
    for (const std::atomic<unsigned long>& w : g_watched)
        if (window != 0 && w.load() == window)
            return true;
    return false;
}

bool aboutAMissingWindow(const XErrorEvent& e)
{
    return e.error_code == BadWindow || e.error_code == BadDrawable || e.error_code >= FirstExtensionError;
}

int onError(Display* display, XErrorEvent* e)
{
    if (aboutAMissingWindow(*e) && isWatched(e->resourceid)) {
        g_lost.store(e->resourceid);
        return 0;
    }
    return g_previousHandler ? g_previousHandler(display, e) : 0;
}

} // namespace

void sdlX11Watch()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (g_watching || !driver || SDL_strcmp(driver, "x11") != 0)
        return;
    g_watching = true;
    g_previousHandler = XSetErrorHandler(onError);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

unsigned long sdlX11Window(SDL_Window* host)
{
    if (!g_watching || !host)
        return 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(host, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    unsigned long window = info.info.x11.window;
    g_watched[g_nextWatched.fetch_add(1) % kWatched].store(window);
    return window;
}

void sdlX11OnEvent(const SDL_Event& e)
{
    if (e.type != SDL_SYSWMEVENT || !e.syswm.msg || e.syswm.msg->subsystem != SDL_SYSWM_X11)
        return;
    const XEvent& x = e.syswm.msg->msg.x11.event;
    if (x.type == DestroyNotify && isWatched(x.xdestroywindow.window))
        g_lost.store(x.xdestroywindow.window);
}

unsigned long sdlX11LostWindow() { return g_lost.load(); }

void sdlX11LostHandled(unsigned long window)
{
    g_lost.compare_exchange_strong(window, 0);
}
