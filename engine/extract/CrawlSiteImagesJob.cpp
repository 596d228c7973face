#include "engine/extract/CrawlSiteImagesJob.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <unordered_map>
#include <vector>

#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/extract/StorageLayout.h"
#include "engine/folder/FolderNode.h"
#include "engine/jobs/JobManager.h"
#include "engine/jobs/JobNames.h"
#include "engine/jobs/MutexLock.h"
#include "engine/pages/MakeHtmlPageJob.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/StringArrays.h"
#include "engine/util/StringUtilities.h"
#include "engine/util/UrlClassification.h"
#include "engine/workers/DeleteDirectoryContentsJob.h"
#include "engine/workers/DownloadImagesJob.h"
#include "engine/workers/LocalFileNames.h"
#include "engine/workers/MakeThumbnailsJob.h"
#include "platform/file/FileLayer.h"

namespace {

// Page jobs kept in the children list after each refill from the pending links.
constexpr int MaxPageJobsInList = 15;

// The file name of a path without its extension, for matching thumbnails to pictures.
std::string BaseOfPath(std::string_view path) {
    return TruncateAtLast(FileNameOfPath(path), '.');
}

// Creates folder and every missing folder above it, one level at a time: the storage
// folder may lie where nothing has been made yet.
void CreateFolderPath(const std::string& folder) {
    for (size_t at = folder.find_first_of("\\/", 1); at != std::string::npos;
         at = folder.find_first_of("\\/", at + 1))
        CreateDirectory(folder.substr(0, at));
    CreateDirectory(folder);
}

}  // namespace

std::string StorageElementName(std::string_view name) {
    const std::string trimmed = TrimString(ReplaceAll(name, ":", ""));
    if (trimmed.empty())
        return trimmed;
    const std::string safe = SafeFileName(trimmed);
    return safe.empty() ? std::string("_") : safe;
}

std::string ViewFolderOf(std::string_view storageFolder, std::string_view siteUrl,
                         std::string_view viewName) {
    std::string view = StorageElementName(viewName);
    if (view.empty())
        view = DefaultViewName;
    return JoinPath(JoinPath(storageFolder, StorageElementName(HostOfUrl(siteUrl))), view);
}

CrawlSiteImagesJob::CrawlSiteImagesJob(const PageJobValues& pageValues) : CrawlSiteJob(pageValues) {
    SetTypeName(CrawlSiteImagesJobName);
    stage_.Set(GetHtmlPageJobName);
}

CrawlSiteImagesJob::~CrawlSiteImagesJob() = default;

void CrawlSiteImagesJob::MakeViewPages(const PanelSettings& settings, const std::string& siteName) {
    TakeSettings(settings);
    LayOutView(siteName);

    CreateFolderPath(settings_.folder);
    for (const std::string* folder :
         {&siteFolder_, &viewFolder_, &thumbsFolder_, &imagesFolder_, &tempFolder_})
        CreateDirectory(*folder);

    MutexLock lock;
    pendingLinks_.clear();
    if (!settings_.siteList.empty()) {
        // Offered at the start depth, so that a crawl of depth 0 still loads them.
        StringArray extra;
        SplitText(settings_.siteList, extra, 3);
        for (std::string& link : extra)
            pendingLinks_.emplace_back(std::move(link), settings_.depth);
        SetLeaveSite(true);
    }
}

void CrawlSiteImagesJob::TakeSettings(const PanelSettings& settings) {
    downloadedCount_ = 0;
    settings_ = settings;
    SetStartUrl(settings_.siteUrl);
    SetName(settings_.siteUrl);
    SetMaxDepth(settings_.depth);
    SetLeaveSite(settings_.wander);
}

void CrawlSiteImagesJob::LayOutView(const std::string& siteName) {
    if (siteFolder_.empty()) {
        std::string name = siteName.empty() ? HostOfUrl(GetStartUrl()) : siteName;
        if (!settings_.siteFolderName.empty())
            name = settings_.siteFolderName;
        siteFolder_ = JoinPath(settings_.folder, StorageElementName(name));
    }

    std::string viewName = StorageElementName(settings_.viewName);
    if (viewName.empty())
        viewName = DefaultViewName;
    settings_.viewName = viewName;
    viewFolder_ = JoinPath(siteFolder_, viewName);
    thumbsFolder_ = JoinPath(viewFolder_, ThumbsFolderName);
    imagesFolder_ = JoinPath(viewFolder_, ImagesFolderName);
    tempFolder_ = JoinPath(viewFolder_, TempFolderName);

    allMp3sPage_ = JoinPath(viewFolder_, AllMp3sPageName);
    allFilesPage_ = JoinPath(viewFolder_, AllFilesPageName);
    allImagesPage_ = JoinPath(viewFolder_, AllImagesPageName);
    allThumbsPage_ = JoinPath(viewFolder_, AllThumbsPageName);
    slideShowPage_ = JoinPath(viewFolder_, SlideShowPageName);
    urlsPage_ = JoinPath(viewFolder_, UrlsPageName);
    zoomPage_ = JoinPath(viewFolder_, ZoomPageName);
}

