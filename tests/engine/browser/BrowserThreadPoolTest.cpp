#include "engine/browser/BrowserThreadPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/browser/Browser.h"
#include "platform/browser/CurlPageLoader.h"
#include "platform/browser/PageLoaderFactory.h"
#include "platform/thread/Thread.h"
#include "platform/timing/Timing.h"
#include "platform/window/Window.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/PageReportListener.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

using namespace std::chrono_literals;

namespace {

// A gate that threads wait at until it opens.
class Gate {
public:
    void Open() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    void Pass() {
        std::unique_lock<std::mutex> lock(mutex_);
        ++waiting_;
        opened_.wait(lock, [this] { return open_; });
        --waiting_;
    }
    int Waiting() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return waiting_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
    int waiting_ = 0;
};

// Holds every browser thread in its start-up (making its page loader) until opened.
class StartGate {
public:
    StartGate()
        : factory_([this](PageLoadSink& sink) -> std::unique_ptr<PageLoader> {
              gate_.Pass();
              return std::make_unique<CurlPageLoader>(sink);
          }) {}
    ~StartGate() { gate_.Open(); }
    void Open() { gate_.Open(); }
    int Waiting() const { return gate_.Waiting(); }

private:
    Gate gate_;
    ScopedPageLoaderFactory factory_;
};

// A pool shut down at the end of the scope.
class PoolScope {
public:
    PoolScope(bool imagesAllowed, int threads)
        : pool_(std::make_unique<BrowserThreadPool>(imagesAllowed, threads)) {}
    ~PoolScope() { pool_->Shutdown(); }
    BrowserThreadPool* operator->() const { return pool_.get(); }
    BrowserThreadPool& operator*() const { return *pool_; }
    bool WaitReady(int count) const {
        return WaitUntil([&] { return pool_->CountAll() == count; });
    }

private:
    std::unique_ptr<BrowserThreadPool> pool_;
};

Browser* TakeBrowser(BrowserThreadPool& pool, bool wait) {
    return static_cast<Browser*>(pool.Take(wait));
}

// One page as a page job loads it: borrow (waiting), register, navigate, wait for the
// report, remove, give back. whileHeld runs once the browser is borrowed.
struct PageResult {
    bool borrowed = false;
    PageReportListener::Report report;
};
PageResult LoadPage(BrowserThreadPool& pool, const std::string& url,
                    const std::function<void()>& whileHeld = {}) {
    PageResult result;
    Browser* browser = TakeBrowser(pool, true);
    if (browser == nullptr)
        return result;
    result.borrowed = true;
    if (whileHeld)
        whileHeld();
    PageReportListener listener;
    browser->AddObject(&listener);
    browser->Navigate(url);
    EXPECT_TRUE(listener.WaitForReports(1)) << url;
    browser->RemoveObject(&listener);
    result.report = listener.Last();
    pool.Release(browser);
    return result;
}

LocalSiteResponse HeadThenSilence() {
    LocalSiteResponse response;
    response.body = "<title>never</title>";
    response.stallAfterHead = true;
    return response;
}

class BrowserPoolTest : public ::testing::Test {
protected:
    std::string Url(const std::string& path) const { return server_.Url(path); }
    // Navigates browser to the page that never comes, with listener registered, and
    // waits until the server has the request.
    void StartSilentLoad(Browser* browser, PageReportListener& listener) {
        const size_t before = server_.RequestsFor("/silent.html").size();
        browser->AddObject(&listener);
        browser->Navigate(Url("/silent.html"));
        ASSERT_TRUE(
            WaitUntil([&] { return server_.RequestsFor("/silent.html").size() >= before + 2; }));
    }

    void SetUp() override { server_.SetResponse("/silent.html", HeadThenSilence()); }

    LocalSiteServer server_{FixturePath("browser")};
};

}  // namespace

