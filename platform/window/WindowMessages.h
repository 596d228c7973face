// Message numbers and flags that the platform itself defines. The system's own
// messages live at WM_USER and above.
#pragma once

#include "platform/base/Types.h"

constexpr UINT WM_NULL = 0x0000;
// Sent by CreateMessageWindow before it returns; a handler answer of -1 refuses the window.
constexpr UINT WM_CREATE = 0x0001;
// Sent by DestroyWindow while the handle is still valid.
constexpr UINT WM_DESTROY = 0x0002;
// Ends a message loop: GetMessage returns FALSE; wParam is the exit code.
constexpr UINT WM_QUIT = 0x0012;
// A timer's tick: wParam is the timer id, lParam 0.
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// SendMessageTimeout flags: the caller serves what is sent to its own thread while it waits.
constexpr UINT SMTO_NORMAL = 0x0000;

// PeekMessage: whether the message found is taken off the queue.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// The shortest timer period; shorter requests are raised to it.
constexpr UINT USER_TIMER_MINIMUM = 0x000A;
