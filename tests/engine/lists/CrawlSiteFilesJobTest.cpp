// The list bands' extraction against local web servers: the file band's filter words and
// the MP3 band's rule, the item limit, the site list, the list page (written by the
// built Corvane, registered in the test's own registry store), and a view's stored files
// left alone.
#include "engine/lists/CrawlSiteFilesJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

std::string NewStorageFolder() {
    static std::atomic<int> count{0};
    return "c:\\lists\\storage" + std::to_string(++count);
}

class CrawlSiteFilesJobTest : public CrawlFixture {
protected:
    CrawlSiteFilesJobTest() : CrawlFixture(FileFinderBandJobLimit, FileFinderBandBrowserThreads) {}

    PanelSettings Settings(const std::string& siteUrl, int depth) const {
        PanelSettings settings;
        settings.folder = storage_;
        settings.siteUrl = siteUrl;
        settings.depth = depth;
        settings.maxImages = 0;
        return settings;
    }

    OwnedJob<CrawlSiteFilesJob> Extract(const PanelSettings& settings,
                                        const ListJobValues& values = FileFinderBandListValues) {
        OwnedJob<CrawlSiteFilesJob> job(new CrawlSiteFilesJob(values));
        job->MakeViewPages(settings, "");
        EXPECT_TRUE(RunToEnd(*job));
        EXPECT_TRUE(WaitForIdleManager());
        return job;
    }

    StringArray Urls(LocalSiteServer& server, const StringArray& paths) const {
        StringArray urls;
        for (const std::string& path : paths)
            urls.push_back(server.Url(path));
        return urls;
    }

    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    const std::string storage_ = NewStorageFolder();
};

TEST_F(CrawlSiteFilesJobTest, FilterWordsKeepTheAddressesHoldingThemInTheirOwnCase) {
    LocalSiteServer site;
    site.SetBody("/start.htm",
                 "<a href='/docs/guide.pdf'>guide</a><a href='/pdfs/'>folder</a>"
                 "<a href='/docs/OLD.PDF'>old</a><a href='/notes.zip'>notes</a>"
                 "<img src='/pics/pdf-icon.gif'><a href='/docs/guide.pdf'>again</a>");
    const struct {
        const char* filter;
        StringArray paths;
    } cases[] = {
        {"pdf", {"/docs/guide.pdf", "/pdfs/", "/pics/pdf-icon.gif"}},
        {"zip, pdf", {"/notes.zip", "/docs/guide.pdf", "/pdfs/", "/pics/pdf-icon.gif"}},
        {"PDF", {"/docs/OLD.PDF"}},
        {"@", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        PanelSettings settings = Settings(site.Url("/start.htm"), 0);
        settings.filterWords = c.filter;
        settings.viewName = "v";
        OwnedJob<CrawlSiteFilesJob> job = Extract(settings);
        EXPECT_EQ(job->GetMatchingImages(), Urls(site, c.paths)) << "filter \"" << c.filter << "\"";
        EXPECT_EQ(job->GetAllImagesPage(), job->GetViewFolder() + "\\allFiles.htm");
        const std::string page = FileTextOf(job->GetAllImagesPage());
        for (const std::string& path : c.paths)
            EXPECT_NE(page.find(site.Url(path)), std::string::npos) << c.filter << ": " << path;
        EXPECT_EQ(page.find("No Files Found.") != std::string::npos, c.paths.empty())
            << "filter \"" << c.filter << "\"";
        EXPECT_EQ(job->GetPhase(), 3);
        EXPECT_EQ(job->GetProgress(), 100);
        EXPECT_EQ(job->GetChildCount(), 0);
    }
}

TEST_F(CrawlSiteFilesJobTest, AStartPageWithoutMatchesStillGetsItsListPage) {
    LocalSiteServer site;
    site.SetBody("/start.htm", "<a href='/next.htm'>next</a>");
    site.SetBody("/next.htm", "<title>next</title>");
    PanelSettings settings = Settings(site.Url("/start.htm"), 1);
    settings.filterWords = "pdf";
    OwnedJob<CrawlSiteFilesJob> job = Extract(settings);
    EXPECT_EQ(job->GetPagesVisitedCount(), 2);
    // The file style writes a text list beside its page.
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), (StringArray{"allFiles.htm", "allFiles.htm.txt"}));
    EXPECT_NE(FileTextOf(job->GetAllImagesPage()).find("No Files Found."), std::string::npos);
}

