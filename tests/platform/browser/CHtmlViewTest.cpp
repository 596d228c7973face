#include "platform/browser/CHtmlView.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <mutex>

#include "platform/browser/HtmlDocument.h"
#include "platform/thread/Thread.h"
#include "platform/thread/WinThread.h"
#include "platform/window/Window.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/ScriptedLoaders.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/Wait.h"

using namespace std::chrono_literals;

namespace {

// Sent to a RecordingView: it notes its current document's address and ready state.
constexpr UINT WM_READ_DOCUMENT = WM_USER + 7;
// Sent to a RecordingView: answered 1 at once.
constexpr UINT WM_ARE_YOU_THERE = WM_USER + 9;

// A view that records every handler call with the thread and the document of the moment.
class RecordingView : public CHtmlView {
public:
    struct Call {
        std::string what;  // "before", "navigated", "document", "error"
        std::string url;
        std::string readyState;  // of GetHtmlDocument then; "" when null
        DWORD thread = 0;
        HRESULT error = S_OK;
    };

    // Runs on the view's thread after each recorded call.
    std::function<void(RecordingView&, const Call&)> onCall;
    // The download-control answer; -1: none (the control's default).
    std::atomic<LONG> downloadControlAnswer{-1};
    std::atomic<int> ambientQuestions{0};

    std::vector<Call> Calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    std::size_t Count() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_.size();
    }
    bool WaitFor(const std::string& what, const std::string& url) const {
        return WaitUntil([&] {
            for (const Call& call : Calls()) {
                if (call.what == what && call.url == url)
                    return true;
            }
            return false;
        });
    }
    // The document as WM_READ_DOCUMENT last found it: address and ready state, "" each
    // when there was none.
    std::pair<std::string, std::string> ReadDocument() {
        SendMessage(GetSafeHwnd(), WM_READ_DOCUMENT, 0, 0);
        std::lock_guard<std::mutex> lock(mutex_);
        return documentRead_;
    }

protected:
    void OnBeforeNavigate2(const std::string& url, DWORD, const std::string&, const std::string&,
                           const std::string&, BOOL*) override {
        Record("before", url);
    }
    void OnNavigateComplete2(const std::string& url) override { Record("navigated", url); }
    void OnDocumentComplete(const std::string& url) override { Record("document", url); }
    void OnNavigateError(const std::string& url, HRESULT error) override {
        Record("error", url, error);
    }
    BOOL OnAmbientProperty(DISPID dispid, VARIANT* result) override {
        if (dispid == DISPID_AMBIENT_DLCONTROL)
            ++ambientQuestions;
        const LONG answer = downloadControlAnswer.load();
        if (dispid == DISPID_AMBIENT_DLCONTROL && answer >= 0) {
            *result = VariantFromInteger(answer);
            return TRUE;
        }
        return CHtmlView::OnAmbientProperty(dispid, result);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ARE_YOU_THERE)
            return 1;
        if (message == WM_READ_DOCUMENT) {
            const auto document = GetHtmlDocument();
            std::lock_guard<std::mutex> lock(mutex_);
            documentRead_ = document ? std::make_pair(document->Url(), document->ReadyState())
                                     : std::make_pair(std::string(), std::string());
            return 0;
        }
        return CHtmlView::WindowProc(message, wParam, lParam);
    }

private:
    void Record(const std::string& what, const std::string& url, HRESULT error = S_OK) {
        Call call{what, url, "", GetCurrentThreadId(), error};
        if (const auto document = GetHtmlDocument())
            call.readyState = document->ReadyState();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back(call);
        }
        if (onCall)
            onCall(*this, call);
    }

    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    std::pair<std::string, std::string> documentRead_;
};

// A UI thread that creates one RecordingView and destroys its window at its end.
class ViewThread : public WinThread {
public:
    ~ViewThread() override {
        PostQuit();
        Join();
    }
    // Starts the thread; false when the view could not be created.
    bool Start() {
        std::future<bool> created = created_.get_future();
        return CreateThread() && created.get();
    }
    void End() {
        PostQuit();
        Join();
    }
    bool InitInstance() override {
        const bool created = view.Create(nullptr, 0) != FALSE;
        created_.set_value(created);
        return created;
    }
    int ExitInstance() override {
        view.DestroyWindow();
        return WinThread::ExitInstance();
    }

    RecordingView view;

private:
    std::promise<bool> created_;
};

std::vector<std::string> WhatAndUrl(const std::vector<RecordingView::Call>& calls) {
    std::vector<std::string> out;
    for (const auto& call : calls)
        out.push_back(call.what + " " + call.url);
    return out;
}

const std::string kTop = "http://site.test/index.html";
const std::string kFrameA = "http://site.test/a.html";
const std::string kFrameB = "http://site.test/b.html";

std::shared_ptr<HtmlDocument> PageWithTwoFrames() {
    auto top = ParseHtmlDocument(
        "<title>Top</title><iframe src='a.html'></iframe><iframe src='b.html'></iframe>", kTop);
    top->SetFrameDocument(0, ParseHtmlDocument("<title>A</title>", kFrameA));
    top->SetFrameDocument(1, ParseHtmlDocument("<title>B</title>", kFrameB));
    return top;
}

}  // namespace

