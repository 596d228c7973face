#include "programs/ambrevin/PageCrawl.h"

#include <gtest/gtest.h>

#include "tests/programs/ambrevin/CrawlHost.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestImages.h"

namespace {

using Strings = std::vector<std::string>;

// A small site of pages and real pictures (.bmp of the size their name gives).
class PageCrawlTest : public testing::Test {
protected:
    PageCrawlTest() {
        site.SetBody("/pic100.bmp", TestBitmapBytes(100, 100, 24), "image/bmp");
        site.SetBody("/pic120.bmp", TestBitmapBytes(120, 80, 24), "image/bmp");
        site.SetBody("/tiny.bmp", TestBitmapBytes(1, 1, 24), "image/bmp");
    }
    std::string Url(const std::string& path) const { return site.Url(path); }

    LocalSiteServer site;
};

TEST_F(PageCrawlTest, APageWithoutLinksListsItsPicturesAndFinishesWithTheControlsEnabled) {
    site.SetBody("/plain.html",
                 "<img src='pic120.bmp'><img src='missing.bmp'><img src='pic120.bmp'>"
                 "<p>no links</p>");
    CrawlHost host;
    ASSERT_TRUE(host.Show(Url("/plain.html")));
    EXPECT_EQ(host.addresses, Strings{Url("/plain.html")});  // idle: the address box only
    host.addresses.clear();
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage);

    host.crawl.StartExtract();
    ASSERT_TRUE(host.WaitForIdle());

    EXPECT_EQ(host.crawl.Found(), Strings{Url("/pic120.bmp")});  // the 404 has no size
    EXPECT_EQ(host.rows, Strings{Url("/pic120.bmp")});
    EXPECT_EQ(host.enables, (std::vector<bool>{false, true}));
    EXPECT_EQ(host.title, "Ambrevin - imgs=1, visited=0, pages=0");
    EXPECT_EQ(host.pageBuilds, 1);
    EXPECT_EQ(host.crawl.StartUrl(), Url("/plain.html"));
    EXPECT_EQ(host.crawl.StartHost(), "127.0.0.1");
    EXPECT_EQ(host.addresses, Strings{Url("/plain.html")});
}

TEST_F(PageCrawlTest, StayOnThisSiteQueuesOnlyTheStartHostNotItsWwwVariant) {
    const std::string port = std::to_string(site.Port());
    site.SetBody("/start.html", "<a href='http://www.127.0.0.1:" + port +
                                    "/away.html'>www</a><a href='http://other.invalid/x.html'>"
                                    "o</a><a href='/same.html'>same</a>");
    site.SetBody("/same.html", "<img src='pic120.bmp'>");
    CrawlHost host;
    host.stayOnSite = true;
    ASSERT_TRUE(host.Show(Url("/start.html")));
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage);

    host.crawl.StartExtract();
    ASSERT_TRUE(host.WaitForIdle());
    EXPECT_EQ(host.crawl.PageQueue(), Strings{Url("/same.html")});
    EXPECT_EQ(host.crawl.Visited(), Strings{Url("/same.html")});
    EXPECT_EQ(host.crawl.Found(), Strings{Url("/pic120.bmp")});

    // Unticked, the other hosts are queued too (and skipped as unreachable).
    boxes.Expect(kFinishedMessage);
    host.stayOnSite = false;
    ASSERT_TRUE(host.Show(Url("/start.html")));
    host.crawl.StartExtract();
    ASSERT_TRUE(host.WaitForIdle());
    EXPECT_EQ(host.crawl.PageQueue().size(), 3u);
}

TEST_F(PageCrawlTest, LinksAndPicturesAreKeptOnceIgnoringCase) {
    site.SetBody("/start.html",
                 "<a href='/next.html'>a</a><a href='/NEXT.html'>b</a><img src='pic120.bmp'>");
    site.SetBody("/next.html",
                 "<a href='/next.html'>again</a><a href='/start.html'>back</a>"
                 "<img src='pic120.bmp'><a href='/PIC120.BMP'>picture</a>");
    site.SetBody("/NEXT.html", "<p>never asked</p>");
    CrawlHost host;
    ASSERT_TRUE(host.Show(Url("/start.html")));
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage);

    host.crawl.StartExtract();
    ASSERT_TRUE(host.WaitForIdle());
    // The start page itself is queued like any other page when a page links back to it.
    EXPECT_EQ(host.crawl.PageQueue(), (Strings{Url("/next.html"), Url("/start.html")}));
    EXPECT_EQ(host.crawl.Visited(), host.crawl.PageQueue());
    EXPECT_EQ(host.crawl.Found(), Strings{Url("/pic120.bmp")});
    EXPECT_TRUE(site.RequestsFor("/NEXT.html").empty());
}