std::string CrawlSiteImagesJob::GetSiteUrl() const {
    return settings_.siteUrl;
}

std::string CrawlSiteImagesJob::GetAllImagesPage() const {
    return allImagesPage_;
}

void CrawlSiteImagesJob::AddImageUrls(const StringArray& urls) {
    const StringArray bases = LocalBaseNamesOf(urls);
    std::lock_guard<std::mutex> items(itemsMutex_);
    AddImageUrls(urls, bases);
}

StringArray CrawlSiteImagesJob::LocalBaseNamesOf(const StringArray& urls) {
    StringArray bases;
    bases.reserve(urls.size());
    for (const std::string& url : urls)
        bases.push_back(LocalBaseName(url));
    return bases;
}

void CrawlSiteImagesJob::AddImageUrls(const StringArray& urls, const StringArray& bases) {
    for (size_t i = 0; i < urls.size() && i < bases.size(); ++i) {
        if (ImageLimitReached())
            break;
        AddImageUrl(urls[i], bases[i]);
    }
}

bool CrawlSiteImagesJob::AddImageUrl(const std::string& url, const std::string& base) {
    if (url.empty() || url.find("res://") != std::string::npos ||
        !matchingImages_.AddUnique(std::string_view(url)))
        return false;
    // The names of the sequence base, base-2, base-3... before the one remembered for
    // this base (ignoring case) are all taken, and names are never given back: the
    // search goes on from there, so a page whose pictures all share one name costs a try
    // or two per picture, not one per picture before it.
    int& next = nextNameSuffix_[base];  // 0: base itself
    std::string candidate = next == 0 ? base : base + "-" + std::to_string(next);
    while (!localNames_.AddUnique(std::move(candidate))) {
        next = next == 0 ? 2 : next + 1;
        candidate = base + "-" + std::to_string(next);
    }
    next = next == 0 ? 2 : next + 1;
    matchingCount_ = matchingImages_.GetCount();
    return true;
}

bool CrawlSiteImagesJob::ImageLimitReached() const {
    return settings_.maxImages > 0 && matchingCount_.load() >= settings_.maxImages;
}

void CrawlSiteImagesJob::DeleteCachedFiles(const std::string& folder) {
    if (folder.empty())
        return;
    FolderNode node;
    node.SetPath(folder);
    StringArray files;
    node.FindFilePaths(files, CachedFileExtensions, false);
    for (const std::string& file : files)
        DeleteFile(file);
}

int CrawlSiteImagesJob::BatchSize(int n) {
    if (n < 100)
        return 10;
    return std::min(n / 10, 50);
}

std::string CrawlSiteImagesJob::GetStage() const {
    MutexLock lock;
    return stage_.GetText();
}

StringArray CrawlSiteImagesJob::GetMatchingImages() const {
    std::lock_guard<std::mutex> items(itemsMutex_);
    return matchingImages_.GetItems();
}

std::shared_ptr<const StringArray> CrawlSiteImagesJob::ShareMatchingImages() {
    std::lock_guard<std::mutex> items(itemsMutex_);
    return matchingImages_.ShareItems();
}

StringArray CrawlSiteImagesJob::GetLocalNames() const {
    std::lock_guard<std::mutex> items(itemsMutex_);
    return localNames_.GetItems();
}

StringArray CrawlSiteImagesJob::GetDownloadedFiles() const {
    MutexLock lock;
    return *downloadedFiles_;
}

StringArray CrawlSiteImagesJob::GetThumbnails() const {
    MutexLock lock;
    return *thumbnails_;
}

void CrawlSiteImagesJob::Run() {
    RunCrawl();
}

void CrawlSiteImagesJob::CleanCache() const {
    if (settings_.removeCache) {
        DeleteCachedFiles(thumbsFolder_);
        DeleteCachedFiles(tempFolder_);
    }
    if (GetStartUrl().find("file://") == std::string::npos)
        DeleteCachedFiles(imagesFolder_);
}

void CrawlSiteImagesJob::StopEarly() {
    {
        MutexLock lock;
        if (stage_.Equals(GetHtmlPageJobName))
            settings_.fast = true;
    }
    Cancel();
}

