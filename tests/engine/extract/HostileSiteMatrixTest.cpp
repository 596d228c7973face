// The fault matrix's hostile sites, one case a row, each taken through a whole extraction
// to its view: names a site chooses for its pictures, pictures too large or sent a byte
// at a time, and links planted in the view's folders that lead to another folder. Every
// case ends, a hostile download by its own guard (as the trace tells), the good picture
// is stored and shown, nothing outside the view is touched, and no file of the view gets
// a hidden name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/extract/CrawlSiteImagesJob.h"
#include "platform/file/FileLayer.h"
#include "platform/trace/Trace.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestEnvironment.h"

using namespace std::chrono_literals;

namespace {

// The size limit small; the download's time guards with room, so that a busy machine
// ends no good picture by them. A case about a time guard shortens that one and puts the
// others out of reach of the test's deadline, so that only its own guard ends it in time.
TimingRecord RoomyHostileTiming() {
    TimingRecord timing = ShortCrawlTiming();
    timing.reachabilityProbeTimeoutMs = 10000;
    timing.downloadConnectTimeoutMs = 10000;
    timing.downloadStallTimeoutMs = 30000;
    timing.downloadLowSpeedTimeoutMs = 30000;
    timing.downloadTransferTimeoutMs = 120000;
    timing.pictureSizeLimitBytes = 256 * 1024;
    return timing;
}

// Longer than any wait of the test: a guard set to it never ends a case.
constexpr DWORD kOutOfReachMs = 3'600'000;

// Long enough for the slowest case on a busy machine.
constexpr std::chrono::seconds kDeadline{120};

// The download's floor of its rate (1 KB a second, over a window of a second).
void DownloadFloorOnly(TimingRecord& timing) {
    timing.downloadLowSpeedTimeoutMs = 1000;
    timing.downloadStallTimeoutMs = kOutOfReachMs;
    timing.downloadTransferTimeoutMs = kOutOfReachMs;
}

std::string SamplePicture(const char* name) {
    return FileTextOf(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site/pictures/" + name);
}

// Every entry below a Linux folder: files with their bytes, folders with "/", links with
// their target, never followed.
std::map<std::string, std::string> TreeOf(const std::string& folder,
                                          const std::string& prefix = "") {
    std::map<std::string, std::string> tree;
    std::vector<FolderEntry> entries;
    ListFolder(folder, &entries);
    for (const FolderEntry& entry : entries) {
        const std::string path = folder + "/" + entry.name;
        if (entry.isLink) {
            char target[4096];
            const ssize_t length = readlink(path.c_str(), target, sizeof target);
            tree[prefix + entry.name] = "-> " + std::string(target, length > 0 ? length : 0);
        } else if (entry.isFolder) {
            tree[prefix + entry.name + "/"] = "";
            tree.merge(TreeOf(path, prefix + entry.name + "/"));
        } else {
            tree[prefix + entry.name] = FileTextOf(path);
        }
    }
    return tree;
}

LocalSiteResponse Picture(std::string body, void (*shape)(LocalSiteResponse&) = nullptr) {
    LocalSiteResponse response;
    response.body = std::move(body);
    response.contentType = "image/png";
    if (shape != nullptr)
        shape(response);
    return response;
}

struct HostileCase {
    const char* name;
    // Sets the hostile pictures up; returns the start page's tags for them.
    std::function<std::string(LocalSiteServer&)> pictures;
    // The files the view's images folder holds afterwards, in name order (none when the
    // folder cannot be listed).
    std::vector<std::string> images;
    // Plants entries in the view folder (a Linux path) that lead to outside.
    std::function<void(const std::string& view, const std::string& outside)> plant = nullptr;
    // Whether the view's pages can be written (not when the view folder is a link).
    bool pagesWritten = true;
    // Shortens the guard the case is about (see RoomyHostileTiming); null: none.
    void (*guards)(TimingRecord&) = nullptr;
    // Part of the trace line that tells what ended the hostile download; null: none.
    const char* endedBy = nullptr;
};

TimingRecord HostileTiming(const HostileCase& hostile) {
    TimingRecord timing = RoomyHostileTiming();
    if (hostile.guards != nullptr)
        hostile.guards(timing);
    return timing;
}

// Puts a link at path, in place of the empty folder the extraction's set-up made there.
void Link(const std::string& target, const std::string& path) {
    for (const char* folder : {"/images", "/thumbs", "/temp"})
        rmdir((path + folder).c_str());  // when path is the view itself
    rmdir(path.c_str());
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
}

std::string Img(const std::string& path) {
    return "<img src='" + path + "' width=200 height=200>";
}

const HostileCase kCases[] = {
    {"HiddenNames",
     [](LocalSiteServer& site) {
         site.SetBody("/p/.htaccess.png", SamplePicture("tulip.png"), "image/png");
         site.SetBody("/p/.png", SamplePicture("tulip.png"), "image/png");
         return Img("/p/.htaccess.png") + Img("/p/.png");
     },
     {"good.png", "htaccess.png", "image.png"}},
    {"NamesThatClimb",
     [](LocalSiteServer& site) {
         site.SetBody("/p/../../escape.png", SamplePicture("tulip.png"), "image/png");
         site.SetBody("/p/pic.png", SamplePicture("tulip.png"), "image/png");
         return Img("/p/..%2F..%2Fescape.png") + Img("/p/pic.png#/../../../evil.sh") +
                Img("/p/pic.png?name=../../../evil.sh");
     },
     {"escape.png", "good.png", "pic-2.png", "pic.png"}},
    {"HugePicture",
     [](LocalSiteServer& site) {
         site.SetResponse("/p/huge.png", Picture(std::string(512 * 1024, 'h')));
         return Img("/p/huge.png");
     },
     {"good.png"},
     nullptr,
     true,
     nullptr,
     "huge.png: over the size limit"},
    {"HugePictureInChunks",
     [](LocalSiteServer& site) {
         site.SetResponse("/p/unsaid.png", Picture(std::string(512 * 1024, 'h'),
                                                   [](LocalSiteResponse& r) { r.chunked = true; }));
         return Img("/p/unsaid.png");
     },
     {"good.png"},
     nullptr,
     true,
     nullptr,
     "unsaid.png: over the size limit"},
    {"DrippingPicture",
     [](LocalSiteServer& site) {
         // 100 bytes a second: whole after 3 s, if nothing ended it first.
         site.SetResponse("/p/drip.png", Picture(std::string(300, 'd'),
                                                 [](LocalSiteResponse& r) { r.dripEvery = 10ms; }));
         return Img("/p/drip.png");
     },
     {"good.png"},
     nullptr,
     true,
     DownloadFloorOnly,
     "drip.png: slower than the lowest rate"},
    {"PlantedImagesLink",
     [](LocalSiteServer&) { return std::string(); },
     {},
     [](const std::string& view, const std::string& outside) { Link(outside, view + "/images"); },
     true,
     nullptr,
     "good.png: cannot write"},
    {"PlantedThumbsLink",
     [](LocalSiteServer&) { return std::string(); },
     {"good.png"},
     [](const std::string& view, const std::string& outside) { Link(outside, view + "/thumbs"); }},
    {"PlantedTempLink",
     [](LocalSiteServer&) { return std::string(); },
     {"good.png"},
     [](const std::string& view, const std::string& outside) { Link(outside, view + "/temp"); }},
    {"PlantedHtmlLink",
     [](LocalSiteServer&) { return std::string(); },
     {"good.png"},
     [](const std::string& view, const std::string& outside) { Link(outside, view + "/html"); }},
    {"PlantedFileLinks",
     [](LocalSiteServer&) { return std::string(); },
     {"good.png"},
     [](const std::string& view, const std::string& outside) {
         Link(outside + "/victim.png", view + "/images/good.png");
         Link(outside + "/victim.jpg", view + "/thumbs/good.jpg");
         Link(outside + "/victim.htm", view + "/allImages.htm");
     }},
    {"PlantedViewLink",
     [](LocalSiteServer&) { return std::string(); },
     {},
     [](const std::string& view, const std::string& outside) { Link(outside, view); },
     false},
};

class HostileSiteMatrixTest : public CrawlFixture,
                              public ::testing::WithParamInterface<const HostileCase*> {
protected:
    HostileSiteMatrixTest()
        : CrawlFixture(ImageFinderBandJobLimit, ImageFinderBandBrowserThreads,
                       HostileTiming(*GetParam())) {
        static std::atomic<int> count{0};
        storage_ = "c:\\hostile\\storage" + std::to_string(++count);
    }

    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    std::string storage_;
};

TEST_P(HostileSiteMatrixTest, EndsWithinItsGuardsAndTouchesNothingOutsideTheView) {
    const HostileCase& hostile = *GetParam();
    LocalSiteServer site;
    site.SetBody("/good.png", SamplePicture("map.png"), "image/png");
    site.SetBody("/start.htm",
                 "<html><body>" + Img("good.png") + hostile.pictures(site) + "</body></html>");

    // A folder outside the storage, with what a clean-up or a download would touch.
    const std::string outside = MakeTestFolder("outside");
    for (const char* name : {"victim.png", "victim.jpg", "victim.htm", "notes.txt"})
        ASSERT_TRUE(WriteFileBytes(outside + "/" + name, std::string("theirs: ") + name));
    const auto outsideBefore = TreeOf(outside);

    PanelSettings settings;
    settings.folder = storage_;
    settings.siteUrl = site.Url("/start.htm");
    settings.depth = 1;
    settings.viewName = "view";
    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->MakeViewPages(settings, "");  // makes the view's folders
    const std::string view = MapToLinuxPath(job->GetViewFolder());
    if (hostile.plant)
        hostile.plant(view, outside);

    // The trace tells what ended the hostile download.
    const char* traced = std::getenv("MORVELLE_TRACE");
    SetTraceChannels("net");
    ::testing::internal::CaptureStderr();
    const bool ended = RunToEnd(*job, kDeadline);
    const std::string trace = ::testing::internal::GetCapturedStderr();
    SetTraceChannels(traced != nullptr ? traced : "");
    ASSERT_TRUE(ended);
    if (hostile.endedBy != nullptr) {
        EXPECT_NE(trace.find(hostile.endedBy), std::string::npos) << trace;
    }
    EXPECT_TRUE(WaitForIdleManager());

    EXPECT_EQ(TreeOf(outside), outsideBefore) << "nothing outside the view changed";
    EXPECT_EQ(FileNamesIn(job->GetImagesFolder()), hostile.images);
    if (hostile.pagesWritten) {
        for (const char* page : {"allImages.htm", "allThumbs.htm", "slideShow.htm", "zoom.htm"})
            EXPECT_TRUE(FileIsReadable(view + "/" + page)) << page;
    }
    // Below the storage: only the view's own files, none hidden (no name chosen by the
    // site, no temporary left behind), besides what was planted.
    const std::string storage = MapToLinuxPath(storage_);
    const std::string siteFolder = "127.0.0.1" + std::to_string(site.Port()) + "/";
    for (const auto& [path, contents] : TreeOf(storage)) {
        const bool planted = contents.rfind("-> ", 0) == 0;
        const bool inView = path.rfind(siteFolder + "view/", 0) == 0 || path == siteFolder ||
                            path == siteFolder + "view";
        EXPECT_TRUE(inView || planted) << path;
        const size_t slash = path.find_last_of('/', path.size() - 2);
        const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
        EXPECT_NE(name.front(), '.') << path;
    }
}

std::vector<const HostileCase*> AllCases() {
    std::vector<const HostileCase*> cases;
    for (const HostileCase& c : kCases)
        cases.push_back(&c);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileSiteMatrixTest, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<const HostileCase*>& info) {
                             return std::string(info.param->name);
                         });

}  // namespace
