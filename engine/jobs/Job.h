// A named unit of background work whose body runs on a worker thread of its own, and
// which tells its listeners with WM_JOB_FINISHED when it is done.
//
// Lifetime (docs/internals/job-lifecycle.md): a job is never deleted with delete. Its
// owner hands it to DeleteJob (or holds it in an OwnedJob), which deletes it at once
// when no thread is queued for it or inside it, and otherwise lets the last thread to
// leave it delete it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/jobs/ListenerList.h"
#include "engine/jobs/MessageListener.h"
#include "platform/base/Types.h"

// Posted to every listener window and delivered to every listener object of a job when
// it finishes: wParam is the job, lParam 0. The receiver does not own the job.
constexpr UINT WM_JOB_FINISHED = 0x4900;

constexpr LONG JOB_STATE_NEW = 0;
constexpr LONG JOB_STATE_RUNNING = 1;
constexpr LONG JOB_STATE_FINISHED = 2;
constexpr LONG JOB_STATE_COMPLETE = 3;

class Job : public MessageListener {
public:
    // Any thread. The name is "unknown" unless given; the type name is empty.
    explicit Job(std::string name = "unknown");
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // WM_JOB_FINISHED goes to OnChildFinished (the child in wParam), any other message to
    // OnOtherMessage. An exception is dropped with one trace line on "jobs".
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Starts the body on a new worker thread at below-normal priority and stamps the
    // start time. Does nothing when the job's thread was started already and has not
    // ended (so a running job manager is never started twice). When no thread can be
    // started, the job finishes here without running. Any thread.
    virtual void StartThread();
    // OnStop (an exception is dropped), then the stopped flag, which ends IsDone waits.
    // Any thread; the job manager calls it with the process lock held, so neither it nor
    // OnStop may wait on another thread.
    virtual void Stop();
    // Clears the stopped flag, then OnReset. Any thread.
    virtual void Reset();
    // OnFinish (an exception is dropped), end time = now, state JOB_STATE_FINISHED, then
    // WM_JOB_FINISHED to the listeners (ListenerList::Broadcast: objects first, last
    // registered first, then windows). Runs on the job's own thread after Run, or on the
    // scheduler's thread for a cancelled job; never throws.
    virtual void Finish();
    virtual std::string GetName() const;
    // The percent done, 0 to 100.
    virtual int GetProgress() const;
    // Sets the cancelled flag: a job not yet started never runs its body. Jobs with
    // children also cancel each child. Any thread; must not wait on another thread.
    virtual void Cancel();
    // Whether the body only waits for child jobs, doing no work of its own. The job
    // manager does not count such jobs against its limit. False here.
    virtual bool OnlyWaitsForChildren() const;

    // Registers a listener object or window (see ListenerList). Any thread.
    void AddListener(MessageListener* listener);
    void AddListenerWindow(HWND hwnd);
    ListenerList& GetListeners() { return listeners_; }

    // The work the body waits for is done: state JOB_STATE_COMPLETE. Does nothing once
    // Finish has run, so a finished job stays finished. Any thread.
    void MarkComplete();
    // Stopped, or state JOB_STATE_COMPLETE.
    bool IsDone() const;
    bool IsFinished() const { return GetState() == JOB_STATE_FINISHED; }
    bool IsCancelled() const { return cancelled_.load(); }
    bool IsStopped() const { return stopped_.load(); }
    LONG GetState() const;

    // The class's entry of the job-name table (JobNames.h); empty when it sets none.
    const std::string& GetTypeName() const { return typeName_; }
    // Whether the type name equals typeName, ignoring case.
    bool IsOfType(std::string_view typeName) const;

    // A user's request to stop, polled by bodies and pipelines.
    void RequestStop() { stopRequested_ = true; }
    bool IsStopRequested() const { return stopRequested_.load(); }
    void ClearStop() { stopRequested_ = false; }

    LONG GetPhase() const { return phase_.load(); }
    // One number a creator may store with the job (a page job's remaining link depth).
    LONG GetTag() const { return tag_.load(); }
    void SetTag(LONG tag) { tag_ = tag; }

    // Seconds since 1970 (ClockNow): set at construction, and again when the thread is
    // started (start) and by Finish (end).
    std::int64_t GetStartTime() const { return startTime_.load(); }
    std::int64_t GetEndTime() const { return endTime_.load(); }
    // Seconds: end minus start once finished, else now minus start; never below 0.
    std::int64_t GetElapsed() const;
    // GetElapsed as "HH:MM:SS" (the hours of the day, as a time span prints them).
    std::string GetElapsedText() const;

    // True when no thread is queued for the job or inside it: never queued nor started,
    // or its finisher has left it.
    bool HasEnded() const;
    // Blocks until HasEnded or milliseconds have passed; HasEnded at the end. The end of
    // the run ends the wait at once. Not on the job's own thread, never with the process
    // lock held.
    bool WaitForEnd(DWORD milliseconds) const;

protected:
    // Only DeleteJob and the job itself delete a job. Runs on whichever thread left the
    // job last; must not wait on another thread.
    ~Job() override;

