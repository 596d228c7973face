#include "engine/thumbnail/MakeThumbnail.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/thumbnail/ShellThumbnail.h"
#include "platform/file/FileLayer.h"
#include "tests/support/TestImages.h"
#include "tests/support/ThumbnailChecks.h"

namespace {

using Names = std::vector<std::string>;

class MakeThumbnailTest : public ::testing::Test {
protected:
    void SetUp() override {
        images_ = MakeDriveFolder("images");
        thumbs_ = MakeDriveFolder("thumbs");
    }

    std::string Source(const std::string& name) const { return images_ + "\\" + name; }
    std::string Thumb(const std::string& name) const { return thumbs_ + "\\" + name; }

    std::string images_;
    std::string thumbs_;
};

TEST_F(MakeThumbnailTest, EverySourceFormatGivesAJpegThatFitsTheBox) {
    struct Case {
        const char* source;
        int width, height;
        const char* thumbnail;
        LONG expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {"wide.jpg", 400, 200, "wide.jpg", 100, 50}, {"wide.png", 400, 200, "wide.jpg", 100, 50},
        {"wide.gif", 400, 200, "wide.jpg", 100, 50}, {"tall.gif", 200, 400, "tall.jpg", 50, 100},
        {"small.png", 60, 40, "small.jpg", 60, 40},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(MakeTestImage(Source(c.source), c.width, c.height)) << c.source;
        EXPECT_EQ(MakeThumbnail(thumbs_, Source(c.source), 100, 100, 16), Thumb(c.thumbnail))
            << c.source;
        EXPECT_TRUE(IsJpegFile(Thumb(c.thumbnail))) << c.source;
        const SIZE size = PictureSize(Thumb(c.thumbnail));
        EXPECT_EQ(size.cx, c.expectedWidth) << c.source;
        EXPECT_EQ(size.cy, c.expectedHeight) << c.source;
        // The bitmap step's file is gone.
        EXPECT_EQ(FolderNames(thumbs_), Names{c.thumbnail}) << c.source;
        DeleteFile(Thumb(c.thumbnail));
    }
}

TEST_F(MakeThumbnailTest, BrokenSourcesGiveNoThumbnail) {
    struct Case {
        const char* name;
        std::string contents;
    };
    const Case cases[] = {
        {"garbage.jpg", std::string("\x00\xFF\x13\x37garbage\x01\x02", 13)},
        {"empty.jpg", ""},
        {"page.jpg", "<html><head><title>404 Not Found</title></head></html>\r\n"},
        {"notes.png", "just some text\r\n"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileBytes(Source(c.name), c.contents));
        EXPECT_EQ(MakeThumbnail(thumbs_, Source(c.name), 100, 100, 16), "") << c.name;
    }
    EXPECT_EQ(MakeThumbnail(thumbs_, Source("missing.jpg"), 100, 100, 16), "");
    EXPECT_EQ(MakeThumbnail(thumbs_, images_ + "\\", 100, 100, 16), "");
    EXPECT_EQ(MakeThumbnail(thumbs_, "nofolder.jpg", 100, 100, 16), "");
    EXPECT_EQ(MakeThumbnail(thumbs_, "", 100, 100, 16), "");
    EXPECT_EQ(FolderNames(thumbs_), Names{});
}

TEST_F(MakeThumbnailTest, NamesDifferingBeforeTheirLastDotGiveTwoThumbnails) {
    ASSERT_TRUE(MakeTestImage(Source("a.b.jpg"), 400, 200));
    ASSERT_TRUE(MakeTestImage(Source("a.c.jpg"), 200, 400));
    EXPECT_EQ(MakeThumbnail(thumbs_, Source("a.b.jpg"), 100, 100, 16), Thumb("a.b.jpg"));
    EXPECT_EQ(MakeThumbnail(thumbs_, Source("a.c.jpg"), 100, 100, 16), Thumb("a.c.jpg"));
    EXPECT_EQ(FolderNames(thumbs_), (Names{"a.b.jpg", "a.c.jpg"}));
    EXPECT_EQ(PictureSize(Thumb("a.b.jpg")).cx, 100);
    EXPECT_EQ(PictureSize(Thumb("a.c.jpg")).cx, 50);
}

TEST_F(MakeThumbnailTest, SourceNameMatchesIgnoringCase) {
    ASSERT_TRUE(MakeTestImage(Source("Photo.JPG"), 40, 20));
    EXPECT_EQ(MakeThumbnail(thumbs_, Source("photo.jpg"), 100, 100, 16), Thumb("photo.jpg"));
    EXPECT_TRUE(IsJpegFile(Thumb("photo.jpg")));

    for (const char* name : {"PHOTO.JPG", "photo.Jpg", "Photo.JPG"}) {
        HBITMAP bitmap = ShellThumbnailToBitmap(images_, name, SIZE{100, 100}, 16);
        EXPECT_NE(bitmap, nullptr) << name;
        DeleteObject(bitmap);
    }
    // Whole names only.
    for (const char* name : {"photo.jp", "hoto.jpg", "photo.jpg ", ""}) {
        EXPECT_EQ(ShellThumbnailToBitmap(images_, name, SIZE{100, 100}, 16), nullptr) << name;
    }
    EXPECT_EQ(ShellThumbnailToBitmap(images_ + "\\missing", "photo.jpg", SIZE{100, 100}, 16),
              nullptr);
}

TEST_F(MakeThumbnailTest, UnconvertibleBitmapStaysAndIsReported) {
    ASSERT_TRUE(MakeTestImage(Source("pic.png"), 400, 200));
    // A folder in the way of the .jpg: the conversion cannot write it.
    ASSERT_TRUE(CreateDirectory(Thumb("pic.jpg")));
    EXPECT_EQ(MakeThumbnail(thumbs_, Source("pic.png"), 100, 100, 16), Thumb("pic.bmp"));
    const SIZE size = PictureSize(Thumb("pic.bmp"));
    EXPECT_EQ(size.cx, 100);
    EXPECT_EQ(size.cy, 50);
}

TEST_F(MakeThumbnailTest, NoThumbnailWhenTheBitmapCannotBeWritten) {
    ASSERT_TRUE(MakeTestImage(Source("pic.jpg"), 40, 20));
    EXPECT_EQ(MakeThumbnail(thumbs_ + "\\missing", Source("pic.jpg"), 100, 100, 16), "");
    EXPECT_EQ(FolderNames(thumbs_), Names{});
}

}  // namespace
