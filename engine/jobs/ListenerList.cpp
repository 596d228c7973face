#include "engine/jobs/ListenerList.h"

#include <algorithm>
#include <exception>

#include "engine/jobs/Job.h"
#include "engine/jobs/MessageListener.h"
#include "platform/lock/ProcessLock.h"
#include "platform/trace/Trace.h"
#include "platform/window/Window.h"

void ListenerList::AddWindow(HWND hwnd) {
    if (hwnd == nullptr)
        return;
    ProcessLockGuard guard;
    windows_.push_back(hwnd);
}

void ListenerList::AddObject(MessageListener* listener) {
    if (listener == nullptr)
        return;
    Job* job = dynamic_cast<Job*>(listener);
    ProcessLockGuard guard;
    objects_.push_back({listener, job, job != nullptr ? job->serial_ : 0});
}

void ListenerList::RemoveObject(MessageListener* listener) {
    ProcessLockGuard guard;
    auto found = std::find_if(objects_.begin(), objects_.end(), [listener](const Entry& entry) {
        return entry.listener == listener;
    });
    if (found != objects_.end())
        objects_.erase(found);
}

void ListenerList::RemoveAllWindows() {
    ProcessLockGuard guard;
    windows_.clear();
}

void ListenerList::MoveAllTo(ListenerList& target) {
    if (&target == this)
        return;
    ProcessLockGuard guard;
    target.windows_.insert(target.windows_.end(), windows_.begin(), windows_.end());
    target.objects_.insert(target.objects_.end(), objects_.begin(), objects_.end());
    windows_.clear();
    objects_.clear();
}

int ListenerList::GetWindowCount() const {
    ProcessLockGuard guard;
    return static_cast<int>(windows_.size());
}

std::vector<HWND> ListenerList::GetWindows() const {
    ProcessLockGuard guard;
    return windows_;
}

int ListenerList::GetObjectCount() const {
    ProcessLockGuard guard;
    return static_cast<int>(objects_.size());
}

void ListenerList::Broadcast(UINT message, WPARAM wParam, LPARAM lParam) {
    std::vector<HWND> windows;
    std::vector<Entry> calls;
    {
        ProcessLockGuard guard;
        windows = windows_;
        calls.reserve(objects_.size());
        for (auto entry = objects_.rbegin(); entry != objects_.rend(); ++entry) {
            if (entry->job != nullptr && !Job::EnterListenerCall(entry->job, entry->serial))
                continue;
            calls.push_back(*entry);
        }
    }

    for (const Entry& call : calls) {
        try {
            call.listener->OnMessage(message, wParam, lParam);
        } catch (const std::exception& e) {
            Trace("jobs", "a listener of message 0x%x failed: %s", message, e.what());
        } catch (...) {
            Trace("jobs", "a listener of message 0x%x failed", message);
        }
        if (call.job != nullptr)
            call.job->LeaveListenerCall();
    }

    for (HWND hwnd : windows) {
        if (PostMessage(hwnd, message, wParam, lParam))
            continue;
        ProcessLockGuard guard;
        auto dead = std::find(windows_.begin(), windows_.end(), hwnd);
        if (dead != windows_.end())
            windows_.erase(dead);
    }
}
