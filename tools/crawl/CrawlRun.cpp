#include "tools/crawl/CrawlRun.h"

#include <chrono>
#include <cstdio>
#include <set>

#include "engine/jobs/Job.h"
#include "tools/crawl/DriverEngine.h"
#include "tools/crawl/DriverSettings.h"
#include "tools/crawl/ListingCrawlJob.h"

using namespace std::chrono_literals;

namespace {

void PrintList(const char* label, const StringArray& items) {
    for (const std::string& item : items)
        std::printf("  %s %s\n", label, item.c_str());
}

}  // namespace

int RunCrawlOnly(const DriverOptions& options, const std::string& startUrl) {
    const PanelSettings settings = MakeDriverSettings(options, startUrl);
    std::printf("Crawling %s (depth %d%s, %s product values)\n", startUrl.c_str(), settings.depth,
                settings.wander ? ", wander" : "", options.product->name);
    std::fflush(stdout);

    DriverEngine engine(*options.product);
    OwnedJob<ListingCrawlJob> crawl(
        new ListingCrawlJob(options.product->pageValues, settings.minWidth, settings.minHeight));
    crawl->SetStartUrl(startUrl);
    crawl->SetMaxDepth(settings.depth);
    crawl->SetLeaveSite(settings.wander);

    std::set<std::string> images;
    int pageNumber = 0;
    engine.RunToEnd(*crawl, 50ms, [&] {
        for (const CrawledPage& page : crawl->TakeFinishedPages()) {
            std::printf("page %d %s (depth %d)%s\n", ++pageNumber, page.url.c_str(), page.depth,
                        page.loaded ? "" : " - not loaded");
            PrintList("link", page.links);
            PrintList("image", page.images);
            PrintList("e-mail", page.emailAddresses);
            images.insert(page.images.begin(), page.images.end());
        }
        std::fflush(stdout);
    });

    const int loaded = crawl->GetLoadedPageCount();
    std::printf("%d pages visited, %d pages found, %d loaded, %zu images\n",
                crawl->GetPagesVisitedCount(), crawl->GetPagesFoundCount(), loaded, images.size());
    if (loaded == 0) {
        std::fprintf(stderr, "morvelle-crawl: the start page %s could not be loaded\n",
                     startUrl.c_str());
        return 1;
    }
    return 0;
}