TEST_F(BrowserPoolTest, NoMoreLoadsRunThanThePoolHasBrowsers) {
    PoolScope pool(false, 3);
    ASSERT_TRUE(pool.WaitReady(3));
    std::atomic<int> held{0};
    std::atomic<int> highWater{0};
    Gate gate;
    std::vector<PageResult> results(7);
    std::vector<std::thread> borrowers;
    for (size_t i = 0; i < results.size(); ++i) {
        borrowers.emplace_back([&, i] {
            results[i] = LoadPage(*pool, Url("/frame-a.html"), [&] {
                const int now = ++held;
                int high = highWater.load();
                while (now > high && !highWater.compare_exchange_weak(high, now)) {
                }
                gate.Pass();
                --held;
            });
        });
    }
    ASSERT_TRUE(WaitUntil([&] { return held.load() == 3; })) << "three borrowers are served";
    EXPECT_EQ(pool->CountActive(), 3);
    gate.Open();
    for (std::thread& borrower : borrowers)
        borrower.join();
    EXPECT_EQ(highWater.load(), 3);
    for (const PageResult& result : results) {
        EXPECT_TRUE(result.borrowed);
        EXPECT_FALSE(result.report.failed);
        EXPECT_EQ(result.report.title, "Frame A");
    }
    EXPECT_EQ(pool->CountWaiting(), 3);
    EXPECT_EQ(pool->CountActive(), 0);
}

TEST_F(BrowserPoolTest, StatusListsIdleBrowsersFirstThenLentOnes) {
    PoolScope pool(false, 5);
    ASSERT_TRUE(pool.WaitReady(5));
    std::vector<Browser*> browsers;
    for (int i = 0; i < 5; ++i) {
        const std::string path = "/p" + std::to_string(i) + ".html";
        server_.SetBody(path, "<p>" + path + "</p>");
        Browser* browser = TakeBrowser(*pool, false);
        ASSERT_NE(browser, nullptr);
        PageReportListener listener;
        browser->AddObject(&listener);
        browser->Navigate(Url(path));
        ASSERT_TRUE(listener.WaitForReports(1));
        browser->RemoveObject(&listener);
        browsers.push_back(browser);
    }
    for (int i = 0; i < 3; ++i)
        pool->Release(browsers[i]);
    EXPECT_EQ(pool->DumpStatus(), "0) avail - " + Url("/p0.html") + "\n" +      //
                                      "1) avail - " + Url("/p1.html") + "\n" +  //
                                      "2) avail - " + Url("/p2.html") + "\n" +  //
                                      "3) " + Url("/p3.html") + "\n" +          //
                                      "4) " + Url("/p4.html") + "\n");
    pool->Release(browsers[3]);
    pool->Release(browsers[4]);
}

TEST_F(BrowserPoolTest, APoolWithoutBrowsersLendsNothingAndListsNothing) {
    PoolScope pool(false, 0);
    EXPECT_EQ(pool->DumpStatus(), "");
    EXPECT_EQ(pool->Take(true), nullptr);
    pool->StopActive();
    pool->PingAll();
}

TEST_F(BrowserPoolTest, EveryBrowserAnswersWithoutImagesUnlessThePoolAllowsThem) {
    for (const bool images : {false, true}) {
        PoolScope pool(images, 2);
        ASSERT_TRUE(pool.WaitReady(2));
        for (CObject* item : pool->GetAllItems()) {
            auto* browser = static_cast<Browser*>(item);
            EXPECT_FALSE(browser->GetPassThrough());
            EXPECT_EQ(browser->GetImagesAllowed(), images);
        }
    }
}

TEST_F(BrowserPoolTest, ABorrowerBeforeAnyBrowserIsReadyGetsTheFirstOne) {
    StartGate start;
    PoolScope pool(false, 2);
    ASSERT_TRUE(WaitUntil([&] { return start.Waiting() == 2; }));
    EXPECT_EQ(pool->CountStarting(), 2);
    std::atomic<bool> taking{false};
    PageResult result;
    std::thread borrower([&] {
        taking = true;
        result = LoadPage(*pool, Url("/frame-b.html"));
    });
    ASSERT_TRUE(WaitUntil([&] { return taking.load(); }));
    start.Open();
    borrower.join();
    EXPECT_TRUE(result.borrowed) << "the start page is not lost";
    EXPECT_FALSE(result.report.failed);
    EXPECT_EQ(result.report.title, "Frame B");
}

TEST_F(BrowserPoolTest, WhenNoBrowserCanBecomeReadyTakeGivesNull) {
    ScopedPageLoaderFactory none([](PageLoadSink&) { return std::unique_ptr<PageLoader>(); });
    PoolScope pool(false, 3);
    EXPECT_EQ(pool->Take(true), nullptr) << "after every thread has failed";
    EXPECT_EQ(pool->CountStarting(), 0);
    EXPECT_EQ(pool->CountAll(), 0);
}

