// The image extraction: batch sizes, local names, the storage layout, the cache
// clean-up, and whole extractions of the bundled sample site against a local web server,
// with the built Corvane registered in the test's own registry store writing the pages.
#include "engine/extract/CrawlSiteImagesJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "engine/extract/StorageLayout.h"
#include "platform/com/ServerExports.h"
#include "platform/file/FileLayer.h"
#include "platform/module/SharedLibrary.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestEnvironment.h"

using namespace std::chrono_literals;

namespace {

// A fresh storage folder for each use, as the settings name it.
std::string NewStorageFolder() {
    static std::atomic<int> count{0};
    return "c:\\extract\\storage" + std::to_string(++count);
}

bool FolderExists(const std::string& path) {
    std::vector<FolderEntry> entries;
    return ListFolder(path, &entries);
}

TEST(CrawlSiteImagesJobBatchTest, BatchesAreTenBelowAHundredElseATenthUpToFifty) {
    struct Case {
        int items, batch, jobs;
    };
    for (const Case c : {Case{0, 10, 0}, Case{5, 10, 1}, Case{99, 10, 10}, Case{100, 10, 10},
                         Case{250, 25, 10}, Case{499, 49, 11}, Case{1000, 50, 20}}) {
        const int batch = CrawlSiteImagesJob::BatchSize(c.items);
        EXPECT_EQ(batch, c.batch) << c.items << " items";
        EXPECT_EQ((c.items + batch - 1) / batch, c.jobs) << c.items << " items";
    }
}

TEST(CrawlSiteImagesJobNamesTest, EachMatchingImageGetsAUniqueSafeLocalName) {
    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->AddImageUrls({"http://h.x/a/pic.jpg", "http://h.x/b/pic.jpg", "http://h.x/pic.gif",
                       "HTTP://H.X/A/PIC.JPG", "res://module/1", "", "http://h.x/Pic.png",
                       "http://h.x/show.php?img=a.jpg", "http://h.x/..%2F..%2Fup.jpg",
                       "http://h.x/folder/", "http://h.x/img/my%20pic.png",
                       "http://h.x/100%25%20%C3%A9.jpg"});
    EXPECT_EQ(job->GetMatchingImages(),
              (StringArray{"http://h.x/a/pic.jpg", "http://h.x/b/pic.jpg", "http://h.x/pic.gif",
                           "http://h.x/Pic.png", "http://h.x/show.php?img=a.jpg",
                           "http://h.x/..%2F..%2Fup.jpg", "http://h.x/folder/",
                           "http://h.x/img/my%20pic.png", "http://h.x/100%25%20%C3%A9.jpg"}));
    // Names are decoded, then made safe: names differing only in letter case are one
    // name; nothing can climb out of the images folder.
    EXPECT_EQ(job->GetLocalNames(), (StringArray{"pic", "pic-2", "pic-3", "Pic-4", "show", "up",
                                                 "image", "my pic", "100% \xC3\xA9"}));
    EXPECT_EQ(job->GetMatchingImageCount(), 9);
}

class StorageLayoutTest : public ::testing::Test {
protected:
    OwnedJob<CrawlSiteImagesJob> Setup(const PanelSettings& settings,
                                       const std::string& siteName = "") {
        OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
        job->MakeViewPages(settings, siteName);
        return job;
    }

    PanelSettings Settings(const std::string& siteUrl) {
        PanelSettings settings;
        settings.folder = storage_;
        settings.siteUrl = siteUrl;
        settings.depth = 3;
        return settings;
    }

