// The page-writing job through a job manager of the test's own, against the built
// Corvane registered in the test's registry store: the items the page receives, the
// title, an empty list, separators inside items and comments, and a missing Corvane.
#include "engine/pages/MakeHtmlPageJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/jobs/JobManager.h"
#include "platform/com/ServerExports.h"
#include "platform/file/FileLayer.h"
#include "platform/module/SharedLibrary.h"
#include "platform/timing/Timing.h"
#include "platform/trace/Trace.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;

TimingRecord ShortTiming() {
    TimingRecord timing;
    timing.jobPollMs = 2;
    timing.jobStartSpacingMs = 1;
    timing.schedulerPassPauseMs = 5;
    return timing;
}

// Every src="..." value of a page, in page order.
StringArray SourcesOf(const std::string& page) {
    StringArray sources;
    const std::string marker = "src=\"";
    for (size_t at = page.find(marker); at != std::string::npos; at = page.find(marker, at)) {
        at += marker.size();
        const size_t end = page.find('"', at);
        if (end == std::string::npos)
            break;
        sources.push_back(page.substr(at, end - at));
        at = end;
    }
    return sources;
}

// Builds its own job manager (theJobManager points at it while the test runs) and a
// registry store of its own, and ends the manager as a deliverable does.
class MakeHtmlPageJobTest : public ::testing::Test {
protected:
    MakeHtmlPageJobTest() : timing_(ShortTiming()) {
        manager_ = new JobManager(ImageFinderBandJobLimit);
        theJobManager = manager_;
        manager_->StartThread();
        static std::atomic<int> views{0};
        viewFolder_ = "c:\\views\\v" + std::to_string(++views);
        std::filesystem::create_directories(MapToLinuxPath(viewFolder_));
    }
    ~MakeHtmlPageJobTest() override {
        manager_->Stop();
        manager_->Join();
        DeleteJob(manager_);
        theJobManager = nullptr;
        if (corvane_)
            FreeSharedLibrary(corvane_);
    }

