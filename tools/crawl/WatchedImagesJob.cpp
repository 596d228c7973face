#include "tools/crawl/WatchedImagesJob.h"

#include "engine/crawl/GetHtmlPageJob.h"

void WatchedImagesJob::CollectItems(GetHtmlPageJob* page, PageItems& items) {
    if (page != nullptr && page->HasPageModel())
        ++loadedPages_;
    CrawlSiteImagesJob::CollectItems(page, items);
}
