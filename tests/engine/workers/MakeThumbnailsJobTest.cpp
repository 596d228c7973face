// Thumbnail batches: JPEG thumbnails that fit the box for every source that is a
// picture, none for the rest, and none at all where the product makes no thumbnails.
#include "engine/workers/MakeThumbnailsJob.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "tests/support/JobManagerFixture.h"
#include "tests/support/TestImages.h"
#include "tests/support/ThumbnailChecks.h"

namespace {

using Names = std::vector<std::string>;

// Switches thumbnails for its scope, as a deliverable's start-up does.
class ScopedThumbnailsMade {
public:
    explicit ScopedThumbnailsMade(bool made) : previous_(AreThumbnailsMade()) {
        SetThumbnailsMade(made);
    }
    ~ScopedThumbnailsMade() { SetThumbnailsMade(previous_); }

private:
    bool previous_;
};

class MakeThumbnailsJobTest : public JobManagerFixture {
protected:
    MakeThumbnailsJobTest()
        : images_(MakeDriveFolder("images")), thumbs_(MakeDriveFolder("thumbs")) {}

    void SetUp() override {
        ASSERT_TRUE(MakeTestImage(Source("wide.jpg"), 400, 200));
        ASSERT_TRUE(MakeTestImage(Source("tall.png"), 200, 400));
        ASSERT_TRUE(MakeTestImage(Source("small.gif"), 60, 40));
        ASSERT_TRUE(WriteFileBytes(Source("broken.jpg"), "<html>not a picture</html>"));
        sources_ = {Source("wide.jpg"), Source("broken.jpg"), Source("tall.png"),
                    Source("small.gif"), Source("missing.jpg")};
    }

    Names MakeThumbnails() {
        OwnedJob<MakeThumbnailsJob> job(new MakeThumbnailsJob);
        job->SetWork(thumbs_, sources_, 100, 100, 16);
        EXPECT_TRUE(RunToEnd(*job));
        return job->GetThumbnails();
    }

    std::string Source(const std::string& name) const { return images_ + "\\" + name; }
    std::string Thumb(const std::string& name) const { return thumbs_ + "\\" + name; }

    std::string images_;
    std::string thumbs_;
    Names sources_;
};

TEST_F(MakeThumbnailsJobTest, PicturesGiveJpegsThatFitTheBox) {
    EXPECT_EQ(MakeThumbnails(), (Names{Thumb("wide.jpg"), Thumb("tall.jpg"), Thumb("small.jpg")}));
    // Only the JPEGs are left: the bitmap step's files are gone.
    EXPECT_EQ(FolderNames(thumbs_), (Names{"small.jpg", "tall.jpg", "wide.jpg"}));
    struct Expected {
        const char* name;
        LONG width, height;
    };
    for (const Expected& e : {Expected{"wide.jpg", 100, 50}, Expected{"tall.jpg", 50, 100},
                              Expected{"small.jpg", 60, 40}}) {
        EXPECT_TRUE(IsJpegFile(Thumb(e.name))) << e.name;
        const SIZE size = PictureSize(Thumb(e.name));
        EXPECT_EQ(size.cx, e.width) << e.name;
        EXPECT_EQ(size.cy, e.height) << e.name;
    }
}

TEST_F(MakeThumbnailsJobTest, ProductsWithoutThumbnailsMakeNone) {
    ScopedThumbnailsMade off(false);
    EXPECT_EQ(MakeThumbnails(), Names{});
    EXPECT_EQ(FolderNames(thumbs_), Names{});
}

}  // namespace
