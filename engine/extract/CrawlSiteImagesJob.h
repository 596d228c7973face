// The whole extraction of a site's images: it crawls the site, collects the image URLs
// that pass the criteria, downloads them in batches, makes thumbnails, clears its temp
// folder and writes the view's four pages. Its child-finished step is a stage machine:
// each stage creates children, and when every child of a stage has finished the next
// stage begins, in the same call when a stage has nothing to do.
//
// Stages: "GetHtmlPageJob" (phase 0) -> "DownloadImagesJob" (1) -> "MakeThumbnailsJob"
// (2) -> "DeleteDirectoryContentsJob" -> "MakeHtmlPageJob" (3) -> complete; with fast
// set, "GetHtmlPageJob" -> "MakeHtmlPageJob".
//
// Threads: MakeViewPages before the job is queued (or on the panel's thread for a
// stored view's paths); Run on the job's worker thread; OnChildFinished on each
// finishing child's thread: a finished page's items join the item lists first, holding
// only the job's items lock, then the rest of the step holds the process lock. The
// counters a progress page reads are atomic or taken under the process lock, never the
// items lock, so a page of thousands of items keeps no window waiting.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/crawl/CrawlSiteJob.h"
#include "engine/extract/PanelSettings.h"
#include "engine/jobs/FlaggedString.h"
#include "engine/jobs/StringSet.h"
#include "engine/util/CaseFoldedHash.h"
#include "platform/text/Text.h"

class CrawlSiteImagesJob : public CrawlSiteJob {
public:
    // Type name "CrawlSiteImagesJob"; stage "GetHtmlPageJob", entered.
    explicit CrawlSiteImagesJob(const PageJobValues& pageValues = ImageFinderBandPageJobValues);

    // The setup: copies settings, takes the start URL, depth and wander from them, lays
    // out the site and view folders (creating them) and the page paths, and turns the
    // extra start URLs (settings.siteList) into pending links, wandering from then on.
    // siteName names the site folder when the job has none yet; "" takes the start
    // URL's host. Before the job is queued.
    virtual void MakeViewPages(const PanelSettings& settings, const std::string& siteName);

    // Found image URLs: each URL not seen before (ignoring case), not empty and not a
    // "res://" URL joins the matching images with a local name unique among them: the
    // file name of the URL without its extension, then "-2", "-3"... Once the matching
    // images reach the settings' item limit (maxImages, 0 for none) the rest are left
    // out. Takes the items lock.
    void AddImageUrls(const StringArray& urls);

    // Deletes the files of folder whose names end in one of CachedFileExtensions;
    // failures are ignored, sub-folders are left alone.
    static void DeleteCachedFiles(const std::string& folder);

    // URLs (downloads) or files (thumbnails) one job is given, for n items: 10 below 100,
    // else n / 10, at most 50.
    static int BatchSize(int n);

    // A user's stop that keeps what was found: while the crawl runs the job's own
    // settings get the fast option (the view is written from the image URLs found, with
    // no downloads), then the job is cancelled; later only cancelled, so the pictures
    // downloaded so far make the view. Any thread but the job's, without the lock.
    void StopEarly();

    // The layout (valid after MakeViewPages).
    std::string GetSiteUrl() const;
    const std::string& GetSiteFolder() const { return siteFolder_; }
    const std::string& GetViewFolder() const { return viewFolder_; }
    const std::string& GetThumbsFolder() const { return thumbsFolder_; }
    const std::string& GetImagesFolder() const { return imagesFolder_; }
    const std::string& GetTempFolder() const { return tempFolder_; }
    virtual std::string GetAllImagesPage() const;
    std::string GetThumbnailsPage() const { return allThumbsPage_; }
    std::string GetSlideshowPage() const { return slideShowPage_; }
    // Always empty: no view has a multiview page.
    std::string GetMultiviewPage() const { return multiViewPage_; }
    std::string GetZoomPage() const { return zoomPage_; }
    std::string GetUrlsPage() const { return urlsPage_; }
    std::string GetAllFilesPage() const { return allFilesPage_; }
    std::string GetAllMp3sPage() const { return allMp3sPage_; }
    const PanelSettings& GetSettings() const { return settings_; }