    const std::string storage_ = NewStorageFolder();
};

TEST_F(StorageLayoutTest, TheViewLiesUnderTheSiteFolderWithItsFoldersAndPages) {
    PanelSettings settings = Settings("http://www.site.example:8080/a/index.htm");
    settings.viewName = "";
    OwnedJob<CrawlSiteImagesJob> job = Setup(settings);
    // The host keeps its port, the folder name drops the ":".
    const std::string view = storage_ + "\\www.site.example8080\\default";
    EXPECT_EQ(job->GetSiteFolder(), storage_ + "\\www.site.example8080");
    EXPECT_EQ(job->GetViewFolder(), view);
    EXPECT_EQ(job->GetImagesFolder(), view + "\\images");
    EXPECT_EQ(job->GetThumbsFolder(), view + "\\thumbs");
    EXPECT_EQ(job->GetTempFolder(), view + "\\temp");
    EXPECT_EQ(job->GetAllImagesPage(), view + "\\allImages.htm");
    EXPECT_EQ(job->GetThumbnailsPage(), view + "\\allThumbs.htm");
    EXPECT_EQ(job->GetSlideshowPage(), view + "\\slideShow.htm");
    EXPECT_EQ(job->GetZoomPage(), view + "\\zoom.htm");
    EXPECT_EQ(job->GetUrlsPage(), view + "\\urls.htm");
    EXPECT_EQ(job->GetAllFilesPage(), view + "\\allFiles.htm");
    EXPECT_EQ(job->GetAllMp3sPage(), view + "\\allMP3s.htm");
    EXPECT_EQ(job->GetMultiviewPage(), "");
    for (const std::string& folder :
         {job->GetImagesFolder(), job->GetThumbsFolder(), job->GetTempFolder()})
        EXPECT_TRUE(FolderExists(folder)) << folder;
    EXPECT_EQ(job->GetStartUrl(), settings.siteUrl);
    EXPECT_EQ(job->GetName(), settings.siteUrl);
    EXPECT_EQ(job->GetMaxDepth(), 3);
    EXPECT_FALSE(job->GetLeaveSite());
}

TEST_F(StorageLayoutTest, SiteAndViewNamesComeFromSettingsAndStayInsideTheStorage) {
    struct Case {
        const char* siteName;
        const char* siteFolderName;
        const char* viewName;
        const char* viewFolder;  // under the storage folder
    };
    const Case cases[] = {
        {"given", "", "v1", "given\\v1"},
        {"", "", "v1", "h.x81\\v1"},
        {"given", "chosen", "v1", "chosen\\v1"},
        {" a:b ", "", "v", "ab\\v"},
        {"..", "", "..", "_\\_"},
        {"x/y", "", "p\\q", "x-y\\p-q"},
    };
    for (const Case& c : cases) {
        PanelSettings settings = Settings("http://h.x:81/");
        settings.siteFolderName = c.siteFolderName;
        settings.viewName = c.viewName;
        OwnedJob<CrawlSiteImagesJob> job = Setup(settings, c.siteName);
        EXPECT_EQ(job->GetViewFolder(), storage_ + "\\" + c.viewFolder) << c.siteName;
    }
}

TEST_F(StorageLayoutTest, ExtraStartUrlsMakeTheCrawlWander) {
    PanelSettings settings = Settings("http://h.x/");
    settings.siteList = "http://a.example/\r\nhttp://b.example/\n";
    EXPECT_TRUE(Setup(settings)->GetLeaveSite());
}

TEST(DeleteCachedFilesTest, DeletesPicturesAndPagesAndLeavesTheRest) {
    const std::string folder = NewStorageFolder();
    for (const std::string& level : {std::string("c:"), std::string("c:\\extract"), folder})
        CreateDirectory(level);
    ASSERT_TRUE(FolderExists(folder));
    ASSERT_TRUE(CreateDirectory(folder + "\\sub"));
    for (const char* name :
         {"a.jpg", "b.GIF", "c.htm", "d.html", "e.png", "f.txt", "g.mp3", "h.bmp", "i.jpeg"})
        ASSERT_TRUE(WriteFileBytes(folder + "\\" + name, "x"));
    ASSERT_TRUE(WriteFileBytes(folder + "\\sub\\k.jpg", "x"));
    CrawlSiteImagesJob::DeleteCachedFiles(folder);
    EXPECT_EQ(FileNamesIn(folder), (StringArray{"f.txt", "g.mp3"}));
    EXPECT_EQ(FileNamesIn(folder + "\\sub"), StringArray{"k.jpg"});
}

// Whole extractions of the bundled sample site, with Corvane writing the pages.
class ExtractionTest : public CrawlFixture {
protected:
    // The sample site's frames are waited for, with room for a busy machine.
    explicit ExtractionTest(const TimingRecord& timing = WithRoomForAnswers(ShortCrawlTiming()))
        : CrawlFixture(ImageFinderBandJobLimit, ImageFinderBandBrowserThreads, timing) {}

