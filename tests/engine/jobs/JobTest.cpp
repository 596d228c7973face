// A job on its own: states, the finish notice and its order, failing bodies, elapsed
// time, and the delete path.
#include "engine/jobs/Job.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/jobs/JobNames.h"
#include "platform/timing/Clock.h"
#include "platform/timing/Timing.h"
#include "tests/support/TestJobs.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;

constexpr UINT WM_MARKER_A = WM_USER + 10;
constexpr UINT WM_MARKER_B = WM_USER + 11;

class JobTest : public ::testing::Test {
protected:
    JobTest() : timing_(ShortTiming()) {}
    ~JobTest() override {
        record_.OpenGate();
        EXPECT_TRUE(record_.WaitAllDeleted()) << record_.Alive() << " jobs left";
    }

    static TimingRecord ShortTiming() {
        TimingRecord timing;
        timing.jobPollMs = 2;
        return timing;
    }

    ScopedTiming timing_;
    ProbeRecord record_;
};

TEST_F(JobTest, GoesThroughItsStatesAndTellsObjectsLastFirstBeforeWindows) {
    RecorderWindow window;
    ASSERT_TRUE(window.Start());
    std::vector<std::string> log;
    std::mutex logMutex;
    // Each object posts a marker to the window as it hears the notice; posted messages
    // keep their order, so the window's log shows whether it was posted to before them.
    RecordingListener first(log, logMutex, "first",
                            [&] { PostMessage(window.Hwnd(), WM_MARKER_A, 0, 0); });
    RecordingListener second(log, logMutex, "second",
                             [&] { PostMessage(window.Hwnd(), WM_MARKER_B, 0, 0); });

    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1, ProbeBody::WaitUntilDone));
    EXPECT_EQ(job->GetState(), JOB_STATE_NEW);
    EXPECT_EQ(job->GetName(), "probe 1");
    job->AddListener(&first);
    job->AddListener(&second);
    job->AddListenerWindow(window.Hwnd());

    job->StartThread();
    ASSERT_TRUE(WaitUntil([&] { return job->GetState() == JOB_STATE_RUNNING; }));
    EXPECT_FALSE(job->IsDone());
    EXPECT_FALSE(job->IsFinished());
    job->MarkComplete();  // what the body waits for
    ASSERT_TRUE(WaitUntil([&] { return window.Count(WM_JOB_FINISHED) == 1; }))
        << "the window never heard of the end";
    ASSERT_TRUE(WaitUntil([&] { return job->HasEnded(); }));

    EXPECT_EQ(job->GetState(), JOB_STATE_FINISHED);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
    const auto received = window.ReceivedMessages();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].message, WM_MARKER_B);
    EXPECT_EQ(received[1].message, WM_MARKER_A);
    EXPECT_EQ(received[2].message, WM_JOB_FINISHED);
    EXPECT_EQ(received[2].wParam, reinterpret_cast<WPARAM>(job.get()));
}

TEST_F(JobTest, ACancelledJobSkipsItsBodyButStillFinishesAndNotifies) {
    RecorderWindow window;
    ASSERT_TRUE(window.Start());
    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1));
    job->AddListenerWindow(window.Hwnd());
    job->Cancel();
    job->StartThread();
    ASSERT_TRUE(WaitUntil([&] { return window.Count(WM_JOB_FINISHED) == 1; }));
    EXPECT_EQ(record_.ran.load(), 0);
    EXPECT_TRUE(job->IsFinished());
}

struct FailingBody {
    const char* name;
    ProbeBody body;
};

void PrintTo(const FailingBody& body, std::ostream* out) {
    *out << body.name;
}

class JobFailingBodyTest : public JobTest, public ::testing::WithParamInterface<FailingBody> {};

