// Tallowmere's crawl job against local web servers: each new MP3 link posted once to the
// dialog's window with its probe result, in the order found and before the job's end;
// probes that wait hold up no other page; many crawls at once; a crawl deleted while its
// pages still load.
#include "programs/tallowmere/CrawlSiteMP3sAdvJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/file/FileLayer.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

using namespace std::chrono_literals;

namespace {

struct FoundLink {
    std::string url;
    LPARAM reachable;
    bool operator==(const FoundLink&) const = default;
};

std::ostream& operator<<(std::ostream& out, const FoundLink& link) {
    return out << link.url << " (" << link.reachable << ")";
}

// The dialog's side: records every WM_MP3_FOUND, and, for each job that finishes, how
// many links had arrived by then.
class FoundLinksWindow {
public:
    FoundLinksWindow()
        : thread_([this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
              std::lock_guard<std::mutex> guard(mutex_);
              if (message == WM_MP3_FOUND)
                  found_.push_back({*reinterpret_cast<std::string*>(wParam), lParam});
              else if (message == WM_JOB_FINISHED)
                  linksAtFinish_.push_back(static_cast<int>(found_.size()));
              else
                  return DefWindowProc(hwnd, message, wParam, lParam);
              return 0;
          }) {
        EXPECT_TRUE(thread_.Start());
    }

    HWND Hwnd() const { return thread_.Hwnd(); }
    std::vector<FoundLink> Found() {
        std::lock_guard<std::mutex> guard(mutex_);
        return found_;
    }
    std::vector<int> LinksAtFinish() {
        std::lock_guard<std::mutex> guard(mutex_);
        return linksAtFinish_;
    }
    bool WaitForFinishes(size_t count) {
        return WaitUntil([&] { return LinksAtFinish().size() >= count; }, 60s);
    }

private:
    std::mutex mutex_;
    std::vector<FoundLink> found_;
    std::vector<int> linksAtFinish_;
    WindowThread thread_;  // last: the thread ends before the records go
};

bool FolderExists(const std::string& path) {
    std::vector<FolderEntry> entries;
    return ListFolder(path, &entries);
}

// A crawl that tells when it is deleted (into a flag it shares, so that a test that ends
// early leaves it something to write to).
class WatchedMp3Job : public CrawlSiteMP3sAdvJob {
public:
    explicit WatchedMp3Job(std::shared_ptr<std::atomic<bool>> deleted)
        : deleted_(std::move(deleted)) {}

protected:
    ~WatchedMp3Job() override { *deleted_ = true; }

private:
    std::shared_ptr<std::atomic<bool>> deleted_;
};

// The crawl's short periods, with room for the probes of servers that answer: a link's
// probe ends on the answer (or a refused connection), and a busy machine may take seconds
// to give it, which must not make the link read as unreachable.
TimingRecord RoomForProbes() {
    TimingRecord timing = ShortCrawlTiming();
    timing.reachabilityProbeTimeoutMs = 30000;
    return timing;
}

class CrawlSiteMP3sAdvJobTest : public CrawlFixture {
protected:
    CrawlSiteMP3sAdvJobTest()
        : CrawlFixture(SiteMp3FinderJobLimit, SiteMp3FinderBrowserThreads, RoomForProbes()) {}

    // A crawl as the dialog starts one: the settings' site URL, its setup, its window.
    OwnedJob<CrawlSiteMP3sAdvJob> StartCrawl(const std::string& siteUrl, int depth = 1,
                                             int maxImages = 100000,
                                             CrawlSiteMP3sAdvJob* crawl = nullptr) {
        PanelSettings settings;
        settings.folder = "c:\\mp3finder\\never-made";
        settings.siteUrl = siteUrl;
        settings.depth = depth;
        settings.wander = true;
        settings.maxImages = maxImages;
        OwnedJob<CrawlSiteMP3sAdvJob> job(crawl != nullptr ? crawl : new CrawlSiteMP3sAdvJob);
        job->MakeViewPages(settings, "");
        job->AddListenerWindow(window_.Hwnd());
        Manager().AddJob(job.get());
        return job;
    }