TEST(HtmlViewBrowserTest, EventsReachTheHandlersOnTheViewThreadInTheLoadersOrder) {
    ScriptedLoaders loaders;
    loaders.SetScript(kTop, ScriptedPageLoader::PageScript(PageWithTwoFrames()));
    ViewThread thread;
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(thread.view.Navigate2(kTop)) << "posted from the test's thread";
    ASSERT_TRUE(thread.view.WaitFor("document", kTop));

    const std::vector<std::string> expected = {
        "before " + kTop,       "navigated " + kTop,   "before " + kFrameA,
        "navigated " + kFrameA, "document " + kFrameA, "before " + kFrameB,
        "navigated " + kFrameB, "document " + kFrameB, "document " + kTop,
    };
    const auto calls = thread.view.Calls();
    EXPECT_EQ(WhatAndUrl(calls), expected);
    for (const auto& call : calls)
        EXPECT_EQ(call.thread, thread.GetThreadId()) << call.what << " " << call.url;
    EXPECT_EQ(calls[4].readyState, "interactive") << "a frame completes before the top";
    EXPECT_EQ(calls.back().readyState, "complete");
    EXPECT_EQ(thread.view.ReadDocument(), std::make_pair(kTop, std::string("complete")))
        << "the document stays after the load";
}

TEST(HtmlViewBrowserTest, RealPageWithFramesCompletesFramesFirst) {
    LocalSiteServer server(FixturePath("browser"));
    ViewThread thread;
    ASSERT_TRUE(thread.Start());
    const std::string top = server.Url("/two-iframes.html");
    ASSERT_TRUE(thread.view.Navigate2(top));
    ASSERT_TRUE(thread.view.WaitFor("document", top));
    const std::vector<std::string> expected = {
        "before " + top,
        "navigated " + top,
        "before " + server.Url("/frame-a.html"),
        "navigated " + server.Url("/frame-a.html"),
        "document " + server.Url("/frame-a.html"),
        "before " + server.Url("/frame-b.html"),
        "navigated " + server.Url("/frame-b.html"),
        "document " + server.Url("/frame-b.html"),
        "document " + top,
    };
    EXPECT_EQ(WhatAndUrl(thread.view.Calls()), expected);
}

TEST(HtmlViewBrowserTest, RequestsFromAnotherThreadAreServedInTheOrderMade) {
    ScriptedLoaders loaders;
    loaders.SetScript(kTop, ScriptedPageLoader::StallScript(kTop));
    loaders.SetScript(kFrameA, ScriptedPageLoader::StallScript(kFrameA));
    ViewThread thread;
    ASSERT_TRUE(thread.Start());
    // The stop reaches the loader after the navigation that came before it, so it ends
    // that load; served the other way round it would find nothing to stop.
    ASSERT_TRUE(thread.view.Navigate2(kTop));
    ASSERT_TRUE(thread.view.Stop());
    ASSERT_TRUE(thread.view.WaitFor("error", kTop));
    EXPECT_EQ(thread.view.Calls().back().error, E_ABORT);

    ASSERT_TRUE(thread.view.Navigate2(kFrameA));
    ASSERT_TRUE(thread.view.Navigate2(kFrameB));
    ASSERT_TRUE(thread.view.WaitFor("before", kFrameB));
    loaders.With(0, [&](ScriptedPageLoader& loader) {
        EXPECT_EQ(loader.NavigatedUrls(), (StringArray{kTop, kFrameA, kFrameB}));
        EXPECT_EQ(loader.StopCount(), 1);
    });
}

TEST(HtmlViewBrowserTest, EventsOfASupersededLoadNeverReachTheHandlers) {
    ScriptedLoaders loaders(ScriptedLoaders::Delivery::OnDemand);
    loaders.SetScript(kTop, ScriptedPageLoader::PageScript(ParseHtmlDocument("top", kTop)));
    loaders.SetScript(kFrameA, ScriptedPageLoader::PageScript(ParseHtmlDocument("a", kFrameA)));
    ViewThread thread;
    // When the top page's response begins, its document-complete is queued for the view
    // and at once a new navigation starts on the view's thread: the queued event belongs
    // to a superseded load and must be dropped.
    thread.view.onCall = [&](RecordingView& view, const RecordingView::Call& call) {
        if (call.what == "navigated" && call.url == kTop) {
            loaders.With(0, [](ScriptedPageLoader& loader) { loader.DeliverNext(); });
            view.Navigate2(kFrameA);
        }
    };
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(thread.view.Navigate2(kTop));
    const auto deliver = [&] {
        loaders.With(0, [](ScriptedPageLoader& loader) { loader.DeliverNext(); });
    };
    ASSERT_TRUE(WaitUntil([&] {
        deliver();
        return thread.view.Count() >= 5;
    })) << "the second page completes";
    const std::vector<std::string> expected = {
        "before " + kTop,       "navigated " + kTop,   "before " + kFrameA,
        "navigated " + kFrameA, "document " + kFrameA,
    };
    EXPECT_EQ(WhatAndUrl(thread.view.Calls()), expected);
}