    virtual void OnStop() {}
    virtual void OnReset() {}
    // The body, on the job's own worker thread. An exception that escapes it is dropped
    // (one trace line on "jobs") and the job still finishes.
    virtual void Run() {}
    virtual void OnFinish() {}
    // A job this one listens to has finished; runs on that job's thread (or the
    // scheduler's), possibly while other children's notices and this job's own body run.
    virtual void OnChildFinished(Job* child) { (void)child; }
    // Any other message delivered by a listener list; true when handled.
    virtual bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void SetName(std::string name);
    void SetTypeName(std::string_view typeName) { typeName_.assign(typeName); }
    void SetProgress(int percent) { percent_ = percent; }
    void SetPhase(LONG phase) { phase_ = phase; }

    // Blocks until IsDone holds, testing it at least every Timing().jobPollMs; a
    // MarkComplete or Stop ends the wait at once. On the job's own thread, never with the
    // process lock held.
    void WaitUntilDone() const;
    // Blocks until condition holds or milliseconds have passed, testing it whenever the
    // job is marked complete or stopped; condition's answer at the end. condition runs
    // under the job's own small mutex: it must not take the process lock. Never with the
    // process lock held.
    bool WaitForDoneChange(const std::function<bool()>& condition, DWORD milliseconds) const;
    // Blocks until HasEnded: whoever ran or finished the job has let go of it, so a
    // DeleteJob after this deletes the job at once unless a listener call is inside it.
    // Not on the job's own thread, and never with the process lock held.
    void WaitUntilEnded() const;

private:
    friend void DeleteJob(Job* job);
    friend class ListenerList;
    friend class JobList;
    friend class JobManager;

    enum class RunPhase { Idle, Queued, Launched };

    // The job manager's hold on a job it queues: false when the job is queued or running
    // already, or has been handed to DeleteJob.
    bool BeginQueuedRun();
    // The scheduler's claim on a queued job it is about to start or finish: false when
    // the job is not queued (started already by StartThread).
    bool ClaimQueuedRun();
    // Starts the thread of a claimed run; false when no thread could be started (the
    // caller then finishes the job with FinishWithoutRunning).
    bool Launch();
    // The end of a claimed run that does not start (cancelled, or no thread): Finish,
    // then EndRun.
    void FinishWithoutRunning();
    // Gives up the run: the last act of whoever ran or finished the job.
    void EndRun();
    void ThreadMain();
    // Marks the job finished without notice (JobList::MarkAllFinished).
    void MarkFinishedWithoutNotice();

    // Under the process lock: engages job for one listener call when it is still the live
    // job with that serial and not on its way out (false otherwise).
    static bool EnterListenerCall(Job* job, std::uint64_t serial);
    void LeaveListenerCall() { Disengage(); }
    // Gives up one engagement; the last one after DeleteJob deletes the job.
    void Disengage();
    // Takes the job out of the live jobs and deletes it.
    static void Destroy(Job* job);

    const std::uint64_t serial_;  // never given to another job
    std::atomic<LONG> tag_{0};
    std::atomic<bool> stopped_{false};
    std::atomic<bool> cancelled_{false};
    std::atomic<int> state_;  // a JOB_STATE_ value, with a bit once Finish has run
    std::atomic<std::int64_t> startTime_;
    std::atomic<std::int64_t> endTime_;
    std::string name_;  // guarded by the process lock
    std::atomic<int> percent_{0};
    std::atomic<bool> stopRequested_{false};
    std::atomic<LONG> phase_{0};
    std::string typeName_;  // set by the subclass's constructor
    ListenerList listeners_;

    // Engagements (the run, calls in progress) and the delete-requested bit.
    std::atomic<std::uint32_t> life_{0};
    mutable std::mutex runMutex_;
    mutable std::condition_variable runEnded_;
    RunPhase runPhase_ = RunPhase::Idle;  // guarded by runMutex_

    // Waits on IsDone sleep here. MarkComplete and Stop change the state and notify in one
    // hold of doneMutex_, so a waiter cannot return (and its job be deleted) before the
    // notifier has let go of the job.
    mutable std::mutex doneMutex_;
    mutable std::condition_variable doneChanged_;
};

// The one way to delete a job. Null is ignored. A job whose run has not ended is
// cancelled first. The job is deleted before this returns when no thread is queued for
// it or inside it; otherwise by the last thread that leaves it. Never waits; any thread,
// with or without the process lock. Handing the same job over twice is a bug.
void DeleteJob(Job* job);

// How many jobs of this module are not yet deleted (a module's engine counts its own).
// Any thread; takes the process lock.
int CountLiveJobs();

struct JobDeleter {
    void operator()(Job* job) const { DeleteJob(job); }
};

// A job with a single owner, deleted through DeleteJob.
template <class T>
using OwnedJob = std::unique_ptr<T, JobDeleter>;
