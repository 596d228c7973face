// The bundled sample site holds what its README promises: served on 127.0.0.1 and read
// page by page with the real page loader and page reader, a crawl by the engine's rules
// (links one level deeper, every URL once in any letter case, no other host) finds the
// pages, images, MP3 links, files and e-mail addresses listed there for each depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/jobs/StringSet.h"
#include "engine/model/PageReading.h"
#include "engine/util/UrlClassification.h"
#include "platform/browser/CurlPageLoader.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RecordingPageLoadSink.h"
#include "tests/support/Wait.h"

namespace {

// The download-control flags of the hidden browsers: no images.
constexpr DWORD kHiddenBrowserFlags = 0x40008F80;

struct CrawlResult {
    StringArray pages;      // site paths of the pages loaded
    StringArray images;     // every image, unfiltered
    StringArray matching;   // images that pass 100 x 100
    StringArray mp3Links;   // links ending in ".mp3"
    StringArray zipLinks;   // links and images holding "zip"
    StringArray addresses;  // e-mail addresses, as read
    StringArray refused;    // offered and not loaded: too deep or another host
    int found = 0;          // distinct URLs accepted, the start page too
};

class SampleSiteCrawl {
public:
    SampleSiteCrawl() : server_(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site") {}

    // Breadth first from /index.htm: the order a crawl offers pages in whenever each page
    // is first offered along its shortest path, which the site's links make sure of.
    CrawlResult Crawl(int depth) {
        CrawlResult result;
        StringSet visited, images, matching;
        const std::string start = server_.Url("/index.htm");
        std::vector<std::pair<std::string, int>> queue{{start, depth}};
        visited.AddUnique(start);
        for (size_t next = 0; next < queue.size(); ++next) {
            const auto [url, remaining] = queue[next];
            result.pages.push_back(SitePath(url));
            std::unique_ptr<htmlPage> page = LoadPage(url);
            if (!page)
                continue;
            StringArray links, pageLinks, names, found;
            page->getLinkUrls(links, true);
            page->getImageUrls(found, names, 0, 0, 0);
            FilterImageUrls(links, found);
            images.AddAll(found);
            found.clear();
            page->getImageUrls(found, names, 100, 100, 0);
            FilterImageUrls(links, found);
            matching.AddAll(found);
            for (const std::string& link : links) {
                const std::string lower = ToLowerAscii(link);
                if (lower.size() > 4 && lower.ends_with(".mp3"))
                    result.mp3Links.push_back(SitePath(link));
                if (link.find("zip") != std::string::npos)
                    result.zipLinks.push_back(SitePath(link));
            }
            page->getEmailAddresses(result.addresses);
            FilterPageUrls(links, pageLinks);
            for (const std::string& link : pageLinks) {
                // A URL is recorded only when it is accepted.
                if (remaining - 1 < 0 || !EqualsNoCase(HostOfUrl(link), HostOfUrl(start))) {
                    result.refused.push_back(SitePath(link));
                    continue;
                }
                if (visited.AddUnique(link))
                    queue.emplace_back(link, remaining - 1);
            }
        }
        result.found = visited.GetCount();
        for (const std::string& image : images.GetItems())
            result.images.push_back(SitePath(image));
        for (const std::string& image : matching.GetItems())
            result.matching.push_back(SitePath(image));
        return result;
    }

private:
    // A URL of the site as its path ("/pages/garden.htm"); any other URL as it stands.
    std::string SitePath(const std::string& url) const {
        const std::string base = server_.BaseUrl();
        return url.starts_with(base) ? url.substr(base.size()) : url;
    }

    std::unique_ptr<htmlPage> LoadPage(const std::string& url) {
        const PageLoadId id = loader_.Navigate(url, kHiddenBrowserFlags);
        if (!WaitUntil([&] { return sink_.Ended(id); }, std::chrono::seconds(20))) {
            ADD_FAILURE() << "the load of " << url << " did not end";
            return nullptr;
        }
        const RecordingPageLoadSink::Event last = sink_.Last(id);
        if (last.kind != RecordingPageLoadSink::Kind::DocumentComplete || !last.document) {
            ADD_FAILURE() << "the load of " << url << " failed";
            return nullptr;
        }
        std::unique_ptr<htmlPage> page = LoadPageModel(last.document, false, true);
        page->releaseDom();
        return page;
    }

    LocalSiteServer server_;
    RecordingPageLoadSink sink_;
    CurlPageLoader loader_{sink_};  // last: stops before the sink and the server go
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

class SampleSiteTest : public ::testing::TestWithParam<DepthCase> {};

TEST_P(SampleSiteTest, ACrawlFindsWhatTheReadmeListsForItsDepth) {
    SampleSiteCrawl crawl;
    const CrawlResult result = crawl.Crawl(GetParam().depth);
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

// The start page alone holds the MP3 link, the ZIP link and both e-mail addresses.
TEST(SampleSiteStartPageTest, HoldsTheMp3TheZipAndTwoAddresses) {
    SampleSiteCrawl crawl;
    const CrawlResult result = crawl.Crawl(0);
    EXPECT_EQ(result.mp3Links, StringArray{"/media/evening-bells.mp3"});
    EXPECT_EQ(result.zipLinks, StringArray{"/media/photos.zip"});
    EXPECT_EQ(result.addresses, (StringArray{"mailto:keeper@sample-site.example",
                                             "mailto:visitors@sample-site.example"}));
}

// Deeper than the site goes, only the other host's pages are refused, and each page
// is loaded once although one is linked in two letter cases.
TEST(SampleSiteStartPageTest, AtDepthThreeOnlyTheOtherHostIsLeftOut) {
    SampleSiteCrawl crawl;
    const CrawlResult result = crawl.Crawl(3);
    StringArray leftOut;  // refused and never loaded
    for (const std::string& url : result.refused) {
        if (std::find(result.pages.begin(), result.pages.end(), url) == result.pages.end())
            leftOut.push_back(url);
    }
    EXPECT_EQ(Sorted(leftOut), (StringArray{"http://elsewhere.example/boats.htm",
                                            "http://elsewhere.example/gallery/index.htm",
                                            "http://elsewhere.example/market.htm"}));
    EXPECT_EQ(std::count(result.pages.begin(), result.pages.end(), "/pages/market.htm"), 1);
}

}  // namespace