    PanelSettings Settings(int depth) const {
        PanelSettings settings;
        settings.folder = storage_;
        settings.siteUrl = site_.Url("/index.htm");
        settings.depth = depth;
        settings.minWidth = 100;
        settings.minHeight = 100;
        settings.maxImages = 0;
        settings.viewName = "view";
        return settings;
    }

    OwnedJob<CrawlSiteImagesJob> Extract(const PanelSettings& settings) {
        OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
        job->MakeViewPages(settings, "");
        EXPECT_TRUE(RunToEnd(*job));
        EXPECT_TRUE(WaitForIdleManager());
        return job;
    }

    // How often the server was asked for each path.
    std::map<std::string, int> RequestCounts() const {
        std::map<std::string, int> counts;
        for (const LocalSiteRequest& request : site_.Requests())
            ++counts[request.path];
        return counts;
    }

    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    const std::string storage_ = NewStorageFolder();
    LocalSiteServer site_{std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site"};
};

const StringArray kViewPages{"allImages.htm", "allThumbs.htm", "slideShow.htm", "zoom.htm"};

TEST_F(ExtractionTest, ASiteGoesFromItsPagesToTheFourViewPages) {
    OwnedJob<CrawlSiteImagesJob> job = Extract(Settings(3));
    EXPECT_EQ(job->GetViewFolder(),
              storage_ + "\\127.0.0.1" + std::to_string(site_.Port()) + "\\view");
    EXPECT_EQ(job->GetPagesVisitedCount(), 8);
    EXPECT_EQ(job->GetPagesFoundCount(), 8);
    EXPECT_EQ(job->GetImageCount(), 11);
    // Pictures below 100 x 100, and those without a declared size, are left out.
    const StringArray pictures{"apples.jpg", "harbour-large.jpg", "harbour-small.jpg", "map.png",
                               "rose.jpg"};
    EXPECT_EQ(job->GetMatchingImageCount(), 5);
    EXPECT_EQ(job->GetDownloadedCount(), 5);
    EXPECT_EQ(FileNamesIn(job->GetImagesFolder()), pictures);
    EXPECT_EQ(FileNamesIn(job->GetThumbsFolder()),
              (StringArray{"apples.jpg", "harbour-large.jpg", "harbour-small.jpg", "map.jpg",
                           "rose.jpg"}));
    EXPECT_TRUE(FileNamesIn(job->GetTempFolder()).empty());
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), kViewPages);
    EXPECT_EQ(job->GetPhase(), 3);
    EXPECT_EQ(job->GetProgress(), 100);

    // Each matching picture was fetched once; no other picture was.
    std::map<std::string, int> counts = RequestCounts();
    for (const std::string& picture : pictures)
        EXPECT_EQ(counts["/pictures/" + picture], 1) << picture;
    EXPECT_EQ(counts.count("/pictures/banner.png"), 0u);

    // The pages name the local files relative to the page, the thumbnails in the
    // pictures' order.
    const std::string all = FileTextOf(job->GetAllImagesPage());
    EXPECT_NE(all.find("images\\rose.jpg"), std::string::npos) << all;
    EXPECT_EQ(all.find(storage_), std::string::npos);
    EXPECT_EQ(all.find("http://"), std::string::npos);
    EXPECT_NE(all.find("<title>All</title>"), std::string::npos);
    const std::string thumbs = FileTextOf(job->GetThumbnailsPage());
    EXPECT_NE(thumbs.find("thumbs\\rose.jpg"), std::string::npos) << thumbs;
}

// A whole extraction under the product's periods, the shortened ones, and waits that never
// run out during the test: every stage goes on when its last child's end wakes it. The
// probes and the frames' quiet spell have room in each.
class ExtractionPeriodsTest : public ExtractionTest,
                              public ::testing::WithParamInterface<NamedTiming> {
protected:
    ExtractionPeriodsTest() : ExtractionTest(WithRoomForAnswers(GetParam().record())) {}
};

