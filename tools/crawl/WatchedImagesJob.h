// The driver's extraction: a CrawlSiteImagesJob that also counts the pages that were
// read (ended with a page model), so that the driver can tell a site that never answered
// from one that had nothing to find.
//
// Threads: TakeCollectedItems on the finishing page job's thread, under the process lock
// (the page's model is asked for under it, never under the items lock);
// GetLoadedPageCount on any thread.
#pragma once

#include <atomic>

#include "engine/extract/CrawlSiteImagesJob.h"

class WatchedImagesJob : public CrawlSiteImagesJob {
public:
    using CrawlSiteImagesJob::CrawlSiteImagesJob;

    int GetLoadedPageCount() const { return loadedPages_.load(); }

protected:
    ~WatchedImagesJob() override = default;

    void TakeCollectedItems(GetHtmlPageJob* page, PageItems& items) override;

private:
    std::atomic<int> loadedPages_{0};
};
