// Parents dispatch a finished child by its type name: each worker job carries its own.
#include <gtest/gtest.h>

#include <string>

#include "engine/jobs/JobNames.h"
#include "engine/workers/DeleteDirectoryContentsJob.h"
#include "engine/workers/DownloadFileJob.h"
#include "engine/workers/DownloadImagesJob.h"
#include "engine/workers/MakeThumbnailsJob.h"
#include "engine/workers/MoveDirectoryContentsJob.h"
#include "engine/workers/checkForUpdatesJob.h"
#include "engine/workers/downloadAdJob.h"

namespace {

TEST(WorkerJobTypesTest, EachJobCarriesItsTypeName) {
    struct Case {
        Job* job;
        std::string typeName;
        bool onlyWaits;
    };
    const Case cases[] = {
        {new DownloadImagesJob, "DownloadImagesJob", false},
        {new MakeThumbnailsJob, "MakeThumbnailsJob", false},
        {new DeleteDirectoryContentsJob, "DeleteDirectoryContentsJob", false},
        {new MoveDirectoryContentsJob, "MoveDirectoryContentsJob", false},
        {new DownloadFileJob, "", false},
        {new downloadAdJob, "downloadAdJob", true},
        {new checkForUpdatesJob, "checkForUpdatesJob", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.job->GetTypeName(), c.typeName);
        EXPECT_EQ(c.job->GetName(), "unknown") << c.typeName;
        EXPECT_EQ(c.job->OnlyWaitsForChildren(), c.onlyWaits) << c.typeName;
        DeleteJob(c.job);
    }
}

}  // namespace
