// Every time constant of the system, named once. The product reads Timing() as it
// stands; tests install a shortened record with ScopedTiming instead of waiting out
// the real periods. A new constant is one more field here, with its value and what
// it times.
#pragma once

#include "platform/base/Types.h"

struct TimingRecord {
    // A job body that waits for its work (page, crawl, extraction) tests IsDone this often.
    DWORD jobPollMs = 200;
    // The job manager's pause before each job it starts.
    DWORD jobStartSpacingMs = 10;
    // The job manager's pause at the end of each scheduling pass.
    DWORD schedulerPassPauseMs = 200;
    // The hidden browser's timer after a document completes while the page is not ready:
    // when it fires the page counts as loaded.
    DWORD pageGuardMs = 5000;
    // The most a ping of one pooled browser window (a send with time-out) may wait.
    DWORD pingTimeoutMs = 10000;
    // The receive time-out of the reachability probe of a URL.
    DWORD reachabilityProbeTimeoutMs = 5000;
    // The page job's pause after taking a page's links and before filtering them.
    DWORD pageLinkReadPauseMs = 10;
    // The site MP3 finder's wait after stopping the pool, the jobs and the job manager
    // when its main dialog goes away.
    DWORD siteFinderShutdownWaitMs = 1000;
    // The site MP3 finder's title timer: the title line and the ping of the browsers.
    DWORD siteFinderTitleTimerMs = 2000;
    // The site MP3 finder's pause at the start of each tick of that timer.
    DWORD siteFinderTimerPauseMs = 10;
    // The longest one page load may take as a whole, whatever its documents do.
    DWORD pageLoadGuardMs = 60000;
    // The page loader's limit for connecting to a server.
    DWORD fetchConnectTimeoutMs = 10000;
    // The page loader gives up a transfer that has received almost nothing for this long.
    DWORD fetchLowSpeedTimeoutMs = 30000;
    // The longest one transfer of the page loader may take in all.
    DWORD fetchTransferTimeoutMs = 120000;
    // A band panel's progress page is refreshed this often while a job runs.
    DWORD panelProgressMs = 3000;
    // A download (URLDownloadToFile) must connect within this time.
    DWORD downloadConnectTimeoutMs = 30000;
    // A download that receives no byte for this long is given up (the wait for the
    // answer included).
    DWORD downloadStallTimeoutMs = 30000;
    // A download that receives fewer than downloadLowSpeedBytesPerSecond on average over
    // a window this long is given up: a server that drips a few bytes a second cannot
    // hold it for long.
    DWORD downloadLowSpeedTimeoutMs = 30000;
    // The floor of a download's rate over that window, in bytes per second.
    DWORD downloadLowSpeedBytesPerSecond = 1024;
    // A picture larger than this many bytes is not stored: its download is given up.
    DWORD pictureSizeLimitBytes = 64u << 20;
    // The longest one download may take in all: a server that drips a byte at a time
    // cannot hold a download, and the extraction waiting for it, for ever.
    DWORD downloadTransferTimeoutMs = 600000;
    // The one-click finder's page loader reports itself idle when its page has not
    // completed within this time, so one page never holds the search.
    DWORD oneClickLoaderGuardMs = 5000;
    // The page image finder's title refresh while a crawl runs.
    DWORD finderStatusTimerMs = 500;
    // One second of the page image finder's page time-out (which the person gives in
    // seconds).
    DWORD finderPageTimeoutSecondMs = 1000;
};

// The record in force: the product values unless a test installed another. A copy,
// so it stays valid whatever a test installs meanwhile. Safe on any thread.
TimingRecord Timing();

// Installs a record for its scope and restores the previous one at the end. Tests only;
// scopes nest. Install it before the threads that read it start.
class ScopedTiming {
public:
    explicit ScopedTiming(const TimingRecord& record);
    ~ScopedTiming();
    ScopedTiming(const ScopedTiming&) = delete;
    ScopedTiming& operator=(const ScopedTiming&) = delete;

private:
    TimingRecord previous_;
};
