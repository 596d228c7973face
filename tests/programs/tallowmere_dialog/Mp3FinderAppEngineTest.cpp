// Tallowmere's engine as the program starts it: the site MP3 finder makes no thumbnails.
#include <gtest/gtest.h>

#include <string>

#include "engine/jobs/JobManager.h"
#include "engine/workers/MakeThumbnailsJob.h"
#include "platform/file/FileLayer.h"
#include "programs/tallowmere/Mp3FinderApp.h"
#include "tests/support/JobManagerFixture.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestImages.h"
#include "tests/support/ThumbnailChecks.h"

namespace {

TEST(Mp3FinderAppTest, TheEngineMakesNoThumbnails) {
    SetThumbnailsMade(true);  // as a process starts
    const std::string images = MakeDriveFolder("tallowmere-pictures");
    const std::string thumbs = MakeDriveFolder("tallowmere-thumbs");
    ASSERT_TRUE(MakeTestImage(images + "\\song-cover.jpg", 400, 200));

    Mp3FinderApp::StartEngine();
    EXPECT_FALSE(AreThumbnailsMade());
    OwnedJob<MakeThumbnailsJob> job(new MakeThumbnailsJob);
    job->SetWork(thumbs, {images + "\\song-cover.jpg"}, 100, 100, 16);
    job->StartThread();
    ASSERT_TRUE(WaitForJobEnd(*job));
    EXPECT_TRUE(job->GetThumbnails().empty());
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(thumbs, &entries));
    EXPECT_TRUE(entries.empty());
    Mp3FinderApp::EndEngine({});
    EXPECT_EQ(theJobManager, nullptr);
    SetThumbnailsMade(true);
}

}  // namespace
