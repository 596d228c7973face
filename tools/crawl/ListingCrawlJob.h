// The driver's plain crawl: a CrawlSiteJob that keeps, for every page job that ends,
// what was read from the page (its links, images and, where the product reads them,
// e-mail addresses), for the driver to print as the crawl goes.
//
// Threads: OnChildFinished on each finishing page job's thread; TakeFinishedPages on the
// driver's main thread. The records are guarded by the process lock.
#pragma once

#include <string>
#include <vector>

#include "engine/crawl/CrawlSiteJob.h"
#include "platform/text/Text.h"

struct CrawledPage {
    std::string url;
    int depth = 0;        // the page's remaining link depth
    bool loaded = false;  // whether a page model was built (false: the load failed)
    StringArray links;    // the followable page links
    StringArray images;   // the images passing the size filters, then linked pictures
    StringArray emailAddresses;
};

class ListingCrawlJob : public CrawlSiteJob {
public:
    // The sizes an image must have to be listed.
    ListingCrawlJob(const PageJobValues& pageValues, int minWidth, int minHeight);

    // The pages that ended since the last call, in the order they ended.
    std::vector<CrawledPage> TakeFinishedPages();
    // Pages that ended with a page model.
    int GetLoadedPageCount() const;

protected:
    ~ListingCrawlJob() override;

    // Reads the page before the crawl offers its links, so that the record is there
    // before the crawl can complete.
    void OnChildFinished(Job* child) override;

private:
    const int minWidth_;
    const int minHeight_;
    std::vector<CrawledPage> finished_;  // guarded by the process lock
    int loadedPages_ = 0;                // guarded by the process lock
};