TEST_P(JobFailingBodyTest, AThrowingBodyStillFinishesAndNotifies) {
    RecorderWindow window;
    ASSERT_TRUE(window.Start());
    std::vector<std::string> log;
    std::mutex logMutex;
    RecordingListener parent(log, logMutex, "parent");
    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1, GetParam().body));
    job->AddListener(&parent);
    job->AddListenerWindow(window.Hwnd());
    job->StartThread();
    ASSERT_TRUE(WaitUntil([&] { return window.Count(WM_JOB_FINISHED) == 1; }))
        << "a failed body left its listeners waiting";
    EXPECT_TRUE(job->IsFinished());
    std::lock_guard<std::mutex> guard(logMutex);
    EXPECT_EQ(log, std::vector<std::string>{"parent"});
}

INSTANTIATE_TEST_SUITE_P(Bodies, JobFailingBodyTest,
                         ::testing::Values(FailingBody{"StdException", ProbeBody::ThrowStd},
                                           FailingBody{"OtherException", ProbeBody::ThrowOther}),
                         [](const auto& info) { return std::string(info.param.name); });

class FailingFinishStepJob : public ProbeJob {
public:
    using ProbeJob::ProbeJob;

protected:
    void OnFinish() override { throw std::runtime_error("finish step failed"); }
};

TEST_F(JobTest, AThrowingFinishStepStillNotifies) {
    RecorderWindow window;
    ASSERT_TRUE(window.Start());
    OwnedJob<ProbeJob> job(new FailingFinishStepJob(record_, 1));
    job->AddListenerWindow(window.Hwnd());
    job->StartThread();
    ASSERT_TRUE(WaitUntil([&] { return window.Count(WM_JOB_FINISHED) == 1; }));
    EXPECT_TRUE(job->IsFinished());
}

TEST_F(JobTest, AFinishedJobStaysFinishedWhenALateCompletionComes) {
    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1));
    job->StartThread();
    ASSERT_TRUE(WaitUntil([&] { return job->HasEnded(); }));
    job->MarkComplete();  // a page report that comes after the job was stopped
    EXPECT_TRUE(job->IsFinished());
}

// The IsDone wait is woken by its event: with a poll period that never runs out during
// the test, only MarkComplete or Stop can end it.
TEST_F(JobTest, AWaitOnIsDoneEndsWhenTheJobCompletesOrStopsNotWhenThePeriodRunsOut) {
    TimingRecord never;
    never.jobPollMs = 3'600'000;
    ScopedTiming timing(never);
    OwnedJob<ProbeJob> completed(new ProbeJob(record_, 1, ProbeBody::WaitUntilDone));
    OwnedJob<ProbeJob> stopped(new ProbeJob(record_, 2, ProbeBody::WaitUntilDone));
    completed->StartThread();
    stopped->StartThread();
    // Both bodies are inside their waits (the state says running before a body begins).
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 2; }));
    completed->MarkComplete();
    stopped->Stop();
    EXPECT_TRUE(WaitUntil([&] { return completed->HasEnded(); }, 30s))
        << "MarkComplete did not end the wait";
    EXPECT_TRUE(WaitUntil([&] { return stopped->HasEnded(); }, 30s)) << "Stop did not end the wait";
    EXPECT_TRUE(completed->IsFinished());
    EXPECT_TRUE(stopped->IsFinished());
}

TEST_F(JobTest, ASecondStartOfARunningJobDoesNothing) {
    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1, ProbeBody::WaitForGate));
    job->StartThread();
    job->StartThread();
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 1; }));
    record_.OpenGate();
    ASSERT_TRUE(WaitUntil([&] { return job->HasEnded(); }));
    EXPECT_EQ(record_.ran.load(), 1);
    EXPECT_EQ(job->FinishCount(), 1);
}

TEST_F(JobTest, ComparesItsTypeNameIgnoringCase) {
    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1));
    EXPECT_EQ(job->GetTypeName(), "");
    job->SetType(GetHtmlPageJobName);
    EXPECT_TRUE(job->IsOfType("gethtmlpagejob"));
    EXPECT_FALSE(job->IsOfType(CrawlSiteJobName));
}

