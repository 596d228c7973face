// Batches of image downloads against a local server: the names given or derived, the
// extensions, failed downloads, hostile names, and a stop request that changes nothing.
#include "engine/workers/DownloadImagesJob.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/jobs/JobNames.h"
#include "platform/file/FileLayer.h"
#include "tests/support/FolderTree.h"
#include "tests/support/JobManagerFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/ThumbnailChecks.h"

namespace {

using Names = std::vector<std::string>;

class DownloadImagesJobTest : public JobManagerFixture {
protected:
    DownloadImagesJobTest() : folder_(MakeDriveFolder("downloads")) {
        server_.SetBody("/img/a.jpg", "jpeg a", "image/jpeg");
        server_.SetBody("/img/b.png", "png b", "image/png");
        server_.SetBody("/c.gif", "gif c", "image/gif");
    }

    // What the local server's host part becomes in a derived name.
    std::string HostPart() const { return "-127_0_0_1_" + std::to_string(server_.Port()); }
    std::string InFolder(const std::string& name) const { return folder_ + "\\" + name; }
    std::string Contents(const std::string& path) const {
        std::string bytes;
        ReadFileBytes(path, &bytes);
        return bytes;
    }

    // Runs one job with the URLs and names; returns its paths.
    Names Download(const Names& urls, const Names& names, bool stopRequested = false) {
        OwnedJob<DownloadImagesJob> job(new DownloadImagesJob);
        job->SetPassPathsToParent(true);
        job->SetWork(folder_, urls, names);
        if (stopRequested)
            job->RequestStop();
        EXPECT_TRUE(RunToEnd(*job));
        return job->GetPaths();
    }

