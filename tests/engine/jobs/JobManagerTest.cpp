// The scheduler: its limit, its queues, retirement and pruning, stopping, and ending a
// manager while its jobs still finish.
#include "engine/jobs/JobManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "platform/timing/Timing.h"
#include "tests/support/TestJobs.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;

TimingRecord ShortTiming() {
    TimingRecord timing;
    timing.jobPollMs = 2;
    timing.jobStartSpacingMs = 1;
    timing.schedulerPassPauseMs = 5;
    return timing;
}

// Builds its own manager and points theJobManager at it; ends it as a deliverable does.
class JobManagerTest : public ::testing::Test {
protected:
    JobManagerTest() : timing_(ShortTiming()) {}
    ~JobManagerTest() override {
        EndManager();
        record_.OpenGate();
        EXPECT_TRUE(record_.WaitAllDeleted()) << record_.Alive() << " jobs left";
    }

    JobManager& MakeManager(int limit) {
        manager_ = new JobManager(limit);
        theJobManager = manager_;
        return *manager_;
    }
    void EndManager() {
        if (manager_ == nullptr)
            return;
        manager_->Stop();
        manager_->Join();
        DeleteJob(manager_);
        manager_ = nullptr;
        theJobManager = nullptr;
    }

    ScopedTiming timing_;
    ProbeRecord record_;
    JobManager* manager_ = nullptr;
};

// Hands every job it hears of to the manager's retired list, as a parent does.
class Retirer : public MessageListener {
public:
    Retirer(JobManager& manager, std::atomic<int>& retired)
        : manager_(manager), retired_(retired) {}
    void OnMessage(UINT message, WPARAM wParam, LPARAM) override {
        if (message != WM_JOB_FINISHED)
            return;
        manager_.RetireJob(reinterpret_cast<Job*>(wParam));
        ++retired_;
    }

private:
    JobManager& manager_;
    std::atomic<int>& retired_;
};

struct LimitCase {
    const char* product;
    int limit;
};

void PrintTo(const LimitCase& limit, std::ostream* out) {
    *out << limit.product << " " << limit.limit;
}

class JobManagerLimitTest : public JobManagerTest,
                            public ::testing::WithParamInterface<LimitCase> {};

// Twice the limit of normal jobs and then the limit of priority jobs are queued before
// the loop starts: the priority jobs start first, and never more than the limit run.
TEST_P(JobManagerLimitTest, RunsAtMostTheLimitServingThePriorityQueueFirst) {
    const int limit = GetParam().limit;
    JobManager& manager = MakeManager(limit);
    std::vector<OwnedJob<ProbeJob>> jobs;
    for (int i = 0; i < 3 * limit; ++i) {
        jobs.emplace_back(new ProbeJob(record_, i, ProbeBody::WaitForGate));
        manager.AddJob(jobs.back().get(), /*priority=*/i >= 2 * limit);
    }
    EXPECT_EQ(manager.CountWaiting(), 3 * limit);
    manager.StartThread();
    manager.StartThread();  // every panel starts it again; the loop runs once
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == limit; }));
    EXPECT_FALSE(WaitUntil([&] { return record_.ran.load() > limit; }, 50ms))
        << "more jobs started than the limit allows";
    EXPECT_EQ(manager.CountRunning(), limit);
    std::vector<int> first = record_.StartOrder();
    std::sort(first.begin(), first.end());
    for (int i = 0; i < limit; ++i)
        EXPECT_EQ(first[i], 2 * limit + i) << "a normal job started before a priority job";

    record_.OpenGate();
    ASSERT_TRUE(WaitUntil(
        [&] {
            return std::all_of(jobs.begin(), jobs.end(),
                               [](const auto& job) { return job->HasEnded(); });
        },
        30s));
    EXPECT_EQ(record_.ran.load(), 3 * limit);
    EXPECT_EQ(record_.highWater.load(), limit);
    EXPECT_EQ(manager.CountRunning(), 0);
}

