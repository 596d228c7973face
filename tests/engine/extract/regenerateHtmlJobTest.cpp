// Rebuilding a stored view from its edited page: the fresh view is built under the
// storage folder's "temp" folder and replaces the stored one only when it is whole.
#include "engine/extract/regenerateHtmlJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "platform/com/ServerExports.h"
#include "platform/file/FileLayer.h"
#include "platform/module/SharedLibrary.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

// text without every line that holds piece.
std::string WithoutLinesHolding(const std::string& text, const std::string& piece) {
    std::string result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(start, end - start);
        if (line.find(piece) == std::string::npos)
            result += line;
        start = end;
    }
    return result;
}

class RegenerateHtmlJobTest : public CrawlFixture {
protected:
    RegenerateHtmlJobTest() {
        static std::atomic<int> count{0};
        storage_ = "c:\\regenerate\\storage" + std::to_string(++count);
    }

    // Extracts the sample site to depth 1 into the stored view "view".
    void ExtractStoredView() {
        PanelSettings settings;
        settings.folder = storage_;
        settings.siteUrl = site_.Url("/index.htm");
        settings.depth = 1;
        settings.minWidth = 100;
        settings.minHeight = 100;
        settings.viewName = "view";
        OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
        job->MakeViewPages(settings, "");
        ASSERT_TRUE(RunToEnd(*job));
        viewFolder_ = job->GetViewFolder();
        ASSERT_EQ(FileNamesIn(viewFolder_ + "\\images"),
                  (StringArray{"harbour-large.jpg", "harbour-small.jpg", "rose.jpg"}));
    }

    // The settings a panel gives a regeneration of the page at pagePath. The pictures of
    // a stored page declare no size, so a size limit would leave them all out.
    PanelSettings RegenerationSettings(const std::string& pagePath) const {
        PanelSettings settings;
        settings.folder = storage_ + "\\temp";
        settings.siteUrl = PathToFileUrl(MapToLinuxPath(pagePath));
        settings.depth = 1;
        settings.viewName = "default";
        return settings;
    }