struct ElapsedCase {
    std::int64_t seconds;
    const char* text;
};

void PrintTo(const ElapsedCase& span, std::ostream* out) {
    *out << span.seconds << " s";
}

class JobElapsedTextTest : public JobTest, public ::testing::WithParamInterface<ElapsedCase> {};

TEST_P(JobElapsedTextTest, FormatsTheSpanAsHoursMinutesSeconds) {
    ScopedClock clock(1'000'000);
    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1));
    clock.Advance(GetParam().seconds);
    EXPECT_EQ(job->GetElapsed(), GetParam().seconds);
    EXPECT_EQ(job->GetElapsedText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Spans, JobElapsedTextTest,
                         ::testing::Values(ElapsedCase{0, "00:00:00"}, ElapsedCase{65, "00:01:05"},
                                           ElapsedCase{3661, "01:01:01"},
                                           // hours of the day, as a time span prints them
                                           ElapsedCase{25 * 3600 + 7, "01:00:07"}));

TEST_F(JobTest, ElapsedTimeGrowsWhileRunningAndStaysOnceFinished) {
    ScopedClock clock(1'000'000);
    OwnedJob<ProbeJob> job(new ProbeJob(record_, 1, ProbeBody::WaitUntilDone));
    job->StartThread();
    ASSERT_TRUE(WaitUntil([&] { return job->GetState() == JOB_STATE_RUNNING; }));
    clock.Advance(30);
    EXPECT_EQ(job->GetElapsedText(), "00:00:30");
    clock.Advance(30);
    EXPECT_EQ(job->GetElapsedText(), "00:01:00");
    job->MarkComplete();
    ASSERT_TRUE(WaitUntil([&] { return job->HasEnded(); }));
    clock.Advance(600);
    EXPECT_EQ(job->GetElapsedText(), "00:01:00");
}

TEST_F(JobTest, DeletingAJobThatNeverRanDeletesItAtOnce) {
    Job* job = new ProbeJob(record_, 1);
    EXPECT_TRUE(job->HasEnded());
    DeleteJob(job);
    EXPECT_EQ(record_.destroyed.load(), 1);
    DeleteJob(nullptr);
}

TEST_F(JobTest, DeletingARunningJobCancelsItAndLetsItsThreadDeleteIt) {
    ProbeJob* job = new ProbeJob(record_, 1, ProbeBody::WaitForGate);
    job->StartThread();
    ASSERT_TRUE(WaitUntil([&] { return record_.ran.load() == 1; }));
    DeleteJob(job);
    EXPECT_EQ(record_.destroyed.load(), 0) << "deleted while its thread was inside it";
    record_.OpenGate();
    EXPECT_TRUE(record_.WaitAllDeleted());
}

// The owner deletes the job as soon as the posted notice arrives, while the job's thread
// is still inside Finish (held there until the owner has deleted it).
TEST_F(JobTest, AnOwnerMayDeleteTheJobWhenThePostedNoticeArrives) {
    std::atomic<bool> deleted{false};
    RecorderWindow owner([&](UINT message, WPARAM wParam) {
        if (message != WM_JOB_FINISHED)
            return;
        DeleteJob(reinterpret_cast<Job*>(wParam));
        deleted = true;
    });
    ASSERT_TRUE(owner.Start());
    for (int i = 0; i < 20; ++i) {
        deleted = false;
        auto* job = new ProbeJob(record_, i);
        job->AddListenerWindow(owner.Hwnd());
        job->SetAfterFinish([&](ProbeJob*) {
            EXPECT_TRUE(WaitUntil([&] { return deleted.load(); })) << "the notice never arrived";
        });
        job->StartThread();
        ASSERT_TRUE(WaitUntil([&] { return record_.destroyed.load() == i + 1; }))
            << "job " << i << " was never deleted";
    }
}

}  // namespace
