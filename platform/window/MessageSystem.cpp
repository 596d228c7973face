#include "platform/window/MessageSystem.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <exception>

#include "platform/thread/Thread.h"
#include "platform/trace/Trace.h"
#include "platform/window/Presentation.h"

namespace {

// Never destroyed: detached threads may post and end while the process ends.
struct MessageSystem {
    std::mutex mutex;
    std::unordered_map<UINT_PTR, WindowRecord> windows;
    std::unordered_map<DWORD, std::shared_ptr<ThreadMessageQueue>> queues;
    std::vector<HWND> topLevel;
    std::unordered_map<DWORD, HWND> focus;
};

MessageSystem& System() {
    static auto* system = new MessageSystem;
    return *system;
}

timespec ToTimespec(MessageClock::time_point when) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch());
    timespec spec{};
    if (ns.count() <= 0) {
        spec.tv_nsec = 1;  // all zero would disarm; the moment has passed anyway
        return spec;
    }
    spec.tv_sec = static_cast<time_t>(ns.count() / 1000000000);
    spec.tv_nsec = static_cast<long>(ns.count() % 1000000000);
    return spec;
}

// Ends the queue of a thread that ends: its windows go, queued payloads are freed,
// waiting senders get their failure.
void CloseQueue(const std::shared_ptr<ThreadMessageQueue>& queue) {
    std::deque<PostedMessage> dropped;                     // freed after the mutex is released
    std::vector<std::unique_ptr<WindowHandler>> handlers;  // likewise
    std::vector<HWND> ended;  // windows of the tree, for the presentation
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        queue->closed = true;
        QueueTable().erase(queue->threadId);
        FocusTable().erase(queue->threadId);
        for (auto& [value, record] : WindowTable()) {
            if (record.queue != queue)
                continue;
            if (record.ownedHandler)
                handlers.push_back(std::move(record.ownedHandler));
            if (!record.state.messageOnly)
                ended.push_back(reinterpret_cast<HWND>(value));
        }
        std::erase_if(WindowTable(),
                      [&](const auto& entry) { return entry.second.queue == queue; });
        std::erase_if(TopLevelOrder(),
                      [&](HWND hwnd) { return WindowTable().count(HandleValue(hwnd)) == 0; });
        dropped.swap(queue->posted);
        for (const std::shared_ptr<SentMessage>& sent : queue->sent) {
            CompleteSentMessage(*sent, false, 0);
        }
        queue->sent.clear();
        queue->quitPending = false;
        queue->timers.clear();
        queue->NoteChange();
    }
    if (WindowPresentation* presentation = GetWindowPresentation()) {
        for (HWND hwnd : ended)
            presentation->WindowDestroyed(hwnd);
    }
}

struct QueueHolder {
    std::shared_ptr<ThreadMessageQueue> queue;
    ~QueueHolder() {
        if (queue)
            CloseQueue(queue);
    }
};

}  // namespace

ThreadMessageQueue::ThreadMessageQueue(DWORD id) : threadId(id) {
    eventFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    pollFd_ = epoll_create1(EPOLL_CLOEXEC);
    if (eventFd_ < 0 || timerFd_ < 0 || pollFd_ < 0) {
        Trace("window", "thread %u: cannot make the queue descriptor", threadId);
        return;
    }
    for (int fd : {eventFd_, timerFd_}) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        epoll_ctl(pollFd_, EPOLL_CTL_ADD, fd, &event);
    }
}

ThreadMessageQueue::~ThreadMessageQueue() {
    for (int fd : {pollFd_, timerFd_, eventFd_}) {
        if (fd >= 0)
            close(fd);
    }
}