    OwnedJob<regenerateHtmlJob> Regenerate(const std::string& pagePath) {
        OwnedJob<regenerateHtmlJob> job(new regenerateHtmlJob);
        job->Setup(RegenerationSettings(pagePath));
        EXPECT_TRUE(RunToEnd(*job));
        EXPECT_TRUE(WaitForIdleManager());
        return job;
    }

    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    std::string storage_;
    std::string viewFolder_;
    LocalSiteServer site_{std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site"};
};

TEST_F(RegenerateHtmlJobTest, SetupFindsTheStoredViewAndItsSiteFromThePageAddress) {
    OwnedJob<regenerateHtmlJob> job(new regenerateHtmlJob);
    PanelSettings settings = RegenerationSettings(storage_ + "\\my site\\my view\\allImages.htm");
    job->Setup(settings);
    EXPECT_EQ(job->GetTargetFolder(), MapToLinuxPath(storage_ + "\\my site\\my view"));
    EXPECT_EQ(job->GetSiteName(), "my site");
    EXPECT_EQ(job->GetViewFolder(), storage_ + "\\temp\\my site\\default");
}

TEST_F(RegenerateHtmlJobTest, AnEditedViewLosesTheRemovedPicture) {
    ExtractStoredView();
    const std::string page = viewFolder_ + "\\allImages.htm";
    const std::string edited = WithoutLinesHolding(FileTextOf(page), "rose.jpg");
    ASSERT_NE(edited, FileTextOf(page));
    ASSERT_TRUE(WriteFileBytes(page, edited));

    OwnedJob<regenerateHtmlJob> job = Regenerate(page);
    EXPECT_EQ(FileNamesIn(viewFolder_ + "\\images"),
              (StringArray{"harbour-large.jpg", "harbour-small.jpg"}));
    EXPECT_EQ(FileNamesIn(viewFolder_ + "\\thumbs"),
              (StringArray{"harbour-large.jpg", "harbour-small.jpg"}));
    const std::string all = FileTextOf(page);
    EXPECT_EQ(all.find("rose.jpg"), std::string::npos) << all;
    EXPECT_NE(all.find("images\\harbour-small.jpg"), std::string::npos) << all;
    // The job's layout is the stored view's, not the fresh one's under "temp".
    EXPECT_EQ(job->GetAllImagesPage(), page);
    EXPECT_EQ(job->GetViewFolder(), viewFolder_);
    EXPECT_TRUE(job->GetStage().empty());
}

TEST_F(RegenerateHtmlJobTest, AFailedRegenerationLeavesTheStoredViewWhole) {
    ExtractStoredView();
    const StringArray pages = FileNamesIn(viewFolder_);
    const std::string all = FileTextOf(viewFolder_ + "\\allImages.htm");

    // The edited page has gone: the fresh view has no pictures.
    OwnedJob<regenerateHtmlJob> job = Regenerate(viewFolder_ + "\\missing.htm");
    EXPECT_EQ(FileNamesIn(viewFolder_), pages);
    EXPECT_EQ(FileTextOf(viewFolder_ + "\\allImages.htm"), all);
    EXPECT_EQ(FileNamesIn(viewFolder_ + "\\images"),
              (StringArray{"harbour-large.jpg", "harbour-small.jpg", "rose.jpg"}));
    EXPECT_EQ(job->GetAllImagesPage(), viewFolder_ + "\\allImages.htm");
}

// An earlier run's pages and pictures left in the fresh view under "temp" are cleared
// before the rebuild: when its page writers then fail (no formatter), the stored view
// stays whole instead of being replaced by the stale pages.
TEST_F(RegenerateHtmlJobTest, ARebuildWhosePagesFailNeverTakesAnEarlierRunsPages) {
    ExtractStoredView();
    const std::vector<std::string> stored = FilesBelow(viewFolder_);
    const std::string all = FileTextOf(viewFolder_ + "\\allImages.htm");
    OwnedJob<regenerateHtmlJob> setup(new regenerateHtmlJob);
    setup->Setup(RegenerationSettings(viewFolder_ + "\\allImages.htm"));
    for (const std::string& page : {setup->GetAllImagesPage(), setup->GetThumbnailsPage(),
                                    setup->GetSlideshowPage(), setup->GetZoomPage()})
        ASSERT_TRUE(WriteFileBytes(page, "stale page"));
    ASSERT_TRUE(WriteFileBytes(setup->GetImagesFolder() + "\\stale.jpg", "stale picture"));
    ASSERT_TRUE(WriteFileBytes(setup->GetThumbsFolder() + "\\stale.jpg", "stale thumbnail"));

    HLIBRARY corvane = LoadSharedLibrary(CORVANE_MODULE_PATH, nullptr);
    ASSERT_NE(corvane, nullptr);
    auto unregisterServer = reinterpret_cast<DllRegisterServerFunction>(
        GetLibrarySymbol(corvane, "DllUnregisterServer"));
    ASSERT_NE(unregisterServer, nullptr);
    ASSERT_EQ(unregisterServer(), S_OK);
    OwnedJob<regenerateHtmlJob> job = Regenerate(viewFolder_ + "\\allImages.htm");
    FreeSharedLibrary(corvane);

    EXPECT_EQ(FilesBelow(viewFolder_), stored);
    EXPECT_EQ(FileTextOf(viewFolder_ + "\\allImages.htm"), all);
    EXPECT_EQ(job->GetAllImagesPage(), viewFolder_ + "\\allImages.htm");
}

// A view stored where a rebuild builds its fresh view (a site under "temp", view
// "default") is rebuilt in place: nothing of it is deleted, before or after.
TEST_F(RegenerateHtmlJobTest, AViewThatIsItsOwnFreshViewIsNotClearedFirst) {
    PanelSettings settings;
    settings.folder = storage_ + "\\temp";
    settings.siteUrl = site_.Url("/index.htm");
    settings.depth = 1;
    settings.minWidth = 100;
    settings.minHeight = 100;
    OwnedJob<CrawlSiteImagesJob> extraction(new CrawlSiteImagesJob);
    extraction->MakeViewPages(settings, "");
    ASSERT_TRUE(RunToEnd(*extraction));
    const std::string view = extraction->GetViewFolder();
    ASSERT_EQ(view, extraction->GetSiteFolder() + "\\default");

    OwnedJob<regenerateHtmlJob> job = Regenerate(view + "\\allImages.htm");
    EXPECT_EQ(FileNamesIn(view + "\\images"),
              (StringArray{"harbour-large.jpg", "harbour-small.jpg", "rose.jpg"}));
    EXPECT_NE(FileTextOf(view + "\\allImages.htm").find("rose.jpg"), std::string::npos);
}

}  // namespace
