// message_queue.cpp: PeekMessageA and friends over one ring of messages.
//
// Order of retrieval, as on Windows: queued messages first (the WM_CHAR of
// TranslateMessage goes to the front, ahead of later input), then WM_QUIT
// once a quit was requested, then WM_PAINT for a window that needs it, then
// WM_TIMER for a timer that is due.
//
// Nothing is dropped: a post past the limit fails and says so to its caller,
// as PostMessage does on Windows, and the host's events wait in the host's
// own queue until there is room again.
#include "win32/message_queue.h"

#include <mmsystem.h>

#include "common/test_seams.h"
#include "win32/cursor.h"
#include "win32/host.h"
#include "win32/keyboard.h"
#include "win32/window.h"

namespace {

// Windows' default quota of messages posted to one thread's queue
// (USERPostMessageLimit); posting past it fails there too.
constexpr int kPostLimit = 10000;
// Room kept for the characters TranslateMessage puts in front: each follows
// the removal of its own key, so this never runs out in a message loop.
constexpr int kTranslatedRoom = 16;
constexpr int kCapacity = kPostLimit + kTranslatedRoom;

struct Entry {
    MSG msg;
    bool input;
};

Entry g_ring[kCapacity];
int g_head = 0;  // index of the oldest entry
int g_count = 0;
bool g_quitPending = false;
int g_quitCode = 0;

Entry& at(int i) { return g_ring[(g_head + i) % kCapacity]; }

constexpr int kMaxTimers = 16;

struct Timer {
    bool used = false;
    HWND window = nullptr;
    UINT_PTR id = 0;
    DWORD startMs = 0;
    DWORD elapseMs = 0;
};

Timer g_timers[kMaxTimers];

MSG makeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = timeGetTime();
    GetCursorPos(&m.pt);
    return m;
}

bool matches(const MSG& m, HWND window, UINT filterMin, UINT filterMax)
{
    if (window && m.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return m.message >= filterMin && m.message <= filterMax;
}

void removeAt(int index)
{
    for (int i = index; i > 0; --i)
        at(i) = at(i - 1);
    g_head = (g_head + 1) % kCapacity;
    --g_count;
}

bool takeQueued(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove)
{
    for (int i = 0; i < g_count; ++i) {
        Entry& e = at(i);
        if (!matches(e.msg, window, filterMin, filterMax))
            continue;
        *msg = e.msg;
        if (remove) {
            bool input = e.input;
            removeAt(i);
            if (input)
                keyboardApplyInput(*msg);
        }
        return true;
    }
    return false;
}

bool takePaint(MSG* msg, HWND window)
{
    HWND dirty = windowNeedingPaint();
    if (!dirty || (window && window != dirty))
        return false;
    *msg = makeMessage(dirty, WM_PAINT, 0, 0);
    return true;
}

// A due timer's WM_TIMER; taking it starts the timer's next period.
bool takeTimer(MSG* msg, HWND window, bool remove)
{
    const DWORD now = timeGetTime();
    for (Timer& t : g_timers) {
        if (!t.used || (window && t.window != window))
            continue;
        if (!windowIsLive(t.window)) {
            t = Timer();
            continue;
        }
        if (DWORD(now - t.startMs) < t.elapseMs)
            continue;
        *msg = makeMessage(t.window, WM_TIMER, t.id, 0);
        if (remove)
            t.startMs = now;
        return true;
    }
    return false;
}

bool retrieve(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove)
{
    if (takeQueued(msg, window, filterMin, filterMax, remove))
        return true;
    if (g_quitPending) {
        *msg = makeMessage(nullptr, WM_QUIT, WPARAM(g_quitCode), 0);
        if (remove)
            g_quitPending = false;
        return true;
    }
    return takePaint(msg, window) || takeTimer(msg, window, remove);
}

} // namespace

// ---- Platform-internal interface ----------------------------------------------------
bool queuePost(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool input)
{
    if (message == WM_MOUSEMOVE && g_count > 0) {
        Entry& last = at(g_count - 1);
        if (last.msg.message == WM_MOUSEMOVE && last.msg.hwnd == window) {
            last.msg = makeMessage(window, message, wParam, lParam);
            return true;
        }
    }
    if (g_count >= kPostLimit)
        return false;
    at(g_count) = Entry{makeMessage(window, message, wParam, lParam), input};
    ++g_count;
    return true;
}

bool queueHasRoom() { return g_count < kPostLimit; }

bool queueHasMessage() { return g_count > 0 || g_quitPending || windowNeedingPaint() != nullptr; }

bool queueTakeForModalLoop(MSG* msg)
{
    return takeQueued(msg, nullptr, 0, 0, true) || takePaint(msg, nullptr) || takeTimer(msg, nullptr, true);
}

void queueReset()
{
    g_head = 0;
    g_count = 0;
    g_quitPending = false;
    g_quitCode = 0;
    for (Timer& t : g_timers)
        t = Timer();
}

// ---- Win32 ------------------------------------------------------------------------
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg)
        return FALSE;
    bool remove = (removeFlags & PM_REMOVE) != 0;
    TestSeams& seams = testSeams();
    for (;;) {
        host().pumpEvents();
        if (retrieve(msg, window, filterMin, filterMax, remove))
            return TRUE;
        if (!seams.idle || !seams.idle(seams.idleUser))
            return FALSE;
    }
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !windowIsLive(window))
        return FALSE;
    return queuePost(window, message, wParam, lParam, false) ? TRUE : FALSE;
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc)
{
    if (!windowIsLive(window) || proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Timer* slot = nullptr;
    for (Timer& t : g_timers)
        if (t.used && t.window == window && t.id == id)
            slot = &t; // set again: restarts with the new period
    for (Timer& t : g_timers)
        if (!slot && !t.used)
            slot = &t;
    if (!slot) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    *slot = Timer{true, window, id, timeGetTime(), elapseMs};
    return id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id)
{
    for (Timer& t : g_timers)
        if (t.used && t.window == window && t.id == id) {
            t = Timer();
            return TRUE;
        }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

void WINAPI PostQuitMessage(int exitCode)
{
    g_quitPending = true;
    g_quitCode = exitCode;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    if (!msg)
        return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) ? TRUE : FALSE;
    int ch = testSeams().translateKeys ? keyboardCharFor(int(msg->wParam & 0xFF)) : 0;
    if (ch != 0) {
        // The character is retrieved next, before any input queued after its key.
        if (g_count == kCapacity)
            return FALSE;
        g_head = (g_head + kCapacity - 1) % kCapacity;
        ++g_count;
        const UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
        at(0) = Entry{makeMessage(msg->hwnd, charMessage, WPARAM(ch), msg->lParam), false};
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (!msg)
        return 0;
    WNDPROC proc = windowProc(msg->hwnd);
    return proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}
