#include "platform/image/ImageConversion.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestImages.h"

namespace {

TEST(ImageConversionTest, FormatComesFromTheExtension) {
    EXPECT_EQ(ImageFormatFromFileName("c:\\store\\thumbs\\a.b.JPG"), IMAGE_FORMAT_JPEG);
    EXPECT_EQ(ImageFormatFromFileName("pic.jpeg"), IMAGE_FORMAT_JPEG);
    EXPECT_NE(ImageFormatFromFileName("pic.bmp"), IMAGE_FORMAT_UNKNOWN);
    EXPECT_NE(ImageFormatFromFileName("pic.bmp"), IMAGE_FORMAT_JPEG);
    EXPECT_EQ(ImageFormatFromFileName("pic"), IMAGE_FORMAT_UNKNOWN);
    EXPECT_EQ(ImageFormatFromFileName("c:\\views.jpg\\pic"), IMAGE_FORMAT_UNKNOWN);
    EXPECT_EQ(ImageFormatFromFileName("pic.txt"), IMAGE_FORMAT_UNKNOWN);
    EXPECT_EQ(ImageFormatFromFileName(""), IMAGE_FORMAT_UNKNOWN);
}

TEST(ImageConversionTest, BitmapConvertsToJpeg) {
    const std::string folder = MakeTestFolder("convert");
    const std::string bmp = folder + "/a.bmp";
    const std::string jpg = folder + "/a.jpg";
    ASSERT_TRUE(WriteTestBitmapFile(bmp, 40, 20, 24));
    ImageHandle image = LoadImageFile(ImageFormatFromFileName(bmp), bmp, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(SaveImageFile(IMAGE_FORMAT_JPEG, image, jpg, 0));
    UnloadImage(image);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(jpg, &bytes));
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF");
}

TEST(ImageConversionTest, LoadRefusesWhatIsNoImageOfTheFormat) {
    const std::string folder = MakeTestFolder("refuse");
    const std::string png = folder + "/p.png";
    ASSERT_TRUE(MakeTestImage(png, 10, 10));
    ASSERT_TRUE(WriteFileBytes(folder + "/empty.bmp", ""));
    ASSERT_TRUE(WriteFileBytes(folder + "/text.bmp", "this is no picture\r\n"));
    ASSERT_TRUE(CreateDirectory(folder + "/dir.bmp"));
    const int bmpFormat = ImageFormatFromFileName("x.bmp");

    EXPECT_EQ(LoadImageFile(bmpFormat, png, 0), nullptr);  // a PNG read as a bitmap file
    EXPECT_EQ(LoadImageFile(bmpFormat, folder + "/empty.bmp", 0), nullptr);
    EXPECT_EQ(LoadImageFile(bmpFormat, folder + "/text.bmp", 0), nullptr);
    EXPECT_EQ(LoadImageFile(bmpFormat, folder + "/dir.bmp", 0), nullptr);
    EXPECT_EQ(LoadImageFile(bmpFormat, folder + "/missing.bmp", 0), nullptr);
    EXPECT_EQ(LoadImageFile(IMAGE_FORMAT_UNKNOWN, png, 0), nullptr);
    EXPECT_EQ(LoadImageFile(12345, png, 0), nullptr);
}

TEST(ImageConversionTest, FailedSaveLeavesNoFileAndKeepsAnEarlierOne) {
    const std::string folder = MakeTestFolder("failed-save");
    const std::string gif = folder + "/p.gif";
    ASSERT_TRUE(MakeTestImage(gif, 10, 10));
    const std::string bmp = folder + "/p.bmp";
    ASSERT_TRUE(WriteTestBitmapFile(bmp, 10, 10, 24));
    ImageHandle image = LoadImageFile(ImageFormatFromFileName(bmp), bmp, 0);
    ASSERT_NE(image, nullptr);

    // A GIF holds no 24-bit picture.
    EXPECT_FALSE(SaveImageFile(ImageFormatFromFileName(gif), image, folder + "/new.gif", 0));
    EXPECT_FALSE(FileIsReadable(folder + "/new.gif"));
    std::string before;
    ASSERT_TRUE(ReadFileBytes(gif, &before));
    EXPECT_FALSE(SaveImageFile(ImageFormatFromFileName(gif), image, gif, 0));
    std::string after;
    ASSERT_TRUE(ReadFileBytes(gif, &after));
    EXPECT_EQ(after, before);

    EXPECT_FALSE(SaveImageFile(IMAGE_FORMAT_JPEG, image, folder + "/missing/x.jpg", 0));
    EXPECT_FALSE(SaveImageFile(IMAGE_FORMAT_JPEG, nullptr, folder + "/x.jpg", 0));
    EXPECT_FALSE(FileIsReadable(folder + "/x.jpg"));
    UnloadImage(image);
    UnloadImage(nullptr);
}

}  // namespace
