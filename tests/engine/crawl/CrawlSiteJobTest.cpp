// End-to-end crawls against local web servers: the bundled sample site at each depth,
// hosts and wandering, failed pages, refused start URLs and a user's stop.
#include "engine/crawl/CrawlSiteJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>

#include "engine/browser/BrowserThreadPool.h"
#include "engine/util/StringArrays.h"
#include "platform/file/FileLayer.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestEnvironment.h"

using namespace std::chrono_literals;

namespace {

StringArray Sorted(StringArray list) {
    std::sort(list.begin(), list.end());
    return list;
}

class CrawlSiteJobTest : public CrawlFixture {
protected:
    explicit CrawlSiteJobTest(const TimingRecord& timing = ShortCrawlTiming())
        : CrawlFixture(ImageFinderBandJobLimit, ImageFinderBandBrowserThreads, timing) {}

    OwnedJob<CrawlSiteJob> MakeCrawl(const std::string& startUrl, int depth, bool wander = false) {
        OwnedJob<CrawlSiteJob> crawl(new CrawlSiteJob);
        crawl->SetStartUrl(startUrl);
        crawl->SetMaxDepth(depth);
        crawl->SetLeaveSite(wander);
        return crawl;
    }

    // The site paths a server was asked for, each with its number of requests.
    static std::map<std::string, int> RequestCounts(const LocalSiteServer& server) {
        std::map<std::string, int> counts;
        for (const LocalSiteRequest& request : server.Requests())
            ++counts[request.path];
        return counts;
    }

