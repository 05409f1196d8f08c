// title_notice.cpp: the title's notice and its timer.
#include "app/title_notice.h"

#include <string>

#include "app/pause.h"
#include "app/window_title.h"

namespace {

constexpr UINT_PTR kTitleNoticeTimer = 0x5117; // any id of the game window's own
constexpr UINT kTitleNoticeMs = 3000;

} // namespace

void showTitleNotice(HWND window, const char* text)
{
    if (!window)
        return;
    const std::string title = std::string(kWindowTitle) + " - " + text;
    SetWindowTextA(window, title.c_str());
    SetTimer(window, kTitleNoticeTimer, kTitleNoticeMs, nullptr);
}

void onTitleNoticeTimer(HWND window, WPARAM timerId)
{
    if (timerId != kTitleNoticeTimer)
        return;
    KillTimer(window, kTitleNoticeTimer);
    SetWindowTextA(window, g_pause.paused ? kPausedWindowTitle : kWindowTitle);
}