    // For a progress page; any thread. GetPhase (of Job): 0 finding images,
    // 1 downloading, 2 making thumbnails, 3 building views.
    // Every image URL seen on the pages, and the image URLs that passed the criteria.
    int GetImageCount() const { return imageCount_.load(); }
    int GetMatchingImageCount() const { return matchingCount_.load(); }
    int GetDownloadedCount() const { return downloadedCount_.load(); }
    // The current stage's name. Takes the lock.
    std::string GetStage() const;

    // Copies of the lists: the matching images and their local names under the items
    // lock, the others under the process lock.
    StringArray GetMatchingImages() const;
    StringArray GetLocalNames() const;
    StringArray GetDownloadedFiles() const;
    StringArray GetThumbnails() const;

protected:
    ~CrawlSiteImagesJob() override;

    // On the job's worker thread: the crawl from the start URL; waits until the stages
    // are through or the job is stopped. The cache clean-up (thumbs and temp when
    // removecache, images unless the start URL is a file:// URL) runs once the crawl has
    // ended, as the first later stage begins, so that a job discarded during its crawl
    // (stop requested: no later stage runs at all) leaves a stored view as it was.
    void Run() override;
    // The cache clean-up above. Once per job, without the lock: the step that ends the
    // crawl runs it after releasing the lock, and the first later stage is entered only
    // after it.
    void CleanCache() const;
    // The stage machine (see the file comment), under the process lock.
    void OnChildFinished(Job* child) override;

    // The items a finished page gives its product: read from the page without a lock
    // (ReadItems), taken into the product's lists under the items lock (CollectItems),
    // then handed on under the process lock (TakeCollectedItems).
    struct PageItems {
        StringArray seen;           // into the items seen
        StringArray matching;       // into AddImageUrls
        StringArray localBases;     // LocalBaseNamesOf (matching), made before the lock
        StringArray collected;      // what CollectItems leaves for TakeCollectedItems
        bool taken = false;         // whether CollectItems took the page's items
        bool limitReached = false;  // the item limit was reached before this page
    };

    // The crawling stage's step (stage "GetHtmlPageJob"), one for every product, under
    // the process lock: phase 0; a finished page counts as visited, its links wait as
    // pending links and refill the children, then TakeCollectedItems hands on what
    // CollectItems took from it, unless the item limit was reached before the page
    // (then the job is cancelled). A cancelled job stops crawling; once every child has
    // finished the stage becomes StageAfterCrawl. page: the finished page job, null for
    // another child or none; links and items: its links and its items, read and
    // collected before the process lock was taken.
    void CrawlStage(GetHtmlPageJob* page, const StringArray& links, PageItems& items);
    // The product's items of a finished page, read without the lock: a finished page's
    // model no longer changes. Here: every image URL as seen, and those that pass the
    // size criteria (and do not lead a web crawl to local files) as matching.
    virtual void ReadItems(GetHtmlPageJob* page, PageItems& items) const;
    // The items read from a finished page into the product's lists (the item callback
    // of the crawl step), with the items lock held and the process lock not: before the
    // step takes it, once the item limit is known not to be reached. Here: the seen ones
    // into the items seen, the matching ones into AddImageUrls.
    virtual void CollectItems(GetHtmlPageJob* page, PageItems& items);
    // What CollectItems left in items.collected, handed on under the process lock once
    // the page's links wait. Nothing here.
    virtual void TakeCollectedItems(GetHtmlPageJob*, PageItems&) {}
    // The stage that follows the crawl: "MakeHtmlPageJob" when fast, else
    // "DownloadImagesJob".
    virtual std::string_view StageAfterCrawl() const;
    // Whether the job may complete once every child has finished. True here.
    virtual bool ReadyToComplete() const { return true; }
    // AddImageUrls with the URLs' local base names made beforehand (LocalBaseNamesOf),
    // so that no lock is held while they are made. The items lock held.
    void AddImageUrls(const StringArray& urls, const StringArray& bases);
    // One URL of AddImageUrls, whatever the item limit; whether it joined. The items
    // lock held.
    bool AddImageUrl(const std::string& url, const std::string& base);
    // The local base name (LocalBaseName) of each URL, in order.
    static StringArray LocalBaseNamesOf(const StringArray& urls);
    // Whether the matching images have reached the item limit. Any thread; with the
    // items lock held it stays so.
    bool ImageLimitReached() const;
    // Refills the children from the pending links, each at its own depth, until 15 are
    // in the list or none is pending. Under the lock.
    void RefillFromPendingLinks();
    // Stops the crawl: no more pending links, and the job and its children are
    // cancelled (each page job stops the load in the browser it holds). Under the lock.
    void StopCrawling();

