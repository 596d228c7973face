// A fixture for tests of crawls: its own job manager and browser pool, with a shortened
// timing record, set as theJobManager and theBrowserPool; at the end the pool is shut
// down and the manager stopped, joined and deleted, as a deliverable does at its end.
// A test lets every crawl it starts end before it returns.
#pragma once

#include <gtest/gtest.h>

#include <chrono>

#include "engine/browser/BrowserThreadPool.h"
#include "engine/jobs/Job.h"
#include "engine/jobs/JobManager.h"
#include "platform/timing/Timing.h"
#include "tests/support/JobManagerFixture.h"
#include "tests/support/Wait.h"

inline TimingRecord ShortCrawlTiming() {
    TimingRecord timing = ShortJobTiming();
    timing.pageGuardMs = 200;
    timing.pageLinkReadPauseMs = 0;
    timing.pageLoadGuardMs = 20000;
    timing.reachabilityProbeTimeoutMs = 2000;
    return timing;
}

class CrawlFixture : public ::testing::Test {
protected:
    explicit CrawlFixture(int jobLimit = ImageFinderBandJobLimit,
                          int browsers = ImageFinderBandBrowserThreads)
        : timing_(ShortCrawlTiming()), manager_(new JobManager(jobLimit)) {
        theJobManager = manager_;
        manager_->StartThread();
        StartBrowserPool(BrowserImagesAllowed, browsers);
    }

    ~CrawlFixture() override {
        ShutdownBrowserPool();
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
        return WaitForJobEnd(job, timeout);
    }

    // Waits until the manager runs nothing and has nothing queued.
    ::testing::AssertionResult WaitForIdleManager(
        std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
        if (WaitUntil(
                [&] { return manager_->CountRunning() == 0 && manager_->CountWaiting() == 0; },
                timeout))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << manager_->CountRunning() << " jobs still run, "
                                             << manager_->CountWaiting() << " wait";
    }

private:
    ScopedTiming timing_;
    JobManager* manager_;
};
