#include "engine/jobs/Job.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <exception>
#include <unordered_map>
#include <utility>

#include "platform/lock/ProcessLock.h"
#include "platform/text/Text.h"
#include "platform/thread/Thread.h"
#include "platform/timing/Clock.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"

namespace {

constexpr std::uint32_t kDeleteRequested = 0x80000000u;
constexpr std::uint32_t kEngagements = 0x7fffffffu;

// Set in state_ by Finish; cleared when the job runs again.
constexpr int kFinishedBit = 0x100;
constexpr int kStateMask = 0xff;

// Every job not yet deleted, with its serial, so that a listener list can tell a live
// listener from a stale pointer without touching it. Guarded by the process lock. Never
// destroyed: detached job threads may still look at it while the process ends.
std::unordered_map<const Job*, std::uint64_t>& LiveJobs() {
    static auto* live = new std::unordered_map<const Job*, std::uint64_t>;
    return *live;
}

std::uint64_t NextSerial() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1);
}

void TraceDropped(const char* what, const std::string& name) {
    try {
        throw;
    } catch (const std::exception& e) {
        Trace("jobs", "%s of job \"%s\" failed: %s", what, name.c_str(), e.what());
    } catch (...) {
        Trace("jobs", "%s of job \"%s\" failed", what, name.c_str());
    }
}

}  // namespace

Job::Job(std::string name)
    : serial_(NextSerial()),
      state_(JOB_STATE_NEW),
      startTime_(ClockNow()),
      endTime_(ClockNow()),
      name_(std::move(name)) {
    ProcessLockGuard guard;
    LiveJobs()[this] = serial_;
}

Job::~Job() {
    assert((life_.load() & kEngagements) == 0 && "a job is deleted while a thread is inside it");
}

void Job::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_JOB_FINISHED)
            OnChildFinished(reinterpret_cast<Job*>(wParam));
        else
            OnOtherMessage(message, wParam, lParam);
    } catch (...) {
        TraceDropped("a message", GetName());
    }
}

bool Job::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)message;
    (void)wParam;
    (void)lParam;
    return false;
}

void Job::StartThread() {
    {
        std::lock_guard<std::mutex> guard(runMutex_);
        if (runPhase_ == RunPhase::Launched)
            return;
        if (runPhase_ == RunPhase::Idle) {
            if ((life_.load() & kDeleteRequested) != 0)
                return;
            life_.fetch_add(1);
        }
        runPhase_ = RunPhase::Launched;
    }
    if (!Launch())
        FinishWithoutRunning();
}

bool Job::ClaimQueuedRun() {
    std::lock_guard<std::mutex> guard(runMutex_);
    if (runPhase_ != RunPhase::Queued)
        return false;
    runPhase_ = RunPhase::Launched;
    return true;
}

bool Job::Launch() {
    startTime_ = ClockNow();
    // From here on the thread may end and delete the job at any moment.
    if (StartWorkerThread([this] { ThreadMain(); }))
        return true;
    Trace("jobs", "no thread for job \"%s\": it finishes without running", GetName().c_str());
    return false;
}

bool Job::BeginQueuedRun() {
    std::lock_guard<std::mutex> guard(runMutex_);
    if (runPhase_ != RunPhase::Idle || (life_.load() & kDeleteRequested) != 0)
        return false;
    life_.fetch_add(1);
    runPhase_ = RunPhase::Queued;
    return true;
}

void Job::ThreadMain() {
    phase_ = 0;
    state_ = JOB_STATE_RUNNING;
    try {
        if (!IsCancelled())
            Run();
    } catch (...) {
        TraceDropped("the body", GetName());
    }
    try {
        Finish();
    } catch (...) {
        TraceDropped("the finish", GetName());
    }
    EndRun();
}

void Job::FinishWithoutRunning() {
    try {
        Finish();
    } catch (...) {
        TraceDropped("the finish", GetName());
    }
    EndRun();
}

// Every change of the life word that may decide the deletion is made under runMutex_,
// and the deletion itself after it is released: so the other party of the race has left
// its own critical section (and touches the job no more) before the job goes. Listener
// calls are engaged under the process lock instead; they never engage a job whose last
// engagement is gone.

void Job::EndRun() {
    bool last = false;
    {
        std::lock_guard<std::mutex> guard(runMutex_);
        runPhase_ = RunPhase::Idle;
        runEnded_.notify_all();
        // In the same hold as the phase: whoever saw the run end sees it given up.
        last = life_.fetch_sub(1) == (kDeleteRequested | 1u);
    }
    if (last)
        Destroy(this);
}

bool Job::HasEnded() const {
    std::lock_guard<std::mutex> guard(runMutex_);
    return runPhase_ == RunPhase::Idle;
}

void Job::WaitUntilEnded() const {
    AssertProcessLockNotHeld();
    std::unique_lock<std::mutex> lock(runMutex_);
    runEnded_.wait(lock, [this] { return runPhase_ == RunPhase::Idle; });
}

bool Job::WaitForEnd(DWORD milliseconds) const {
    AssertProcessLockNotHeld();
    std::unique_lock<std::mutex> lock(runMutex_);
    return runEnded_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return runPhase_ == RunPhase::Idle; });
}