TEST(HtmlViewBrowserTest, EachLoadAsksTheDownloadControlPropertyFirst) {
    struct Case {
        LONG answer;
        DWORD flags;
    };
    for (const Case& c :
         {Case{-1, DLCTL_DLIMAGES}, Case{0x40008F80, 0x40008F80u}, Case{0x40008F90, 0x40008F90u}}) {
        SCOPED_TRACE(c.answer);
        ScriptedLoaders loaders;
        loaders.SetScript(kTop, ScriptedPageLoader::PageScript(ParseHtmlDocument("x", kTop)));
        ViewThread thread;
        thread.view.downloadControlAnswer = c.answer;
        ASSERT_TRUE(thread.Start());
        for (int load = 1; load <= 2; ++load) {
            ASSERT_TRUE(thread.view.Navigate2(kTop));
            ASSERT_TRUE(WaitUntil([&] {
                const auto calls = thread.view.Calls();
                return std::count_if(calls.begin(), calls.end(), [](const auto& call) {
                           return call.what == "document";
                       }) == load;
            }));
        }
        EXPECT_EQ(thread.view.ambientQuestions.load(), 2);
        loaders.With(0, [&](ScriptedPageLoader& loader) {
            EXPECT_EQ(loader.LastDownloadControl(), c.flags);
        });
    }
}

TEST(HtmlViewBrowserTest, TheDocumentIsKeptAfterTheLoadUntilTheNextNavigation) {
    ScriptedLoaders loaders;
    loaders.SetScript(kTop, ScriptedPageLoader::PageScript(ParseHtmlDocument("x", kTop)));
    loaders.SetScript(kFrameA, ScriptedPageLoader::StallScript(kFrameA));
    ViewThread thread;
    ASSERT_TRUE(thread.Start());
    EXPECT_EQ(thread.view.ReadDocument(), std::make_pair(std::string(), std::string()))
        << "no document before the first load";
    ASSERT_TRUE(thread.view.Navigate2(kTop));
    ASSERT_TRUE(thread.view.WaitFor("document", kTop));
    EXPECT_EQ(thread.view.ReadDocument(), std::make_pair(kTop, std::string("complete")));
    ASSERT_TRUE(thread.view.Navigate2(kFrameA));
    ASSERT_TRUE(thread.view.WaitFor("before", kFrameA));
    EXPECT_EQ(thread.view.ReadDocument(), std::make_pair(std::string(), std::string()))
        << "a new navigation lets go of the old page";
}

TEST(HtmlViewBrowserTest, SendsAndStopsAreServedWhileAPageIsFetched) {
    LocalSiteServer server;
    LocalSiteResponse silent;
    silent.body = "<title>never</title>";
    silent.stallAfterHead = true;
    server.SetResponse("/silent.html", silent);
    ViewThread thread;
    ASSERT_TRUE(thread.Start());
    const std::string url = server.Url("/silent.html");
    ASSERT_TRUE(thread.view.Navigate2(url));
    ASSERT_TRUE(thread.view.WaitFor("before", url));
    ASSERT_TRUE(WaitUntil([&] { return !server.RequestsFor("/silent.html").empty(); }));

    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeout(thread.view.GetSafeHwnd(), WM_ARE_YOU_THERE, 0, 0, SMTO_NORMAL,
                                 5000, &answer),
              0);
    EXPECT_EQ(answer, 1u);
    ASSERT_TRUE(thread.view.Stop());
    ASSERT_TRUE(thread.view.WaitFor("error", url)) << "the stop aborts the transfer";
    EXPECT_EQ(thread.view.Calls().back().error, E_ABORT);
}

TEST(HtmlViewBrowserTest, ALoadThatCannotConnectEndsInANavigateError) {
    std::string url;
    {
        LocalSiteServer gone;
        url = gone.Url("/page.html");
    }
    ViewThread thread;
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(thread.view.Navigate2(url));
    ASSERT_TRUE(thread.view.WaitFor("error", url));
    EXPECT_EQ(thread.view.Calls().back().error, INET_E_CANNOT_CONNECT);
}

TEST(HtmlViewBrowserTest, RequestsFailOnceTheViewsThreadHasEnded) {
    ScriptedLoaders loaders;
    ViewThread thread;
    EXPECT_FALSE(thread.view.Navigate2(kTop)) << "not created yet";
    ASSERT_TRUE(thread.Start());
    EXPECT_EQ(loaders.Count(), 1u);
    thread.End();
    EXPECT_EQ(loaders.Count(), 0u) << "the loader went with the window";
    EXPECT_FALSE(thread.view.Navigate2(kTop));
    EXPECT_FALSE(thread.view.Stop());
}

TEST(HtmlViewBrowserTest, AViewWithoutALoaderIsNotCreated) {
    ScopedPageLoaderFactory none([](PageLoadSink&) { return std::unique_ptr<PageLoader>(); });
    ViewThread thread;
    EXPECT_FALSE(thread.Start());
    EXPECT_EQ(thread.view.GetSafeHwnd(), nullptr);
}