void CrawlSiteImagesJob::RunCrawl() {
    AddPage(GetStartUrl(), GetMaxDepth());
    // A refused start URL starts the extra start URLs at once; with no page at all the
    // later stages run on nothing, so that the view is still written.
    bool noPage = false;
    {
        MutexLock lock;
        if (GetChildCount() == 0)
            RefillFromPendingLinks();
        noPage = GetChildCount() == 0;
    }
    if (noPage)
        OnChildFinished(nullptr);
    WaitUntilDone();
}

bool CrawlSiteImagesJob::AllChildrenFinished() {
    // Each child leaves the list at the end of its own step, so a child still listed
    // (other than the one whose step this is) has not been handled yet, even when its
    // state already says finished: it tells its listeners just after setting that.
    const int count = GetChildCount();
    return count == 0 || (count == 1 && current_ != nullptr && GetChildren().Contains(current_));
}

void CrawlSiteImagesJob::RefillFromPendingLinks() {
    MutexLock lock;
    int count = GetChildCount();
    while (count < MaxPageJobsInList && !pendingLinks_.empty() && !IsCancelled()) {
        auto [link, depth] = std::move(pendingLinks_.front());
        pendingLinks_.pop_front();
        if (AddPage(link, depth))
            ++count;
    }
}

void CrawlSiteImagesJob::CrawlStage(GetHtmlPageJob* page, const StringArray& links,
                                    PageItems& items) {
    stage_.Clear();
    SetPhase(0);
    if (page != nullptr && !IsCancelled()) {
        CountPageVisited();
        if (items.limitReached) {
            Job::Cancel();
        } else {
            const int depth = page->GetTag() - 1;
            for (const std::string& link : links)
                pendingLinks_.emplace_back(link, depth);
            RefillFromPendingLinks();
            if (items.taken)
                TakeCollectedItems(page, items);
        }
    }
    if (IsCancelled())
        StopCrawling();
    if (AllChildrenFinished())
        stage_.Set(StageAfterCrawl());
}

void CrawlSiteImagesJob::ReadItems(GetHtmlPageJob* page, PageItems& items) const {
    StringArray names;
    page->GetPageImages(items.seen, names, 0, 0, settings_.minFileSize);
    names.clear();
    page->GetPageImages(items.matching, names, settings_.minWidth, settings_.minHeight,
                        settings_.minFileSize);
    std::erase_if(items.matching,
                  [this](const std::string& url) { return !IsReachableFromStart(url); });
}

void CrawlSiteImagesJob::CollectItems(GetHtmlPageJob*, PageItems& items) {
    allImages_.AddAll(std::move(items.seen));
    AddImageUrls(items.matching, items.localBases);
}

void CrawlSiteImagesJob::CollectPageItems(GetHtmlPageJob* page, PageItems& items) {
    if (IsCancelled())
        return;
    {
        MutexLock lock;
        if (!stage_.Equals(GetHtmlPageJobName))
            return;
    }
    // A page's child-finished step cannot end the crawl stage before this step has
    // run: the page is still among the children.
    std::lock_guard<std::mutex> guard(itemsMutex_);
    items.limitReached = ImageLimitReached();
    if (!items.limitReached) {
        CollectItems(page, items);
        items.taken = true;
    }
    imageCount_ = allImages_.GetCount();
}

std::string_view CrawlSiteImagesJob::StageAfterCrawl() const {
    return settings_.fast ? MakeHtmlPageJobName : DownloadImagesJobName;
}

void CrawlSiteImagesJob::StopCrawling() {
    pendingLinks_.clear();
    // Each page job stops the load in the browser it borrowed; other jobs' browsers
    // are left alone. The stage moves on once every page job has really ended.
    Cancel();
}

