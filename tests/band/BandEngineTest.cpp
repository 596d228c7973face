// A band module's engine across the life of its bands: the last band's end stops it,
// and a band opened after that always gets a job manager and a pool that lends.
#include "band/BandModule.h"

#include <gtest/gtest.h>

#include <chrono>

#include "engine/browser/BrowserThreadPool.h"
#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/jobs/JobManager.h"
#include "engine/workers/MakeThumbnailsJob.h"
#include "platform/timing/Timing.h"
#include "tests/support/JobManagerFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestJobs.h"

namespace {

using namespace std::chrono_literals;

// The engine's timing with a short wait for the jobs at the last band's end.
TimingRecord EngineTiming() {
    TimingRecord timing = ShortJobTiming();
    timing.pageGuardMs = 200;
    timing.pageLinkReadPauseMs = 0;
    timing.pageLoadGuardMs = 300;
    timing.reachabilityProbeTimeoutMs = 2000;
    return timing;
}

BandProduct TestProduct() {
    BandProduct product{};
    product.jobLimit = 5;
    return product;
}

// A page job of the band's engine on that page, run to its end; whether it read a page.
bool LoadsAPage(const std::string& url) {
    OwnedJob<GetHtmlPageJob> page(new GetHtmlPageJob);
    page->SetUrl(url);
    theJobManager->AddJob(page.get());
    EXPECT_TRUE(WaitForJobEnd(*page, 20s));
    return page->HasPageModel();
}

TEST(BandEngineTest, ABandOpenedAfterTheLastOneClosedGetsABrowserPoolThatLends) {
    ScopedTiming timing(EngineTiming());
    ASSERT_EQ(theJobManager, nullptr);
    ASSERT_EQ(theBrowserPool, nullptr);
    LocalSiteServer site;
    site.SetBody("/page.htm", "<a href='/next.htm'>next</a>");
    const BandProduct product = TestProduct();

    StartBandEngine(product);
    ASSERT_NE(theJobManager, nullptr);
    StartBrowserPool(BrowserImagesAllowed, 2);
    ASSERT_TRUE(LoadsAPage(site.Url("/page.htm")));

    // A job that still runs when the last band goes (a download batch runs to its end):
    // the engine stays, its pool closed.
    ProbeRecord record;
    OwnedJob<ProbeJob> busy(new ProbeJob(record, 1, ProbeBody::WaitForGate));
    theJobManager->AddJob(busy.get());
    ASSERT_TRUE(WaitUntil([&] { return record.ran.load() == 1; }, 20s));
    StopBandEngine();
    ASSERT_NE(theJobManager, nullptr);
    ASSERT_NE(theBrowserPool, nullptr);
    EXPECT_TRUE(theBrowserPool->IsClosed());

    // The next band's engine lends browsers again.
    StartBandEngine(product);
    EXPECT_FALSE(theBrowserPool->IsClosed());
    EXPECT_TRUE(LoadsAPage(site.Url("/page.htm"))) << "the later band's page found nothing";

    // Once the job has ended, the last band's end takes the whole engine down.
    record.OpenGate();
    ASSERT_TRUE(WaitForJobEnd(*busy, 20s));
    StopBandEngine();
    EXPECT_EQ(theJobManager, nullptr);
    EXPECT_EQ(theBrowserPool, nullptr);
}

// The image band makes thumbnails; the file and MP3 bands, built on the same code,
// switch them off as their engine starts.
TEST(BandEngineTest, TheEngineMakesThumbnailsOnlyForAProductThatDoes) {
    ScopedTiming timing(EngineTiming());
    for (const bool makes : {false, true, false}) {
        BandProduct product = TestProduct();
        product.makesThumbnails = makes;
        StartBandEngine(product);
        EXPECT_EQ(AreThumbnailsMade(), makes);
        StopBandEngine();
    }
    SetThumbnailsMade(true);
}

}  // namespace
