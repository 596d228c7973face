// A crawl of a site: a page job for the start URL, and for each finished page its page
// links offered one level deeper, refusing URLs already seen, pages beyond the depth and
// (unless it wanders) other hosts. The image extraction and the file, MP3 and site MP3
// finders build on it.
//
// Threads: the setters before the job is queued; Run on the job's worker thread;
// OnChildFinished on each finishing child's thread (or the scheduler's, for a child
// cancelled before it started), several at once, each holding the process lock for the
// whole step. The counters are atomic, for progress pages that read them unlocked.
#pragma once

#include <atomic>
#include <string>

#include "engine/crawl/GetHtmlPageJob.h"
#include "engine/crawl/PageJobValues.h"
#include "engine/jobs/Job.h"
#include "engine/jobs/JobList.h"
#include "engine/jobs/StringSet.h"
#include "platform/text/Text.h"

class CrawlSiteJob : public Job {
public:
    // Type name "CrawlSiteJob"; depth 0, no wandering. pageValues: what the product's
    // page jobs read and which links count as pages.
    explicit CrawlSiteJob(const PageJobValues& pageValues = ImageFinderBandPageJobValues);

    void SetStartUrl(const std::string& url) { startUrl_ = url; }
    const std::string& GetStartUrl() const { return startUrl_; }
    // The link depth of the start page; each level of links lowers it by 1.
    void SetMaxDepth(int depth) { maxDepth_ = depth; }
    int GetMaxDepth() const { return maxDepth_; }
    // Whether links to other hosts are followed.
    void SetLeaveSite(bool leaveSite) { leaveSite_ = leaveSite; }
    bool GetLeaveSite() const { return leaveSite_; }

    // Offers one page at depth: refused (false) when depth < 0, when the host differs
    // from the start URL's (ignoring case) unless the crawl wanders, when it is a local
    // file and the start URL is not (IsReachableFromStart), or when url is empty or was
    // accepted before in any letter case. An accepted URL is recorded as visited
    // and becomes a queued page job whose tag is depth. Takes the process lock.
    bool AddPage(const std::string& url, int depth);
    // AddPage of each URL, in order.
    void AddPages(const StringArray& urls, int depth);
    // Counts job as queued, listens to it, owns it as a child and queues it with
    // theJobManager (normal queue). Takes the process lock; null is ignored.
    void AddChild(Job* job);

    // False for a file:// address when the crawl did not start from one: pages from the
    // web never lead the crawl, or its downloads, to the user's own files.
    bool IsReachableFromStart(std::string_view url) const;

    // Percent = (pages queued - children in the list) x 100 / pages queued, when any
    // page was queued, and never below the percent shown before. Takes the process lock.
    void UpdateProgress();

    // The cancelled flag, then Cancel on every child. Pages already loading end only by
    // their browser's report (StopActive on the pool). Any thread.
    void Cancel() override;
    // True: the crawl's own body only waits for its pages.
    bool OnlyWaitsForChildren() const override;

    // Children added so far.
    int GetPagesQueuedCount() const { return pagesQueued_.load(); }
    // Page jobs finished so far.
    int GetPagesVisitedCount() const { return pagesVisited_.load(); }
    // URLs accepted so far (the visited set's size). Takes the process lock.
    int GetPagesFoundCount() const;
    // The accepted URLs in the order they were accepted. Takes the process lock.
    StringArray GetVisitedUrls() const;
    // Children in the list now. Takes the process lock.
    int GetChildCount() const;

protected:
    ~CrawlSiteJob() override;

    // On the job's worker thread: offers the start URL at the maximum depth, then waits
    // until the crawl is complete or stopped. A refused start URL completes it at once.
    void Run() override;
    // A finished page job counts as visited and its page links are offered one level
    // deeper; once every child has finished the crawl is complete. The child's links
    // are read before the lock is taken.
    void OnChildFinished(Job* child) override;

    // A new page job for url, of the product's kind.
    GetHtmlPageJob* MakePageJob(const std::string& url, int depth) const;

    const PageJobValues& GetPageValues() const { return pageValues_; }
    JobList& GetChildren() { return children_; }
    StringSet& GetVisited() { return visited_; }
    void CountPageVisited() { ++pagesVisited_; }

private:
    const PageJobValues pageValues_;
    std::string startUrl_;
    int maxDepth_ = 0;
    bool leaveSite_ = false;
    StringSet visited_;          // guarded by the process lock
    int childrenProcessed_ = 0;  // children whose step has run; guarded by the lock
    std::atomic<int> pagesQueued_{0};
    std::atomic<int> pagesVisited_{0};
    JobList children_{this};  // last: the children go before the rest of the job
};