void CrawlSiteImagesJob::OnChildFinished(Job* child) {
    const bool isPage = child != nullptr && child->IsOfType(GetHtmlPageJobName);
    auto* page = isPage ? static_cast<GetHtmlPageJob*>(child) : nullptr;
    // Read before the lock is taken: a page's links come after a short pause, and a
    // page of many items takes a while to read.
    StringArray links;
    PageItems items;
    if (page != nullptr) {
        page->GetPageLinks(links);
        if (!IsCancelled()) {
            ReadItems(page, items);
            items.localBases = LocalBaseNamesOf(items.matching);
            // A page of thousands of items holds the items lock meanwhile, which no
            // progress page waits for.
            CollectPageItems(page, items);
        }
    }

    bool cleanUpHere = false;
    bool orderHere = false;
    {
        MutexLock lock;
        current_ = child;
        // The stage as it stood when the step began: the step whose crawl stage ends
        // (the last page, a stop, the item limit) still enters the stages that follow.
        const bool crawling = stage_.Equals(GetHtmlPageJobName);
        if (crawling)
            CrawlStage(page, links, items);
        // A page job that ends after the crawl stage has gone drives no later stage. A
        // discarded job (stop requested) leaves the stored view as it was, whatever the
        // product's later stages are: no clean-up, no download, no page.
        if (crawling || page == nullptr) {
            if (IsStopRequested())
                stage_.Clear();
            else
                RunLaterStages(child);
        }

        // The finished child leaves the list before the percent is taken, so that the
        // last one brings it to 100; not while the clean-up holds the next stage back,
        // whose children are still to come.
        const bool allFinished = AllChildrenFinished();
        if (child != nullptr && GetChildren().Remove(child) && theJobManager != nullptr)
            theJobManager->RetireJob(child);
        if (!cleanUpPending_ && !orderPending_)
            UpdateProgress();
        current_ = nullptr;
        if (allFinished && !cleanUpPending_ && !orderPending_) {
            OnFinish();
            if (AllChildrenFinished() && ReadyToComplete())
                MarkComplete();
        }
        cleanUpHere = std::exchange(cleanUpToRun_, false);
        orderHere = std::exchange(orderToRun_, false);
    }
    if (cleanUpHere) {
        // The stored files go with the lock released (a stored view may hold thousands);
        // the first later stage waits for them and is entered in the step below.
        CleanCache();
        {
            MutexLock lock;
            cacheCleaned_ = true;
            cleanUpPending_ = false;
        }
        OnChildFinished(nullptr);
    }
    if (orderHere) {
        // The same for the thumbnails' order, which the page stage waits for.
        OrderThumbnails();
        OnChildFinished(nullptr);
    }
}

void CrawlSiteImagesJob::RunLaterStages(Job* child) {
    if (stage_.IsSet() && !stage_.Equals(GetHtmlPageJobName) && !cacheCleaned_) {
        // The clean-up comes first, without the lock, at the end of this step.
        if (!cleanUpPending_)
            cleanUpPending_ = cleanUpToRun_ = true;
        return;
    }
    if (stage_.Equals(DownloadImagesJobName))
        DownloadStage(child);
    if (stage_.Equals(MakeThumbnailsJobName))
        ThumbnailStage(child);
    if (stage_.Equals(DeleteDirectoryContentsJobName))
        CleanUpStage();
    if (stage_.Equals(MakeHtmlPageJobName))
        PageStage();
}

void CrawlSiteImagesJob::DownloadStage(Job* child) {
    SetPhase(1);
    if (stage_.IsSet()) {
        stage_.Clear();
        std::lock_guard<std::mutex> items(itemsMutex_);
        const StringArray& urls = matchingImages_.GetItems();
        const StringArray& names = localNames_.GetItems();
        const size_t batch = static_cast<size_t>(BatchSize(static_cast<int>(urls.size())));
        for (size_t first = 0; first < urls.size(); first += batch) {
            const size_t last = std::min(urls.size(), first + batch);
            auto* job = new DownloadImagesJob;
            job->SetPassPathsToParent(true);
            job->SetWork(imagesFolder_, StringArray(urls.begin() + first, urls.begin() + last),
                         StringArray(names.begin() + first, names.begin() + last));
            AddChild(job);
        }
    } else if (child != nullptr && child->IsOfType(DownloadImagesJobName)) {
        auto* download = static_cast<DownloadImagesJob*>(child);
        const StringArray& paths = download->GetPaths();
        downloadedCount_ += static_cast<int>(paths.size());
        if (download->GetPassPathsToParent())
            downloadedFiles_->insert(downloadedFiles_->end(), paths.begin(), paths.end());
    }
    if (AllChildrenFinished())
        stage_.Set(MakeThumbnailsJobName);
}

void CrawlSiteImagesJob::ThumbnailStage(Job* child) {
    SetPhase(2);
    if (stage_.IsSet()) {
        stage_.Clear();
        const StringArray& files = *downloadedFiles_;
        const size_t batch = static_cast<size_t>(BatchSize(static_cast<int>(files.size())));
        for (size_t first = 0; first < files.size(); first += batch) {
            const size_t last = std::min(files.size(), first + batch);
            auto* job = new MakeThumbnailsJob;
            job->SetWork(thumbsFolder_, StringArray(files.begin() + first, files.begin() + last),
                         100, 100, 16);
            AddChild(job);
        }
    } else if (child != nullptr && child->IsOfType(MakeThumbnailsJobName)) {
        const StringArray& made = static_cast<MakeThumbnailsJob*>(child)->GetThumbnails();
        thumbnails_->insert(thumbnails_->end(), made.begin(), made.end());
    }
    if (AllChildrenFinished())
        stage_.Set(DeleteDirectoryContentsJobName);
}

