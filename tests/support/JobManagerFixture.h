// A fixture for tests of jobs that run under a job manager: it builds its own manager
// with a shortened timing record, points theJobManager at it and starts it; at the end
// it stops, joins and deletes it as a deliverable does.
#pragma once

#include <gtest/gtest.h>

#include <chrono>

#include "engine/jobs/Job.h"
#include "engine/jobs/JobManager.h"
#include "platform/timing/Timing.h"
#include "tests/support/Wait.h"

inline TimingRecord ShortJobTiming() {
    TimingRecord timing;
    timing.jobPollMs = 2;
    timing.jobStartSpacingMs = 1;
    timing.schedulerPassPauseMs = 5;
    return timing;
}

// Waits until job has finished and its thread has let go of it.
inline ::testing::AssertionResult WaitForJobEnd(
    const Job& job, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
    if (WaitUntil([&] { return job.IsFinished() && job.HasEnded(); }, timeout))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the job did not finish in time";
}

class JobManagerFixture : public ::testing::Test {
protected:
    // timing is installed before the manager's loop starts.
    explicit JobManagerFixture(int limit = ImageFinderBandJobLimit,
                               const TimingRecord& timing = ShortJobTiming())
        : timing_(timing), manager_(new JobManager(limit)) {
        theJobManager = manager_;
        manager_->StartThread();
    }
    // The test's own jobs are gone by now (they are members or locals of the test).
    ~JobManagerFixture() override {
        manager_->Stop();
        manager_->Join();
        DeleteJob(manager_);
        theJobManager = nullptr;
    }

    JobManager& Manager() { return *manager_; }

    // Queues job and waits until it has finished and its thread has let go of it.
    ::testing::AssertionResult RunToEnd(
        Job& job, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        manager_->AddJob(&job);
        return WaitForEnd(job, timeout);
    }
    static ::testing::AssertionResult WaitForEnd(
        const Job& job, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        return WaitForJobEnd(job, timeout);
    }

private:
    ScopedTiming timing_;
    JobManager* manager_;
};
