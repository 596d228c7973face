#include "tools/crawl/ListingCrawlJob.h"

#include <utility>

#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/jobs/JobNames.h"
#include "engine/jobs/MutexLock.h"

ListingCrawlJob::ListingCrawlJob(const PageJobValues& pageValues, int minWidth, int minHeight)
    : CrawlSiteJob(pageValues), minWidth_(minWidth), minHeight_(minHeight) {}

ListingCrawlJob::~ListingCrawlJob() = default;

std::vector<CrawledPage> ListingCrawlJob::TakeFinishedPages() {
    MutexLock lock;
    return std::exchange(finished_, {});
}

int ListingCrawlJob::GetLoadedPageCount() const {
    MutexLock lock;
    return loadedPages_;
}

void ListingCrawlJob::OnChildFinished(Job* child) {
    if (child != nullptr && child->IsOfType(GetHtmlPageJobName)) {
        const auto* page = static_cast<const GetHtmlPageJob*>(child);
        CrawledPage record;
        record.url = page->GetUrl();
        record.depth = page->GetTag();
        record.loaded = page->HasPageModel();
        page->GetPageLinks(record.links);
        StringArray names;
        page->GetPageImages(record.images, names, minWidth_, minHeight_, 0);
        page->GetEmailAddresses(record.emailAddresses);
        MutexLock lock;
        if (record.loaded)
            ++loadedPages_;
        finished_.push_back(std::move(record));
    }
    CrawlSiteJob::OnChildFinished(child);
}