void CrawlSiteImagesJob::CleanUpStage() {
    if (stage_.IsSet()) {
        stage_.Clear();
        auto* job = new DeleteDirectoryContentsJob;
        job->SetFolder(tempFolder_);
        AddChild(job);
    }
    if (AllChildrenFinished())
        stage_.Set(MakeHtmlPageJobName);
}

void CrawlSiteImagesJob::PageStage() {
    SetPhase(3);
    if (!stage_.IsSet())
        return;
    // The page writers share one list of the items and one of the thumbnails, which
    // nothing changes from now on: no copy of them is made under the lock.
    std::shared_ptr<const StringArray> items;
    std::shared_ptr<const StringArray> thumbnails;
    if (settings_.fast) {
        items = ShareMatchingImages();
        thumbnails = std::make_shared<const StringArray>();
    } else {
        if (!thumbnailsOrdered_) {
            // The thumbnails are put in order with the lock released, at the end of this
            // step (thousands of them take a while); the stage is entered again after.
            if (!orderPending_)
                orderPending_ = orderToRun_ = true;
            return;
        }
        items = downloadedFiles_;
        thumbnails = thumbnails_;
    }
    auto makePage = [&](const std::string& path, std::string_view kind,
                        const std::shared_ptr<const StringArray>& list, SIZE size) {
        auto* job = new MakeHtmlPageJob;
        job->SetPage(path, std::string(kind), list, namesList_, size);
        return job;
    };
    MakeHtmlPageJob* all = makePage(allImagesPage_, ViewKindAll, items, SIZE{0, 0});
    MakeHtmlPageJob* zoom = makePage(zoomPage_, ViewKindZoom, items, SIZE{0, 0});
    zoom->SetZoomSize(settings_.zoomSize);
    MakeHtmlPageJob* thumbs = makePage(allThumbsPage_, ViewKindThumbs, thumbnails,
                                       SIZE{settings_.thumbnailWidth, settings_.thumbnailHeight});
    MakeHtmlPageJob* slides = makePage(slideShowPage_, ViewKindSlideshow, items, SIZE{0, 0});
    AddChild(all);
    AddChild(thumbs);
    AddChild(slides);
    AddChild(zoom);
    stage_.Clear();
}

StringArray CrawlSiteImagesJob::OrderedThumbnails(const StringArray& files,
                                                  const StringArray& thumbnails) {
    // Each base name (ignoring case) leads to its thumbnails in list order; a downloaded
    // file takes the first of its base not taken yet.
    struct Unclaimed {
        std::vector<size_t> indexes;
        size_t next = 0;
    };
    std::unordered_map<std::string, Unclaimed, CaseFoldedHash, CaseFoldedEqual> byBase;
    byBase.reserve(thumbnails.size());
    for (size_t i = 0; i < thumbnails.size(); ++i)
        byBase[BaseOfPath(thumbnails[i])].indexes.push_back(i);
    std::vector<bool> taken(thumbnails.size(), false);
    std::vector<size_t> ordered;
    ordered.reserve(std::min(files.size(), thumbnails.size()));
    for (const std::string& file : files) {
        const auto match = byBase.find(BaseOfPath(file));
        if (match == byBase.end() || match->second.next == match->second.indexes.size())
            continue;
        const size_t index = match->second.indexes[match->second.next++];
        taken[index] = true;
        ordered.push_back(index);
    }
    StringArray result;
    result.reserve(thumbnails.size());
    for (size_t i = 0; i < thumbnails.size(); ++i) {
        if (!taken[i])
            result.push_back(thumbnails[i]);
    }
    for (const size_t index : ordered)
        result.push_back(thumbnails[index]);
    return result;
}

void CrawlSiteImagesJob::OrderThumbnails() {
    // Neither list changes once the thumbnails are made; the getters go on reading the
    // former list until the ordered one takes its place.
    std::shared_ptr<const StringArray> files;
    std::shared_ptr<const StringArray> thumbnails;
    {
        MutexLock lock;
        files = downloadedFiles_;
        thumbnails = thumbnails_;
    }
    auto ordered = std::make_shared<StringArray>(OrderedThumbnails(*files, *thumbnails));
    MutexLock lock;
    thumbnails_ = std::move(ordered);
    thumbnailsOrdered_ = true;
    orderPending_ = false;
}