    FoundLinksWindow window_;
};

TEST_F(CrawlSiteMP3sAdvJobTest, EachNewLinkIsPostedOnceWithItsProbeBeforeTheJobEnds) {
    std::string deadUrl;
    {
        LocalSiteServer gone;
        deadUrl = gone.Url("/dead.mp3");
    }
    LocalSiteServer site;
    site.SetBody("/music/a.mp3", "ID3", "audio/mpeg");
    site.SetBody("/start.htm",
                 "<a href='/music/a.mp3'>a</a><a href='/music/gone.mp3'>404</a>"
                 "<a href='" +
                     deadUrl +
                     "'>dead</a><a href='/MUSIC/A.MP3'>again</a>"
                     "<a href='file:///etc/passwd.mp3'>local</a>"
                     "<a href='/next.htm'>next</a>");
    site.SetBody("/next.htm", "<a href='/music/a.mp3'>a</a><a href='/music/gone.mp3'>b</a>");
    OwnedJob<CrawlSiteMP3sAdvJob> job = StartCrawl(site.Url("/start.htm"));
    ASSERT_TRUE(WaitForJobEnd(*job));
    ASSERT_TRUE(window_.WaitForFinishes(1));

    const std::vector<FoundLink> expected{
        {site.Url("/music/a.mp3"), 1}, {site.Url("/music/gone.mp3"), 1}, {deadUrl, 0}};
    EXPECT_EQ(window_.Found(), expected);
    EXPECT_EQ(window_.LinksAtFinish(), std::vector<int>{3}) << "every link is posted first";
    EXPECT_EQ(job->GetPagesVisitedCount(), 2);
    EXPECT_EQ(job->GetMatchingImageCount(), 3);
    EXPECT_EQ(job->GetStage(), "MakeHtmlPageJob");
    EXPECT_EQ(job->GetPhase(), 0);
    EXPECT_EQ(job->GetChildCount(), 0);
    EXPECT_EQ(job->GetTypeName(), "CrawlSiteMP3sAdvJob");
    EXPECT_EQ(job->GetAllImagesPage(), "c:\\mp3finder\\never-made\\127.0.0.1" +
                                           std::to_string(site.Port()) + "\\default\\allMP3s.htm");
    EXPECT_FALSE(FolderExists("c:\\mp3finder")) << "the setup creates no folder";
    EXPECT_TRUE(WaitForIdleManager());
}

TEST_F(CrawlSiteMP3sAdvJobTest, NoLinkIsPostedPastTheItemLimitEvenWithinOnePage) {
    // One page of five links (one of them twice) under a limit of three: the first three
    // are posted, in page order, and the crawl ends there.
    LocalSiteServer site;
    std::string page;
    for (const char* name : {"one", "two", "ONE", "three", "four", "five"})
        page += "<a href='/m/" + std::string(name) + ".mp3'>" + name + "</a>";
    site.SetBody("/start.htm", page + "<a href='/next.htm'>next</a>");
    site.SetBody("/next.htm", "<a href='/m/six.mp3'>six</a>");
    OwnedJob<CrawlSiteMP3sAdvJob> job = StartCrawl(site.Url("/start.htm"), 1, 3);
    ASSERT_TRUE(WaitForJobEnd(*job));
    ASSERT_TRUE(window_.WaitForFinishes(1));
    std::vector<std::string> found;
    for (const FoundLink& link : window_.Found())
        found.push_back(link.url);
    EXPECT_EQ(found, (std::vector<std::string>{site.Url("/m/one.mp3"), site.Url("/m/two.mp3"),
                                               site.Url("/m/three.mp3")}));
    EXPECT_EQ(job->GetMatchingImageCount(), 3);
    EXPECT_TRUE(WaitForIdleManager());
}

TEST_F(CrawlSiteMP3sAdvJobTest, AProbeThatWaitsHoldsUpNoPageAndLinksKeepTheirOrder) {
    // The first link's probe is held; meanwhile the next page is crawled and its link
    // waits behind the held one.
    TimingRecord timing = Timing();
    timing.reachabilityProbeTimeoutMs = 60000;
    ScopedTiming longProbes(timing);
    LocalSiteServer site;
    site.SetStalled("/held.mp3");
    site.SetBody("/start.htm", "<a href='/held.mp3'>held</a><a href='/next.htm'>next</a>");
    site.SetBody("/next.htm", "<a href='/later.mp3'>later</a>");
    OwnedJob<CrawlSiteMP3sAdvJob> job = StartCrawl(site.Url("/start.htm"));
    ASSERT_TRUE(WaitUntil([&] { return job->GetPagesVisitedCount() == 2; }, 20s))
        << "the next page waited for the probe";
    EXPECT_FALSE(site.RequestsFor("/held.mp3").empty());
    EXPECT_TRUE(window_.Found().empty());
    EXPECT_FALSE(job->IsFinished());
    site.SetDelay("/held.mp3", 0ms);
    ASSERT_TRUE(WaitForJobEnd(*job));
    ASSERT_TRUE(window_.WaitForFinishes(1));
    EXPECT_EQ(window_.Found(),
              (std::vector<FoundLink>{{site.Url("/held.mp3"), 1}, {site.Url("/later.mp3"), 1}}));
}

TEST_F(CrawlSiteMP3sAdvJobTest, TwentyFiveSitesAtOnceAllFinish) {
    // Crawls only wait for their pages, so they take none of the manager's 20 places.
    LocalSiteServer site;
    constexpr int kSites = 25;
    std::vector<OwnedJob<CrawlSiteMP3sAdvJob>> jobs;
    for (int i = 0; i < kSites; ++i) {
        const std::string n = std::to_string(i);
        site.SetBody("/site" + n + "/", "<a href='/site" + n +
                                            "/song.mp3'>s</a>"
                                            "<a href='/shared.mp3'>shared</a>"
                                            "<a href='/site" +
                                            n + "/more.htm'>more</a>");
        site.SetBody("/site" + n + "/more.htm", "<a href='/site" + n + "/more.mp3'>m</a>");
    }
    for (int i = 0; i < kSites; ++i)
        jobs.push_back(StartCrawl(site.Url("/site" + std::to_string(i) + "/")));
    for (const auto& job : jobs)
        ASSERT_TRUE(WaitForJobEnd(*job));
    ASSERT_TRUE(window_.WaitForFinishes(kSites));
    // Each crawl reports its own links; the shared one once per crawl.
    const std::vector<FoundLink> found = window_.Found();
    EXPECT_EQ(found.size(), static_cast<size_t>(kSites * 3));
    EXPECT_EQ(std::count(found.begin(), found.end(), FoundLink{site.Url("/shared.mp3"), 0}), 0);
    EXPECT_EQ(std::count_if(found.begin(), found.end(),
                            [&](const FoundLink& f) { return f.url == site.Url("/shared.mp3"); }),
              kSites);
    EXPECT_TRUE(WaitForIdleManager());
}

TEST_F(CrawlSiteMP3sAdvJobTest, ACrawlHandedOverWhilePagesStillLoadIsDeletedAfterThem) {
    // After the item limit or a stop, pages that still load end later; the crawl handed
    // to DeleteJob meanwhile goes only once they have told it.
    LocalSiteServerOptions options;
    options.workerThreads = 40;
    LocalSiteServer site("", options);
    std::string start = "<a href='/first.mp3'>f</a><a href='/quick.htm'>q</a>";
    for (int i = 0; i < 12; ++i)
        start += "<a href='/slow" + std::to_string(i) + ".htm'>s</a>";
    site.SetBody("/start.htm", start);
    site.SetBody("/quick.htm", "<title>quick</title>");
    LocalSiteResponse slow;
    slow.body = "<a href='/late.mp3'>late</a>";
    slow.stallAfterHead = true;
    site.SetDefaultResponse(slow);
    for (const bool stop : {false, true}) {
        site.ClearRequests();
        // The quick page answers once the slow pages are loading.
        site.SetStalled("/quick.htm");
        auto deleted = std::make_shared<std::atomic<bool>>(false);
        // With a limit of 1 the quick page's end stops the crawl.
        OwnedJob<CrawlSiteMP3sAdvJob> job =
            StartCrawl(site.Url("/start.htm"), 1, stop ? 100000 : 1, new WatchedMp3Job(deleted));
        // The page jobs take the browsers in no set order: any five slow pages will do.
        ASSERT_TRUE(WaitUntil(
            [&] {
                int loading = 0;
                for (int i = 0; i < 12; ++i)
                    loading += !site.RequestsFor("/slow" + std::to_string(i) + ".htm").empty();
                return loading >= 5;
            },
            20s));
        if (stop)
            job->Cancel();
        site.SetDelay("/quick.htm", 0ms);
        job.reset();  // the dialog's end: the crawl is handed to DeleteJob
        EXPECT_TRUE(WaitUntil([&] { return deleted->load(); }, 20s)) << "stop " << stop;
        EXPECT_TRUE(WaitForIdleManager()) << "stop " << stop;
    }
    EXPECT_EQ(window_.Found(), std::vector<FoundLink>(2, FoundLink{site.Url("/first.mp3"), 1}));
}

}  // namespace