INSTANTIATE_TEST_SUITE_P(Products, JobManagerLimitTest,
                         ::testing::Values(LimitCase{"ImageFinderBand", ImageFinderBandJobLimit},
                                           LimitCase{"FileFinderBand", FileFinderBandJobLimit},
                                           LimitCase{"Mp3FinderBand", Mp3FinderBandJobLimit},
                                           LimitCase{"SiteMp3Finder", SiteMp3FinderJobLimit}),
                         [](const auto& info) { return std::string(info.param.product); });

TEST_F(JobManagerTest, ACancelledQueuedJobFinishesWithoutRunningAndTakesNoSlot) {
    JobManager& manager = MakeManager(1);
    RecorderWindow window;
    ASSERT_TRUE(window.Start());
    OwnedJob<ProbeJob> worker(new ProbeJob(record_, 1, ProbeBody::WaitForGate));
    OwnedJob<ProbeJob> cancelled(new ProbeJob(record_, 2));
    cancelled->AddListenerWindow(window.Hwnd());
    manager.AddJob(worker.get());
    manager.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 1; }));

    cancelled->Cancel();
    manager.AddJob(cancelled.get());
    ASSERT_TRUE(WaitUntil([&] { return window.Count(WM_JOB_FINISHED) == 1; }))
        << "a cancelled job waited for the busy slot";
    EXPECT_TRUE(cancelled->IsFinished());
    EXPECT_TRUE(WaitUntil([&] { return cancelled->HasEnded(); }));
    EXPECT_EQ(record_.ran.load(), 1);
    EXPECT_EQ(record_.runningNow.load(), 1) << "the worker still holds the only slot";
    record_.OpenGate();
}

TEST_F(JobManagerTest, IgnoresNullJobsQueuedAlreadyAndJobsRetiredAlready) {
    JobManager& manager = MakeManager(2);
    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1));
    manager.AddJob(nullptr);
    manager.AddJob(job.get());
    manager.AddJob(job.get(), true);
    EXPECT_EQ(manager.CountWaiting(), 1);
    manager.RetireJob(nullptr);
    EXPECT_EQ(manager.CountRetired(), 0);
    manager.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return job->HasEnded(); }));
    EXPECT_EQ(record_.ran.load(), 1);
    Job* finished = job.release();
    manager.RetireJob(finished);
    manager.RetireJob(finished);  // would be deleted twice
    EXPECT_EQ(manager.CountRetired(), 1);
}

TEST_F(JobManagerTest, KeepsTheNewestRetiredJobsAndDeletesTheRest) {
    JobManager& manager = MakeManager(5);
    for (int i = 0; i < 30; ++i)
        manager.RetireJob(new ProbeJob(record_, i));
    manager.RetireJob(nullptr);
    EXPECT_EQ(manager.CountRetired(), 30);
    manager.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return record_.destroyed.load() == 5; }));
    EXPECT_EQ(manager.CountRetired(), RetiredJobsKept);
    EXPECT_EQ(record_.DestroyedIds(), (std::vector<int>{0, 1, 2, 3, 4}));
    EndManager();  // takes the 25 it kept with it
    EXPECT_TRUE(WaitUntil([&] { return record_.destroyed.load() == 30; }));
}

