#include "engine/browser/Browser.h"

#include <gtest/gtest.h>

#include "platform/browser/HtmlDocument.h"
#include "platform/thread/Thread.h"
#include "platform/timing/Timing.h"
#include "tests/engine/browser/BrowserTestSupport.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/PageReportListener.h"
#include "tests/support/ScriptedLoaders.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

using namespace std::chrono_literals;
using Event = ScriptedPageEvent;

namespace {

TimingRecord WithGuards(DWORD pageGuardMs, DWORD pageLoadGuardMs) {
    TimingRecord timing;
    timing.pageGuardMs = pageGuardMs;
    timing.pageLoadGuardMs = pageLoadGuardMs;
    return timing;
}

LocalSiteResponse HeadThenSilence() {
    LocalSiteResponse response;
    response.body = "<title>never</title>";
    response.stallAfterHead = true;
    return response;
}

// The fixture pages of tests/fixtures/browser on a local server, and one browser.
class BrowserLoadTest : public ::testing::Test {
protected:
    // Loads url with a fresh listener and returns its one report.
    PageReportListener::Report LoadAndWait(Browser* browser, const std::string& url) {
        PageReportListener listener;
        browser->AddObject(&listener);
        browser->Navigate(url);
        EXPECT_TRUE(listener.WaitForReports(1)) << url;
        browser->RemoveObject(&listener);
        EXPECT_EQ(listener.Count(), 1u) << url;
        return listener.Last();
    }

    LocalSiteServer server_{FixturePath("browser")};
};

// A browser whose pages are scripted; the server only answers the reachability test.
class BrowserScriptedTest : public ::testing::Test {
protected:
    std::string Url(const std::string& path) const { return server_.Url(path); }
    std::shared_ptr<HtmlDocument> Page(const std::string& path, const std::string& html) {
        return ParseHtmlDocument(html, Url(path));
    }
    // A page whose two frames are at /a.html and /b.html.
    std::shared_ptr<HtmlDocument> PageWithTwoFrames(const std::string& path) {
        auto top = Page(path,
                        "<title>Top</title><iframe src='a.html'></iframe>"
                        "<iframe src='b.html'></iframe>");
        top->SetFrameDocument(0, Page("/a.html", "<title>A</title>"));
        top->SetFrameDocument(1, Page("/b.html", "<title>B</title>"));
        return top;
    }

    LocalSiteServer server_;
};

}  // namespace

TEST_F(BrowserLoadTest, APageWithTwoFramesIsReportedOnceAfterItsTopDocument) {
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    const std::string url = server_.Url("/two-iframes.html");

    PageReportListener listener;
    browser->AddObject(&listener);
    browser->Navigate(url);
    ASSERT_TRUE(listener.WaitForReports(1));
    const PageReportListener::Report report = listener.Last();
    EXPECT_FALSE(report.failed);
    EXPECT_EQ(report.browser, browser);
    EXPECT_EQ(report.threadId, thread.ThreadId()) << "told on the browser's own thread";
    EXPECT_EQ(report.url, url);
    EXPECT_EQ(report.readyState, "complete") << "not at a frame's completion";
    EXPECT_EQ(report.title, "Two frames");
    EXPECT_EQ(server_.RequestsFor("/frame-a.html").size(), 1u);
    EXPECT_EQ(server_.RequestsFor("/frame-b.html").size(), 1u);
    EXPECT_TRUE(browser->IsDone());
    EXPECT_TRUE(browser->IsReported());
    EXPECT_EQ(browser->GetListenerCount(), 0) << "a report empties the listener list";
    EXPECT_EQ(browser->GetRequestedUrl(), url);
    EXPECT_EQ(listener.Count(), 1u);
}

TEST_F(BrowserLoadTest, ARedirectEndsOnTheAddressReached) {
    server_.SetRedirect("/moved", "/frame-b.html");
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    const PageReportListener::Report report = LoadAndWait(browser, server_.Url("/moved"));
    EXPECT_FALSE(report.failed);
    EXPECT_EQ(report.url, server_.Url("/frame-b.html"));
    EXPECT_EQ(report.title, "Frame B");
    EXPECT_EQ(browser->GetRequestedUrl(), server_.Url("/moved"));
}

