#include "tools/crawl/WatchedImagesJob.h"

#include "engine/crawl/GetHtmlPageJob.h"

void WatchedImagesJob::CollectFromPage(GetHtmlPageJob* page, const StringArray& links) {
    if (page != nullptr && page->HasPageModel())
        ++loadedPages_;
    CrawlSiteImagesJob::CollectFromPage(page, links);
}
