#include "platform/window/Window.h"

#include <optional>

#include "platform/lock/ProcessLock.h"
#include "platform/thread/Thread.h"
#include "platform/trace/Trace.h"
#include "platform/window/MessageSystem.h"

namespace {

// Handles count up from here and are never reused.
UINT_PTR nextHandle = 0x10000;  // under the mutex

enum class Route { Dead, SameThread, Queued };

// Either finds the window on this thread, or queues the message in the sent lane of the
// window's thread, in one step under the mutex, so a thread that ends meanwhile either
// fails the send when it closes its queue or never sees it.
Route RouteSend(const std::shared_ptr<SentMessage>& sent) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = WindowTable().find(HandleValue(sent->hwnd));
    if (found == WindowTable().end())
        return Route::Dead;
    ThreadMessageQueue& target = *found->second.queue;
    if (target.threadId == GetCurrentThreadId())
        return Route::SameThread;
    if (target.closed)
        return Route::Dead;
    target.sent.push_back(sent);
    target.NoteChange();
    return Route::Queued;
}

// Waits for a queued send to be answered, serving what is sent to this thread meanwhile.
// Returns false on time-out or when the message was not delivered.
bool AwaitAnswer(ThreadMessageQueue& self, const std::shared_ptr<SentMessage>& sent,
                 std::optional<MessageClock::time_point> deadline, LRESULT* result) {
    for (;;) {
        ServeSentMessages(self);
        std::unique_lock<std::mutex> lock(MessageSystemMutex());
        if (sent->done) {
            *result = sent->result;
            return sent->delivered;
        }
        if (!self.sent.empty())
            continue;
        if (!deadline) {
            self.changed.wait(lock);
        } else {
            // The late answer, if any, goes into the shared message and is dropped with it.
            if (MessageClock::now() >= *deadline)
                return false;
            self.changed.wait_until(lock, *deadline);
        }
    }
}

// SendMessage and SendMessageTimeout in one: false when the handler gave no answer.
bool SendAndAnswer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                   std::optional<MessageClock::duration> timeout, LRESULT* result) {
    *result = 0;
    const std::shared_ptr<ThreadMessageQueue> self = CurrentThreadQueue();
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = self;
    std::optional<MessageClock::time_point> deadline;
    if (timeout)
        deadline = MessageClock::now() + *timeout;
    switch (RouteSend(sent)) {
        case Route::Dead:
            return false;
        case Route::SameThread:
            return CallWindowHandler(hwnd, message, wParam, lParam, result);
        case Route::Queued:
            break;
    }
    AssertProcessLockNotHeld();
    return AwaitAnswer(*self, sent, deadline, result);
}

}  // namespace

HWND NewWindowHandle() {
    return reinterpret_cast<HWND>(nextHandle++);
}

HWND CreateMessageWindow(WindowHandler* handler) {
    if (handler == nullptr)
        return nullptr;
    std::shared_ptr<ThreadMessageQueue> queue = CurrentThreadQueue();
    HWND hwnd = nullptr;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        hwnd = NewWindowHandle();
        WindowRecord& record = WindowTable()[HandleValue(hwnd)];
        record.handler = handler;
        record.queue = std::move(queue);
        record.state.messageOnly = true;
    }
    LRESULT created = 0;
    CallWindowHandler(hwnd, WM_CREATE, 0, 0, &created);
    if (created == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

BOOL IsWindow(HWND hwnd) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    return WindowTable().count(HandleValue(hwnd)) ? TRUE : FALSE;
}

DWORD GetWindowThreadId(HWND hwnd) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = WindowTable().find(HandleValue(hwnd));
    return found == WindowTable().end() ? 0 : found->second.queue->threadId;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = WindowTable().find(HandleValue(hwnd));
    if (found == WindowTable().end() || found->second.queue->closed)
        return FALSE;
    ThreadMessageQueue& queue = *found->second.queue;
    queue.posted.push_back(PostedMessage{hwnd, message, wParam, lParam, nullptr});
    queue.NoteChange();
    return TRUE;
}

BOOL PostPayloadMessage(HWND hwnd, UINT message, std::unique_ptr<MessagePayload> payload,
                        LPARAM lParam) {
    std::unique_ptr<MessagePayload> refused;  // freed after the mutex is released
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = WindowTable().find(HandleValue(hwnd));
    if (found == WindowTable().end() || found->second.queue->closed) {
        refused = std::move(payload);
        return FALSE;
    }
    ThreadMessageQueue& queue = *found->second.queue;
    const WPARAM wParam = payload ? reinterpret_cast<WPARAM>(payload->Object()) : 0;
    queue.posted.push_back(PostedMessage{hwnd, message, wParam, lParam, std::move(payload)});
    queue.NoteChange();
    return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    SendAndAnswer(hwnd, message, wParam, lParam, std::nullopt, &result);
    return result;
}

LRESULT SendMessageTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                           UINT timeoutMs, DWORD_PTR* result) {
    (void)flags;
    LRESULT answer = 0;
    const bool answered =
        SendAndAnswer(hwnd, message, wParam, lParam, std::chrono::milliseconds(timeoutMs), &answer);
    if (result)
        *result = answered ? static_cast<DWORD_PTR>(answer) : 0;
    return answered ? TRUE : 0;
}