    // The first steps of a setup: the settings copied, the downloaded count 0, the start
    // URL (also the job's name), the depth and wander taken from them.
    void TakeSettings(const PanelSettings& settings);
    // The layout from the settings copy, nothing created: the site folder (when the job
    // has none yet; siteName, else the start URL's host, or the settings' site folder
    // name), the view folder (an empty view name becomes "default"), its folders and
    // its page paths.
    void LayOutView(const std::string& siteName);
    // The crawl itself, on the job's worker thread: the start URL at the maximum depth
    // (or, when it is refused, the pending links), then waits until the job is complete
    // or stopped.
    void RunCrawl();

    FlaggedString& GetStageString() { return stage_; }
    void ClearSiteFolder() { siteFolder_.clear(); }
    PanelSettings& GetSettingsCopy() { return settings_; }
    // Every item seen on the pages (the images seen), with the items lock held; the page
    // writers' names list, which stays empty.
    StringSet& GetSeenItems() { return allImages_; }
    const StringArray& GetNamesList() const { return namesList_; }
    // The matching images as they are, shared, not copied (for the page writers). Takes
    // the items lock.
    std::shared_ptr<const StringArray> ShareMatchingImages();

    // Stages B to E, in order, each entered in the same call when the one before ends.
    // Never called once a stop was requested (the job is being discarded).
    virtual void RunLaterStages(Job* child);
    // Whether every child has been handled by its step: none is left in the list but
    // the one whose step is running. Under the lock.
    bool AllChildrenFinished();

private:
    // Before the process lock is taken: unless the job is cancelled or its crawl is
    // over, CollectItems takes the page's items under the items lock, unless the item
    // limit is reached already (items.limitReached).
    void CollectPageItems(GetHtmlPageJob* page, PageItems& items);

    void DownloadStage(Job* child);
    void ThumbnailStage(Job* child);
    void CleanUpStage();
    void PageStage();
    // The thumbnails in the order of the downloaded files they were made from; those
    // matching none go first, in their former order.
    static StringArray OrderedThumbnails(const StringArray& files, const StringArray& thumbnails);
    // Puts the thumbnails in that order, without the lock but for taking the lists and
    // putting the ordered one in place.
    void OrderThumbnails();

    std::string siteFolder_;
    FlaggedString stage_;  // guarded by the process lock
    // Guards the item lists below: the matching images, their local names and the
    // items seen. It may be taken with the process lock held or not; whoever holds it
    // takes no other lock.
    mutable std::mutex itemsMutex_;
    StringSet matchingImages_;
    StringSet localNames_;
    // For each local base name (ignoring case), the first suffix of its sequence not
    // known to be taken (0: the base itself).
    std::unordered_map<std::string, int, CaseFoldedHash, CaseFoldedEqual> nextNameSuffix_;
    StringSet allImages_;
    std::atomic<int> imageCount_{0};     // allImages_'s count, for progress pages
    std::atomic<int> matchingCount_{0};  // matchingImages_'s count
    StringArray namesList_;              // handed to the page writers; stays empty
    // Links waiting to be offered, each with the depth it was found at.
    std::deque<std::pair<std::string, int>> pendingLinks_;
    // Guarded by the process lock; both never change once the page stage has shared
    // them with the page writers.
    std::shared_ptr<StringArray> downloadedFiles_ = std::make_shared<StringArray>();
    std::shared_ptr<StringArray> thumbnails_ = std::make_shared<StringArray>();
    std::string allImagesPage_, allFilesPage_, allMp3sPage_, allThumbsPage_, slideShowPage_,
        multiViewPage_, zoomPage_, urlsPage_;
    std::string viewFolder_, thumbsFolder_, imagesFolder_, tempFolder_;
    Job* current_ = nullptr;  // the child whose step runs; guarded by the lock
    std::atomic<int> downloadedCount_{0};
    // Guarded by the process lock: whether the cache clean-up has run, whether it is
    // due or running (no later stage is entered, the job does not complete), and
    // whether a step has still to take it up.
    bool cacheCleaned_ = false;
    bool cleanUpPending_ = false;
    bool cleanUpToRun_ = false;
    // The same for putting the thumbnails in order before the page stage (with
    // downloads): done, due or running, and still to be taken up by a step.
    bool thumbnailsOrdered_ = false;
    bool orderPending_ = false;
    bool orderToRun_ = false;
    PanelSettings settings_;
};