TEST_F(BrowserLoadTest, HiddenBrowsersRequestNoImages) {
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    for (const char* page : {"/images.html", "/two-iframes.html"})
        EXPECT_FALSE(LoadAndWait(browser, server_.Url(page)).failed) << page;
    for (const LocalSiteRequest& request : server_.Requests()) {
        const std::string path = ToLowerAscii(request.path);
        EXPECT_EQ(path.find(".jpg"), std::string::npos) << path;
        EXPECT_EQ(path.find(".gif"), std::string::npos) << path;
        EXPECT_EQ(path.find(".png"), std::string::npos) << path;
    }
}

TEST_F(BrowserLoadTest, AStalledFrameIsEndedByTheQuietSpellTimer) {
    ScopedTiming timing(WithGuards(150, 60000));
    server_.SetBody("/slow-frame.html",
                    "<title>Slow</title><iframe src='/frame-a.html'></iframe>"
                    "<iframe src='/stalled.html'></iframe>");
    server_.SetStalled("/stalled.html");
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    const PageReportListener::Report report = LoadAndWait(browser, server_.Url("/slow-frame.html"));
    EXPECT_FALSE(report.failed) << "a page cut short by the quiet spell counts as loaded";
    EXPECT_EQ(report.url, server_.Url("/slow-frame.html"));
    EXPECT_EQ(report.readyState, "interactive") << "the stalled frame never completed";
    EXPECT_EQ(browser->GetTimer(), 0u);
}

TEST_F(BrowserLoadTest, AServerThatNeverSendsThePageIsEndedByTheOverallGuard) {
    ScopedTiming timing(WithGuards(5000, 200));
    server_.SetResponse("/silent.html", HeadThenSilence());
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    const PageReportListener::Report report = LoadAndWait(browser, server_.Url("/silent.html"));
    EXPECT_TRUE(report.failed);
    EXPECT_TRUE(browser->IsFailed());
}

TEST_F(BrowserLoadTest, AStopDuringALoadReportsItOnceAsFailed) {
    server_.SetResponse("/silent.html", HeadThenSilence());
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    PageReportListener listener;
    browser->AddObject(&listener);
    browser->Navigate(server_.Url("/silent.html"));
    ASSERT_TRUE(WaitUntil([&] { return server_.RequestsFor("/silent.html").size() >= 2; }))
        << "the reachability test and the load";
    browser->PostStop();
    ASSERT_TRUE(listener.WaitForReports(1));
    EXPECT_TRUE(listener.Last().failed);

    // The same listener borrows again: it hears the next page and nothing more of the
    // stopped one.
    browser->AddObject(&listener);
    browser->Navigate(server_.Url("/frame-a.html"));
    ASSERT_TRUE(listener.WaitForReports(2));
    browser->RemoveObject(&listener);
    const auto reports = listener.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_FALSE(reports[1].failed);
    EXPECT_EQ(reports[1].url, server_.Url("/frame-a.html"));

    // A stop after the report marks the load failed and tells nobody.
    PageReportListener late;
    browser->AddObject(&late);
    browser->PostStop();
    EXPECT_TRUE(WaitUntil([&] { return browser->IsFailed(); }));
    EXPECT_EQ(late.Count(), 0u);
    browser->RemoveObject(&late);
}

TEST_F(BrowserLoadTest, AFailedTransferIsReportedAtOnceAsFailed) {
    // The server answers the reachability test and then breaks the page off.
    LocalSiteResponse broken;
    broken.body = std::string(4000, 'x');
    broken.dropMidBody = true;
    server_.SetResponse("/broken.html", broken);
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(LoadAndWait(browser, server_.Url("/broken.html")).failed)
        << "reported well before the overall guard";
}