    // URLs of server as its site paths; other URLs as they stand.
    static StringArray SitePaths(const StringArray& urls, const LocalSiteServer& server) {
        StringArray paths;
        for (const std::string& url : urls) {
            const std::string base = server.BaseUrl();
            paths.push_back(url.starts_with(base) ? url.substr(base.size()) : url);
        }
        return paths;
    }
};

struct SampleDepthCase {
    int depth;
    StringArray pages;
};

// The start page's two frames are waited for, with room for a busy machine.
class SampleSiteCrawlTest : public CrawlSiteJobTest,
                            public ::testing::WithParamInterface<SampleDepthCase> {
protected:
    SampleSiteCrawlTest() : CrawlSiteJobTest(WithRoomForAnswers(ShortCrawlTiming())) {}
};

const StringArray kLevel0{"/index.htm"};
const StringArray kLevel1{"/frames/news.htm", "/frames/menu.htm", "/pages/garden.htm",
                          "/pages/harbour.htm"};
const StringArray kLevel2{"/pages/lighthouse.htm", "/pages/market.htm"};
const StringArray kLevel3{"/pages/old/archive.htm"};

StringArray Levels(std::initializer_list<const StringArray*> levels) {
    StringArray all;
    for (const StringArray* level : levels)
        all.insert(all.end(), level->begin(), level->end());
    return all;
}

TEST_P(SampleSiteCrawlTest, LoadsEveryPageWithinTheDepthOnce) {
    LocalSiteServer server(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site");
    OwnedJob<CrawlSiteJob> crawl = MakeCrawl(server.Url("/index.htm"), GetParam().depth);
    ASSERT_TRUE(RunToEnd(*crawl));

    const StringArray expected = Sorted(GetParam().pages);
    EXPECT_EQ(Sorted(SitePaths(crawl->GetVisitedUrls(), server)), expected);
    EXPECT_EQ(crawl->GetPagesFoundCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(crawl->GetPagesVisitedCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(crawl->GetPagesQueuedCount(), static_cast<int>(expected.size()));

    // Each loaded page is asked for twice (the reachability probe, then the load), and a
    // frame once more with the page that holds it, however often it is linked; the
    // capital-letter link to the market is never fetched, and no picture ever is.
    const StringArray frames{"/frames/news.htm", "/frames/menu.htm"};
    for (const auto& [path, count] : RequestCounts(server)) {
        const bool isFrame = std::find(frames.begin(), frames.end(), path) != frames.end();
        const bool loaded = std::find(expected.begin(), expected.end(), path) != expected.end();
        EXPECT_TRUE(isFrame || loaded) << path << " was fetched";
        EXPECT_EQ(count, (loaded ? 2 : 0) + (isFrame ? 1 : 0)) << path;
    }
    EXPECT_TRUE(WaitForIdleManager());
}

INSTANTIATE_TEST_SUITE_P(
    Depths, SampleSiteCrawlTest,
    ::testing::Values(SampleDepthCase{0, kLevel0}, SampleDepthCase{1, Levels({&kLevel0, &kLevel1})},
                      SampleDepthCase{2, Levels({&kLevel0, &kLevel1, &kLevel2})},
                      SampleDepthCase{3, Levels({&kLevel0, &kLevel1, &kLevel2, &kLevel3})}),
    [](const auto& info) { return "Depth" + std::to_string(info.param.depth); });

// A whole crawl under the product's periods, the shortened ones, and waits that never run
// out during the test (each page job, the crawl and the scheduler then go on only when
// woken by their events). The probes and the frames' quiet spell have room in each.
class CrawlPeriodsTest : public CrawlSiteJobTest,
                         public ::testing::WithParamInterface<NamedTiming> {
protected:
    CrawlPeriodsTest() : CrawlSiteJobTest(WithRoomForAnswers(GetParam().record())) {}
};

TEST_P(CrawlPeriodsTest, ACrawlEndsWhenItsLastPageIsReported) {
    LocalSiteServer server(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site");
    OwnedJob<CrawlSiteJob> crawl = MakeCrawl(server.Url("/index.htm"), 3);
    ASSERT_TRUE(RunToEnd(*crawl, 30s));
    EXPECT_EQ(Sorted(SitePaths(crawl->GetVisitedUrls(), server)),
              Sorted(Levels({&kLevel0, &kLevel1, &kLevel2, &kLevel3})));
    EXPECT_EQ(crawl->GetPagesVisitedCount(), 8);
    EXPECT_TRUE(WaitForIdleManager());
}

INSTANTIATE_TEST_SUITE_P(Periods, CrawlPeriodsTest, ::testing::ValuesIn(kCrawlTimings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CrawlSiteJobTest, OtherHostsAreRefusedUnlessTheCrawlWanders) {
    // The start site is "localhost"; the other site is "127.0.0.1", another host name for
    // the same machine. A link to the start host in capitals is the same site.
    LocalSiteServer other;
    other.SetBody("/away.htm", "<title>away</title>");
    LocalSiteServer start;
    start.SetBody("/start.htm", "<a href='http://LOCALHOST:" + std::to_string(start.Port()) +
                                    "/same.htm'>same</a><a href='" + other.Url("/away.htm") +
                                    "'>away</a>");
    start.SetBody("/same.htm", "<title>same</title>");
    const std::string startUrl = "http://localhost:" + std::to_string(start.Port()) + "/start.htm";

    for (const bool wander : {false, true}) {
        other.ClearRequests();
        start.ClearRequests();
        OwnedJob<CrawlSiteJob> crawl = MakeCrawl(startUrl, 1, wander);
        ASSERT_TRUE(RunToEnd(*crawl));
        EXPECT_EQ(start.RequestsFor("/same.htm").size(), 2u) << "wander " << wander;
        EXPECT_EQ(other.RequestsFor("/away.htm").size(), wander ? 2u : 0u) << "wander " << wander;
        EXPECT_EQ(crawl->GetPagesVisitedCount(), wander ? 3 : 2);
        // A refused URL is not recorded, so it can still be accepted later on a path
        // that allows it.
        EXPECT_EQ(crawl->GetPagesFoundCount(), wander ? 3 : 2);
    }
}

// The same-site rule on two servers of one machine: the site is the host with its port,
// so the same host on another port is another site, and so is another host on the same
// port; the start site's own host in capitals is the same site.
TEST_F(CrawlSiteJobTest, AnotherPortOrAnotherHostIsAnotherSite) {
    LocalSiteServer otherPort;
    otherPort.SetBody("/page.htm", "<title>other port</title>");
    LocalSiteServer start;
    const std::string port = std::to_string(start.Port());
    start.SetBody("/start.htm",
                  "<a href='/same.htm'>same</a>"
                  "<a href='HTTP://127.0.0.1:" +
                      port +
                      "/capitals.htm'>capitals</a>"
                      "<a href='" +
                      otherPort.Url("/page.htm") +
                      "'>other port</a>"
                      "<a href='http://localhost:" +
                      port + "/other-host.htm'>other host</a>");
    for (const char* path : {"/same.htm", "/capitals.htm", "/other-host.htm"})
        start.SetBody(path, "<title>page</title>");

    const struct {
        bool wander;
        size_t otherPortLoads;  // a page is asked for twice: the probe, then the load
        size_t otherHostLoads;
    } cases[] = {{false, 0, 0}, {true, 2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wander ? "wandering" : "staying on the site");
        start.ClearRequests();
        otherPort.ClearRequests();
        OwnedJob<CrawlSiteJob> crawl = MakeCrawl(start.Url("/start.htm"), 1, c.wander);
        ASSERT_TRUE(RunToEnd(*crawl));
        EXPECT_EQ(start.RequestsFor("/same.htm").size(), 2u);
        EXPECT_EQ(start.RequestsFor("/capitals.htm").size(), 2u);
        EXPECT_EQ(otherPort.RequestsFor("/page.htm").size(), c.otherPortLoads);
        EXPECT_EQ(start.RequestsFor("/other-host.htm").size(), c.otherHostLoads);
    }
}

TEST_F(CrawlSiteJobTest, AWebPageNeverLeadsTheCrawlToLocalFiles) {
    const std::string localPage = PathToFileUrl(FixturePath("crawl/frame.htm"));
    LocalSiteServer server;
    server.SetBody("/start.htm", "<a href='" + localPage +
                                     "'>local</a><a href='FILE:///etc/'>x</a>"
                                     "<a href='/next.htm'>next</a>");
    server.SetBody("/next.htm", "next");
    OwnedJob<CrawlSiteJob> crawl = MakeCrawl(server.Url("/start.htm"), 1, true);
    ASSERT_TRUE(RunToEnd(*crawl));
    EXPECT_EQ(crawl->GetVisitedUrls(),
              (StringArray{server.Url("/start.htm"), server.Url("/next.htm")}));

    // A crawl that starts from a local file follows local links.
    OwnedJob<CrawlSiteJob> local =
        MakeCrawl(PathToFileUrl(FixturePath("crawl/items.htm")), 1, true);
    ASSERT_TRUE(RunToEnd(*local));
    EXPECT_TRUE(ArrayContains(local->GetVisitedUrls(), localPage));
}

TEST_F(CrawlSiteJobTest, AFailedPageCountsAsVisitedAndTheCrawlStillCompletes) {
    // The dead page is on the same site: its connection closes halfway through the page.
    LocalSiteServer server;
    LocalSiteResponse dead;
    dead.body = "<a href='/never.htm'>never</a>" + std::string(2000, ' ');
    dead.dropMidBody = true;
    server.SetResponse("/dead.htm", dead);
    server.SetBody("/start.htm", "<a href='/dead.htm'>a</a><a href='/fine.htm'>b</a>");
    server.SetBody("/fine.htm", "<a href='/deeper.htm'>deeper</a>");
    server.SetBody("/deeper.htm", "deeper");

    OwnedJob<CrawlSiteJob> crawl = MakeCrawl(server.Url("/start.htm"), 2);
    ASSERT_TRUE(RunToEnd(*crawl));
    EXPECT_EQ(crawl->GetPagesVisitedCount(), 4);
    EXPECT_EQ(crawl->GetPagesFoundCount(), 4);
    EXPECT_EQ(server.RequestsFor("/deeper.htm").size(), 2u);
}

TEST_F(CrawlSiteJobTest, ARefusedStartUrlCompletesTheCrawlAtOnce) {
    for (const int depth : {0, -1}) {
        OwnedJob<CrawlSiteJob> crawl = MakeCrawl(depth == 0 ? "" : "http://127.0.0.1/a.htm", depth);
        ASSERT_TRUE(RunToEnd(*crawl, 10s)) << "depth " << depth;
        EXPECT_EQ(crawl->GetPagesQueuedCount(), 0);
        EXPECT_EQ(crawl->GetPagesFoundCount(), 0);
    }
}

// A site whose start page links count pages that never come: each response sends its
// head, then nothing. Each stalled response (the probe's and the load's) holds a server
// thread.
class StallingSite {
public:
    explicit StallingSite(int links) : server_("", Options()) {
        std::string body;
        for (int i = 0; i < links; ++i)
            body += "<a href='/slow" + std::to_string(i) + ".htm'>slow</a>";
        server_.SetBody("/start.htm", body);
        LocalSiteResponse slow;
        slow.body = "<title>slow</title>";
        slow.stallAfterHead = true;
        server_.SetDefaultResponse(slow);
    }
    LocalSiteServer& Server() { return server_; }
    // Waits until pages have been asked for (a probe and a load each) after the start.
    bool WaitForLoads(int pages) {
        return WaitUntil(
            [&] { return server_.Requests().size() >= 2u + 2u * static_cast<size_t>(pages); }, 20s);
    }

private:
    static LocalSiteServerOptions Options() {
        LocalSiteServerOptions options;
        options.workerThreads = 4 * ImageFinderBandBrowserThreads;
        return options;
    }
    LocalSiteServer server_;
};

TEST_F(CrawlSiteJobTest, ACancelEndsTheCrawlPromptly) {
    StallingSite site(30);
    OwnedJob<CrawlSiteJob> crawl = MakeCrawl(site.Server().Url("/start.htm"), 1);
    Manager().AddJob(crawl.get());
    ASSERT_TRUE(site.WaitForLoads(ImageFinderBandBrowserThreads));

    // Without the stop that the cancel posts to each browser its pages hold, the loads
    // would last until the 20 s page guard.
    crawl->Cancel();
    ASSERT_TRUE(WaitForJobEnd(*crawl, 10s)) << "the crawl did not end after the cancel";
    // Pages not yet loading never load; the cancelled ones still count as visited.
    EXPECT_EQ(crawl->GetPagesVisitedCount(), 31);
    EXPECT_EQ(site.Server().Requests().size(), 2u + 2 * ImageFinderBandBrowserThreads);
    EXPECT_TRUE(WaitForIdleManager());
}

TEST_F(CrawlSiteJobTest, ACancelStopsNoLoadOfAnotherCrawl) {
    // Four browsers stall on the first crawl's pages; the fifth serves the other crawl,
    // whose start page is still loading when the first crawl is cancelled. Its link is
    // found only when that load is not stopped.
    StallingSite site(ImageFinderBandBrowserThreads - 1);
    LocalSiteServer otherSite;
    otherSite.SetBody("/start.htm", "<a href='/next.htm'>next</a>");
    otherSite.SetBody("/next.htm", "next");
    otherSite.SetDelay("/start.htm", 300ms);

    OwnedJob<CrawlSiteJob> crawl = MakeCrawl(site.Server().Url("/start.htm"), 1);
    Manager().AddJob(crawl.get());
    ASSERT_TRUE(site.WaitForLoads(ImageFinderBandBrowserThreads - 1));
    OwnedJob<CrawlSiteJob> other = MakeCrawl(otherSite.Url("/start.htm"), 1);
    Manager().AddJob(other.get());
    ASSERT_TRUE(WaitUntil([&] { return otherSite.RequestsFor("/start.htm").size() == 2; }, 20s));

    crawl->Cancel();
    ASSERT_TRUE(WaitForJobEnd(*crawl, 10s)) << "the crawl did not end after the cancel";
    ASSERT_TRUE(WaitForJobEnd(*other));
    EXPECT_EQ(other->GetPagesVisitedCount(), 2);
    EXPECT_EQ(otherSite.RequestsFor("/next.htm").size(), 2u);
    EXPECT_TRUE(WaitForIdleManager());
}

}  // namespace
