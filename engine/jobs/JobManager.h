// The scheduler of a process's jobs: itself a job whose body is the scheduling loop.
// It starts queued jobs (the priority queue first) while fewer than its limit of working
// jobs run, and deletes finished jobs handed back to it, keeping the 25 newest.
//
// The deliverable's start-up builds the one manager and points theJobManager at it; the
// end is Stop, Join and DeleteJob (docs/internals/job-lifecycle.md).
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "engine/jobs/Job.h"
#include "engine/jobs/JobQueue.h"

// How many working jobs each deliverable runs at once.
constexpr int ImageFinderBandJobLimit = 5;
constexpr int FileFinderBandJobLimit = 10;
constexpr int Mp3FinderBandJobLimit = 20;
constexpr int SiteMp3FinderJobLimit = 20;

// How many retired jobs the manager keeps alive.
constexpr int RetiredJobsKept = 25;

class JobManager : public Job {
public:
    // Named "unknown", no type name.
    explicit JobManager(int limit);

    // Queues job to be started by the loop (the priority queue when priority is set),
    // after registering the manager as its listener. Ignored for null, and for a job that
    // is queued or running already. From now until it finishes, the job is engaged:
    // DeleteJob defers its deletion. Any thread.
    void AddJob(Job* job, bool priority = false);
    // Takes over a finished job; the prune deletes it once RetiredJobsKept later jobs
    // have been retired. Null, and a job retired already, are ignored. Any thread.
    void RetireJob(Job* job);

    // Jobs started and not yet finished (the active lists of both queues), also those
    // that only wait for children.
    int CountRunning() const;
    // Jobs queued and not yet taken.
    int CountWaiting() const;
    // After Stop and Join, when the program ends: finishes every job still queued
    // without running its body, as the loop finishes a cancelled one, so that the job
    // and whoever waits for it (a crawl for its pages) end. Jobs queued meanwhile (by a
    // parent told of a finished child) are finished too. Never with the process lock held.
    void FinishWaitingJobs();
    int CountRetired() const;
    int GetLimit() const { return limit_; }

    // Waits until the loop's thread has left the manager (at once when it never ran).
    // A DeleteJob after it deletes the manager at once, unless a finishing job is inside
    // the manager's listener call at that moment (then that job deletes it as it leaves).
    // After Stop; never on a job's thread, never with the process lock held.
    void Join() const { WaitUntilEnded(); }

protected:
    // Releases the jobs still waiting in the queues (they are neither started nor
    // finished) and deletes the retired jobs. Running jobs are not waited for: the
    // manager no longer hears of them.
    ~JobManager() override;

    // The scheduling loop, until stopped.
    void Run() override;
    // Under the lock: Stop on every running job of the normal queue, then of the priority
    // queue, then both queues forget their running jobs. The loop starts nothing more.
    void OnStop() override;
    // Both queues forget their running jobs; the loop may run again.
    void OnReset() override;
    // A job it started has finished: its slot is free.
    void OnChildFinished(Job* child) override;

private:
    void SchedulingPass();
    // The pause at the end of a pass: at most Timing().schedulerPassPauseMs, over as soon
    // as a job is queued, a started job finishes or the manager stops (also when that
    // came while the pass ran).
    void PauseAfterPass(DWORD milliseconds);
    // Ends the current or next pause. Any thread, also under the process lock.
    void WakeScheduler();
    int CountWorkersRunning() const;
    void PruneRetired();

    const int limit_;
    JobQueue normalQueue_{false, false};
    JobQueue priorityQueue_{false, false};
    std::vector<Job*> retired_;  // oldest first; guarded by the process lock
    std::atomic<bool> stopping_{false};

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool wakePending_ = false;  // guarded by wakeMutex_
};

// The process's one job manager; null until the start-up builds it. Set before the first
// job is queued and cleared after the last has left.
extern JobManager* theJobManager;
