#include "platform/browser/ScriptedPageLoader.h"

#include <gtest/gtest.h>

#include "platform/browser/HtmlDocument.h"
#include "tests/support/RecordingPageLoadSink.h"
#include "tests/support/Wait.h"

using namespace std::chrono_literals;
using Kind = RecordingPageLoadSink::Kind;

namespace {

const std::string kTop = "http://site.test/index.html";

std::shared_ptr<HtmlDocument> PageWithTwoFrames() {
    auto top = ParseHtmlDocument(
        "<title>Top</title><iframe src='a.html'></iframe><iframe src='b.html'></iframe>", kTop);
    top->SetFrameDocument(0, ParseHtmlDocument("<title>A</title>", "http://site.test/a.html"));
    top->SetFrameDocument(1, ParseHtmlDocument("<title>B</title>", "http://site.test/b.html"));
    return top;
}

std::vector<std::pair<Kind, std::string>> KindsAndUrls(const RecordingPageLoadSink& sink) {
    std::vector<std::pair<Kind, std::string>> out;
    for (const auto& event : sink.Events())
        out.emplace_back(event.kind, event.url);
    return out;
}

}  // namespace

TEST(BrowserScriptedLoaderTest, PageScriptPlaysFramesBeforeTheTopOnDemand) {
    RecordingPageLoadSink sink;
    ScriptedPageLoader loader(sink, ScriptedPageLoader::Delivery::OnDemand);
    loader.SetScript(kTop, ScriptedPageLoader::PageScript(PageWithTwoFrames()));
    const PageLoadId id = loader.Navigate(kTop, 0x40008F80);
    EXPECT_EQ(loader.LastDownloadControl(), 0x40008F80u);
    EXPECT_EQ(sink.Count(), 0u) << "on demand, nothing comes by itself";
    while (loader.DeliverNext()) {
    }
    const std::vector<std::pair<Kind, std::string>> expected = {
        {Kind::BeforeNavigate, kTop},
        {Kind::NavigateComplete, kTop},
        {Kind::BeforeNavigate, "http://site.test/a.html"},
        {Kind::NavigateComplete, "http://site.test/a.html"},
        {Kind::DocumentComplete, "http://site.test/a.html"},
        {Kind::BeforeNavigate, "http://site.test/b.html"},
        {Kind::NavigateComplete, "http://site.test/b.html"},
        {Kind::DocumentComplete, "http://site.test/b.html"},
        {Kind::DocumentComplete, kTop},
    };
    EXPECT_EQ(KindsAndUrls(sink), expected);
    const auto events = sink.Events();
    EXPECT_EQ(events[4].readyState, "interactive");
    EXPECT_EQ(events.back().readyState, "complete");
    EXPECT_EQ(events.back().document->Frames().Item(1)->Document()->Title(), "B");
    EXPECT_TRUE(sink.Ended(id));
    loader.Stop();
    EXPECT_FALSE(loader.DeliverNext()) << "a stop after the end sends nothing";
}

TEST(BrowserScriptedLoaderTest, StopAndSupersedeEndStalledLoads) {
    RecordingPageLoadSink sink;
    ScriptedPageLoader loader(sink, ScriptedPageLoader::Delivery::OnDemand);
    loader.SetScript(kTop, ScriptedPageLoader::StallScript(kTop));
    const PageLoadId stalled = loader.Navigate(kTop, 0);
    EXPECT_TRUE(loader.DeliverNext());
    EXPECT_FALSE(loader.DeliverNext()) << "a stalled load raises nothing more";
    loader.Stop();
    ASSERT_TRUE(loader.DeliverNext());
    EXPECT_EQ(sink.Last(stalled).kind, Kind::LoadFailed);
    EXPECT_EQ(sink.Last(stalled).error, E_ABORT);
    EXPECT_EQ(loader.StopCount(), 1);

    // A new navigate drops what is left of the old script.
    const auto page = ParseHtmlDocument("<title>P</title>", "http://site.test/p.html");
    loader.SetScript("http://site.test/p.html", ScriptedPageLoader::PageScript(page));
    const PageLoadId first = loader.Navigate("http://site.test/p.html", 0);
    EXPECT_TRUE(loader.DeliverNext());
    const PageLoadId second = loader.Navigate("http://site.test/unscripted.html", 0);
    while (loader.DeliverNext()) {
    }
    EXPECT_FALSE(sink.Ended(first));
    EXPECT_EQ(sink.Last(second).kind, Kind::LoadFailed);
    EXPECT_EQ(sink.Last(second).error, INET_E_RESOURCE_NOT_FOUND);
    EXPECT_EQ(loader.NavigatedUrls(),
              (StringArray{kTop, "http://site.test/p.html", "http://site.test/unscripted.html"}));
}

TEST(BrowserScriptedLoaderTest, TimedEventsComeFromTheLoadersThread) {
    RecordingPageLoadSink sink;
    ScriptedPageLoader loader(sink);
    auto events = ScriptedPageLoader::RedirectScript(
        "http://site.test/old", ParseHtmlDocument("<title>New</title>", "http://site.test/new"));
    events[1].delay = 20ms;
    loader.SetScript("http://site.test/old", events);
    const PageLoadId id = loader.Navigate("http://site.test/old", 0);
    ASSERT_TRUE(WaitUntil([&] { return sink.Ended(id); }, 5s)) << "timed script never ended";
    const auto recorded = sink.Events();
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[0].url, "http://site.test/old");
    EXPECT_EQ(recorded[1].url, "http://site.test/new");
    EXPECT_EQ(recorded[2].document->Title(), "New");

    // A stall in timed mode is ended by a stop, from any thread.
    loader.SetScript(kTop, ScriptedPageLoader::StallScript(kTop));
    const PageLoadId stalled = loader.Navigate(kTop, 0);
    ASSERT_TRUE(WaitUntil([&] { return sink.Count() == 4; }, 5s));
    loader.Stop();
    ASSERT_TRUE(WaitUntil([&] { return sink.Ended(stalled); }, 5s));
    EXPECT_EQ(sink.Last(stalled).error, E_ABORT);
}
