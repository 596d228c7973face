// The folder jobs: emptying a folder (its own files only, links as links) and moving
// a folder's files without overwriting anything.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/jobs/JobNames.h"
#include "engine/workers/DeleteDirectoryContentsJob.h"
#include "engine/workers/MoveDirectoryContentsJob.h"
#include "platform/file/FileLayer.h"
#include "tests/support/FolderTree.h"
#include "tests/support/JobManagerFixture.h"
#include "tests/support/TestEnvironment.h"

namespace {

using Names = std::vector<std::string>;

class FolderJobTest : public JobManagerFixture {
protected:
    FolderJobTest() : root_(MakeTestFolder("folder-jobs")) {}

    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }
    void Folder(const std::string& relative) {
        ASSERT_TRUE(CreateDirectory(Path(relative))) << relative;
    }
    void File(const std::string& relative, const std::string& contents = "x") {
        ASSERT_TRUE(WriteFileBytes(Path(relative), contents)) << relative;
    }
    void Link(const std::string& relative, const std::string& target) {
        ASSERT_EQ(
            symlink(MapToLinuxPath(Path(target)).c_str(), MapToLinuxPath(Path(relative)).c_str()),
            0)
            << relative;
    }
    std::string Contents(const std::string& relative) const {
        std::string bytes;
        ReadFileBytes(Path(relative), &bytes);
        return bytes;
    }

    std::string root_;
};

using DeleteDirectoryContentsJobTest = FolderJobTest;
using MoveDirectoryContentsJobTest = FolderJobTest;

TEST_F(DeleteDirectoryContentsJobTest, DeletesTheFolderOwnFilesAndLinksOnly) {
    Folder("outside");
    File("outside\\target.txt", "keep me");
    Folder("outside\\kept");
    File("outside\\kept\\inner.txt");
    Folder("temp");
    File("temp\\a.bmp");
    File("temp\\b.txt");
    Folder("temp\\sub");
    File("temp\\sub\\c.jpg");
    Link("temp\\to-file", "outside\\target.txt");
    Link("temp\\to-folder", "outside\\kept");

    OwnedJob<DeleteDirectoryContentsJob> job(new DeleteDirectoryContentsJob);
    job->SetFolder(Path("temp"));
    ASSERT_TRUE(RunToEnd(*job));

    EXPECT_EQ(FilesBelow(root_),
              (Names{"outside/kept/inner.txt", "outside/target.txt", "temp/sub/c.jpg"}));
    EXPECT_EQ(Contents("outside\\target.txt"), "keep me");
}

TEST_F(DeleteDirectoryContentsJobTest, AFolderNameThatNamesNoFolderDeletesNothing) {
    // Bare names would be taken from, and deleted in, the process's current folder.
    std::vector<FolderEntry> before;
    ASSERT_TRUE(ListFolder(".", &before));
    for (const std::string folder : {"", "\\", " \\"}) {
        OwnedJob<DeleteDirectoryContentsJob> job(new DeleteDirectoryContentsJob);
        job->SetFolder(folder);
        ASSERT_TRUE(RunToEnd(*job)) << '"' << folder << '"';
    }
    std::vector<FolderEntry> after;
    ASSERT_TRUE(ListFolder(".", &after));
    for (const FolderEntry& entry : before) {
        EXPECT_TRUE(std::any_of(after.begin(), after.end(),
                                [&](const FolderEntry& kept) { return kept.name == entry.name; }))
            << entry.name << " went from the current folder";
    }
}

TEST_F(MoveDirectoryContentsJobTest, MovesEveryFileWithoutOverwriting) {
    Folder("source");
    File("source\\a.jpg", "a from source");
    File("source\\same.jpg", "same from source");
    Folder("source\\sub");
    File("source\\sub\\c.jpg");
    Folder("target");
    File("target\\same.jpg", "same in target");

    OwnedJob<MoveDirectoryContentsJob> job(new MoveDirectoryContentsJob);
    job->SetFolders(Path("source"), Path("target"));
    ASSERT_TRUE(RunToEnd(*job));

    EXPECT_EQ(FilesBelow(root_),
              (Names{"source/same.jpg", "source/sub/c.jpg", "target/a.jpg", "target/same.jpg"}));
    EXPECT_EQ(Contents("target\\a.jpg"), "a from source");
    EXPECT_EQ(Contents("target\\same.jpg"), "same in target");
    EXPECT_EQ(Contents("source\\same.jpg"), "same from source");
}

TEST_F(MoveDirectoryContentsJobTest, AnEmptyFolderNameMovesNothing) {
    Folder("source");
    File("source\\a.jpg");
    for (const auto& [source, target] :
         {std::pair<std::string, std::string>{Path("source"), ""}, {"", Path("source")}}) {
        OwnedJob<MoveDirectoryContentsJob> job(new MoveDirectoryContentsJob);
        job->SetFolders(source, target);
        ASSERT_TRUE(RunToEnd(*job));
    }
    EXPECT_EQ(FilesBelow(root_), Names{"source/a.jpg"});
}

}  // namespace
