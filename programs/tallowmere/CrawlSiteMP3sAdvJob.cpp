#include "programs/tallowmere/CrawlSiteMP3sAdvJob.h"

#include <exception>
#include <memory>
#include <utility>

#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/extract/StorageLayout.h"
#include "engine/jobs/JobNames.h"
#include "engine/jobs/MutexLock.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/UrlClassification.h"
#include "platform/trace/Trace.h"
#include "platform/window/Window.h"

namespace {

constexpr std::string_view CrawlSiteMP3sAdvJobName = "CrawlSiteMP3sAdvJob";

bool ProbeFoundLink(const std::string& url) {
    try {
        return UrlExists(url);
    } catch (const std::exception& error) {
        Trace("jobs", "probe of %s: %s", url.c_str(), error.what());
        return false;
    }
}

}  // namespace

CrawlSiteMP3sAdvJob::CrawlSiteMP3sAdvJob() : CrawlSiteImagesJob(SiteMp3FinderPageJobValues) {
    SetTypeName(CrawlSiteMP3sAdvJobName);
}

CrawlSiteMP3sAdvJob::~CrawlSiteMP3sAdvJob() = default;

void CrawlSiteMP3sAdvJob::MakeViewPages(const PanelSettings& settings,
                                        const std::string& siteName) {
    TakeSettings(settings);
    LayOutView(siteName);
}

std::string CrawlSiteMP3sAdvJob::GetAllImagesPage() const {
    return GetAllMp3sPage();
}

void CrawlSiteMP3sAdvJob::Run() {
    RunCrawl();
}

std::string_view CrawlSiteMP3sAdvJob::StageAfterCrawl() const {
    return MakeHtmlPageJobName;
}

void CrawlSiteMP3sAdvJob::ReadItems(GetHtmlPageJob* page, PageItems& items) const {
    page->GetMp3Links(items.matching);
    std::erase_if(items.matching,
                  [this](const std::string& url) { return !IsReachableFromStart(url); });
}

void CrawlSiteMP3sAdvJob::CollectItems(GetHtmlPageJob*, PageItems& items) {
    // Link by link, so that no link is reported once the found ones reach the limit.
    const StringArray& links = items.matching;
    for (size_t i = 0; i < links.size() && i < items.localBases.size(); ++i) {
        if (ImageLimitReached())
            break;
        const std::string& link = links[i];
        if (!link.empty() && GetSeenItems().AddUnique(std::string_view(link)))
            items.collected.push_back(link);
        AddImageUrl(link, items.localBases[i]);
    }
}

void CrawlSiteMP3sAdvJob::TakeCollectedItems(GetHtmlPageJob* page, PageItems& items) {
    for (std::string& link : items.collected)
        linksToProbe_.push_back(std::move(link));
    if (!linksToProbe_.empty() && prober_ == nullptr)
        prober_ = page;
}

bool CrawlSiteMP3sAdvJob::ReadyToComplete() const {
    MutexLock lock;
    return linksToProbe_.empty() && prober_ == nullptr;
}

void CrawlSiteMP3sAdvJob::OnChildFinished(Job* child) {
    CrawlSiteImagesJob::OnChildFinished(child);
    {
        MutexLock lock;
        if (child == nullptr || prober_ != child)
            return;
    }
    ProbeAndPostFoundLinks();
}

void CrawlSiteMP3sAdvJob::ProbeAndPostFoundLinks() {
    for (;;) {
        std::string url;
        {
            MutexLock lock;
            if (linksToProbe_.empty() || IsStopped()) {
                linksToProbe_.clear();
                prober_ = nullptr;
                // The crawl may have ended while the links were probed.
                if (GetStage() == MakeHtmlPageJobName && GetChildCount() == 0)
                    MarkComplete();
                return;
            }
            url = std::move(linksToProbe_.front());
            linksToProbe_.pop_front();
        }
        PostFoundLink(url, ProbeFoundLink(url));
    }
}

void CrawlSiteMP3sAdvJob::PostFoundLink(const std::string& url, bool reachable) {
    for (HWND window : GetListeners().GetWindows())
        PostOwnedMessage(window, WM_MP3_FOUND, std::make_unique<std::string>(url),
                         reachable ? 1 : 0);
}
