#include "engine/jobs/JobList.h"

#include <algorithm>
#include <utility>

#include "engine/jobs/Job.h"
#include "platform/lock/ProcessLock.h"

JobList::JobList(MessageListener* owner) : owner_(owner) {}

JobList::~JobList() {
    DeleteAll();
}

void JobList::Add(Job* job) {
    if (job == nullptr)
        return;
    ProcessLockGuard guard;
    jobs_.push_back(job);
}

bool JobList::Remove(Job* job) {
    ProcessLockGuard guard;
    auto found = std::find(jobs_.begin(), jobs_.end(), job);
    if (found == jobs_.end())
        return false;
    jobs_.erase(found);
    return true;
}

bool JobList::Contains(const Job* job) const {
    ProcessLockGuard guard;
    return std::find(jobs_.begin(), jobs_.end(), job) != jobs_.end();
}

int JobList::GetCount() const {
    ProcessLockGuard guard;
    return static_cast<int>(jobs_.size());
}

void JobList::CancelAll() {
    ProcessLockGuard guard;
    for (Job* job : jobs_)
        job->Cancel();
}

bool JobList::AllFinished() const {
    ProcessLockGuard guard;
    return std::all_of(jobs_.begin(), jobs_.end(),
                       [](const Job* job) { return job->IsFinished(); });
}

void JobList::MarkAllFinished() {
    ProcessLockGuard guard;
    for (Job* job : jobs_)
        job->MarkFinishedWithoutNotice();
}

int JobList::GetProgress() const {
    ProcessLockGuard guard;
    if (jobs_.empty())
        return 0;
    const auto finished =
        std::count_if(jobs_.begin(), jobs_.end(), [](const Job* job) { return job->IsFinished(); });
    return static_cast<int>(finished * 100 / static_cast<long>(jobs_.size()));
}

void JobList::DeleteAll() {
    std::vector<Job*> doomed;
    {
        ProcessLockGuard guard;
        doomed.swap(jobs_);
    }
    for (Job* job : doomed) {
        if (owner_ != nullptr && !job->HasEnded())
            job->GetListeners().RemoveObject(owner_);
        DeleteJob(job);
    }
}