TEST_P(ExtractionPeriodsTest, EveryStageGoesOnWhenItsChildrenEnd) {
    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->MakeViewPages(Settings(3), "");
    ASSERT_TRUE(RunToEnd(*job, 30s));
    EXPECT_EQ(job->GetPagesVisitedCount(), 8);
    EXPECT_EQ(FileNamesIn(job->GetThumbsFolder()).size(), 5u);
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), kViewPages);
    EXPECT_TRUE(WaitForIdleManager());
}

INSTANTIATE_TEST_SUITE_P(Periods, ExtractionPeriodsTest, ::testing::ValuesIn(kCrawlTimings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExtractionTest, TheItemLimitStopsTheCrawlAndEveryMatchFoundIsDownloaded) {
    PanelSettings settings = Settings(3);
    settings.maxImages = 2;
    OwnedJob<CrawlSiteImagesJob> job = Extract(settings);
    // The limit is reached with the first level's pages; the next page to finish stops
    // the crawl, so the third level is never reached.
    EXPECT_GE(job->GetMatchingImageCount(), 2);
    EXPECT_LT(job->GetPagesVisitedCount(), 8);
    EXPECT_EQ(RequestCounts().count("/pages/old/archive.htm"), 0u);
    EXPECT_EQ(job->GetDownloadedCount(), job->GetMatchingImageCount());
    EXPECT_EQ(static_cast<int>(FileNamesIn(job->GetImagesFolder()).size()),
              job->GetMatchingImageCount());
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), kViewPages);
}

TEST_F(ExtractionTest, TheItemLimitHoldsWithinOnePage) {
    // One page of 500 pictures, a limit of 20: the first 20 in page order are kept and
    // downloaded, and no other picture is asked for.
    std::string page = "<html><body>";
    StringArray first;
    for (int i = 0; i < 500; ++i) {
        const std::string path = "/many/p" + std::to_string(i) + ".png";
        site_.SetBody(path,
                      FileTextOf(std::string(MORVELLE_SOURCE_DIR) +
                                 "/resources/sample-site/pictures/map.png"),
                      "image/png");
        page += "<img src='" + path + "' width=200 height=200>";
        if (i < 20)
            first.push_back(site_.Url(path));
    }
    site_.SetBody("/many.htm", page + "</body></html>");
    PanelSettings settings = Settings(0);
    settings.siteUrl = site_.Url("/many.htm");
    settings.maxImages = 20;
    OwnedJob<CrawlSiteImagesJob> job = Extract(settings);
    EXPECT_EQ(job->GetMatchingImages(), first);
    EXPECT_EQ(job->GetDownloadedCount(), 20);
    EXPECT_EQ(FileNamesIn(job->GetImagesFolder()).size(), 20u);
    int asked = 0;
    for (const auto& [path, count] : RequestCounts()) {
        if (path.rfind("/many/", 0) == 0)
            asked += count;
    }
    EXPECT_EQ(asked, 20);
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), kViewPages);
}

TEST_F(ExtractionTest, FastModeDownloadsNothingAndListsTheRemoteAddresses) {
    PanelSettings settings = Settings(1);
    settings.fast = true;
    OwnedJob<CrawlSiteImagesJob> job = Extract(settings);
    EXPECT_EQ(job->GetMatchingImageCount(), 3);
    EXPECT_EQ(job->GetDownloadedCount(), 0);
    EXPECT_TRUE(FileNamesIn(job->GetImagesFolder()).empty());
    EXPECT_TRUE(FileNamesIn(job->GetThumbsFolder()).empty());
    for (const auto& [path, count] : RequestCounts())
        EXPECT_EQ(path.find("/pictures/"), std::string::npos) << path << " was fetched";
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), kViewPages);
    const std::string all = FileTextOf(job->GetAllImagesPage());
    EXPECT_NE(all.find(site_.Url("/pictures/rose.jpg")), std::string::npos) << all;
}

