// The message queue of a thread and the loop that serves it.
//
// Each thread gets a queue on first use (creating a window, posting a quit, getting or
// peeking a message). Messages sent from other threads wait in a lane of their own and
// are served first; then posted messages in the order they came; then WM_QUIT; then the
// ticks of due timers. The queue also has a file descriptor that is readable while
// something is pending, so that another event loop can watch it and call
// ServePendingMessages.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/base/Types.h"
#include "platform/window/Window.h"

struct MSG {
    HWND hwnd = nullptr;  // null for a thread message (WM_QUIT)
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

    // Owned by the loop: the posted payload (freed after DispatchMessage or when the MSG
    // is reused) and the tick's timer generation.
    std::unique_ptr<MessagePayload> payload;
    std::uint64_t timerSerial = 0;
};

// Serves sent messages, then waits until a posted message, a quit or a tick is there and
// takes it into *msg. Returns FALSE for WM_QUIT (its code in msg->wParam), TRUE otherwise.
BOOL GetMessage(MSG* msg);

// As GetMessage without waiting: FALSE when nothing is there. With PM_NOREMOVE the
// message stays queued (a payload stays with the queue).
BOOL PeekMessage(MSG* msg, UINT removeFlags);

// Takes the first posted message of that number for hwnd out of the calling thread's
// queue, leaving the others in their order: FALSE when none is queued.
BOOL TakePostedMessage(MSG* msg, HWND hwnd, UINT message);

// Calls the handler of msg->hwnd with the message and returns its answer, then frees the
// message's payload. A message for a dead window, a thread message and the tick of a
// timer killed or replaced since it was taken are dropped (answer 0).
LRESULT DispatchMessage(MSG* msg);

// Asks the calling thread's loop to end with exitCode once its posted messages are done.
void PostQuitMessage(int exitCode);

// Queues a thread message (hwnd null) for the thread with that id; WM_QUIT with the exit
// code as wParam ends its loop in turn with the messages posted before it. FALSE when the
// thread has no queue (not started, or ended). Any thread.
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);

// The calling thread's queue descriptor: readable while a message is queued or sent, a
// quit is asked, or a timer is due. Valid for the life of the thread; not to be read or
// closed by the caller.
int GetMessageQueueFd();

// Serves what is pending for the calling thread without waiting: the sent messages, then
// as many posted messages and ticks as were queued or due on entry. Returns FALSE when it
// took a WM_QUIT (its code in *exitCode when not null), TRUE otherwise.
BOOL ServePendingMessages(int* exitCode);

// Hands the calling thread's waits for messages to another event loop (a screen's):
// while GetMessage (and so every modal loop) on this thread has nothing to take, it
// calls wait instead of blocking, and looks again when wait returns. wait must return
// once the queue descriptor (GetMessageQueueFd) is readable, and may serve events of
// its own meanwhile. Null restores the plain wait. This thread only.
using MessageWaitHook = void (*)();
void SetMessageWaitHook(MessageWaitHook wait);