TEST_F(BrowserScriptedTest, AnUnreachableUrlIsReportedFailedWithoutNavigating) {
    std::string dead;
    {
        LocalSiteServer gone;
        dead = gone.Url("/page.html");
    }
    ScriptedLoaders loaders;
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    for (const std::string& url : {dead, std::string("not a url"), std::string()}) {
        SCOPED_TRACE(url);
        PageReportListener listener;
        browser->AddObject(&listener);
        browser->Navigate(url);
        ASSERT_EQ(listener.Count(), 1u) << "told before Navigate returns";
        EXPECT_TRUE(listener.Last().failed);
        EXPECT_EQ(listener.Last().threadId, GetCurrentThreadId()) << "on the caller's thread";
        EXPECT_EQ(browser->GetListenerCount(), 1) << "the listener removes itself";
        browser->RemoveObject(&listener);
    }
    EXPECT_TRUE(loaders.AllNavigatedUrls().empty()) << "the control is never touched";
}

TEST_F(BrowserScriptedTest, ALoadThatFailsIsReportedAsFailed) {
    ScriptedLoaders loaders;
    loaders.SetScript(Url("/x.html"),
                      ScriptedPageLoader::FailureScript(Url("/x.html"), INET_E_CANNOT_CONNECT));
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    PageReportListener listener;
    browser->AddObject(&listener);
    browser->Navigate(Url("/x.html"));
    ASSERT_TRUE(listener.WaitForReports(1));
    EXPECT_TRUE(listener.Last().failed);
}

TEST_F(BrowserScriptedTest, APageWithoutDocumentEventsIsCutOffAndStopped) {
    ScopedTiming timing(WithGuards(5000, 100));
    ScriptedLoaders loaders;
    loaders.SetScript(Url("/x.html"), ScriptedPageLoader::StallScript(Url("/x.html")));
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    PageReportListener listener;
    browser->AddObject(&listener);
    browser->Navigate(Url("/x.html"));
    ASSERT_TRUE(listener.WaitForReports(1));
    EXPECT_TRUE(listener.Last().failed);
    loaders.With(0, [](ScriptedPageLoader& loader) { EXPECT_EQ(loader.StopCount(), 1); });
}

TEST_F(BrowserScriptedTest, TheDownloadControlAnswerFollowsThePoolsFlags) {
    struct Case {
        bool imagesAllowed;
        bool passThrough;
        DWORD flags;
    };
    for (const Case& c : {Case{false, false, 0x40008F80u}, Case{true, false, 0x40008F90u},
                          Case{false, true, DLCTL_DLIMAGES}}) {
        SCOPED_TRACE(c.flags);
        ScriptedLoaders loaders;
        loaders.SetScript(Url("/x.html"),
                          ScriptedPageLoader::PageScript(Page("/x.html", "<title>x</title>")));
        BrowserThread thread(c.imagesAllowed, c.passThrough);
        Browser* browser = thread.Get();
        ASSERT_NE(browser, nullptr);
        PageReportListener listener;
        browser->AddObject(&listener);
        browser->Navigate(Url("/x.html"));
        ASSERT_TRUE(listener.WaitForReports(1));
        loaders.With(0, [&](ScriptedPageLoader& loader) {
            EXPECT_EQ(loader.LastDownloadControl(), c.flags);
        });
    }
}

TEST_F(BrowserScriptedTest, AStoppedLoadsTimerDoesNotEndTheNextLoad) {
    ScopedTiming timing(WithGuards(200, 60000));
    ScriptedLoaders loaders;
    // The first page: its frame completes (the quiet-spell timer starts), then nothing.
    std::vector<Event> first = ScriptedPageLoader::PageScript(PageWithTwoFrames("/first.html"));
    first.resize(5);
    loaders.SetScript(Url("/first.html"), first);
    // The second page completes well after the timer would have fired.
    std::vector<Event> second =
        ScriptedPageLoader::PageScript(Page("/second.html", "<title>2</title>"));
    second.back().delay = 1000ms;
    loaders.SetScript(Url("/second.html"), second);

    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    PageReportListener stopped;
    browser->AddObject(&stopped);
    browser->Navigate(Url("/first.html"));
    ASSERT_TRUE(WaitUntil([&] { return browser->GetTimer() != 0; })) << "the frame completed";
    browser->PostStop();
    ASSERT_TRUE(stopped.WaitForReports(1));
    EXPECT_TRUE(stopped.Last().failed);
    EXPECT_EQ(browser->GetTimer(), 0u) << "the stop kills the timer";

    PageReportListener next;
    browser->AddObject(&next);
    browser->Navigate(Url("/second.html"));
    ASSERT_TRUE(next.WaitForReports(1));
    EXPECT_FALSE(next.Last().failed);
    EXPECT_EQ(next.Last().readyState, "complete") << "ended by its own top document";
    EXPECT_EQ(stopped.Count(), 1u);
}