TEST_F(PageCrawlTest, MinimumSizesAreStrictlyExceededAndPictureLinksAlwaysCount) {
    site.SetBody("/sizes.html", "<img src='pic100.bmp'><a href='tiny.bmp'>tiny</a>");
    struct Case {
        int minimumWidth, minimumHeight;
        Strings found;
    };
    const Case cases[] = {
        {100, 50, {Url("/tiny.bmp")}},
        {99, 99, {Url("/pic100.bmp"), Url("/tiny.bmp")}},
        {0, 0, {Url("/pic100.bmp"), Url("/tiny.bmp")}},
    };
    for (const Case& c : cases) {
        CrawlHost host;
        host.minimumWidth = c.minimumWidth;
        host.minimumHeight = c.minimumHeight;
        ASSERT_TRUE(host.Show(Url("/sizes.html")));
        ExpectedMessageBoxes boxes;
        boxes.Expect(kFinishedMessage);
        host.crawl.StartExtract();
        ASSERT_TRUE(host.WaitForIdle());
        EXPECT_EQ(host.crawl.Found(), c.found) << c.minimumWidth << "/" << c.minimumHeight;
        EXPECT_TRUE(host.crawl.PageQueue().empty());  // a picture is no page
    }
}

TEST_F(PageCrawlTest, ASecondExtractKeepsTheFoundPicturesAndStartsAFreshQueue) {
    site.SetBody("/one.html", "<img src='pic120.bmp'><a href='/one-b.html'>b</a>");
    site.SetBody("/one-b.html", "<p>b</p>");
    site.SetBody("/two.html", "<img src='pic100.bmp'>");
    CrawlHost host;
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage).Expect(kFinishedMessage);
    ASSERT_TRUE(host.Show(Url("/one.html")));
    host.crawl.StartExtract();
    ASSERT_TRUE(host.WaitForIdle());
    EXPECT_EQ(host.crawl.Visited(), Strings{Url("/one-b.html")});

    ASSERT_TRUE(host.Show(Url("/two.html")));
    host.crawl.StartExtract();
    ASSERT_TRUE(host.WaitForIdle());
    EXPECT_EQ(host.crawl.Found(), (Strings{Url("/pic120.bmp"), Url("/pic100.bmp")}));
    EXPECT_TRUE(host.crawl.PageQueue().empty());
    EXPECT_TRUE(host.crawl.Visited().empty());
}

TEST_F(PageCrawlTest, FollowModeScansOnlyThePagesThePersonOpens) {
    site.SetBody("/a.html", "<img src='pic120.bmp'><a href='/b.html'>next</a>");
    site.SetBody("/b.html", "<img src='pic100.bmp'><a href='/c.html'>next</a>");
    site.SetBody("/c.html", "<p>c</p>");
    CrawlHost host;
    ASSERT_TRUE(host.Show(Url("/a.html")));
    ExpectedMessageBoxes boxes;
    boxes.Expect(
        "This extraction feature has 2 modes:\n\n"
        "1) Manual - as you browse each page will be searched for email addresses.\n"
        "2) Automatic - you give the initial click (ie - on a 'Next' link) the engine will "
        "keep following the same ('Next') links.\n\n"
        "*** Mode 2 is currently not implemented.");

    host.crawl.StartFollowMode();
    EXPECT_EQ(host.title, "Ambrevin (follow) - imgs=0, visited=0, pages=0");
    EXPECT_EQ(host.crawl.PageQueue(), Strings{Url("/b.html")});
    EXPECT_EQ(host.crawl.Found(), Strings{Url("/pic120.bmp")});
    EXPECT_TRUE(host.enables.empty());
    EXPECT_TRUE(host.timers.empty());

    ASSERT_EQ(host.BrowseControl().View().ClickLink(Url("/b.html")), S_OK);
    ASSERT_TRUE(CrawlHost::ServeUntil([&] { return host.crawl.Found().size() == 2; }));
    EXPECT_EQ(host.title, "Ambrevin (follow) - imgs=2, visited=0, pages=2");
    EXPECT_EQ(host.crawl.PageQueue(), (Strings{Url("/b.html"), Url("/c.html")}));
    // Nothing is visited automatically.
    CrawlHost::ServeUntil([] { return true; });
    EXPECT_EQ(host.BrowseControl().GetLocationURL(), Url("/b.html"));
    EXPECT_TRUE(site.RequestsFor("/c.html").empty());
    EXPECT_TRUE(host.crawl.Visited().empty());
}