    void RegisterCorvane() {
        std::string reason;
        corvane_ = LoadSharedLibrary(CORVANE_MODULE_PATH, &reason);
        ASSERT_NE(corvane_, nullptr) << reason;
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(corvane_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
    }

    static OwnedJob<MakeHtmlPageJob> NewJob(const std::string& pagePath, const std::string& style,
                                            const StringArray& items,
                                            const StringArray& comments = {}, SIZE size = {}) {
        OwnedJob<MakeHtmlPageJob> job(new MakeHtmlPageJob);
        job->SetPage(pagePath, style, items, comments, size);
        return job;
    }

    // Queues the jobs and waits until each has finished and been let go of.
    void RunJobs(const std::vector<MakeHtmlPageJob*>& jobs) {
        for (MakeHtmlPageJob* job : jobs)
            manager_->AddJob(job);
        for (MakeHtmlPageJob* job : jobs) {
            ASSERT_TRUE(WaitUntil([job] { return job->HasEnded(); }, 20s))
                << job->GetPagePath() << " did not end";
            EXPECT_TRUE(job->IsFinished());
        }
    }

    std::string PagePath(const std::string& name) const { return viewFolder_ + "\\" + name; }
    static std::string Text(const std::string& path) {
        std::string bytes;
        return ReadFileBytes(path, &bytes) ? bytes : "<missing>";
    }

    ScopedTiming timing_;
    ScopedRegistryStore store_;
    JobManager* manager_ = nullptr;
    HLIBRARY corvane_ = nullptr;
    std::string viewFolder_;  // a system path: "c:\views\v<n>"
};

TEST(MakeHtmlPageJobSetupTest, SetPageAppendsTheListsAndResetsTheZoomSize) {
    OwnedJob<MakeHtmlPageJob> job(new MakeHtmlPageJob);
    EXPECT_EQ(job->GetTypeName(), "MakeHtmlPageJob");
    EXPECT_EQ(job->GetName(), "unknown");
    job->SetPage("c:\\a\\zoom.htm", "zoom", {"1.jpg"}, {"one"}, {0, 0});
    job->SetZoomSize(200);
    job->SetPage("c:\\b\\allImages.htm", "all", {"2.jpg", "3.jpg"}, {}, {100, 80});
    EXPECT_EQ(job->GetPagePath(), "c:\\b\\allImages.htm");
    EXPECT_EQ(job->GetStyle(), "all");
    EXPECT_EQ(job->GetImages(), (StringArray{"1.jpg", "2.jpg", "3.jpg"}));
    EXPECT_EQ(job->GetComments(), StringArray{"one"});
    EXPECT_EQ(job->GetSize().cx, 100);
    EXPECT_EQ(job->GetSize().cy, 80);
    EXPECT_EQ(job->GetZoomSize(), 0);
    EXPECT_TRUE(job->GetItemNames().empty());
}

TEST(MakeHtmlPageJobSetupTest, ItemsOfASharedListComeBeforeThoseGivenAfterThem) {
    OwnedJob<MakeHtmlPageJob> job(new MakeHtmlPageJob);
    job->SetPage("c:\\a\\zoom.htm", "zoom",
                 std::make_shared<const StringArray>(StringArray{"1.jpg"}), {}, {0, 0});
    job->SetPage("c:\\a\\zoom.htm", "zoom", StringArray{"2.jpg"}, {}, {0, 0});
    EXPECT_EQ(job->GetImages(), (StringArray{"1.jpg", "2.jpg"}));
}

// Items of a list, written with "@" for the page's folder, and the picture sources
// the All page must show for them (the page writes a blank as "%20").
struct ItemCase {
    const char* label;
    StringArray items;
    StringArray sources;
};

void PrintTo(const ItemCase& item, std::ostream* out) {
    *out << item.label;
}

class MakeHtmlPageJobItemTest : public MakeHtmlPageJobTest,
                                public ::testing::WithParamInterface<ItemCase> {
protected:
    StringArray WithFolder(const StringArray& texts) const {
        StringArray result;
        for (const std::string& text : texts)
            result.push_back(ReplaceAll(text, "@", viewFolder_));
        return result;
    }
};

TEST_P(MakeHtmlPageJobItemTest, ThePageShowsTheItemsAsTheyShouldReachIt) {
    RegisterCorvane();
    const std::string page = PagePath("allImages.htm");
    OwnedJob<MakeHtmlPageJob> job = NewJob(page, "all", WithFolder(GetParam().items));
    RunJobs({job.get()});
    EXPECT_EQ(SourcesOf(Text(page)), WithFolder(GetParam().sources));
}

// Items handed over as a list shared with the creator make the very same page, and the
// shared list is left as it was.
TEST_P(MakeHtmlPageJobItemTest, ASharedListMakesTheSamePageAndStaysAsItWas) {
    RegisterCorvane();
    const StringArray items = WithFolder(GetParam().items);
    const auto shared = std::make_shared<const StringArray>(items);
    OwnedJob<MakeHtmlPageJob> given = NewJob(PagePath("allImages.htm"), "all", items);
    OwnedJob<MakeHtmlPageJob> sharing(new MakeHtmlPageJob);
    sharing->SetPage(PagePath("shared.htm"), "all", shared, {}, SIZE{0, 0});
    RunJobs({given.get(), sharing.get()});
    EXPECT_EQ(Text(PagePath("shared.htm")), Text(PagePath("allImages.htm")));
    EXPECT_EQ(sharing->GetImages(), given->GetImages());
    EXPECT_EQ(*shared, items);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, MakeHtmlPageJobItemTest,
    ::testing::Values(
        ItemCase{"LocalPathsBecomeRelativeToThePage",
                 {"@\\images\\a.jpg", " @\\thumbs\\b.png  ", "@\\c.gif", "d:\\other\\d.jpg"},
                 {"images\\a.jpg", "thumbs\\b.png", "c.gif", "d:\\other\\d.jpg"}},
        ItemCase{"HttpUrlsStayAsTheyAre",
                 {"http://h.x/images/a.jpg", "https://h.x/b.png?x=1 "},
                 {"http://h.x/images/a.jpg", "https://h.x/b.png?x=1%20"}},
        ItemCase{"AFirstHttpUrlKeepsLaterLocalPaths",
                 {"http://h.x/a.jpg", "@\\images\\b.jpg", " @\\c.jpg"},
                 {"http://h.x/a.jpg", "@\\images\\b.jpg", "%20@\\c.jpg"}},
        ItemCase{"SeparatorsInsideAnItemKeepItOneItem",
                 {"http://h.x/a,b.jpg", "http://h.x/c\r\nd.gif", "http://h.x/e.jpg"},
                 {"http://h.x/a%2Cb.jpg", "http://h.x/c%0D%0Ad.gif", "http://h.x/e.jpg"}},
        ItemCase{"ALocalPathWithACommaStaysOneRelativeItem",
                 {"@\\images\\one,two.jpg", "@\\images\\three.jpg"},
                 {"images\\one%2Ctwo.jpg", "images\\three.jpg"}},
        // Addresses are written as they are: only local paths are turned into addresses.
        ItemCase{"AddressesAmongLocalPathsAreNotEncodedAgain",
                 {"file:///tmp/pics/my%20pic.png", "@\\images\\my pic.jpg",
                  " FILE:///tmp/pics/a%23b.gif", "http://h.x/c%20d.jpg"},
                 {"file:///tmp/pics/my%20pic.png", "images\\my%20pic.jpg",
                  "FILE:///tmp/pics/a%23b.gif", "http://h.x/c%20d.jpg"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MakeHtmlPageJobTest, AnEmptyListStillWritesThePageWithItsEmptyListText) {
    RegisterCorvane();
    const std::string page = PagePath("allImages.htm");
    OwnedJob<MakeHtmlPageJob> job = NewJob(page, "all", {});
    RunJobs({job.get()});
    const std::string text = Text(page);
    EXPECT_NE(text.find("No Images Found."), std::string::npos) << text;
    EXPECT_EQ(text.find("<img"), std::string::npos) << text;
}

// The four pages of a view run side by side, each with its own formatter object.
TEST_F(MakeHtmlPageJobTest, EveryPageOfEveryStyleIsTitledAll) {
    RegisterCorvane();
    const StringArray items{"http://h.x/a.jpg", "http://h.x/b.mp3", "mailto:a@h.x"};
    std::vector<OwnedJob<MakeHtmlPageJob>> jobs;
    std::vector<MakeHtmlPageJob*> queued;
    for (const char* style : {"all", "thumbs", "slideshow", "zoom", "file", "mp3"}) {
        jobs.push_back(NewJob(PagePath(std::string(style) + ".htm"), style, items));
        queued.push_back(jobs.back().get());
    }
    RunJobs(queued);
    for (const auto& job : jobs) {
        const std::string text = Text(job->GetPagePath());
        EXPECT_NE(text.find("<title>All</title>"), std::string::npos)
            << job->GetStyle() << ": " << text;
    }
}

TEST_F(MakeHtmlPageJobTest, TheSizeAndTheZoomSizeReachThePage) {
    RegisterCorvane();
    OwnedJob<MakeHtmlPageJob> zoom = NewJob(PagePath("zoom.htm"), "zoom", {"http://h.x/a.jpg"});
    zoom->SetZoomSize(150);
    // The thumbs page's height is replaced by its zoom size, 0: no height.
    OwnedJob<MakeHtmlPageJob> thumbs =
        NewJob(PagePath("allThumbs.htm"), "thumbs", {"http://h.x/a.jpg"}, {}, {100, 100});
    RunJobs({zoom.get(), thumbs.get()});
    EXPECT_NE(Text(zoom->GetPagePath()).find("height=150"), std::string::npos);
    EXPECT_EQ(Text(thumbs->GetPagePath()).find("height="), std::string::npos);
}

// A comment holding the comment separators stays one comment, beside its own picture.
TEST_F(MakeHtmlPageJobTest, CommentsKeepTheirPlaceWhateverTheyHold) {
    RegisterCorvane();
    const std::string page = PagePath("data.htm");
    OwnedJob<MakeHtmlPageJob> job =
        NewJob(page, "data", {"http://h.x/a.jpg", "http://h.x/b.jpg", "http://h.x/c.jpg"},
               {"first\tpart, with a comma", "second\r\nline", "third"});
    RunJobs({job.get()});
    const std::string text = Text(page);
    const size_t a = text.find("a.jpg");
    const size_t first = text.find("first part, with a comma");
    const size_t b = text.find("b.jpg");
    const size_t second = text.find("second  line");
    const size_t c = text.find("c.jpg");
    const size_t third = text.find("third");
    ASSERT_NE(third, std::string::npos) << text;
    EXPECT_TRUE(a < first && first < b && b < second && second < c && c < third) << text;
}

TEST_F(MakeHtmlPageJobTest, WithoutCorvaneTheJobEndsQuietlyWithoutAPage) {
    const char* traced = std::getenv("MORVELLE_TRACE");
    SetTraceChannels("jobs");
    const std::string page = PagePath("allImages.htm");
    OwnedJob<MakeHtmlPageJob> job = NewJob(page, "all", {PagePath("images\\a.jpg")});
    ::testing::internal::CaptureStderr();
    RunJobs({job.get()});
    const std::string errors = ::testing::internal::GetCapturedStderr();
    SetTraceChannels(traced ? traced : "");
    EXPECT_FALSE(FileIsReadable(page));
    // Quietly: a message box would fail the test, as no box is expected.
    EXPECT_NE(errors.find("[jobs] MakeHtmlPageJob"), std::string::npos) << errors;
    EXPECT_EQ(job->GetImages(), StringArray{PagePath("images\\a.jpg")})
        << "the items were changed although no formatter was there";
}

}  // namespace
