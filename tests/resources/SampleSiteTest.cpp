// The bundled sample site holds what its README promises: served on 127.0.0.1 and
// crawled by the engine's own crawl (page jobs on hidden browsers, links one level
// deeper, every URL once in any letter case, no other host), whose pages give the
// pages, images, MP3 links, files and e-mail addresses listed there for each depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/crawl/CrawlSiteJob.h"
#include "engine/jobs/StringSet.h"
#include "engine/util/StringArrays.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/LocalSiteServer.h"

namespace {

struct CrawlResult {
    StringArray pages;      // site paths of the pages loaded
    StringArray images;     // every image, unfiltered
    StringArray matching;   // images that pass 100 x 100
    StringArray mp3Links;   // links ending in ".mp3"
    StringArray zipLinks;   // links and images holding "zip"
    StringArray addresses;  // e-mail addresses, as read
    StringArray offered;    // every page link of every page loaded
    int found = 0;          // distinct URLs accepted, the start page too
};

// The engine's crawl, reading what each finished page holds before the crawl's own
// step offers its links.
class RecordingCrawl final : public CrawlSiteJob {
public:
    // A product's page jobs that read e-mail addresses too.
    RecordingCrawl() : CrawlSiteJob(FileFinderBandPageJobValues) {}

    CrawlResult Result() const {
        std::lock_guard<std::mutex> guard(mutex_);
        CrawlResult result = result_;
        result.images = images_.GetItems();
        result.matching = matching_.GetItems();
        return result;
    }

protected:
    ~RecordingCrawl() override = default;

