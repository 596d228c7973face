#include "engine/jobs/JobQueue.h"

#include <algorithm>

#include "platform/lock/ProcessLock.h"

JobQueue::JobQueue(bool keepsAllList, bool recycle)
    : keepsAllList_(keepsAllList), recycle_(recycle) {}

JobQueue::~JobQueue() = default;

void JobQueue::NoteChange() {
    std::lock_guard<std::mutex> guard(changeMutex_);
    ++changes_;
    changed_.notify_all();
}

void JobQueue::Add(CObject* item) {
    if (item == nullptr)
        return;
    ProcessLockGuard guard;
    waiting_.push_back(item);
    if (keepsAllList_)
        all_.push_back(item);
    NoteChange();
}

CObject* JobQueue::Take(bool wait) {
    for (;;) {
        std::uint64_t seen = 0;
        {
            ProcessLockGuard guard;
            if (closed_ || (waiting_.empty() && active_.empty() && !ItemsMayStillCome()))
                return nullptr;
            if (!waiting_.empty()) {
                CObject* item = waiting_.front();
                waiting_.pop_front();
                active_.push_back(item);
                return item;
            }
            if (!wait)
                return nullptr;
            std::lock_guard<std::mutex> changeGuard(changeMutex_);
            seen = changes_;
        }
        AssertProcessLockNotHeld();
        std::unique_lock<std::mutex> lock(changeMutex_);
        changed_.wait(lock, [&] { return changes_ != seen; });
    }
}

CObject* JobQueue::TakeFirstMatching(const std::function<bool(CObject*)>& accept) {
    ProcessLockGuard guard;
    if (closed_)
        return nullptr;
    auto found = std::find_if(waiting_.begin(), waiting_.end(), accept);
    if (found == waiting_.end())
        return nullptr;
    CObject* item = *found;
    waiting_.erase(found);
    active_.push_back(item);
    return item;
}

void JobQueue::Release(CObject* item) {
    ProcessLockGuard guard;
    auto found = std::find(active_.begin(), active_.end(), item);
    if (found == active_.end())
        return;
    active_.erase(found);
    if (recycle_)
        waiting_.push_back(item);
    NoteChange();
}

bool JobQueue::Remove(CObject* item) {
    ProcessLockGuard guard;
    bool found = false;
    for (std::deque<CObject*>* list : {&waiting_, &active_}) {
        auto entry = std::find(list->begin(), list->end(), item);
        if (entry != list->end()) {
            list->erase(entry);
            found = true;
        }
    }
    auto entry = std::find(all_.begin(), all_.end(), item);
    if (entry != all_.end()) {
        all_.erase(entry);
        found = true;
    }
    NoteChange();
    return found;
}

void JobQueue::ReleaseAllActive() {
    for (CObject* item : GetActiveItems())
        Release(item);
}

int JobQueue::CountWaiting() const {
    ProcessLockGuard guard;
    return static_cast<int>(waiting_.size());
}

int JobQueue::CountActive() const {
    ProcessLockGuard guard;
    return static_cast<int>(active_.size());
}

int JobQueue::CountBoth() const {
    ProcessLockGuard guard;
    return static_cast<int>(waiting_.size() + active_.size());
}

int JobQueue::CountActiveMatching(const std::function<bool(CObject*)>& count) const {
    ProcessLockGuard guard;
    return static_cast<int>(std::count_if(active_.begin(), active_.end(), count));
}

int JobQueue::CountAll() const {
    ProcessLockGuard guard;
    return static_cast<int>(all_.size());
}

std::vector<CObject*> JobQueue::GetWaitingItems() const {
    ProcessLockGuard guard;
    return {waiting_.begin(), waiting_.end()};
}

std::vector<CObject*> JobQueue::GetActiveItems() const {
    ProcessLockGuard guard;
    return {active_.begin(), active_.end()};
}

std::vector<CObject*> JobQueue::GetAllItems() const {
    ProcessLockGuard guard;
    return all_;
}

bool JobQueue::IsClosed() const {
    ProcessLockGuard guard;
    return closed_;
}

void JobQueue::SetClosed() {
    ProcessLockGuard guard;
    closed_ = true;
    NoteChange();
}

void JobQueue::ClearClosed() {
    ProcessLockGuard guard;
    closed_ = false;
    NoteChange();
}
