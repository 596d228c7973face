#include "tools/crawl/WatchedImagesJob.h"

#include "engine/crawl/GetHtmlPageJob.h"

void WatchedImagesJob::TakeCollectedItems(GetHtmlPageJob* page, PageItems& items) {
    if (page != nullptr && page->HasPageModel())
        ++loadedPages_;
    CrawlSiteImagesJob::TakeCollectedItems(page, items);
}
