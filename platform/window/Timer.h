// Window timers. A timer produces WM_TIMER (wParam = id) for its window when due; the
// tick is made when the window's thread looks at its queue, so ticks never pile up: a
// timer has at most one tick waiting, and the next one falls due a period after the last
// one was taken.
#pragma once

#include "platform/base/Types.h"

// Starts (or, for the same window and id, replaces) a timer of elapseMs milliseconds
// (at least USER_TIMER_MINIMUM). Returns id; 0 for a dead window or id 0. Any thread;
// the ticks arrive on the window's thread.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs);

// Stops the timer; a tick of it not yet dispatched is not delivered. FALSE when the
// window has no such timer.
BOOL KillTimer(HWND hwnd, UINT_PTR id);
