#include "engine/jobs/JobManager.h"

#include <algorithm>
#include <chrono>
#include <exception>

#include "platform/lock/ProcessLock.h"
#include "platform/thread/Thread.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"

JobManager* theJobManager = nullptr;

namespace {

Job* AsJob(CObject* item) {
    return static_cast<Job*>(item);
}

bool DoesWork(CObject* item) {
    return !AsJob(item)->OnlyWaitsForChildren();
}

}  // namespace

JobManager::JobManager(int limit) : limit_(limit) {}

JobManager::~JobManager() {
    std::vector<CObject*> waiting;
    std::vector<Job*> retired;
    {
        ProcessLockGuard guard;
        waiting = priorityQueue_.GetWaitingItems();
        for (CObject* item : normalQueue_.GetWaitingItems())
            waiting.push_back(item);
        retired.swap(retired_);
    }
    for (CObject* item : waiting) {
        if (AsJob(item)->ClaimQueuedRun())
            AsJob(item)->EndRun();
    }
    for (Job* job : retired)
        DeleteJob(job);
}

void JobManager::AddJob(Job* job, bool priority) {
    if (job == nullptr)
        return;
    if (!job->BeginQueuedRun()) {
        Trace("jobs", "job \"%s\" is queued or running already", job->GetName().c_str());
        return;
    }
    job->AddListener(this);
    (priority ? priorityQueue_ : normalQueue_).Add(job);
    WakeScheduler();
}

void JobManager::RetireJob(Job* job) {
    if (job == nullptr)
        return;
    ProcessLockGuard guard;
    if (std::find(retired_.begin(), retired_.end(), job) != retired_.end())
        return;
    retired_.push_back(job);
}

int JobManager::CountRunning() const {
    ProcessLockGuard guard;
    return normalQueue_.CountActive() + priorityQueue_.CountActive();
}

int JobManager::CountWaiting() const {
    ProcessLockGuard guard;
    return normalQueue_.CountWaiting() + priorityQueue_.CountWaiting();
}

void JobManager::FinishWaitingJobs() {
    AssertProcessLockNotHeld();
    const auto any = [](CObject*) { return true; };
    for (;;) {
        Job* job = nullptr;
        {
            ProcessLockGuard guard;
            job = AsJob(priorityQueue_.TakeFirstMatching(any));
            if (job == nullptr)
                job = AsJob(normalQueue_.TakeFirstMatching(any));
            if (job == nullptr)
                return;
            if (!job->ClaimQueuedRun())
                continue;
        }
        job->FinishWithoutRunning();
    }
}

int JobManager::CountRetired() const {
    ProcessLockGuard guard;
    return static_cast<int>(retired_.size());
}

int JobManager::CountWorkersRunning() const {
    ProcessLockGuard guard;
    return normalQueue_.CountActiveMatching(DoesWork) +
           priorityQueue_.CountActiveMatching(DoesWork);
}

void JobManager::Run() {
    while (!IsDone() && !stopping_.load()) {
        try {
            SchedulingPass();
        } catch (const std::exception& e) {
            Trace("jobs", "a scheduling pass failed: %s", e.what());
        } catch (...) {
            Trace("jobs", "a scheduling pass failed");
        }
    }
}

void JobManager::SchedulingPass() {
    const TimingRecord timing = Timing();
    int free = limit_ - CountWorkersRunning();
    for (;;) {
        // Jobs that only wait for children, and cancelled jobs, take no slot.
        auto startable = [&free](CObject* item) {
            Job* job = AsJob(item);
            return free > 0 || job->IsCancelled() || job->OnlyWaitsForChildren();
        };
        Job* unstarted = nullptr;  // finished here, without its body
        {
            // Taking and starting under one hold, so that a Stop in between cannot leave a
            // job started after it.
            ProcessLockGuard guard;
            if (IsDone() || stopping_.load())
                return;
            Job* job = AsJob(priorityQueue_.TakeFirstMatching(startable));
            if (job == nullptr)
                job = AsJob(normalQueue_.TakeFirstMatching(startable));
            if (job == nullptr)
                break;
            if (job->IsCancelled()) {
                if (job->ClaimQueuedRun())
                    unstarted = job;
            } else {
                if (!job->OnlyWaitsForChildren())
                    --free;
                if (job->ClaimQueuedRun() && !job->Launch())
                    unstarted = job;
            }
        }
        if (unstarted != nullptr)
            unstarted->FinishWithoutRunning();
        Sleep(timing.jobStartSpacingMs);  // between one start and the next
    }
    PauseAfterPass(timing.schedulerPassPauseMs);
    PruneRetired();
}

void JobManager::PauseAfterPass(DWORD milliseconds) {
    AssertProcessLockNotHeld();
    std::unique_lock<std::mutex> lock(wakeMutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                   [this] { return wakePending_ || stopping_.load() || IsDone(); });
    // What woke this pause is seen by the next pass; what comes from now on wakes the
    // pause after it.
    wakePending_ = false;
}

void JobManager::WakeScheduler() {
    std::lock_guard<std::mutex> guard(wakeMutex_);
    wakePending_ = true;
    wake_.notify_all();
}

void JobManager::PruneRetired() {
    std::vector<Job*> doomed;
    {
        ProcessLockGuard guard;
        const auto surplus = static_cast<std::ptrdiff_t>(retired_.size()) - RetiredJobsKept;
        if (surplus <= 0)
            return;
        doomed.assign(retired_.begin(), retired_.begin() + surplus);
        retired_.erase(retired_.begin(), retired_.begin() + surplus);
    }
    for (Job* job : doomed) {
        try {
            DeleteJob(job);
        } catch (...) {
            Trace("jobs", "deleting a retired job failed");
        }
    }
}

void JobManager::OnStop() {
    ProcessLockGuard guard;
    stopping_ = true;
    for (CObject* item : normalQueue_.GetActiveItems())
        AsJob(item)->Stop();
    for (CObject* item : priorityQueue_.GetActiveItems())
        AsJob(item)->Stop();
    normalQueue_.ReleaseAllActive();
    priorityQueue_.ReleaseAllActive();
    WakeScheduler();
}

void JobManager::OnReset() {
    stopping_ = false;
    normalQueue_.ReleaseAllActive();
    priorityQueue_.ReleaseAllActive();
}

void JobManager::OnChildFinished(Job* child) {
    normalQueue_.Release(child);
    priorityQueue_.Release(child);
    // The freed slot is filled by a pass that starts now, not after the pause.
    WakeScheduler();
}