TEST_F(ExtractionTest, AFileStartKeepsStoredPicturesAndRemoveCacheClearsThumbsAndTemp) {
    PanelSettings settings = Settings(0);
    settings.siteUrl =
        PathToFileUrl(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site/index.htm");
    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->MakeViewPages(settings, "local");
    ASSERT_TRUE(WriteFileBytes(job->GetImagesFolder() + "\\kept.jpg", "x"));
    ASSERT_TRUE(WriteFileBytes(job->GetThumbsFolder() + "\\old.jpg", "x"));
    ASSERT_TRUE(WriteFileBytes(job->GetTempFolder() + "\\old.htm", "x"));
    ASSERT_TRUE(RunToEnd(*job));
    EXPECT_EQ(FileNamesIn(job->GetImagesFolder()), (StringArray{"harbour-large.jpg", "kept.jpg"}));
    EXPECT_EQ(FileNamesIn(job->GetThumbsFolder()), StringArray{"harbour-large.jpg"});
    EXPECT_TRUE(FileNamesIn(job->GetTempFolder()).empty());
}

// A fast view of a local page names its pictures by their file: addresses, each escape
// once: a browser opening the view finds the files.
TEST_F(ExtractionTest, AFastViewOfALocalPageNamesItsPicturesByTheirOwnAddresses) {
    const std::string folder = MakeTestFolder("fast-local");
    ASSERT_TRUE(WriteFileBytes(folder + "/my pic.png", "x"));
    ASSERT_TRUE(
        WriteFileBytes(folder + "/page.htm", "<img src='my%20pic.png' width='200' height='200'>"));
    PanelSettings settings = Settings(0);
    settings.siteUrl = PathToFileUrl(folder + "/page.htm");
    settings.fast = true;
    OwnedJob<CrawlSiteImagesJob> job = Extract(settings);
    const std::string picture = PathToFileUrl(folder + "/my pic.png");
    ASSERT_EQ(job->GetMatchingImages(), StringArray{picture});
    for (const std::string& page : {job->GetAllImagesPage(), job->GetSlideshowPage()}) {
        const std::string text = FileTextOf(page);
        EXPECT_NE(text.find(picture), std::string::npos) << page << ": " << text;
        EXPECT_EQ(text.find("%2520"), std::string::npos) << page << ": " << text;
    }
}

TEST_F(ExtractionTest, AWebStartClearsStoredPictures) {
    PanelSettings settings = Settings(0);
    OwnedJob<CrawlSiteImagesJob> first(new CrawlSiteImagesJob);
    first->MakeViewPages(settings, "");
    ASSERT_TRUE(WriteFileBytes(first->GetImagesFolder() + "\\stale.jpg", "x"));
    ASSERT_TRUE(WriteFileBytes(first->GetImagesFolder() + "\\notes.txt", "x"));
    ASSERT_TRUE(RunToEnd(*first));
    EXPECT_EQ(FileNamesIn(first->GetImagesFolder()),
              (StringArray{"harbour-large.jpg", "notes.txt"}));
}

TEST_F(ExtractionTest, PicturesOfTheUsersOwnFilesAreNeverCollectedFromTheWeb) {
    const std::string pictures =
        std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site/pictures/";
    LocalSiteServer server;
    server.SetBody("/start.htm", "<img src='" + PathToFileUrl(pictures + "map.png") +
                                     "' width='500' height='400'><a href='" +
                                     PathToFileUrl(pictures + "rose.jpg") +
                                     "'>rose</a>"
                                     "<img src='/web.png' width='300' height='300'>");
    server.SetBody("/web.png", FileTextOf(pictures + "tulip.png"), "image/png");
    PanelSettings settings = Settings(0);
    settings.siteUrl = server.Url("/start.htm");
    OwnedJob<CrawlSiteImagesJob> job = Extract(settings);
    EXPECT_EQ(job->GetMatchingImages(), StringArray{server.Url("/web.png")});
    EXPECT_EQ(FileNamesIn(job->GetImagesFolder()), StringArray{"web.png"});
}

TEST_F(ExtractionTest, ACancelEndsTheCrawlAndTheViewIsStillWritten) {
    // The start page's links stall; the cancel stops them and the picture of the start
    // page is still downloaded.
    LocalSiteServerOptions options;
    options.workerThreads = 40;
    LocalSiteServer stalling("", options);
    std::string body = "<img src='/big.png' width='200' height='200'>";
    for (int i = 0; i < 20; ++i)
        body += "<a href='/slow" + std::to_string(i) + ".htm'>slow</a>";
    stalling.SetBody("/start.htm", body);
    stalling.SetBody(
        "/big.png",
        FileTextOf(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site/pictures/map.png"),
        "image/png");
    LocalSiteResponse slow;
    slow.body = "<title>slow</title>";
    slow.stallAfterHead = true;
    stalling.SetDefaultResponse(slow);

    PanelSettings settings = Settings(1);
    settings.siteUrl = stalling.Url("/start.htm");
    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->MakeViewPages(settings, "");
    Manager().AddJob(job.get());
    ASSERT_TRUE(WaitUntil([&] { return stalling.Requests().size() >= 12; }, 20s));
    job->Cancel();
    ASSERT_TRUE(WaitForJobEnd(*job, 15s)) << "the extraction did not end after the cancel";
    EXPECT_EQ(job->GetDownloadedCount(), 1);
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), kViewPages);
    EXPECT_TRUE(WaitForIdleManager());
}

}  // namespace