TEST_F(BrowserPoolTest, StopActiveEndsTheLoadsOfLentBrowsersOnly) {
    PoolScope pool(false, 2);
    ASSERT_TRUE(pool.WaitReady(2));
    Browser* lent = TakeBrowser(*pool, false);
    ASSERT_NE(lent, nullptr);
    PageReportListener listener;
    StartSilentLoad(lent, listener);
    pool->StopActive();
    ASSERT_TRUE(listener.WaitForReports(1));
    EXPECT_TRUE(listener.Last().failed);
    lent->RemoveObject(&listener);
    pool->Release(lent);

    pool->StopActive();  // nothing is lent: nothing happens
    for (int i = 0; i < 2; ++i) {
        const PageResult result = LoadPage(*pool, Url("/frame-a.html"));
        EXPECT_FALSE(result.report.failed);
    }
}

TEST_F(BrowserPoolTest, ClosingMakesEveryBrowserIdleAndStopsLending) {
    PoolScope pool(false, 5);
    ASSERT_TRUE(pool.WaitReady(5));
    Browser* loading = TakeBrowser(*pool, false);
    Browser* lent = TakeBrowser(*pool, false);
    ASSERT_NE(loading, nullptr);
    ASSERT_NE(lent, nullptr);
    PageReportListener listener;
    StartSilentLoad(loading, listener);

    pool->ClosePool();
    EXPECT_EQ(pool->CountWaiting(), 5);
    EXPECT_EQ(pool->CountActive(), 0);
    EXPECT_EQ(pool->Take(true), nullptr);
    EXPECT_EQ(pool->Take(false), nullptr);
    ASSERT_TRUE(listener.WaitForReports(1)) << "the lent browser's load is stopped";
    EXPECT_TRUE(listener.Last().failed);
    loading->RemoveObject(&listener);
    // The page jobs give their browsers back as usual; nothing changes.
    pool->Release(loading);
    pool->Release(lent);
    EXPECT_EQ(pool->CountWaiting(), 5);
    EXPECT_EQ(pool->CountAll(), 5);
}

// Two browsers are ready and lent and a third is still starting, so two borrowers wait.
// The close wakes both with null; the browser that becomes ready afterwards joins the
// idle list but is never lent.
TEST_F(BrowserPoolTest, ClosingWakesWaitingBorrowersWithNullAndLendsNoLaterBrowser) {
    Gate lateStart;
    std::atomic<int> made{0};
    ScopedPageLoaderFactory factory([&](PageLoadSink& sink) -> std::unique_ptr<PageLoader> {
        if (++made > 2)
            lateStart.Pass();
        return std::make_unique<CurlPageLoader>(sink);
    });
    PoolScope pool(false, 3);
    struct OpenAtEnd {
        Gate& gate;
        ~OpenAtEnd() { gate.Open(); }  // before the pool's shutdown joins the held thread
    } openAtEnd{lateStart};
    ASSERT_TRUE(pool.WaitReady(2));
    ASSERT_TRUE(WaitUntil([&] { return lateStart.Waiting() == 1; }));
    Browser* first = TakeBrowser(*pool, false);
    Browser* second = TakeBrowser(*pool, false);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    std::atomic<int> returned{0};
    std::vector<CObject*> got(2, first);
    std::vector<std::thread> borrowers;
    for (size_t i = 0; i < got.size(); ++i) {
        borrowers.emplace_back([&, i] {
            got[i] = pool->Take(true);
            ++returned;
        });
    }
    EXPECT_FALSE(WaitUntil([&] { return returned.load() > 0; }, 50ms))
        << "a borrower did not wait while every browser was lent or starting";
    pool->ClosePool();
    ASSERT_TRUE(WaitUntil([&] { return returned.load() == 2; })) << "the close woke nobody";
    for (std::thread& borrower : borrowers)
        borrower.join();
    EXPECT_EQ(got, (std::vector<CObject*>{nullptr, nullptr}));
    EXPECT_EQ(pool->CountWaiting(), 2);
    EXPECT_EQ(pool->CountActive(), 0);

    lateStart.Open();
    ASSERT_TRUE(pool.WaitReady(3)) << "a browser ready after the close still joins the pool";
    EXPECT_EQ(pool->CountWaiting(), 3);
    EXPECT_EQ(pool->Take(true), nullptr);
    EXPECT_EQ(pool->Take(false), nullptr);
    pool->Release(first);
    pool->Release(second);
    EXPECT_EQ(pool->CountWaiting(), 3);
}

