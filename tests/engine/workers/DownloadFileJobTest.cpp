// Single downloads for the site MP3 finder: the unescaped name, the notice to the
// dialog's window, and hostile names that must stay inside the folder.
#include "engine/workers/DownloadFileJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/crawl/GetHtmlPageJob.h"
#include "platform/file/FileLayer.h"
#include "tests/support/FolderTree.h"
#include "tests/support/JobManagerFixture.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/TestJobs.h"
#include "tests/support/ThumbnailChecks.h"

namespace {

using Names = std::vector<std::string>;

class DownloadFileJobTest : public JobManagerFixture {
protected:
    DownloadFileJobTest() : root_(MakeDriveFolder("mp3")) {
        CreateDirectory(root_ + "\\a");
        CreateDirectory(root_ + "\\a\\store");
        folder_ = root_ + "\\a\\store";
        LocalSiteResponse any;
        any.body = "ID3 tune";
        any.contentType = "audio/mpeg";
        server_.SetDefaultResponse(any);
    }

    // Runs one download of url into the folder; the job's path, and whether the window
    // heard WM_DOWNLOAD_DONE with the job.
    std::string Download(const std::string& url, bool* noticed = nullptr,
                         DownloadFileJob::NameTest test = nullptr) {
        RecorderWindow window;
        EXPECT_TRUE(window.Start());
        OwnedJob<DownloadFileJob> job(new DownloadFileJob);
        job->SetUrl(url);
        job->SetFolder(folder_);
        job->SetNameTest(test);
        job->AddListenerWindow(window.Hwnd());
        EXPECT_TRUE(RunToEnd(*job));
        const WPARAM expected = reinterpret_cast<WPARAM>(job.get());
        const bool heard = WaitUntil([&] {
            for (const RecorderWindow::Received& r : window.ReceivedMessages()) {
                if (r.message == WM_DOWNLOAD_DONE && r.wParam == expected)
                    return true;
            }
            return false;
        });
        EXPECT_EQ(window.Count(WM_DOWNLOAD_DONE), heard ? 1 : 0);
        if (noticed != nullptr)
            *noticed = heard;
        return job->GetPath();
    }

    std::string InFolder(const std::string& name) const { return folder_ + "\\" + name; }
    std::string Contents(const std::string& name) const {
        std::string bytes;
        ReadFileBytes(InFolder(name), &bytes);
        return bytes;
    }

    LocalSiteServer server_;
    std::string root_;
    std::string folder_;
};

TEST_F(DownloadFileJobTest, AnEscapedBlankBecomesARealOneAndTheWindowIsTold) {
    bool noticed = false;
    EXPECT_EQ(Download(server_.Url("/music/song%20one.mp3"), &noticed), InFolder("song one.mp3"));
    EXPECT_TRUE(noticed) << "no WM_DOWNLOAD_DONE with the job";
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(InFolder("song one.mp3"), &bytes));
    EXPECT_EQ(bytes, "ID3 tune");
    ASSERT_EQ(server_.RequestsFor("/music/song one.mp3").size(), 1u);
}

TEST_F(DownloadFileJobTest, AFailedDownloadWritesNothingAndIsStillReported) {
    server_.SetStatus("/music/missing.mp3", 404);
    bool noticed = false;
    EXPECT_EQ(Download(server_.Url("/music/missing.mp3"), &noticed), "");
    EXPECT_TRUE(noticed) << "the dialog counts every download as done";
    EXPECT_EQ(FilesBelow(root_), Names{});
}

struct Case {
    const char* path;
    const char* stored;  // "" when nothing may be written
};

TEST_F(DownloadFileJobTest, HostileNamesStayInsideTheFolder) {
    const Case cases[] = {
        {"/music/..%2F..%2Fx.mp3", "x.mp3"},
        {"/music/..%5C..%5C..%5Cy.mp3", "y.mp3"},
        {"/music/%2e%2e", ""},
        {"/music/%2E", ""},
        {"/music/", ""},
        {"/music/a%00b.mp3", "a"},
        {"/music/c%3A%5Cz.mp3", "z.mp3"},
        {"/music/con%3Aaux.mp3", "con_aux.mp3"},
        {"/music/bell%07%09%1F.mp3", "bell___.mp3"},
        {"/music/q.mp3?file=../../w.mp3", "q.mp3"},
    };
    Names expected;
    for (const Case& c : cases) {
        bool noticed = false;
        const std::string stored = c.stored;
        EXPECT_EQ(Download(server_.Url(c.path), &noticed), stored.empty() ? "" : InFolder(stored))
            << c.path;
        EXPECT_TRUE(noticed) << c.path;
        if (!stored.empty())
            expected.push_back("a/store/" + stored);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesBelow(root_), expected);
    EXPECT_FALSE(FileIsReadable("c:\\x.mp3"));
    EXPECT_FALSE(FileIsReadable("c:\\y.mp3"));
}

