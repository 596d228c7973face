// The pool of hidden browsers: a fixed number of user-interface threads, each holding
// one Browser, lent to page jobs one at a time. The pool is also where a user's stop
// reaches every page still loading, where the status text of all browsers is made, and
// where the site MP3 finder refuses all further lending when its dialog goes.
//
// Lists (JobQueue, recycle set): waiting = idle browsers, active = lent browsers,
// all = every browser that became ready. Threads become ready in any order.
//
// Threads: the lists change on the UI threads (ready, end), on the page jobs' threads
// (Take, Release) and on the owner's thread (stop, status, close, shutdown); every
// change and walk holds the process lock, and no wait on another thread does.
//
// Life: the product keeps its pool (theBrowserPool) for the life of the process and
// calls Shutdown at its end; ClosePool only stops lending (ReopenPool lends again). A
// pool must be shut down before it is destroyed, and destroyed only when no page job
// holds one of its browsers any more.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/browser/UiThreadCallback.h"
#include "engine/jobs/JobQueue.h"

class Browser;
class UiThread;

// Browsers per deliverable.
constexpr int ImageFinderBandBrowserThreads = 5;
constexpr int FileFinderBandBrowserThreads = 10;
// The MP3 finder band's pool when an extraction creates it, and when a view rebuild does.
constexpr int Mp3FinderBandExtractionBrowserThreads = 20;
constexpr int Mp3FinderBandViewRebuildBrowserThreads = 10;
constexpr int SiteMp3FinderBrowserThreads = 10;
// No deliverable's hidden browsers download images.
constexpr bool BrowserImagesAllowed = false;

class BrowserThreadPool : public JobQueue, public UiThreadCallback {
public:
    // Starts threadCount UI threads, each with one Browser; each browser joins the idle
    // list when its thread is ready. A thread that cannot be started is skipped. Any
    // thread, never with the process lock held.
    BrowserThreadPool(bool imagesAllowed, int threadCount);
    // Deletes the threads with their browsers. Shutdown must have run (in a debug build
    // this is asserted; otherwise the destructor shuts down itself), and no page job may
    // still hold a browser. Never on a pool thread, never with the process lock held.
    ~BrowserThreadPool() override;

    // Lending is JobQueue's: Take(true) returns an idle browser (as a CObject*, a
    // Browser), waiting while all are lent and while pool threads are still starting;
    // null once the pool is closed, or when no browser is ready and none can become ready
    // (every thread failed or ended). Release(browser) makes it idle again.

    // On a browser's thread once its view exists: the browser answers the
    // download-control property (pass-through cleared) with the pool's images flag and
    // joins the idle list, also after ClosePool. True.
    bool OnThreadReady(UiThread* thread) override;
    // On a thread that ends: its browser leaves every list (a borrower's later Release
    // of it is ignored); a thread that never became ready no longer counts as starting.
    void OnThreadEnded(UiThread* thread) override;

    // Sends WM_BROWSER_PING to every browser, waiting up to Timing().pingTimeoutMs for
    // each; one that does not answer in time is skipped. The list is copied under the
    // lock and the sends are made without it. Any thread but a pool thread, never with
    // the process lock held.
    void PingAll();
    // Posts WM_BROWSER_STOP to every lent browser: each load ends at once as failed. Any
    // thread.
    void StopActive();
    // One line per browser: idle ones first, "<n>) avail - <requested URL>\n", then lent
    // ones, "<n>) <requested URL>\n", numbered from 0. Any thread.
    std::string DumpStatus();
    // Refuses all further lending (waiting Takes get null), stops every browser's load
    // (the stop is posted to each browser's thread; a lent browser's load then ends as
    // failed) and makes every lent browser idle. The threads keep running. Any thread.
    void ClosePool();
    // Lends again after ClosePool, with the browsers whose threads still run. Nothing
    // once Shutdown has run. Any thread.
    void ReopenPool();
    // Closes the pool, ends every load in progress as failed, then quits and joins every
    // thread. Browsers stay allocated until the destructor: a page job that still holds
    // one sees its loads fail at once. Harmless when done before. Never on a pool
    // thread, never with the process lock held.
    void Shutdown();

    int GetThreadCount() const { return threadCount_; }
    bool GetImagesAllowed() const { return imagesAllowed_; }
    // Threads started whose browsers are not ready yet (nor failed).
    int CountStarting() const;

protected:
    bool ItemsMayStillCome() const override;

private:
    const int threadCount_;
    const bool imagesAllowed_;
    int starting_ = 0;  // guarded by the process lock
    std::atomic<bool> shutDown_{false};
    // Written by the constructor only; the threads end in Shutdown and go last.
    std::vector<std::unique_ptr<UiThread>> threads_;
};

// The process's one pool; null until its first user creates it. Every page job reads it.
extern BrowserThreadPool* theBrowserPool;

// Creates theBrowserPool unless it exists, so the first creator's values hold for the
// life of the process; returns it. Any thread, never with the process lock held.
BrowserThreadPool* StartBrowserPool(bool imagesAllowed, int threadCount);
// At the end of the process (or of a test): shuts theBrowserPool down, deletes it and
// sets it to null. Only when no page job holds or waits for a browser any more.
void ShutdownBrowserPool();
