// host_headless.cpp: the host without a display, for tests and tools. Its
// windows are records of where they are and whether they are minimised;
// nothing arrives from outside, no pointer moves, no message box shows,
// and devices record their draws (renderer_headless.cpp).
#include <new>

#include "common/test_seams.h"
#include "d3d9/renderer_backend.h"
#include "win32/host.h"

namespace {

struct HeadlessWindow {
    RECT rect = {0, 0, 0, 0};
    bool minimized = false;
};

HeadlessWindow* record(HostWindow* w) { return reinterpret_cast<HeadlessWindow*>(w); }

HostWindow* createWindow(const char*, int x, int y, int width, int height, bool)
{
    HeadlessWindow* w = new (std::nothrow) HeadlessWindow();
    if (!w)
        return nullptr;
    const int left = x == CW_USEDEFAULT ? 0 : x;
    const int top = y == CW_USEDEFAULT ? 0 : y;
    w->rect = RECT{left, top, left + width, top + height};
    return reinterpret_cast<HostWindow*>(w);
}

void destroyWindow(HostWindow* w) { delete record(w); }

// SW_SHOW and SW_HIDE leave a window minimised as it was.
void showWindow(HostWindow* w, int showCmd)
{
    if (showCmd == SW_MINIMIZE || showCmd == SW_SHOWMINIMIZED)
        record(w)->minimized = true;
    else if (showCmd == SW_RESTORE || showCmd == SW_SHOWNORMAL || showCmd == SW_SHOWDEFAULT)
        record(w)->minimized = false;
}

bool isHidden(HostWindow*) { return false; }
bool isMinimized(HostWindow* w) { return record(w)->minimized; }
void setTitle(HostWindow*, const char*) {}
RECT windowRect(HostWindow* w) { return record(w)->rect; }

bool placeWindow(HostWindow* w, const RECT& rect, UINT, bool, bool)
{
    record(w)->rect = rect;
    return true;
}

void setFrame(HostWindow*, bool, bool) {}
int windowDisplay(HostWindow*) { return 0; }

int displayCount() { return 1; }

bool displayBounds(int display, RECT* bounds, RECT* usable)
{
    *bounds = *usable = testSeams().headlessDesktop;
    return display == 0;
}

void pumpEvents() {}
bool waitForEvents(DWORD) { return false; }

bool hasPointer() { return false; }
POINT noPointer() { return POINT{0, 0}; }
void warpPointer(int, int) {}
void setPointerMode(bool, bool) {}

bool messageBox(const char*, const char*, UINT, void (*)()) { return false; }

} // namespace

const Host kHeadlessHost = {
    "headless",
    createWindow, destroyWindow, showWindow, isHidden, isMinimized, setTitle, windowRect, placeWindow, setFrame,
    windowDisplay,
    displayCount, displayBounds,
    pumpEvents, waitForEvents,
    hasPointer, noPointer, noPointer, warpPointer, setPointerMode,
    messageBox,
    &kHeadlessRenderer,
};