// The names a site chooses for its MP3s: the stored name must itself be an MP3's, keep
// no leading dot, and never take the place of a file that is there already.
TEST_F(DownloadFileJobTest, TheStoredNameIsAnMp3sOwnAndNeverReplacesAnother) {
    const Case cases[] = {
        {"/x/.bashrc?.mp3", ""}, {"/x/payload.sh#.mp3", ""},       {"/x/evil.desktop?a=.mp3", ""},
        {"/x/.mp3", ""},         {"/x/.hidden.mp3", "hidden.mp3"}, {"/x/Loud.MP3", "Loud.MP3"},
    };
    for (const Case& c : cases) {
        bool noticed = false;
        const std::string stored = c.stored;
        EXPECT_EQ(Download(server_.Url(c.path), &noticed, IsMp3Link),
                  stored.empty() ? "" : InFolder(stored))
            << c.path;
        EXPECT_TRUE(noticed) << c.path;
    }
    EXPECT_EQ(FilesBelow(root_), (Names{"a/store/Loud.MP3", "a/store/hidden.mp3"}));

    // Another site's song.mp3 is there: this one takes the next free name, and the same
    // bytes again are taken as the file that holds them.
    ASSERT_TRUE(WriteFileBytes(InFolder("song.mp3"), "another site's song"));
    ASSERT_TRUE(WriteFileBytes(InFolder("song-2.mp3"), "a third one"));
    server_.SetBody("/b/song.mp3", "ID3 b", "audio/mpeg");
    EXPECT_EQ(Download(server_.Url("/b/song.mp3"), nullptr, IsMp3Link), InFolder("song-3.mp3"));
    EXPECT_EQ(Download(server_.Url("/b/song.mp3"), nullptr, IsMp3Link), InFolder("song-3.mp3"));
    server_.SetBody("/c/song.mp3", "another site's song", "audio/mpeg");
    EXPECT_EQ(Download(server_.Url("/c/song.mp3"), nullptr, IsMp3Link), InFolder("song.mp3"));
    EXPECT_EQ(Contents("song.mp3"), "another site's song");
    EXPECT_EQ(Contents("song-2.mp3"), "a third one");
    EXPECT_EQ(Contents("song-3.mp3"), "ID3 b");
    EXPECT_EQ(FilesBelow(root_).size(), 5u) << "no temporary file is left";
}

// A download runs under a temporary name until it is whole; the job manager's stop (the
// program's end) ends it at once and leaves nothing.
TEST_F(DownloadFileJobTest, TheNameAppearsOnlyWhenWholeAndAStopLeavesNoFile) {
    LocalSiteResponse half;
    half.body = std::string(64 * 1024, 'm');
    half.contentType = "audio/mpeg";
    half.stallMidBody = true;
    server_.SetResponse("/held.mp3", half);
    OwnedJob<DownloadFileJob> job(new DownloadFileJob);
    job->SetUrl(server_.Url("/held.mp3"));
    job->SetFolder(folder_);
    job->SetNameTest(IsMp3Link);
    Manager().AddJob(job.get());
    ASSERT_TRUE(WaitUntil(
        [&] {
            const Names files = FilesBelow(root_);
            return files.size() > 1;  // the empty temporary, then the download's own
        },
        std::chrono::seconds(20)));
    for (const std::string& file : FilesBelow(root_))
        EXPECT_EQ(file.rfind("a/store/.", 0), 0u) << file << ": only temporary names";
    EXPECT_FALSE(FileIsReadable(InFolder("held.mp3")));
    job->Stop();
    ASSERT_TRUE(WaitForJobEnd(*job, std::chrono::seconds(20))) << "the stop ends the download";
    EXPECT_EQ(job->GetPath(), "");
    EXPECT_EQ(FilesBelow(root_), Names{});
}

}  // namespace
