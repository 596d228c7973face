// A fixture for tests of crawls: the job-manager fixture with a crawl's shortened timing
// record, and a browser pool of its own as theBrowserPool; at the end the pool is shut
// down, then the manager stopped, joined and deleted, as a deliverable does at its end.
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

// A record for crawls whose results must hold every frame of a page: the product's quiet
// spell after a frame's document. A busy machine (a sanitizer build beside other jobs)
// may take longer than a short spell between a page's two frames, and the page would
// count as loaded without the second.
inline TimingRecord WithProductFrameWait(TimingRecord timing) {
    timing.pageGuardMs = TimingRecord{}.pageGuardMs;
    return timing;
}

// A record with room for what a busy machine (a sanitizer build beside other jobs) is
// slow at, for crawls whose results must hold every page: the probe of a page that
// answers ends on the answer, and the quiet spell after a frame's document on the next
// frame; neither must run out first and leave a page or a frame out.
inline TimingRecord WithRoomForAnswers(TimingRecord timing) {
    timing.pageGuardMs = 20000;
    timing.reachabilityProbeTimeoutMs = 30000;
    return timing;
}

// The crawl's record with the waits for events made so long that they never run out
// during a test: the IsDone poll and the scheduler's pass pause. A job that ends under it
// was woken by its event, never by its period (a clock that never reaches the period).
inline TimingRecord PeriodsThatNeverRunOut() {
    TimingRecord timing = ShortCrawlTiming();
    timing.jobPollMs = 3'600'000;
    timing.schedulerPassPauseMs = 3'600'000;
    return timing;
}

// A timing record a test runs under, by name.
struct NamedTiming {
    const char* name;
    TimingRecord (*record)();
};

// The product's own periods, the crawl's shortened ones, and waits that never run out.
inline const NamedTiming kCrawlTimings[] = {
    {"ProductPeriods", [] { return TimingRecord{}; }},
    {"ShortPeriods", ShortCrawlTiming},
    {"PeriodsThatNeverRunOut", PeriodsThatNeverRunOut},
};

class CrawlFixture : public JobManagerFixture {
protected:
    explicit CrawlFixture(int jobLimit = ImageFinderBandJobLimit,
                          int browsers = ImageFinderBandBrowserThreads,
                          const TimingRecord& timing = ShortCrawlTiming())
        : JobManagerFixture(jobLimit, timing) {
        StartBrowserPool(BrowserImagesAllowed, browsers);
    }

    // The pool goes first: the manager ends after it, in the base's destructor.
    ~CrawlFixture() override { ShutdownBrowserPool(); }

    // Waits until the manager runs nothing and has nothing queued.
    ::testing::AssertionResult WaitForIdleManager(
        std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
        if (WaitUntil(
                [&] { return Manager().CountRunning() == 0 && Manager().CountWaiting() == 0; },
                timeout))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << Manager().CountRunning() << " jobs still run, "
                                             << Manager().CountWaiting() << " wait";
    }
};