TEST_F(CrawlSiteFilesJobTest, TheItemLimitStopsTheCrawlAndTheListIsStillWritten) {
    // The start page holds three matches; each of its five pages two more and a link one
    // level deeper. The first of them to finish stops the crawl.
    LocalSiteServer site;
    std::string start = "<a href='/s1.pdf'>1</a><a href='/s2.pdf'>2</a><a href='/s3.pdf'>3</a>";
    for (int i = 0; i < 5; ++i) {
        const std::string n = std::to_string(i);
        start += "<a href='/p" + n + ".htm'>p</a>";
        site.SetBody("/p" + n + ".htm", "<a href='/p" + n + "a.pdf'>a</a><a href='/p" + n +
                                            "b.pdf'>b</a><a href='/deep" + n + ".htm'>d</a>");
    }
    site.SetBody("/start.htm", start);
    PanelSettings settings = Settings(site.Url("/start.htm"), 2);
    settings.filterWords = "pdf";
    settings.maxImages = 3;
    OwnedJob<CrawlSiteFilesJob> job = Extract(settings);
    EXPECT_EQ(job->GetMatchingImages(), Urls(site, {"/s1.pdf", "/s2.pdf", "/s3.pdf"}));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(site.RequestsFor("/deep" + std::to_string(i) + ".htm").empty()) << i;
    const std::string page = FileTextOf(job->GetAllImagesPage());
    EXPECT_NE(page.find(site.Url("/s3.pdf")), std::string::npos) << page;
    EXPECT_EQ(job->GetChildCount(), 0);
}

TEST_F(CrawlSiteFilesJobTest, TheItemLimitHoldsWithinOnePage) {
    LocalSiteServer site;
    std::string start;
    StringArray first;
    for (int i = 0; i < 500; ++i) {
        const std::string path = "/f" + std::to_string(i) + ".pdf";
        start += "<a href='" + path + "'>f</a>";
        if (i < 20)
            first.push_back(path);
    }
    site.SetBody("/start.htm", start);
    PanelSettings settings = Settings(site.Url("/start.htm"), 0);
    settings.filterWords = "pdf";
    settings.maxImages = 20;
    OwnedJob<CrawlSiteFilesJob> job = Extract(settings);
    EXPECT_EQ(job->GetMatchingImages(), Urls(site, first));
    const std::string page = FileTextOf(job->GetAllImagesPage());
    EXPECT_NE(page.find(site.Url("/f19.pdf")), std::string::npos);
    EXPECT_EQ(page.find(site.Url("/f20.pdf")), std::string::npos);
}

TEST_F(CrawlSiteFilesJobTest, TheSiteListIsCrawledAtTheStartDepthAndOtherHostsAreFollowed) {
    // The start site is "localhost", the listed and linked site "127.0.0.1".
    LocalSiteServer other;
    other.SetBody("/listed.htm", "<a href='/listed.pdf'>l</a><a href='/below.htm'>b</a>");
    other.SetBody("/linked.htm", "<a href='/linked.pdf'>l</a>");
    other.SetBody("/below.htm", "<a href='/below.pdf'>b</a>");
    LocalSiteServer start;
    start.SetBody("/start.htm",
                  "<a href='/start.pdf'>s</a><a href='" + other.Url("/linked.htm") + "'>away</a>");
    const std::string startUrl = "http://localhost:" + std::to_string(start.Port()) + "/start.htm";
    const struct {
        int depth;
        StringArray otherPaths;  // matches found on the other site
    } cases[] = {
        {0, {"/listed.pdf"}},
        {1, {"/listed.pdf", "/linked.pdf", "/below.pdf"}},
    };
    for (const auto& c : cases) {
        other.ClearRequests();
        PanelSettings settings = Settings(startUrl, c.depth);
        settings.filterWords = "pdf";
        settings.wander = false;
        settings.siteList = other.Url("/listed.htm") + "\n";
        settings.viewName = "d" + std::to_string(c.depth);
        OwnedJob<CrawlSiteFilesJob> job = Extract(settings);
        EXPECT_TRUE(job->GetLeaveSite());
        StringArray matches = job->GetMatchingImages();
        EXPECT_EQ(matches.front(),
                  "http://localhost:" + std::to_string(start.Port()) + "/start.pdf");
        matches.erase(matches.begin());
        std::sort(matches.begin(), matches.end());
        StringArray expected = Urls(other, c.otherPaths);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(matches, expected) << "depth " << c.depth;
        EXPECT_EQ(other.RequestsFor("/listed.htm").size(), 2u) << "depth " << c.depth;
    }
}

TEST_F(CrawlSiteFilesJobTest, AListBandDeletesNoStoredFileOfTheView) {
    LocalSiteServer site;
    site.SetBody("/start.htm", "<a href='/a.pdf'>a</a>");
    PanelSettings settings = Settings(site.Url("/start.htm"), 0);
    settings.filterWords = "pdf";
    settings.removeCache = true;
    OwnedJob<CrawlSiteFilesJob> job(new CrawlSiteFilesJob);
    job->MakeViewPages(settings, "");
    for (const std::string& file :
         {job->GetImagesFolder() + "\\kept.jpg", job->GetThumbsFolder() + "\\kept.jpg",
          job->GetTempFolder() + "\\kept.htm"})
        ASSERT_TRUE(WriteFileBytes(file, "x"));
    ASSERT_TRUE(RunToEnd(*job));
    EXPECT_TRUE(WaitForIdleManager());
    EXPECT_EQ(FileNamesIn(job->GetImagesFolder()), StringArray{"kept.jpg"});
    EXPECT_EQ(FileNamesIn(job->GetThumbsFolder()), StringArray{"kept.jpg"});
    EXPECT_EQ(FileNamesIn(job->GetTempFolder()), StringArray{"kept.htm"});
    EXPECT_EQ(job->GetMatchingImages(), StringArray{site.Url("/a.pdf")});
}

