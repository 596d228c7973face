// Windows: handles that name a handler on the thread that created them, and the
// messages sent and posted to them.
//
// A window belongs to the thread that created it. Its handler runs only on that thread:
// when that thread dispatches a posted message or a tick, when that thread sends to it,
// and when a message another thread sent is served by it (in GetMessage, PeekMessage, or
// while that thread itself waits in a send). Handles are never given to a second window,
// so a stale handle is harmless: every call below accepts it and fails cleanly.
// A window whose thread ends goes with the thread (no WM_DESTROY is sent then).
#pragma once

#include <memory>
#include <utility>

#include "platform/base/Types.h"
#include "platform/window/WindowMessages.h"

class WindowHandler {
public:
    virtual ~WindowHandler() = default;
    // Runs on the window's own thread. An exception that escapes it is dropped with one
    // trace line on "window" and the message answers 0.
    virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// The default handling of any message a handler does not handle itself: WM_SETTEXT,
// WM_GETTEXT and WM_GETTEXTLENGTH keep and give the window's text; WM_CLOSE destroys the
// window; WM_SETICON and WM_GETICON keep and give its icons; WM_QUERYDRAGICON answers
// the big icon; WM_SYSCOMMAND closes (SC_CLOSE), minimises, maximises and restores;
// WM_PAINT marks the window painted. Everything else answers 0.
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Creates a window on the calling thread for handler (kept by the caller, alive until
// the window is destroyed or its thread ends) and sends it WM_CREATE. Returns the new
// handle, or null when the handler answered WM_CREATE with -1 (the window is then
// destroyed again, with WM_DESTROY).
HWND CreateMessageWindow(WindowHandler* handler);

// Sends WM_DESTROY to the window (and its children, see WindowTree.h), then
// WM_NCDESTROY, then ends it: its handle stops naming a window, its timers stop,
// messages posted to it and still queued are dropped (their payloads freed), and
// senders still waiting on it get 0. Only the window's own thread may destroy it; from
// another thread, for a dead handle, or again while it is being destroyed, returns FALSE.
BOOL DestroyWindow(HWND hwnd);

// Whether hwnd names a live window (also during its WM_DESTROY). Any handle, any thread.
BOOL IsWindow(HWND hwnd);

// The id of the thread that owns the window (GetCurrentThreadId of that thread), 0 for
// a dead handle.
DWORD GetWindowThreadId(HWND hwnd);

// A heap object that travels with a posted message. The message's handler sees the
// object as wParam while it runs; the holder frees the object after dispatch, or when the
// message is never dispatched (dead window, window destroyed or thread ended with the
// message queued). The handler must not delete it; it copies what it keeps.
class MessagePayload {
public:
    virtual ~MessagePayload() = default;
    virtual void* Object() = 0;
};

template <class T>
class OwnedPayload final : public MessagePayload {
public:
    explicit OwnedPayload(std::unique_ptr<T> object) : object_(std::move(object)) {}
    void* Object() override { return object_.get(); }

private:
    std::unique_ptr<T> object_;
};

// Queues a message for the window's thread and returns at once. FALSE for a dead handle.
// Any thread.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// PostMessage with a payload as wParam (see MessagePayload). When the post fails the
// payload is freed before this returns.
BOOL PostPayloadMessage(HWND hwnd, UINT message, std::unique_ptr<MessagePayload> payload,
                        LPARAM lParam);

// Posts object (a heap text, a heap text array, any heap object) as wParam; the handler
// reads it as reinterpret_cast<T*>(wParam). FALSE for a dead handle (object freed).
template <class T>
BOOL PostOwnedMessage(HWND hwnd, UINT message, std::unique_ptr<T> object, LPARAM lParam) {
    return PostPayloadMessage(hwnd, message, std::make_unique<OwnedPayload<T>>(std::move(object)),
                              lParam);
}

// On the window's own thread: calls the handler at once and returns its answer. From
// another thread: queues the message on the owner's thread and waits, without a limit,
// for the answer, serving meanwhile what other threads send to the calling thread (so two
// threads that send to each other do not wait on each other for good). Returns 0 for a
// dead handle, and when the window dies or its thread ends before answering.
// A cross-thread send must not be made with the process lock held.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// SendMessage with a limit on the wait. Returns nonzero when the handler answered (its
// answer in *result, when result is not null); 0 when the handle is dead (at once), when
// the window died or its thread ended first, or when timeoutMs passed (*result is then 0).
// A message that timed out is still handled later; its late answer is dropped. flags:
// SMTO_NORMAL. A cross-thread send must not be made with the process lock held.
LRESULT SendMessageTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                           UINT timeoutMs, DWORD_PTR* result);
