#include "engine/crawl/CrawlSiteJob.h"

#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/jobs/JobManager.h"
#include "engine/jobs/JobNames.h"
#include "engine/jobs/MutexLock.h"
#include "engine/util/StringUtilities.h"
#include "engine/util/UrlClassification.h"
#include "platform/trace/Trace.h"

CrawlSiteJob::CrawlSiteJob(const PageJobValues& pageValues) : pageValues_(pageValues) {
    SetTypeName(CrawlSiteJobName);
}

CrawlSiteJob::~CrawlSiteJob() = default;

bool CrawlSiteJob::IsReachableFromStart(std::string_view url) const {
    const auto isFileUrl = [](std::string_view text) {
        return EqualsNoCase(TrimString(text).substr(0, 5), "file:");
    };
    return !isFileUrl(url) || isFileUrl(startUrl_);
}

bool CrawlSiteJob::AddPage(const std::string& url, int depth) {
    if (depth < 0 || url.empty() || !IsReachableFromStart(url))
        return false;
    if (!leaveSite_ && !EqualsNoCase(HostOfUrl(startUrl_), HostOfUrl(url)))
        return false;
    {
        MutexLock lock;
        if (!visited_.AddUnique(url))
            return false;
    }
    AddChild(MakePageJob(url, depth));
    return true;
}

void CrawlSiteJob::AddPages(const StringArray& urls, int depth) {
    for (const std::string& url : urls)
        AddPage(url, depth);
}

GetHtmlPageJob* CrawlSiteJob::MakePageJob(const std::string& url, int depth) const {
    auto* page = new GetHtmlPageJob(pageValues_);
    page->SetTag(depth);
    page->SetUrl(url);
    return page;
}

void CrawlSiteJob::AddChild(Job* job) {
    if (job == nullptr)
        return;
    MutexLock lock;
    ++pagesQueued_;
    job->AddListener(this);
    children_.Add(job);
    if (theJobManager == nullptr) {
        Trace("jobs", "%s: no job manager to queue a child", GetTypeName().c_str());
        return;
    }
    theJobManager->AddJob(job);
}

void CrawlSiteJob::UpdateProgress() {
    MutexLock lock;
    const int queued = pagesQueued_.load();
    if (queued <= 0)
        return;
    // More pages or a later stage's children raise the count of children added, which
    // would bring the percent down again: what a person is shown never goes backwards.
    const int percent = (queued - children_.GetCount()) * 100 / queued;
    if (percent > GetProgress())
        SetProgress(percent);
}

void CrawlSiteJob::Cancel() {
    Job::Cancel();
    children_.CancelAll();
}

bool CrawlSiteJob::OnlyWaitsForChildren() const {
    return true;
}

int CrawlSiteJob::GetPagesFoundCount() const {
    MutexLock lock;
    return visited_.GetCount();
}

StringArray CrawlSiteJob::GetVisitedUrls() const {
    MutexLock lock;
    return visited_.GetItems();
}

int CrawlSiteJob::GetChildCount() const {
    return children_.GetCount();
}

void CrawlSiteJob::Run() {
    AddPage(startUrl_, maxDepth_);
    {
        MutexLock lock;
        if (childrenProcessed_ >= children_.GetCount())
            MarkComplete();
    }
    WaitUntilDone();
}

void CrawlSiteJob::OnChildFinished(Job* child) {
    StringArray links;
    const bool isPage = child != nullptr && child->IsOfType(GetHtmlPageJobName);
    if (isPage)
        static_cast<GetHtmlPageJob*>(child)->GetPageLinks(links);
    MutexLock lock;
    if (child != nullptr)
        ++childrenProcessed_;
    if (isPage) {
        ++pagesVisited_;
        AddPages(links, child->GetTag() - 1);
    }
    UpdateProgress();
    // A child counts as finished once its own step has run here: its state says
    // finished a moment before it tells its listeners, and a crawl that completed on
    // the state alone would lose that page's links.
    if (childrenProcessed_ >= children_.GetCount())
        MarkComplete();
}