TEST_F(BrowserPoolTest, PingsWhileThreadsStart) {
    StartGate start;
    PoolScope pool(false, 4);
    std::atomic<int> passes{0};
    std::thread pinger([&] {
        while (pool->CountAll() < 4 || passes.load() < 10) {
            pool->PingAll();
            ++passes;
        }
    });
    ASSERT_TRUE(WaitUntil([&] { return passes.load() >= 3; }));
    start.Open();
    pinger.join();
    EXPECT_EQ(pool->CountAll(), 4);
}

TEST_F(BrowserPoolTest, ABrowserThatDoesNotAnswerAPingIsSkipped) {
    TimingRecord timing;
    timing.pingTimeoutMs = 100;
    ScopedTiming fast(timing);
    PoolScope pool(false, 2);
    ASSERT_TRUE(pool.WaitReady(2));
    Browser* busy = TakeBrowser(*pool, false);
    ASSERT_NE(busy, nullptr);
    // The report holds the browser's thread until the gate opens.
    Gate gate;
    std::atomic<bool> holding{false};
    PageReportListener listener([&](Browser*) {
        holding = true;
        gate.Pass();
    });
    busy->AddObject(&listener);
    busy->Navigate(Url("/frame-a.html"));
    ASSERT_TRUE(WaitUntil([&] { return holding.load(); }));

    std::atomic<bool> pinged{false};
    std::thread pinger([&] {
        pool->PingAll();
        pinged = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return pinged.load(); }, 5s)) << "the stuck browser is skipped";
    gate.Open();
    pinger.join();
    ASSERT_TRUE(listener.WaitForReports(1));
    busy->RemoveObject(&listener);
    pool->Release(busy);
}

TEST_F(BrowserPoolTest, ShutdownEndsLoadsAndJoinsEveryThread) {
    PoolScope pool(false, 3);
    ASSERT_TRUE(pool.WaitReady(3));
    Browser* loading = TakeBrowser(*pool, false);
    Browser* held = TakeBrowser(*pool, false);
    Browser* third = TakeBrowser(*pool, false);
    ASSERT_NE(third, nullptr);
    PageReportListener listener;
    StartSilentLoad(loading, listener);
    std::atomic<bool> returned{false};
    CObject* got = held;
    std::thread borrower([&] {
        got = pool->Take(true);
        returned = true;
    });

    pool->Shutdown();
    ASSERT_TRUE(WaitUntil([&] { return returned.load(); }));
    borrower.join();
    EXPECT_EQ(got, nullptr) << "a waiting borrower gets nothing";
    ASSERT_TRUE(listener.WaitForReports(1));
    EXPECT_TRUE(listener.Last().failed) << "the load in progress ended as failed";
    loading->RemoveObject(&listener);
    for (Browser* browser : {loading, held, third})
        EXPECT_FALSE(IsWindow(browser->GetSafeHwnd())) << "the browser's thread has ended";
    EXPECT_EQ(pool->CountAll(), 0);
    EXPECT_EQ(pool->CountActive(), 0);
    EXPECT_EQ(pool->Take(true), nullptr);

    // A page job that still holds a browser: its load fails at once, its release is
    // ignored.
    PageReportListener late;
    held->AddObject(&late);
    held->Navigate(Url("/frame-a.html"));
    ASSERT_EQ(late.Count(), 1u);
    EXPECT_TRUE(late.Last().failed);
    held->RemoveObject(&late);
    for (Browser* browser : {loading, held, third})
        pool->Release(browser);
    EXPECT_EQ(pool->CountWaiting(), 0);
    pool->Shutdown();  // a second time does nothing
}

TEST_F(BrowserPoolTest, TheProcessPoolKeepsItsFirstCreatorsValues) {
    ASSERT_EQ(theBrowserPool, nullptr);
    BrowserThreadPool* pool = StartBrowserPool(BrowserImagesAllowed, 2);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(theBrowserPool, pool);
    EXPECT_EQ(StartBrowserPool(true, Mp3FinderBandExtractionBrowserThreads), pool);
    EXPECT_EQ(pool->GetThreadCount(), 2);
    EXPECT_FALSE(pool->GetImagesAllowed());
    const PageResult result = LoadPage(*theBrowserPool, Url("/frame-a.html"));
    EXPECT_FALSE(result.report.failed);
    ShutdownBrowserPool();
    EXPECT_EQ(theBrowserPool, nullptr);
    ShutdownBrowserPool();
}
