// Rebuilds a stored view after its page was edited: the image extraction runs on the
// edited page into a fresh view under the storage folder's "temp" folder, then the
// stored view's files are replaced by the fresh ones and the job's folders and page
// paths are pointed at the stored view.
//
// After the extraction's page stage: "deleteDirectory" (the stored view's files,
// pictures and thumbnails go), then "moveDirectory" (the fresh ones take their place),
// then the empty stage. A fresh view that lacks one of its pages, or has no pictures
// where the stored view had some, replaces nothing: the stored view stays whole.
//
// Threads: as the extraction's; the stages run in OnFinish, under the process lock.
#pragma once

#include <string>

#include "engine/extract/CrawlSiteImagesJob.h"

class regenerateHtmlJob : public CrawlSiteImagesJob {
public:
    // Type name "regenerateHtmlJob".
    regenerateHtmlJob();

    // settings.siteUrl is the address of the edited page (a file:// URL or a path);
    // settings.folder the storage folder's "temp" folder, where the fresh view is built.
    // The stored view is the page's folder; its site is the folder above it. The crawl
    // reads the page by its file: address and takes every picture it names, whatever
    // the size criteria. Before the job is queued.
    void Setup(const PanelSettings& settings);

    const std::string& GetTargetFolder() const { return targetFolder_; }
    const std::string& GetSiteName() const { return siteName_; }

protected:
    ~regenerateHtmlJob() override;

    // On the job's worker thread: the fresh view's folders are emptied of an earlier
    // run's files (unless the fresh view is the stored view itself), then the
    // extraction runs, so that only this run's pages can replace the stored view.
    void Run() override;
    // Once every child of the current stage has finished (and again from Finish): the
    // replacement stages, then the job's layout is the stored view's. Takes the lock.
    void OnFinish() override;

private:
    // Whether the fresh view is the stored view itself (a view stored under "temp").
    bool FreshViewIsStoredView() const;
    // Whether the fresh view may replace the stored one.
    bool FreshViewIsWhole() const;
    // Points the settings copy and the layout at the stored view.
    void PointAtStoredView();

    std::string targetFolder_;
    std::string siteName_;
    std::string editedPage_;  // the edited page's path, as Setup read it
};
