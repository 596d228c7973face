// Tallowmere's crawl of one site for MP3 links: the image extraction's crawl, reporting
// each new MP3 link to its listener windows (the main dialog) as it is found, with
// whether the link answers. Nothing is downloaded, stored or written: the dialog starts
// download jobs of its own, and the job deletes no stored file.
//
// Stages: "GetHtmlPageJob" (phase 0) -> "MakeHtmlPageJob" once the crawl is over ->
// complete, once every link found has been probed and posted.
//
// Threads: MakeViewPages before the job is queued; Run on the job's worker thread;
// OnChildFinished on each finishing child's thread: the crawl stage under the process
// lock, then, with the lock released, the probes of the links found, one thread at a
// time, in the order the links were found.
#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "engine/extract/CrawlSiteImagesJob.h"

// Posted to the crawl's listener windows for each new MP3 link. wParam: the link, a
// std::string in a payload the message loop frees after the handler has run (read it as
// reinterpret_cast<std::string*>(wParam); do not delete it). lParam: 1 when the link
// answered the probe (any HTTP status counts), else 0.
constexpr UINT WM_MP3_FOUND = 0x700;

class CrawlSiteMP3sAdvJob : public CrawlSiteImagesJob {
public:
    // Type name "CrawlSiteMP3sAdvJob"; the site MP3 finder's page jobs.
    CrawlSiteMP3sAdvJob();

    // The setup: copies settings, takes the start URL (settings.siteUrl, also the job's
    // name), depth and wander from them and lays out the view's folders and pages under
    // settings.folder. Creates no folder; the site list is not read and the pending links
    // are left as they are. Before the job is queued.
    void MakeViewPages(const PanelSettings& settings, const std::string& siteName) override;

    // The view's "allMP3s.htm" (never written by this job).
    std::string GetAllImagesPage() const override;

protected:
    ~CrawlSiteMP3sAdvJob() override;

    // On the job's worker thread: the crawl alone, without the image cache clean-up.
    void Run() override;
    // The shared crawl step, then the probes and posts of the links it found.
    void OnChildFinished(Job* child) override;
    // The page's MP3 links (not those that lead a web crawl to local files), as
    // matching. Without the lock.
    void ReadItems(GetHtmlPageJob* page, PageItems& items) const override;
    // Each MP3 link not reported before (ignoring case) is kept for its probe, and joins
    // the matching items, until those reach the item limit: no link past it is
    // reported, also within one page. The items lock held.
    void CollectItems(GetHtmlPageJob* page, PageItems& items) override;
    // The links kept for their probe wait for it. Under the process lock.
    void TakeCollectedItems(GetHtmlPageJob* page, PageItems& items) override;
    // "MakeHtmlPageJob": nothing follows the crawl.
    std::string_view StageAfterCrawl() const override;
    // No stage after the crawl.
    void RunLaterStages(Job*) override {}
    // Not while a found link still waits for its probe or post. Under the lock.
    bool ReadyToComplete() const override;

private:
    // With the process lock released: unless another thread is at it, probes and posts
    // the waiting links in the order found until none waits, then completes the job
    // when its crawl is over. Never called with the process lock held.
    void ProbeAndPostFoundLinks();
    // Posts url with the probe result to every listener window, each its own copy.
    void PostFoundLink(const std::string& url, bool reachable);

    // Guarded by the process lock: the links waiting for their probe, in the order
    // found, and the page job whose step probes them (null when none does).
    std::deque<std::string> linksToProbe_;
    const Job* prober_ = nullptr;
};