// Each job is retired by a listener as it finishes, and its thread is held inside Finish
// until the prune has run: the pruned jobs go as their threads leave them.
TEST_F(JobManagerTest, PruningJobsWhoseThreadsAreStillInFinishIsSafe) {
    JobManager& manager = MakeManager(5);
    constexpr int kJobs = 30;
    std::atomic<int> retired{0};
    std::atomic<bool> release{false};
    std::atomic<int> leftFinish{0};
    Retirer retirer(manager, retired);
    for (int i = 0; i < kJobs; ++i) {
        auto* job = new ProbeJob(record_, i);
        job->SetAfterFinish([&](ProbeJob*) {
            EXPECT_TRUE(WaitUntil([&] { return release.load(); }, 30s));
            ++leftFinish;
        });
        // Registered before the manager: called after it, as a parent is.
        job->AddListener(&retirer);
        manager.AddJob(job);
    }
    manager.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return retired.load() == kJobs; }, 30s));
    ASSERT_TRUE(WaitUntil([&] { return manager.CountRetired() == RetiredJobsKept; }));
    EXPECT_EQ(record_.destroyed.load(), 0) << "deleted while its thread was inside it";
    release = true;
    ASSERT_TRUE(WaitUntil([&] { return record_.destroyed.load() == kJobs - RetiredJobsKept; }));
    ASSERT_TRUE(WaitUntil([&] { return leftFinish.load() == kJobs; }));
}

TEST_F(JobManagerTest, StopEndsTheLoopStopsRunningJobsAndStartsNothingQueued) {
    JobManager& manager = MakeManager(1);
    OwnedJob<ProbeJob> running(new ProbeJob(record_, 1, ProbeBody::WaitUntilDone));
    OwnedJob<ProbeJob> queued(new ProbeJob(record_, 2));
    manager.AddJob(running.get());
    manager.AddJob(queued.get());
    manager.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 1; }));
    manager.Stop();
    manager.Join();
    EXPECT_TRUE(running->IsStopped());
    ASSERT_TRUE(WaitUntil([&] { return running->HasEnded(); })) << "the stop did not end its wait";
    EXPECT_EQ(queued->GetState(), JOB_STATE_NEW);
    EXPECT_EQ(record_.ran.load(), 1);
    EndManager();  // releases the queued job, which its owner then deletes at once
    ASSERT_TRUE(WaitUntil([&] { return queued->HasEnded(); }));
    queued.reset();
    EXPECT_EQ(record_.DestroyedIds(), std::vector<int>{2});
}

// At a program's end the jobs still queued are finished without running: a parent that
// waits for them hears of each and ends as well.
TEST_F(JobManagerTest, FinishWaitingJobsEndsTheQueuedJobsWithoutRunningThem) {
    JobManager& manager = MakeManager(1);
    OwnedJob<ProbeJob> running(new ProbeJob(record_, 1, ProbeBody::WaitUntilDone));
    manager.AddJob(running.get());
    manager.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 1; }));
    OwnedJob<WaitingParentJob> parent(new WaitingParentJob(record_, 100, manager));
    for (int c = 0; c < 3; ++c)
        parent->AddChild(new ProbeJob(record_, 10 + c));
    manager.AddJob(parent.get(), true);
    // The children are queued as they are added; the parent, which only waits, starts
    // beside the running job.
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 2 && manager.CountWaiting() == 3; }))
        << "the parent starts, its children wait for the one slot";
    // Taken from the queue, the parent runs on a thread of its own, maybe a moment later.
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 2; })) << "the parent runs";
    manager.Stop();
    manager.Join();
    ASSERT_TRUE(WaitUntil([&] { return running->HasEnded(); }));
    manager.FinishWaitingJobs();
    EXPECT_EQ(manager.CountWaiting(), 0);
    EXPECT_EQ(record_.ran.load(), 2) << "the running job and the parent, no child";
    EXPECT_TRUE(parent->Children().AllFinished());
    EXPECT_TRUE(WaitUntil([&] { return parent->HasEnded(); }, 30s))
        << "the parent waited for children that could never start";
    EXPECT_TRUE(parent->IsFinished());
}

