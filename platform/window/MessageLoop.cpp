#include "platform/window/MessageLoop.h"

#include "platform/window/MessageSystem.h"

namespace {

thread_local MessageWaitHook waitHook = nullptr;

// The due timer with the earliest due time, or null.
TimerEntry* DueTimer(ThreadMessageQueue& queue, MessageClock::time_point now) {
    TimerEntry* due = nullptr;
    for (TimerEntry& timer : queue.timers) {
        if (timer.due <= now && (due == nullptr || timer.due < due->due))
            due = &timer;
    }
    return due;
}

MessageClock::time_point EarliestDue(const ThreadMessageQueue& queue) {
    MessageClock::time_point earliest = MessageClock::time_point::max();
    for (const TimerEntry& timer : queue.timers)
        earliest = std::min(earliest, timer.due);
    return earliest;
}

// Serves the sent lane, then takes (or, without remove, looks at) the next posted
// message, quit or tick; waits for one when wait is set.
bool TakeMessage(ThreadMessageQueue& queue, MSG* msg, bool remove, bool wait) {
    msg->payload.reset();
    msg->timerSerial = 0;
    std::unique_lock<std::mutex> lock(MessageSystemMutex());
    for (;;) {
        if (!queue.sent.empty()) {
            lock.unlock();
            ServeSentMessages(queue);
            lock.lock();
            continue;
        }
        if (!queue.posted.empty()) {
            PostedMessage& front = queue.posted.front();
            msg->hwnd = front.hwnd;
            msg->message = front.message;
            msg->wParam = front.wParam;
            msg->lParam = front.lParam;
            if (remove) {
                msg->payload = std::move(front.payload);
                queue.posted.pop_front();
                queue.NoteChange();
            }
            return true;
        }
        if (queue.quitPending) {
            msg->hwnd = nullptr;
            msg->message = WM_QUIT;
            msg->wParam = static_cast<WPARAM>(queue.quitCode);
            msg->lParam = 0;
            if (remove) {
                queue.quitPending = false;
                queue.NoteChange();
            }
            return true;
        }
        const MessageClock::time_point now = MessageClock::now();
        if (TimerEntry* timer = DueTimer(queue, now)) {
            msg->hwnd = timer->hwnd;
            msg->message = WM_TIMER;
            msg->wParam = timer->id;
            msg->lParam = 0;
            msg->timerSerial = timer->serial;
            if (remove) {
                timer->due = now + timer->period;
                queue.NoteChange();
            }
            return true;
        }
        if (!wait)
            return false;
        if (waitHook != nullptr) {
            lock.unlock();
            waitHook();
            lock.lock();
            continue;
        }
        const MessageClock::time_point earliest = EarliestDue(queue);
        if (earliest == MessageClock::time_point::max()) {
            queue.changed.wait(lock);
        } else {
            queue.changed.wait_until(lock, earliest);
        }
    }
}

}  // namespace

BOOL GetMessage(MSG* msg) {
    TakeMessage(*CurrentThreadQueue(), msg, true, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessage(MSG* msg, UINT removeFlags) {
    return TakeMessage(*CurrentThreadQueue(), msg, (removeFlags & PM_REMOVE) != 0, false) ? TRUE
                                                                                          : FALSE;
}

BOOL TakePostedMessage(MSG* msg, HWND hwnd, UINT message) {
    if (msg == nullptr)
        return FALSE;
    ThreadMessageQueue& queue = *CurrentThreadQueue();
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    for (auto at = queue.posted.begin(); at != queue.posted.end(); ++at) {
        if (at->hwnd != hwnd || at->message != message)
            continue;
        msg->hwnd = at->hwnd;
        msg->message = at->message;
        msg->wParam = at->wParam;
        msg->lParam = at->lParam;
        msg->payload = std::move(at->payload);
        msg->timerSerial = 0;
        queue.posted.erase(at);
        queue.NoteChange();
        return TRUE;
    }
    return FALSE;
}

LRESULT DispatchMessage(MSG* msg) {
    if (msg == nullptr)
        return 0;
    LRESULT result = 0;
    const bool staleTick = msg->message == WM_TIMER && msg->timerSerial != 0 &&
                           !TimerIsCurrent(msg->hwnd, msg->wParam, msg->timerSerial);
    if (msg->hwnd != nullptr && !staleTick) {
        CallWindowHandler(msg->hwnd, msg->message, msg->wParam, msg->lParam, &result);
    }
    msg->payload.reset();
    return result;
}

void PostQuitMessage(int exitCode) {
    const std::shared_ptr<ThreadMessageQueue> queue = CurrentThreadQueue();
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    queue->quitPending = true;
    queue->quitCode = exitCode;
    queue->NoteChange();
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const auto found = QueueTable().find(threadId);
    if (found == QueueTable().end() || found->second->closed)
        return FALSE;
    ThreadMessageQueue& queue = *found->second;
    queue.posted.push_back(PostedMessage{nullptr, message, wParam, lParam, nullptr});
    queue.NoteChange();
    return TRUE;
}

void SetMessageWaitHook(MessageWaitHook wait) {
    waitHook = wait;
}

int GetMessageQueueFd() {
    return CurrentThreadQueue()->WakeFd();
}

BOOL ServePendingMessages(int* exitCode) {
    const std::shared_ptr<ThreadMessageQueue> queue = CurrentThreadQueue();
    size_t budget = 0;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        budget = queue->posted.size() + queue->timers.size() + (queue->quitPending ? 1 : 0);
    }
    ServeSentMessages(*queue);
    MSG msg;
    for (size_t i = 0; i < budget; ++i) {
        if (!TakeMessage(*queue, &msg, true, false))
            break;
        if (msg.message == WM_QUIT) {
            if (exitCode)
                *exitCode = static_cast<int>(msg.wParam);
            return FALSE;
        }
        DispatchMessage(&msg);
    }
    return TRUE;
}