    LocalSiteServer server_;
    std::string folder_;
};

TEST_F(DownloadImagesJobTest, GivenNamesAreUsedOnlyWhenThereIsOnePerUrl) {
    const Names urls = {server_.Url("/img/a.jpg"), server_.Url("/img/b.png"),
                        server_.Url("/c.gif")};

    EXPECT_EQ(Download(urls, {"first", "second", "third"}),
              (Names{InFolder("first.jpg"), InFolder("second.png"), InFolder("third.gif")}));
    EXPECT_EQ(Contents(InFolder("second.png")), "png b");

    // Two names for three URLs: all three are derived.
    const Names derived = {InFolder(HostPart() + "-img-a_jpg.jpg"),
                           InFolder(HostPart() + "-img-b_png.png"),
                           InFolder(HostPart() + "-c_gif.gif")};
    EXPECT_EQ(Download(urls, {"first", "second"}), derived);
    EXPECT_EQ(Contents(derived[2]), "gif c");
    EXPECT_EQ(FolderNames(folder_).size(), 6u);
}

TEST_F(DownloadImagesJobTest, ExtensionsComeFromTheLastPathElement) {
    server_.SetBody("/img", "no extension", "image/jpeg");
    server_.SetBody("/pic.jpg", "pic", "image/jpeg");
    const Names urls = {
        server_.Url("/pic.jpg?size=2.5"),  // the query is no part of the name
        server_.Url("/pic.jpg#view.1"),    // nor is the fragment
        server_.Url("/img"),               // the only "." is in the host
        server_.Url("/img/a.jpg"),
    };
    EXPECT_EQ(Download(urls, {}), (Names{
                                      InFolder(HostPart() + "-pic_jpg.jpg"),
                                      InFolder(HostPart() + "-pic_jpg.jpg"),
                                      InFolder(HostPart() + "-img"),
                                      InFolder(HostPart() + "-img-a_jpg.jpg"),
                                  }));
    EXPECT_EQ(Contents(InFolder(HostPart() + "-img")), "no extension");

    // A given name with a "." of its own still gets the extension, so that the
    // thumbnail step, which cuts at the last ".", keeps such names apart.
    EXPECT_EQ(
        Download({server_.Url("/img/a.jpg"), server_.Url("/img/b.png")}, {"photo.v1", "photo.v2"}),
        (Names{InFolder("photo.v1.jpg"), InFolder("photo.v2.png")}));
}

TEST_F(DownloadImagesJobTest, FailedDownloadsLeaveNoPathAndNoFile) {
    server_.SetStatus("/missing.jpg", 404, "<html>not here</html>");
    LocalSiteResponse dropped;
    dropped.body = std::string(4096, 'x');
    dropped.contentType = "image/jpeg";
    dropped.dropMidBody = true;
    server_.SetResponse("/dropped.jpg", dropped);
    std::string unreachable;
    {
        LocalSiteServer gone;
        unreachable = gone.Url("/gone.jpg");
    }

    const Names paths = Download({server_.Url("/missing.jpg"), server_.Url("/dropped.jpg"),
                                  unreachable, server_.Url("/c.gif")},
                                 {"missing", "dropped", "gone", "kept"});
    EXPECT_EQ(paths, Names{InFolder("kept.gif")});
    EXPECT_EQ(FolderNames(folder_), Names{"kept.gif"});
}

TEST_F(DownloadImagesJobTest, HostileNamesStayInsideTheFolder) {
    // The folder lies two levels below a fresh root, so that an escape would show.
    const std::string root = folder_;
    ASSERT_TRUE(CreateDirectory(root + "\\a"));
    ASSERT_TRUE(CreateDirectory(root + "\\a\\store"));
    folder_ = root + "\\a\\store";
    const std::string url = server_.Url("/c.gif");

    const Names paths =
        Download({url, url, url, url, url}, {"../../evil", "..\\..\\evil", "..", "c:x", "a\x01"});
    EXPECT_EQ(paths, (Names{InFolder("..-..-evil.gif"), InFolder("..-..-evil.gif"),
                            InFolder(HostPart() + "-c_gif.gif"), InFolder("c_x.gif"),
                            InFolder("a_.gif")}));
    EXPECT_EQ(FilesBelow(root),
              (Names{"a/store/" + HostPart() + "-c_gif.gif", "a/store/..-..-evil.gif",
                     "a/store/a_.gif", "a/store/c_x.gif"}));
}

TEST_F(DownloadImagesJobTest, APictureOverTheSizeLimitIsNotStored) {
    TimingRecord timing = Timing();
    timing.pictureSizeLimitBytes = 4096;
    ScopedTiming limit(timing);
    auto picture = [](size_t size, bool chunked) {
        LocalSiteResponse response;
        response.body = std::string(size, 'p');
        response.contentType = "image/png";
        response.chunked = chunked;
        return response;
    };
    server_.SetResponse("/huge.png", picture(4097, false));
    server_.SetResponse("/unsaid.png", picture(1 << 20, true));  // no length announced
    server_.SetResponse("/fits.png", picture(4096, true));
    const Names paths =
        Download({server_.Url("/huge.png"), server_.Url("/unsaid.png"), server_.Url("/fits.png")},
                 {"huge", "unsaid", "fits"});
    EXPECT_EQ(paths, Names{InFolder("fits.png")});
    EXPECT_EQ(FolderNames(folder_), Names{"fits.png"});
    EXPECT_EQ(Contents(InFolder("fits.png")).size(), 4096u);
}

TEST_F(DownloadImagesJobTest, AStopRequestDoesNotCutTheBatchShort) {
    const Names urls = {server_.Url("/img/a.jpg"), server_.Url("/img/b.png")};
    EXPECT_EQ(Download(urls, {"a", "b"}, /*stopRequested=*/true),
              (Names{InFolder("a.jpg"), InFolder("b.png")}));
}

TEST_F(DownloadImagesJobTest, AnEmptyFolderDownloadsNothing) {
    folder_.clear();
    EXPECT_EQ(Download({server_.Url("/c.gif")}, {"c"}), Names{});
    EXPECT_TRUE(server_.Requests().empty());
}

}  // namespace