TEST_F(PageCrawlTest, AFramesetPageIsScannedOnceAndItsFramesAreVisitedAsPages) {
    site.SetBody("/start.html", "<a href='/frames.html'>frames</a>");
    site.SetBody("/frames.html",
                 "<frameset cols='50%,50%'><frame src='/left.html'><frame src='/right.html'>"
                 "</frameset>");
    site.SetBody("/left.html", "<img src='pic120.bmp'>");
    site.SetBody("/right.html", "<img src='pic100.bmp'>");
    CrawlHost host;
    ASSERT_TRUE(host.Show(Url("/start.html")));
    host.addresses.clear();
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage);

    host.crawl.StartExtract();
    ASSERT_TRUE(host.WaitForIdle());
    // One step a page: the frames' own completions do not scan the frameset again.
    EXPECT_EQ(host.addresses, (Strings{Url("/start.html"), Url("/frames.html"), Url("/left.html"),
                                       Url("/right.html")}));
    EXPECT_EQ(host.crawl.Visited(),
              (Strings{Url("/frames.html"), Url("/left.html"), Url("/right.html")}));
    EXPECT_EQ(host.crawl.Found(), (Strings{Url("/pic120.bmp"), Url("/pic100.bmp")}));
}

TEST_F(PageCrawlTest, APageThatNeverCompletesIsStoppedAfterThePageTimeoutAndTheCrawlGoesOn) {
    // Long enough for the last page to load on a busy machine: the one time-out serves
    // both the stalled page and the page after it.
    TimingRecord timing;
    timing.finderPageTimeoutSecondMs = 500;
    ScopedTiming shortened(timing);
    site.SetBody("/start.html", "<a href='/stall.html'>s</a><a href='/last.html'>l</a>");
    site.SetResponse("/stall.html",
                     LocalSiteResponse{200, "<p>half", "text/html", {}, false, true, false, false});
    site.SetBody("/last.html", "<img src='pic120.bmp'>");
    CrawlHost host;
    host.pageTimeout = 2;
    ASSERT_TRUE(host.Show(Url("/start.html")));
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage);

    host.crawl.StartExtract();
    ASSERT_TRUE(host.WaitForIdle());
    EXPECT_EQ(host.crawl.Visited(), (Strings{Url("/stall.html"), Url("/last.html")}));
    EXPECT_EQ(host.crawl.Found(), Strings{Url("/pic120.bmp")});
    EXPECT_EQ(host.enables.back(), true);
}

TEST_F(PageCrawlTest, ExtractWithoutAShownPageEndsAtOnceWithTheControlsEnabled) {
    CrawlHost host;
    ExpectedMessageBoxes boxes;
    boxes.Expect(kFinishedMessage);
    host.crawl.StartExtract();
    EXPECT_FALSE(host.crawl.Running());
    EXPECT_EQ(host.enables, (std::vector<bool>{false, true}));
}

TEST(PageCrawlTitle, ShowsTheModeAndTheCounts) {
    EXPECT_EQ(CrawlTitle(true, true, 3, 2, 1), "Ambrevin (running) - imgs=3, visited=2, pages=1");
    EXPECT_EQ(CrawlTitle(false, true, 0, 0, 0), "Ambrevin (follow) - imgs=0, visited=0, pages=0");
    EXPECT_EQ(CrawlTitle(false, false, 7, 0, 9), "Ambrevin - imgs=7, visited=0, pages=9");
}

}  // namespace
