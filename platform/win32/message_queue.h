// message_queue.h: the thread's message queue, for the rest of the platform.
#pragma once

#include <windows.h>

// Appends a message. Input messages (keys, mouse) update the key-state
// table when they are taken. Consecutive mouse moves to one window merge,
// as on Windows. False, with nothing queued, when the queue is at its limit.
bool queuePost(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool input);
// True while another message can be posted.
bool queueHasRoom();
// True when PeekMessageA would return something: a queued message, a
// quit request or a window to paint.
bool queueHasMessage();

// Takes the next queued message for the modal loop of a message box: queued
// and paint messages only, never WM_QUIT, no idle callback.
bool queueTakeForModalLoop(MSG* msg);

// Empties the queue and forgets a pending quit (the test controls, between tests).
void queueReset();