TEST_F(BrowserScriptedTest, ABorrowerWhoRegistersDuringAReportIsKept) {
    ScriptedLoaders loaders;
    for (const char* path : {"/one.html", "/two.html"}) {
        loaders.SetScript(Url(path), ScriptedPageLoader::PageScript(Page(path, "<p>x</p>")));
    }
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    PageReportListener newcomer;
    // The first borrower's notice is where the next borrower registers (its page job
    // finishes, gives the browser back and the next job takes it at once).
    PageReportListener first([&](Browser* reporting) { reporting->AddObject(&newcomer); });
    browser->AddObject(&first);
    browser->Navigate(Url("/one.html"));
    ASSERT_TRUE(first.WaitForReports(1));
    EXPECT_EQ(newcomer.Count(), 0u) << "it came after this load's report";
    EXPECT_EQ(browser->GetListenerCount(), 1) << "and stays registered";

    browser->Navigate(Url("/two.html"));
    ASSERT_TRUE(newcomer.WaitForReports(1));
    EXPECT_EQ(newcomer.Last().url, Url("/two.html"));
    EXPECT_EQ(first.Count(), 1u);
}

TEST_F(BrowserScriptedTest, EventsAfterAReportAreIgnoredUntilTheNextNavigation) {
    ScopedTiming timing(WithGuards(50, 60000));
    ScriptedLoaders loaders(ScriptedLoaders::Delivery::OnDemand);
    loaders.SetScript(Url("/top.html"),
                      ScriptedPageLoader::PageScript(PageWithTwoFrames("/top.html")));
    loaders.SetScript(Url("/next.html"),
                      ScriptedPageLoader::PageScript(Page("/next.html", "<title>n</title>")));
    const auto deliver = [&] {
        loaders.With(0, [](ScriptedPageLoader& loader) { loader.DeliverNext(); });
    };
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);

    PageReportListener first;
    browser->AddObject(&first);
    browser->Navigate(Url("/top.html"));
    ASSERT_TRUE(WaitUntil([&] { return loaders.AllNavigatedUrls().size() == 1; }));
    for (int i = 0; i < 5; ++i)
        deliver();  // up to the first frame's completion
    ASSERT_TRUE(first.WaitForReports(1)) << "the quiet spell ends the page";
    EXPECT_EQ(first.Last().readyState, "interactive");

    // The next borrower registers; the rest of the old page (another frame, then the top
    // document) comes late, then the borrower's own page.
    PageReportListener next;
    browser->AddObject(&next);
    for (int i = 0; i < 4; ++i)
        deliver();
    browser->Navigate(Url("/next.html"));
    ASSERT_TRUE(WaitUntil([&] {
        deliver();
        return next.Count() >= 1;
    }));
    ASSERT_TRUE(next.WaitForReports(1));
    const auto reports = next.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].url, Url("/next.html"));
    EXPECT_EQ(first.Count(), 1u);
}

TEST_F(BrowserScriptedTest, ABrowserWhoseThreadEndedFailsItsLoadsAtOnce) {
    ScriptedLoaders loaders;
    BrowserThread thread;
    Browser* browser = thread.Get();
    ASSERT_NE(browser, nullptr);
    thread.EndThread();
    PageReportListener listener;
    browser->AddObject(&listener);
    browser->Navigate(Url("/x.html"));
    ASSERT_EQ(listener.Count(), 1u);
    EXPECT_TRUE(listener.Last().failed);
    browser->RemoveObject(&listener);
}