    void OnChildFinished(Job* child) override {
        if (child != nullptr && child->IsOfType("GetHtmlPageJob")) {
            const auto* page = static_cast<const GetHtmlPageJob*>(child);
            StringArray images, matching, names, mp3Links, zipLinks, addresses, links;
            page->GetPageImages(images, names, 0, 0, 0);
            page->GetPageImages(matching, names, 100, 100, 0);
            page->GetMp3Links(mp3Links);
            page->GetFileLinks(zipLinks, "zip");
            page->GetEmailAddresses(addresses);
            page->GetPageLinks(links);
            std::lock_guard<std::mutex> guard(mutex_);
            images_.AddAll(images);
            matching_.AddAll(matching);
            const std::pair<const StringArray*, StringArray*> lists[] = {
                {&mp3Links, &result_.mp3Links},
                {&zipLinks, &result_.zipLinks},
                {&addresses, &result_.addresses},
                {&links, &result_.offered}};
            for (const auto& [from, into] : lists)
                into->insert(into->end(), from->begin(), from->end());
        }
        CrawlSiteJob::OnChildFinished(child);
    }

private:
    mutable std::mutex mutex_;
    CrawlResult result_;
    StringSet images_, matching_;
};

class SampleSiteCrawl : public CrawlFixture {
protected:
    SampleSiteCrawl()
        : CrawlFixture(ImageFinderBandJobLimit, ImageFinderBandBrowserThreads,
                       WithProductFrameWait(ShortCrawlTiming())),
          server_(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site") {}

    // The crawl from /index.htm to depth, to its end; site URLs as site paths.
    CrawlResult Crawl(int depth) {
        OwnedJob<RecordingCrawl> crawl(new RecordingCrawl);
        crawl->SetStartUrl(server_.Url("/index.htm"));
        crawl->SetMaxDepth(depth);
        EXPECT_TRUE(RunToEnd(*crawl));
        EXPECT_TRUE(WaitForIdleManager());
        CrawlResult result = crawl->Result();
        result.pages = crawl->GetVisitedUrls();
        result.found = crawl->GetPagesFoundCount();
        for (StringArray* list : {&result.pages, &result.images, &result.matching, &result.mp3Links,
                                  &result.zipLinks, &result.offered}) {
            for (std::string& url : *list)
                url = SitePath(url);
        }
        return result;
    }

private:
    // A URL of the site as its path ("/pages/garden.htm"); any other URL as it stands.
    std::string SitePath(const std::string& url) const {
        const std::string base = server_.BaseUrl();
        return url.starts_with(base) ? url.substr(base.size()) : url;
    }

    LocalSiteServer server_;
};

StringArray Sorted(StringArray list) {
    std::sort(list.begin(), list.end());
    return list;
}

struct DepthCase {
    int depth;
    int found;
    StringArray pages;
    StringArray images;
    StringArray matching;
};

void PrintTo(const DepthCase& depth, std::ostream* out) {
    *out << "depth " << depth.depth;
}

const StringArray kDepth0Pages{"/index.htm"};
const StringArray kDepth1Pages{"/frames/news.htm", "/frames/menu.htm", "/pages/garden.htm",
                               "/pages/harbour.htm"};
const StringArray kDepth2Pages{"/pages/lighthouse.htm", "/pages/market.htm"};
const StringArray kDepth3Pages{"/pages/old/archive.htm"};

StringArray Joined(std::initializer_list<const StringArray*> lists) {
    StringArray all;
    for (const StringArray* list : lists)
        all.insert(all.end(), list->begin(), list->end());
    return all;
}

class SampleSiteTest : public SampleSiteCrawl, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(SampleSiteTest, ACrawlFindsWhatTheReadmeListsForItsDepth) {
    const CrawlResult result = Crawl(GetParam().depth);
    EXPECT_EQ(Sorted(result.pages), Sorted(GetParam().pages));
    EXPECT_EQ(Sorted(result.images), Sorted(GetParam().images));
    EXPECT_EQ(Sorted(result.matching), Sorted(GetParam().matching));
    EXPECT_EQ(result.found, GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, SampleSiteTest,
    ::testing::Values(
        DepthCase{0,
                  1,
                  kDepth0Pages,
                  {"/pictures/banner.png", "/pictures/logo.gif", "/pictures/harbour-large.jpg"},
                  {"/pictures/harbour-large.jpg"}},
        DepthCase{
            1,
            5,
            Joined({&kDepth0Pages, &kDepth1Pages}),
            {"/pictures/banner.png", "/pictures/logo.gif", "/pictures/harbour-large.jpg",
             "/pictures/news-icon.gif", "/pictures/rose.jpg", "/pictures/tulip.png",
             "/pictures/harbour-small.jpg"},
            {"/pictures/harbour-large.jpg", "/pictures/rose.jpg", "/pictures/harbour-small.jpg"}},
        DepthCase{2,
                  7,
                  Joined({&kDepth0Pages, &kDepth1Pages, &kDepth2Pages}),
                  {"/pictures/banner.png", "/pictures/logo.gif", "/pictures/harbour-large.jpg",
                   "/pictures/news-icon.gif", "/pictures/rose.jpg", "/pictures/tulip.png",
                   "/pictures/harbour-small.jpg", "/pictures/lighthouse.jpg", "/pictures/stall.gif",
                   "/pictures/apples.jpg"},
                  {"/pictures/harbour-large.jpg", "/pictures/rose.jpg",
                   "/pictures/harbour-small.jpg", "/pictures/apples.jpg"}},
        DepthCase{3,
                  8,
                  Joined({&kDepth0Pages, &kDepth1Pages, &kDepth2Pages, &kDepth3Pages}),
                  {"/pictures/banner.png", "/pictures/logo.gif", "/pictures/harbour-large.jpg",
                   "/pictures/news-icon.gif", "/pictures/rose.jpg", "/pictures/tulip.png",
                   "/pictures/harbour-small.jpg", "/pictures/lighthouse.jpg", "/pictures/stall.gif",
                   "/pictures/apples.jpg", "/pictures/map.png"},
                  {"/pictures/harbour-large.jpg", "/pictures/rose.jpg",
                   "/pictures/harbour-small.jpg", "/pictures/apples.jpg", "/pictures/map.png"}}),
    [](const auto& info) { return "Depth" + std::to_string(info.param.depth); });

class SampleSiteStartPageTest : public SampleSiteCrawl {};

// The start page alone holds the MP3 link, the ZIP link and both e-mail addresses.
TEST_F(SampleSiteStartPageTest, HoldsTheMp3TheZipAndTwoAddresses) {
    const CrawlResult result = Crawl(0);
    EXPECT_EQ(result.mp3Links, StringArray{"/media/evening-bells.mp3"});
    EXPECT_EQ(result.zipLinks, StringArray{"/media/photos.zip"});
    EXPECT_EQ(result.addresses, (StringArray{"mailto:keeper@sample-site.example",
                                             "mailto:visitors@sample-site.example"}));
}

// Deeper than the site goes, only the other host's pages are refused, and each page
// is loaded once although one is linked in two letter cases.
TEST_F(SampleSiteStartPageTest, AtDepthThreeOnlyTheOtherHostIsLeftOut) {
    const CrawlResult result = Crawl(3);
    StringSet leftOut;  // offered and never loaded, once in any letter case
    for (const std::string& url : result.offered) {
        if (std::none_of(result.pages.begin(), result.pages.end(),
                         [&](const std::string& page) { return EqualsNoCase(page, url); }))
            leftOut.AddUnique(url);
    }
    EXPECT_EQ(Sorted(leftOut.GetItems()), (StringArray{"http://elsewhere.example/boats.htm",
                                                       "http://elsewhere.example/gallery/index.htm",
                                                       "http://elsewhere.example/market.htm"}));
    EXPECT_EQ(std::count(result.pages.begin(), result.pages.end(), "/pages/market.htm"), 1);
}

}  // namespace