// A user's stop and discard, while a page of the crawl hangs.
class StoppedExtractionTest : public ExtractionTest {
protected:
    // The hanging page's probe runs out on the crawl's short time-out.
    StoppedExtractionTest() : ExtractionTest(WithProductFrameWait(ShortCrawlTiming())) {}

    OwnedJob<CrawlSiteImagesJob> StartHanging(const PanelSettings& settings) {
        site_.SetStalled("/pages/harbour.htm");
        OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
        job->MakeViewPages(settings, "");
        Manager().AddJob(job.get());
        EXPECT_TRUE(
            WaitUntil([&] { return !site_.RequestsFor("/pages/harbour.htm").empty(); }, 30s));
        return job;
    }
    void EndHanging(CrawlSiteImagesJob& job) {
        theBrowserPool->StopActive();
        EXPECT_TRUE(WaitForEnd(job));
        EXPECT_TRUE(WaitForIdleManager());
    }
};

TEST_F(StoppedExtractionTest, ADiscardedExtractionLeavesTheStoredViewAsItWas) {
    const PanelSettings settings = Settings(1);
    OwnedJob<CrawlSiteImagesJob> first = Extract(settings);
    const std::string view = first->GetViewFolder();
    const std::vector<std::string> files = FilesBelow(view);
    const std::string page = FileTextOf(first->GetAllImagesPage());
    ASSERT_FALSE(FileNamesIn(first->GetImagesFolder()).empty());

    OwnedJob<CrawlSiteImagesJob> job = StartHanging(settings);
    job->RequestStop();
    job->Cancel();
    EndHanging(*job);
    EXPECT_EQ(FilesBelow(view), files);
    EXPECT_EQ(FileTextOf(first->GetAllImagesPage()), page);
}

TEST_F(StoppedExtractionTest, StopEarlyDuringTheCrawlWritesAFastViewOfWhatWasFound) {
    PanelSettings settings = Settings(1);
    settings.minWidth = 0;
    settings.minHeight = 0;
    OwnedJob<CrawlSiteImagesJob> job = StartHanging(settings);
    job->StopEarly();
    EndHanging(*job);
    EXPECT_TRUE(job->GetSettings().fast);
    EXPECT_EQ(job->GetDownloadedCount(), 0);
    EXPECT_TRUE(FileNamesIn(job->GetImagesFolder()).empty());
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()), kViewPages);
    EXPECT_NE(FileTextOf(job->GetAllImagesPage()).find(site_.BaseUrl()), std::string::npos);
}

TEST_F(StoppedExtractionTest, StopEarlyAfterTheCrawlOnlyCancelsAndKeepsTheDownloads) {
    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->MakeViewPages(Settings(0), "");
    ASSERT_TRUE(RunToEnd(*job));
    job->StopEarly();
    EXPECT_FALSE(job->GetSettings().fast);
    EXPECT_FALSE(FileNamesIn(job->GetImagesFolder()).empty());
}
