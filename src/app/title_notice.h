// title_notice.h: a short word in the window's title, gone after a few
// seconds: the game's way to confirm something without drawing over the arena.
#pragma once

#include <windows.h>

// The title becomes "Quadrill by Harnwick - text" until the notice's timer
// puts it back, as it is while playing or paused (a later notice starts the
// wait again).
void showTitleNotice(HWND window, const char* text);
// The window procedure's WM_TIMER: puts the title back when it is the
// notice's timer.
void onTitleNoticeTimer(HWND window, WPARAM timerId);