// A panel's "cancel" (stop requested, then the job cancelled) while a page of the crawl
// hangs: the stored list of the view stays as it was, for both list bands.
TEST_F(CrawlSiteFilesJobTest, ADiscardedExtractionKeepsTheStoredList) {
    const struct {
        const char* label;
        const ListJobValues& values;
        const char* suffix;
    } cases[] = {
        {"file band", FileFinderBandListValues, ".pdf"},
        {"MP3 band", Mp3FinderBandListValues, ".mp3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LocalSiteServer site;
        const std::string first = std::string("/first") + c.suffix;
        const std::string second = std::string("/second") + c.suffix;
        site.SetBody("/start.htm", "<a href='" + first + "'>first</a>");
        PanelSettings settings = Settings(site.Url("/start.htm"), 1);
        settings.filterWords = "first second";
        OwnedJob<CrawlSiteFilesJob> stored = Extract(settings, c.values);
        const std::string list = FileTextOf(stored->GetAllImagesPage());
        ASSERT_NE(list.find(site.Url(first)), std::string::npos) << list;
        const std::vector<std::string> files = FilesBelow(stored->GetViewFolder());

        site.SetBody("/start.htm",
                     "<a href='" + second + "'>second</a><a href='/hangs.htm'>hangs</a>");
        site.SetStalled("/hangs.htm");
        OwnedJob<CrawlSiteFilesJob> job(new CrawlSiteFilesJob(c.values));
        job->MakeViewPages(settings, "");
        Manager().AddJob(job.get());
        ASSERT_TRUE(WaitUntil([&] { return !site.RequestsFor("/hangs.htm").empty(); },
                              std::chrono::seconds(30)));
        job->RequestStop();
        job->Cancel();
        theBrowserPool->StopActive();
        EXPECT_TRUE(WaitForEnd(*job));
        EXPECT_TRUE(WaitForIdleManager());
        EXPECT_EQ(FileTextOf(stored->GetAllImagesPage()), list);
        EXPECT_EQ(FilesBelow(stored->GetViewFolder()), files);
    }
}

class Mp3ListJobTest : public CrawlSiteFilesJobTest {};

TEST_F(Mp3ListJobTest, MP3LinksOfEveryPageAreListedOnceOnAllMp3s) {
    // The MP3 band's crawl follows a page link that names a non-page file too.
    LocalSiteServer site;
    site.SetBody("/start.htm",
                 "<a href='/music/song.mp3'>song</a><a href='/music/SONG.MP3'>again</a>"
                 "<a href='/tune.mp3?x=1'>query</a><a href='/mp3s/'>folder</a>"
                 "<a href='/album.zip/'>album</a><a href='/music/song.mp3'>twice</a>");
    site.SetBody("/mp3s/", "<a href='/music/song.mp3'>song</a><a href='/mp3s/b.mp3'>b</a>");
    site.SetBody("/album.zip/", "<a href='/album/c.Mp3'>c</a>");
    PanelSettings settings = Settings(site.Url("/start.htm"), 1);
    settings.fast = true;  // the list is written all the same
    OwnedJob<CrawlSiteFilesJob> job = Extract(settings, Mp3FinderBandListValues);
    EXPECT_EQ(job->GetPagesVisitedCount(), 3);
    StringArray found = job->GetMatchingImages();
    std::sort(found.begin() + 1, found.end());
    EXPECT_EQ(found, Urls(site, {"/music/song.mp3", "/album/c.Mp3", "/mp3s/b.mp3"}));
    EXPECT_EQ(job->GetImageCount(), 3);
    EXPECT_EQ(job->GetAllImagesPage(), job->GetViewFolder() + "\\allMP3s.htm");
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), (StringArray{"allMP3s.htm"}));
    const std::string page = FileTextOf(job->GetAllImagesPage());
    EXPECT_NE(page.find(site.Url("/mp3s/b.mp3")), std::string::npos) << page;
}

TEST_F(Mp3ListJobTest, ASiteWithoutMp3sGetsAnEmptyList) {
    LocalSiteServer site;
    site.SetBody("/start.htm", "<a href='/a.pdf'>a</a>");
    OwnedJob<CrawlSiteFilesJob> job =
        Extract(Settings(site.Url("/start.htm"), 0), Mp3FinderBandListValues);
    EXPECT_TRUE(job->GetMatchingImages().empty());
    EXPECT_NE(FileTextOf(job->GetAllImagesPage()).find("No MP3s Found."), std::string::npos);
}

}  // namespace