void Job::WaitUntilDone() const {
    AssertProcessLockNotHeld();
    // The period stays the longest gap between two tests; the notice of MarkComplete or
    // Stop ends a wait as soon as it comes.
    const auto period = std::chrono::milliseconds(Timing().jobPollMs);
    std::unique_lock<std::mutex> lock(doneMutex_);
    while (!IsDone())
        doneChanged_.wait_for(lock, period);
}

bool Job::WaitForDoneChange(const std::function<bool()>& condition, DWORD milliseconds) const {
    AssertProcessLockNotHeld();
    std::unique_lock<std::mutex> lock(doneMutex_);
    return doneChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds), condition);
}

bool Job::EnterListenerCall(Job* job, std::uint64_t serial) {
    auto found = LiveJobs().find(job);
    if (found == LiveJobs().end() || found->second != serial)
        return false;
    // A job whose last engagement is gone and whose delete was asked for is being deleted
    // by the thread that saw it so; it must not be engaged again.
    std::uint32_t life = job->life_.load();
    do {
        if (life == kDeleteRequested)
            return false;
    } while (!job->life_.compare_exchange_weak(life, life + 1));
    return true;
}

void Job::Disengage() {
    bool last = false;
    {
        std::lock_guard<std::mutex> guard(runMutex_);
        last = life_.fetch_sub(1) == (kDeleteRequested | 1u);
    }
    if (last)
        Destroy(this);
}

void Job::Destroy(Job* job) {
    {
        ProcessLockGuard guard;
        LiveJobs().erase(job);
    }
    delete job;
}

int CountLiveJobs() {
    ProcessLockGuard guard;
    return static_cast<int>(LiveJobs().size());
}

void DeleteJob(Job* job) {
    if (job == nullptr)
        return;
    if ((job->life_.load() & kDeleteRequested) != 0) {
        Trace("jobs", "a job was handed to DeleteJob twice");
        assert(false && "a job was handed to DeleteJob twice");
        return;
    }
    if (!job->HasEnded()) {
        try {
            job->Cancel();
        } catch (...) {
            TraceDropped("the cancel", job->GetName());
        }
    }
    bool last = false;
    {
        std::lock_guard<std::mutex> guard(job->runMutex_);
        last = (job->life_.fetch_or(kDeleteRequested) & kEngagements) == 0;
    }
    if (last)
        Job::Destroy(job);
}

void Job::Stop() {
    try {
        OnStop();
    } catch (...) {
        TraceDropped("the stop", GetName());
    }
    std::lock_guard<std::mutex> guard(doneMutex_);
    stopped_ = true;
    doneChanged_.notify_all();
}

void Job::Reset() {
    stopped_ = false;
    OnReset();
}

void Job::Finish() {
    try {
        OnFinish();
    } catch (...) {
        TraceDropped("the finish step", GetName());
    }
    endTime_ = ClockNow();
    state_ = JOB_STATE_FINISHED | kFinishedBit;
    try {
        listeners_.Broadcast(WM_JOB_FINISHED, reinterpret_cast<WPARAM>(this), 0);
    } catch (...) {
        TraceDropped("the finish notice", GetName());
    }
}

std::string Job::GetName() const {
    ProcessLockGuard guard;
    return name_;
}

void Job::SetName(std::string name) {
    ProcessLockGuard guard;
    name_ = std::move(name);
}

int Job::GetProgress() const {
    return percent_.load();
}

void Job::Cancel() {
    cancelled_ = true;
}

bool Job::OnlyWaitsForChildren() const {
    return false;
}

void Job::AddListener(MessageListener* listener) {
    listeners_.AddObject(listener);
}

void Job::AddListenerWindow(HWND hwnd) {
    listeners_.AddWindow(hwnd);
}

void Job::MarkComplete() {
    // The change and its notice in one hold: a waiter that sees the job done returns only
    // after this thread has let go of the job.
    std::lock_guard<std::mutex> guard(doneMutex_);
    int state = state_.load();
    while ((state & kFinishedBit) == 0 &&
           !state_.compare_exchange_weak(state, JOB_STATE_COMPLETE)) {
    }
    doneChanged_.notify_all();
}

void Job::MarkFinishedWithoutNotice() {
    int state = state_.load();
    while ((state & kFinishedBit) == 0 &&
           !state_.compare_exchange_weak(state, JOB_STATE_FINISHED)) {
    }
}

bool Job::IsDone() const {
    return IsStopped() || GetState() == JOB_STATE_COMPLETE;
}

LONG Job::GetState() const {
    return state_.load() & kStateMask;
}

bool Job::IsOfType(std::string_view typeName) const {
    return EqualsNoCase(typeName_, typeName);
}

std::int64_t Job::GetElapsed() const {
    const std::int64_t end = IsFinished() ? endTime_.load() : ClockNow();
    return std::max<std::int64_t>(0, end - startTime_.load());
}

std::string Job::GetElapsedText() const {
    const std::int64_t seconds = GetElapsed();
    return FormatText("%02d:%02d:%02d", static_cast<int>(seconds / 3600 % 24),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
}
