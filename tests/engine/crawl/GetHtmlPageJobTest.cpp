// A page job loads its page in a pooled hidden browser and reads it into a page model;
// its getters then give the page's links, images, MP3 links, file links and addresses.
#include "engine/crawl/GetHtmlPageJob.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>

using namespace std::chrono_literals;

#include "engine/browser/BrowserThreadPool.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestEnvironment.h"

namespace {

class GetHtmlPageJobTest : public CrawlFixture {
protected:
    // A page job of the given product, run to its end on path.
    OwnedJob<GetHtmlPageJob> Load(const std::string& path,
                                  const PageJobValues& values = ImageFinderBandPageJobValues) {
        OwnedJob<GetHtmlPageJob> job(new GetHtmlPageJob(values));
        job->SetUrl(Url(path));
        EXPECT_TRUE(RunToEnd(*job));
        return job;
    }

    std::string Url(const std::string& path) const { return server_.Url(path); }

    LocalSiteServer server_{FixturePath("crawl")};
};

TEST_F(GetHtmlPageJobTest, TheUrlNamesTheJob) {
    OwnedJob<GetHtmlPageJob> job(new GetHtmlPageJob);
    job->SetUrl("http://127.0.0.1/a.htm");
    EXPECT_EQ(job->GetName(), "http://127.0.0.1/a.htm");
    EXPECT_EQ(job->GetTypeName(), "GetHtmlPageJob");
}

TEST_F(GetHtmlPageJobTest, PageLinksAreTheFramesThenTheLinksThatAreWebPages) {
    OwnedJob<GetHtmlPageJob> job = Load("/items.htm");
    ASSERT_TRUE(job->HasPageModel());
    StringArray links;
    job->GetPageLinks(links);
    EXPECT_EQ(links, (StringArray{Url("/frame.htm"), Url("/mp3s/"), Url("/next.htm")}));
}

TEST_F(GetHtmlPageJobTest, ImagesPassTheSizeFiltersAndLinkedPicturesCountAsImages) {
    OwnedJob<GetHtmlPageJob> job = Load("/items.htm");
    StringArray images, names;
    job->GetPageImages(images, names, 100, 100, 0);
    EXPECT_EQ(images, (StringArray{Url("/pics/zipper.png"), Url("/pics/big.jpg")}));
    EXPECT_EQ(names.size(), 1u) << "names belong to the page's images only";

    images.clear();
    names.clear();
    job->GetPageImages(images, names, 0, 0, 0);
    EXPECT_EQ(images,
              (StringArray{Url("/pics/small.gif"), Url("/pics/zipper.png"), Url("/pics/big.jpg")}));
}

TEST_F(GetHtmlPageJobTest, Mp3LinksEndInMp3InAnyCaseAndKeepTheirOwnCase) {
    OwnedJob<GetHtmlPageJob> job = Load("/items.htm");
    StringArray links;
    job->GetMp3Links(links);
    // Not the link with a query after ".mp3", nor the folder "mp3s/".
    EXPECT_EQ(links, (StringArray{Url("/music/SONG.MP3"), Url("/old.mp3/new.mp3")}));
}

TEST(Mp3RuleTest, TheLowerCasedLinkEndsInMp3AfterSomething) {
    const struct {
        const char* link;
        bool mp3;
    } cases[] = {
        {"http://h.x/a/song.mp3", true},
        {"http://h.x/SONG.MP3", true},
        {"http://h.x/old.mp3/new.mp3", true},
        {"x.Mp3", true},
        {".mp3", false},  // at position 0
        {"", false},
        {"mp3", false},
        {"http://h.x/song.mp3.html", false},
        {"http://h.x/song.mp3?x=1", false},
        {"http://h.x/mp3s/", false},
        {"http://h.x/song.mp", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsMp3Link(c.link), c.mp3) << "\"" << c.link << "\"";
}

struct FileLinkCase {
    const char* filter;
    StringArray paths;
};

TEST_F(GetHtmlPageJobTest, FileLinksAreTheLinksThenTheImagesHoldingEachFilterWord) {
    OwnedJob<GetHtmlPageJob> job = Load("/items.htm");
    const FileLinkCase cases[] = {
        {"zip", {"/notes.zip", "/pics/zipper.png"}},
        {"zip,jpg", {"/notes.zip", "/pics/zipper.png", "/pics/big.jpg"}},
        // An address that holds two words comes twice.
        {"pics zip",
         {"/pics/big.jpg", "/pics/small.gif", "/pics/zipper.png", "/notes.zip",
          "/pics/zipper.png"}},
        {"ZIP", {}},
        {"@", {}},
        {"", {}},
    };
    for (const FileLinkCase& c : cases) {
        StringArray expected;
        for (const std::string& path : c.paths)
            expected.push_back(Url(path));
        StringArray links;
        job->GetFileLinks(links, c.filter);
        EXPECT_EQ(links, expected) << "filter \"" << c.filter << "\"";
    }
}

TEST_F(GetHtmlPageJobTest, EmailAddressesAreReadOnlyByProductsThatAskForThem) {
    StringArray addresses;
    Load("/items.htm", ImageFinderBandPageJobValues)->GetEmailAddresses(addresses);
    EXPECT_TRUE(addresses.empty());

    Load("/items.htm", FileFinderBandPageJobValues)->GetEmailAddresses(addresses);
    EXPECT_EQ(addresses, (StringArray{"mailto:desk@items.example", "mailto:sales@items.example"}));
}

TEST_F(GetHtmlPageJobTest, AFailedLoadLeavesNoModelAndEveryGetterEmpty) {
    server_.SetStatus("/gone.htm", 404);
    LocalSiteServer closed;
    const std::string deadUrl = closed.Url("/page.htm");
    closed.Stop();

    OwnedJob<GetHtmlPageJob> job(new GetHtmlPageJob(FileFinderBandPageJobValues));
    job->SetUrl(deadUrl);
    ASSERT_TRUE(RunToEnd(*job));
    EXPECT_FALSE(job->HasPageModel());
    StringArray out, names;
    job->GetPageLinks(out);
    job->GetPageImages(out, names, 0, 0, 0);
    job->GetEmailAddresses(out);
    job->GetMp3Links(out);
    job->GetFileLinks(out, "htm");
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(names.empty());
}

TEST_F(GetHtmlPageJobTest, ACancelledJobThatStillRunsLoadsNothing) {
    OwnedJob<GetHtmlPageJob> job(new GetHtmlPageJob);
    job->SetUrl(Url("/items.htm"));
    job->Cancel();
    job->StartThread();
    ASSERT_TRUE(WaitForJobEnd(*job));
    EXPECT_FALSE(job->HasPageModel());
    EXPECT_TRUE(server_.RequestsFor("/items.htm").empty());
}

// One browser, lent in turn: a page job stopped while its page still loads must not
// leave that load's report to the next borrower.
class OneBrowserPageJobTest : public CrawlFixture {
protected:
    OneBrowserPageJobTest() : CrawlFixture(ImageFinderBandJobLimit, 1) {}
    LocalSiteServer server_{FixturePath("crawl")};
};

TEST_F(OneBrowserPageJobTest, AJobStoppedMidLoadLeavesNoReportToTheNextBorrower) {
    // The stopped job's page arrives while the next borrower is still probing its own
    // (slower) page, registered with the browser already.
    server_.SetBody("/early.htm", "<a href='/early-link.htm'>early</a>");
    server_.SetDelay("/early.htm", 300ms);
    server_.SetDelay("/items.htm", 600ms);

    OwnedJob<GetHtmlPageJob> stopped(new GetHtmlPageJob);
    stopped->SetUrl(server_.Url("/early.htm"));
    Manager().AddJob(stopped.get());
    ASSERT_TRUE(WaitUntil([&] { return server_.RequestsFor("/early.htm").size() == 2; }));
    stopped->Stop();
    OwnedJob<GetHtmlPageJob> next(new GetHtmlPageJob);
    next->SetUrl(server_.Url("/items.htm"));
    ASSERT_TRUE(RunToEnd(*next));
    ASSERT_TRUE(WaitForJobEnd(*stopped));

    ASSERT_TRUE(next->HasPageModel()) << "the next borrower's load was ended by another's";
    StringArray links;
    next->GetPageLinks(links);
    EXPECT_EQ(links, (StringArray{server_.Url("/frame.htm"), server_.Url("/mp3s/"),
                                  server_.Url("/next.htm")}));
}

// A page job whose hook fails with something thrown.
class FailingHookPageJob final : public GetHtmlPageJob {
public:
    explicit FailingHookPageJob(void (*fail)()) : fail_(fail) {}

protected:
    ~FailingHookPageJob() override = default;
    void OnPageModelReady() override { fail_(); }

private:
    void (*fail_)();
};

// Whatever the hook throws, the job ends with the page it read, and the one browser is
// lent again to the next page job.
TEST_F(OneBrowserPageJobTest, AHookThatThrowsStillEndsTheJobAndFreesTheBrowser) {
    const struct {
        const char* label;
        void (*fail)();
    } cases[] = {
        {"a standard exception", [] { throw std::runtime_error("hook failed"); }},
        {"an integer", [] { throw 7; }},
        {"a text", [] { throw "hook failed"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        OwnedJob<GetHtmlPageJob> failing(new FailingHookPageJob(c.fail));
        failing->SetUrl(server_.Url("/items.htm"));
        ASSERT_TRUE(RunToEnd(*failing, 20s)) << "the job never ended";
        EXPECT_TRUE(failing->HasPageModel());

        OwnedJob<GetHtmlPageJob> next(new GetHtmlPageJob);
        next->SetUrl(server_.Url("/frame.htm"));
        ASSERT_TRUE(RunToEnd(*next, 20s)) << "the browser was not given back";
        EXPECT_TRUE(next->HasPageModel());
    }
}

// The same page jobs under the product's periods, the shortened ones, and waits that
// never run out during the test: under the last, a job ends only because its page's
// report (or its stop) woke its wait, well before a poll period could have passed.
class PageJobPeriodsTest : public CrawlFixture, public ::testing::WithParamInterface<NamedTiming> {
protected:
    PageJobPeriodsTest()
        : CrawlFixture(ImageFinderBandJobLimit, ImageFinderBandBrowserThreads,
                       GetParam().record()) {}
    LocalSiteServer server_{FixturePath("crawl")};
};

TEST_P(PageJobPeriodsTest, AReportedPageEndsItsJobAtOnce) {
    OwnedJob<GetHtmlPageJob> loaded(new GetHtmlPageJob);
    loaded->SetUrl(server_.Url("/items.htm"));
    ASSERT_TRUE(RunToEnd(*loaded, 30s));
    EXPECT_TRUE(loaded->HasPageModel());

    // Refused by the probe: reported on the job's own thread before its wait begins.
    OwnedJob<GetHtmlPageJob> refused(new GetHtmlPageJob);
    refused->SetUrl("http://127.0.0.1:1/none.htm");
    ASSERT_TRUE(RunToEnd(*refused, 30s));
    EXPECT_FALSE(refused->HasPageModel());
}

TEST_P(PageJobPeriodsTest, AJobStoppedMidLoadEndsOnceItsStoppedLoadIsReported) {
    // The probe gets the head; the load then waits for a body that never comes.
    LocalSiteResponse stalled;
    stalled.body = "<a href='/next.htm'>next</a>";
    stalled.stallAfterHead = true;
    server_.SetResponse("/slow.htm", stalled);
    OwnedJob<GetHtmlPageJob> job(new GetHtmlPageJob);
    job->SetUrl(server_.Url("/slow.htm"));
    Manager().AddJob(job.get());
    ASSERT_TRUE(WaitUntil([&] { return server_.RequestsFor("/slow.htm").size() == 2; }, 30s));
    job->Stop();
    ASSERT_TRUE(WaitForJobEnd(*job, 30s));
    EXPECT_FALSE(job->HasPageModel());
}

INSTANTIATE_TEST_SUITE_P(Periods, PageJobPeriodsTest, ::testing::ValuesIn(kCrawlTimings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GetHtmlPageJobWithoutPoolTest, EndsWithoutAModel) {
    ASSERT_EQ(theBrowserPool, nullptr);
    OwnedJob<GetHtmlPageJob> job(new GetHtmlPageJob);
    job->SetUrl("http://127.0.0.1:1/a.htm");
    job->StartThread();
    ASSERT_TRUE(WaitForJobEnd(*job));
    EXPECT_FALSE(job->HasPageModel());
}

}  // namespace