// The pass pause is woken by what it waits for: with a pause that never runs out during
// the test, a slot freed by a finished job is filled, a job queued while the loop pauses
// is started, and a stop ends the loop, each only because its event woke the pause.
TEST_F(JobManagerTest, AQueuedJobAFreedSlotAndAStopEachEndThePassPause) {
    TimingRecord never = ShortTiming();
    never.schedulerPassPauseMs = 3'600'000;
    ScopedTiming timing(never);
    JobManager& manager = MakeManager(1);
    OwnedJob<ProbeJob> first(new ProbeJob(record_, 1, ProbeBody::WaitForGate));
    OwnedJob<ProbeJob> second(new ProbeJob(record_, 2));
    manager.AddJob(first.get());
    manager.AddJob(second.get());
    manager.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 1; }));
    EXPECT_EQ(manager.CountWaiting(), 1) << "the limit of one let the second job start";

    record_.OpenGate();  // the first job finishes and frees the only slot
    ASSERT_TRUE(WaitUntil([&] { return second->HasEnded(); }, 30s))
        << "the freed slot stayed empty until the pause ran out";
    EXPECT_EQ(record_.StartOrder(), (std::vector<int>{1, 2}));

    ASSERT_TRUE(WaitUntil([&] { return manager.CountRunning() == 0; }));
    OwnedJob<ProbeJob> third(new ProbeJob(record_, 3));
    manager.AddJob(third.get());  // the loop is pausing now, with nothing to do
    EXPECT_TRUE(WaitUntil([&] { return third->HasEnded(); }, 30s))
        << "a job queued during the pause waited for it to run out";

    manager.Stop();
    manager.Join();  // returns at once: the stop ended the pause
    EXPECT_TRUE(manager.HasEnded());
}

// Parents that only wait for children take no slot, so with as many parents as the
// limit their children still run.
TEST_F(JobManagerTest, ParentsThatOnlyWaitForChildrenTakeNoSlot) {
    JobManager& manager = MakeManager(2);
    std::vector<OwnedJob<WaitingParentJob>> parents;
    for (int p = 0; p < 2; ++p) {
        parents.emplace_back(new WaitingParentJob(record_, 100 + p, manager));
        for (int c = 0; c < 3; ++c)
            parents.back()->AddChild(new ProbeJob(record_, 10 * p + c));
    }
    // The parents are queued last, so they would take the slots first only if they
    // counted: the priority queue is served before the children's normal queue.
    for (auto& parent : parents)
        manager.AddJob(parent.get(), true);
    manager.StartThread();
    ASSERT_TRUE(WaitUntil(
        [&] {
            return std::all_of(parents.begin(), parents.end(),
                               [](const auto& p) { return p->HasEnded(); });
        },
        30s))
        << "the parents waited for children that could never start";
    for (auto& parent : parents) {
        EXPECT_TRUE(parent->IsFinished());
        // A child counts as finished just before it tells anyone, so the last notice
        // may reach its parent after the parent has ended.
        EXPECT_TRUE(WaitUntil([&] { return parent->ChildNotices() == 3; }));
        EXPECT_TRUE(parent->Children().AllFinished());
    }
    EXPECT_LE(record_.highWater.load(), 2 + 2) << "two parents and at most two working children";
}

// The manager is stopped, joined and deleted while a job it started still runs and one
// waits in its queue; the running job later finishes without reaching it.
TEST_F(JobManagerTest, CanBeDeletedWhileJobsItStartedStillRun) {
    JobManager& manager = MakeManager(1);
    RecorderWindow window;
    ASSERT_TRUE(window.Start());
    auto* running = new ProbeJob(record_, 1, ProbeBody::WaitForGate);
    running->AddListenerWindow(window.Hwnd());
    auto* waiting = new ProbeJob(record_, 2);
    manager.AddJob(running);
    manager.AddJob(waiting);
    manager.StartThread();
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 1; }));
    // Its owner lets go of the waiting job: deleted once the manager releases it.
    DeleteJob(waiting);
    EXPECT_EQ(record_.destroyed.load(), 0);
    EndManager();
    EXPECT_TRUE(WaitUntil([&] { return record_.DestroyedIds() == std::vector<int>{2}; }))
        << "the manager did not release the job waiting in its queue";
    record_.OpenGate();
    ASSERT_TRUE(WaitUntil([&] { return window.Count(WM_JOB_FINISHED) == 1; }));
    DeleteJob(running);
}

}  // namespace