void ThreadMessageQueue::NoteChange() {
    changed.notify_all();
    const bool pending = !closed && (!sent.empty() || !posted.empty() || quitPending);
    if (pending != signalled_ && eventFd_ >= 0) {
        std::uint64_t value = 1;
        const ssize_t moved =
            pending ? write(eventFd_, &value, sizeof value) : read(eventFd_, &value, sizeof value);
        (void)moved;
        signalled_ = pending;
    }
    MessageClock::time_point due = MessageClock::time_point::max();
    for (const TimerEntry& timer : timers)
        due = std::min(due, timer.due);
    if (due != armedDue_ && timerFd_ >= 0) {
        // Arming anew also clears an expiry already counted, so the descriptor reads
        // "due" only while the earliest timer is.
        itimerspec spec{};
        if (due != MessageClock::time_point::max())
            spec.it_value = ToTimespec(due);
        timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &spec, nullptr);
        armedDue_ = due;
    }
}

std::mutex& MessageSystemMutex() {
    return System().mutex;
}

std::unordered_map<UINT_PTR, WindowRecord>& WindowTable() {
    return System().windows;
}

std::unordered_map<DWORD, std::shared_ptr<ThreadMessageQueue>>& QueueTable() {
    return System().queues;
}

std::vector<HWND>& TopLevelOrder() {
    return System().topLevel;
}

std::unordered_map<DWORD, HWND>& FocusTable() {
    return System().focus;
}

WindowRecord* FindWindowRecord(HWND hwnd) {
    const auto found = WindowTable().find(HandleValue(hwnd));
    return found == WindowTable().end() ? nullptr : &found->second;
}

WindowRecord* FindOwnWindowRecord(HWND hwnd) {
    WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr || record->destroying || record->queue->threadId != GetCurrentThreadId())
        return nullptr;
    return record;
}

void DropQueuedForWindow(ThreadMessageQueue& queue, HWND hwnd, std::deque<PostedMessage>* dropped) {
    auto& posted = queue.posted;
    for (auto it = posted.begin(); it != posted.end();) {
        if (it->hwnd == hwnd) {
            dropped->push_back(std::move(*it));
            it = posted.erase(it);
        } else {
            ++it;
        }
    }
    auto& sent = queue.sent;
    for (auto it = sent.begin(); it != sent.end();) {
        if ((*it)->hwnd == hwnd) {
            CompleteSentMessage(**it, false, 0);
            it = sent.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(queue.timers, [&](const TimerEntry& timer) { return timer.hwnd == hwnd; });
    queue.NoteChange();
}

std::shared_ptr<ThreadMessageQueue> CurrentThreadQueue() {
    thread_local QueueHolder holder;
    if (!holder.queue) {
        auto queue = std::make_shared<ThreadMessageQueue>(GetCurrentThreadId());
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        QueueTable()[queue->threadId] = queue;
        holder.queue = std::move(queue);
    }
    return holder.queue;
}

bool CallWindowHandler(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    WindowHandler* handler = nullptr;
    {
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        const auto found = WindowTable().find(HandleValue(hwnd));
        if (found == WindowTable().end())
            return false;
        if (found->second.queue->threadId != GetCurrentThreadId())
            return false;
        handler = found->second.handler;
    }
    try {
        *result = handler->WindowProc(hwnd, message, wParam, lParam);
    } catch (const std::exception& e) {
        Trace("window", "message 0x%x to window %p: %s", message, static_cast<void*>(hwnd),
              e.what());
        *result = 0;
    } catch (...) {
        Trace("window", "message 0x%x to window %p: exception", message, static_cast<void*>(hwnd));
        *result = 0;
    }
    return true;
}

void ServeSentMessages(ThreadMessageQueue& queue) {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard<std::mutex> guard(MessageSystemMutex());
            if (queue.sent.empty())
                return;
            sent = std::move(queue.sent.front());
            queue.sent.pop_front();
            queue.NoteChange();
        }
        LRESULT result = 0;
        const bool delivered =
            CallWindowHandler(sent->hwnd, sent->message, sent->wParam, sent->lParam, &result);
        std::lock_guard<std::mutex> guard(MessageSystemMutex());
        CompleteSentMessage(*sent, delivered, result);
    }
}

void CompleteSentMessage(SentMessage& sent, bool delivered, LRESULT result) {
    sent.done = true;
    sent.delivered = delivered;
    sent.result = delivered ? result : 0;
    if (sent.sender)
        sent.sender->changed.notify_all();
}
