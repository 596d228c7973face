// A parent's owning list of children: progress, finish tests, and deleting children that
// are still queued or running.
#include "engine/jobs/JobList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ostream>
#include <vector>

#include "engine/jobs/Job.h"
#include "engine/jobs/JobManager.h"
#include "platform/timing/Timing.h"
#include "tests/support/TestJobs.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;

TEST(JobListTest, AnEmptyListHasNoProgressAndCountsAsAllFinished) {
    JobList list(nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetProgress(), 0);
    EXPECT_TRUE(list.AllFinished());
}

struct ProgressCase {
    int children;
    int finished;
    int percent;
};

void PrintTo(const ProgressCase& counts, std::ostream* out) {
    *out << counts.finished << " of " << counts.children;
}

class JobListProgressTest : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(JobListProgressTest, CountsFinishedChildrenInWholePercent) {
    ProbeRecord record;
    {
        JobList list(nullptr);
        for (int i = 0; i < GetParam().children; ++i) {
            auto* child = new ProbeJob(record, i);
            if (i < GetParam().finished)
                child->Finish();  // on this thread: no body, nobody listening
            list.Add(child);
        }
        EXPECT_EQ(list.GetProgress(), GetParam().percent);
        EXPECT_EQ(list.AllFinished(), GetParam().finished == GetParam().children);
    }
    EXPECT_EQ(record.Alive(), 0) << "the list owns its children";
}

INSTANTIATE_TEST_SUITE_P(Counts, JobListProgressTest,
                         ::testing::Values(ProgressCase{4, 1, 25}, ProgressCase{3, 1, 33},
                                           ProgressCase{3, 2, 66}, ProgressCase{2, 2, 100},
                                           ProgressCase{3, 0, 0}));

TEST(JobListTest, RemoveHandsTheChildBackWithoutDeletingIt) {
    ProbeRecord record;
    auto* kept = new ProbeJob(record, 1);
    {
        JobList list(nullptr);
        list.Add(kept);
        list.Add(new ProbeJob(record, 2));
        list.Add(nullptr);
        EXPECT_EQ(list.GetCount(), 2);
        EXPECT_TRUE(list.Remove(kept));
        EXPECT_FALSE(list.Remove(kept));
        EXPECT_FALSE(list.Contains(kept));
    }
    EXPECT_EQ(record.DestroyedIds(), std::vector<int>{2});
    DeleteJob(kept);
}

TEST(JobListTest, MarkAllFinishedTellsNobodyAndCancelAllCancelsEach) {
    ProbeRecord record;
    RecorderWindow window;
    ASSERT_TRUE(window.Start());
    JobList list(nullptr);
    for (int i = 0; i < 3; ++i) {
        auto* child = new ProbeJob(record, i);
        child->AddListenerWindow(window.Hwnd());
        list.Add(child);
    }
    list.CancelAll();
    list.MarkAllFinished();
    EXPECT_TRUE(list.AllFinished());
    EXPECT_EQ(list.GetProgress(), 100);
    // A marker posted now arrives after anything the marking could have posted.
    PostMessage(window.Hwnd(), WM_USER + 30, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return window.Count(WM_USER + 30) == 1; }));
    EXPECT_EQ(window.Count(WM_JOB_FINISHED), 0);
}

class JobListWithManagerTest : public ::testing::Test {
protected:
    JobListWithManagerTest() : timing_(ShortTiming()) {
        manager_ = new JobManager(2);
        theJobManager = manager_;
        manager_->StartThread();
    }
    ~JobListWithManagerTest() override {
        manager_->Stop();
        manager_->Join();
        DeleteJob(manager_);
        theJobManager = nullptr;
        record_.OpenGate();
        EXPECT_TRUE(record_.WaitAllDeleted()) << record_.Alive() << " jobs left";
    }
    static TimingRecord ShortTiming() {
        TimingRecord timing;
        timing.jobPollMs = 2;
        timing.jobStartSpacingMs = 1;
        timing.schedulerPassPauseMs = 2;
        return timing;
    }

    ScopedTiming timing_;
    ProbeRecord record_;
    JobManager* manager_ = nullptr;
};

// The parent is deleted while two children run and two wait in the queue: the children
// are cancelled and detached, and each is deleted as its thread (or the scheduler)
// leaves it. A sanitizer build catches any call into the deleted parent.
TEST_F(JobListWithManagerTest, DeletingAParentWhoseChildrenStillRunIsSafe) {
    auto* parent = new WaitingParentJob(record_, 0, *manager_);
    for (int i = 1; i <= 4; ++i)
        parent->AddChild(new ProbeJob(record_, i, ProbeBody::WaitForGate));
    ASSERT_TRUE(WaitUntil([&] { return record_.runningNow.load() == 2; }));
    DeleteJob(parent);  // never started: it goes at once, its children do not
    const std::vector<int> gone = record_.DestroyedIds();
    EXPECT_NE(std::find(gone.begin(), gone.end(), 0), gone.end()) << "the parent was kept";
    // From here on the children belong to nobody: the queued two are cancelled, finished
    // by the scheduler and deleted; the running two stay until their bodies end.
    ASSERT_TRUE(WaitUntil([&] { return record_.destroyed.load() == 3; }))
        << "the cancelled queued children were not finished and deleted";
    EXPECT_FALSE(WaitUntil([&] { return record_.destroyed.load() > 3; }, 20ms))
        << "a child was deleted while its thread was inside it";
    EXPECT_EQ(record_.runningNow.load(), 2);
    record_.OpenGate();
    ASSERT_TRUE(record_.WaitAllDeleted()) << record_.Alive() << " children left";
    EXPECT_EQ(record_.ran.load(), 2) << "the queued children were cancelled";
}

// A running parent is deleted by its owner: it is cancelled with its children, ends when
// they have, and takes the rest of them with it.
TEST_F(JobListWithManagerTest, DeletingARunningParentEndsItWithItsChildren) {
    auto* parent = new WaitingParentJob(record_, 0, *manager_);
    for (int i = 1; i <= 3; ++i)
        parent->AddChild(new ProbeJob(record_, i, ProbeBody::WaitForGate));
    manager_->AddJob(parent);
    ASSERT_TRUE(WaitUntil([&] { return record_.runningNow.load() == 3; }))
        << "the parent and two children run";
    DeleteJob(parent);
    EXPECT_EQ(record_.destroyed.load(), 0);
    record_.OpenGate();
    ASSERT_TRUE(record_.WaitAllDeleted()) << record_.Alive() << " jobs left";
}

}  // namespace
