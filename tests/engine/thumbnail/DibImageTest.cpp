#include "engine/thumbnail/DibImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestImages.h"

namespace {

TEST(DibImageTest, LoadsAPalettedBitmap) {
    const std::string path = MakeTestFolder("dib") + "/p8.bmp";
    ASSERT_TRUE(WriteTestBitmapFile(path, 5, 3, 8));
    DibImage image;
    ASSERT_TRUE(image.Load(path));
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.Header()->biWidth, 5);
    EXPECT_EQ(image.Header()->biHeight, 3);
    EXPECT_EQ(image.Header()->biBitCount, 8);
    EXPECT_EQ(image.ColourCount(), 256u);
    EXPECT_EQ(image.ImageSize(), 24u);  // 3 rows of 5 bytes padded to 8
    EXPECT_EQ(image.Colours()[7].rgbRed, TestPaletteColour(7).red);
    // The bottom row comes first: its first pixel is (0, 2), index 2.
    EXPECT_EQ(image.Bits()[0], 2);

    HPALETTE palette = image.MakePalette();
    ASSERT_NE(palette, nullptr);
    std::vector<PALETTEENTRY> entries(256);
    ASSERT_EQ(GetPaletteEntries(palette, 0, 256, entries.data()), 256u);
    for (int i : {0, 7, 255}) {
        const TestColour colour = TestPaletteColour(i);
        EXPECT_EQ(entries[i].peRed, colour.red) << i;
        EXPECT_EQ(entries[i].peGreen, colour.green) << i;
        EXPECT_EQ(entries[i].peBlue, colour.blue) << i;
        EXPECT_EQ(entries[i].peFlags, 0) << i;
    }
    DeleteObject(palette);
}

TEST(DibImageTest, TrueColourBitmapHasNoColourTable) {
    const std::string folder = MakeTestFolder("dib24");
    const std::string path = folder + "/p24.bmp";
    ASSERT_TRUE(WriteTestBitmapFile(path, 3, 2, 24));
    // The same file with its image size left 0: completed from what follows the header.
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    bytes.replace(34, 4, std::string(4, '\0'));
    ASSERT_TRUE(WriteFileBytes(folder + "/nosize.bmp", bytes));

    for (const std::string& file : {path, folder + "/nosize.bmp"}) {
        DibImage image;
        ASSERT_TRUE(image.Load(file)) << file;
        EXPECT_EQ(image.ColourCount(), 0u) << file;
        EXPECT_EQ(image.ImageSize(), 24u) << file;
        EXPECT_EQ(image.Bits(), reinterpret_cast<const BYTE*>(image.Header()) + 40) << file;
        HPALETTE palette = image.MakePalette();
        PALETTEENTRY entry{1, 1, 1, 1};
        EXPECT_EQ(GetPaletteEntries(palette, 100, 1, &entry), 1u);
        EXPECT_EQ(entry.peRed + entry.peGreen + entry.peBlue, 0) << "the rest is black";
        DeleteObject(palette);
    }
}

TEST(DibImageTest, OtherFilesAndBrokenBitmaps) {
    const std::string folder = MakeTestFolder("dib-broken");
    std::string good;
    ASSERT_TRUE(WriteTestBitmapFile(folder + "/good.bmp", 4, 4, 8));
    ASSERT_TRUE(ReadFileBytes(folder + "/good.bmp", &good));
    struct Case {
        const char* name;
        std::string contents;
        bool loads;
    };
    std::string hugeColours = good;
    hugeColours.replace(46, 4, std::string("\xFF\xFF\xFF\x0F", 4));  // used colours
    std::string hugeImage = good;
    hugeImage.replace(34, 4, std::string("\x00\x00\x00\x10", 4));  // image size
    std::string smallHeader = good;
    smallHeader.replace(14, 4, std::string("\x0C\x00\x00\x00", 4));  // header size 12
    const Case cases[] = {
        {"not a bitmap file", "PK\x03\x04 an archive", true},
        {"one byte", "B", true},
        {"headers cut short", good.substr(0, 30), false},
        {"colour table cut short", good.substr(0, 14 + 40 + 100), false},
        {"too many colours", hugeColours, false},
        {"image size beyond the file", hugeImage, false},
        {"header too small", smallHeader, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileBytes(folder + "/x.bmp", c.contents));
        DibImage image;
        ASSERT_TRUE(image.Load(folder + "/good.bmp"));
        EXPECT_EQ(image.Load(folder + "/x.bmp"), c.loads) << c.name;
        EXPECT_TRUE(image.IsEmpty()) << c.name;
        EXPECT_EQ(image.MakePalette(), nullptr) << c.name;
    }
    DibImage image;
    EXPECT_FALSE(image.Load(folder + "/missing.bmp"));
    EXPECT_TRUE(image.IsEmpty());
}

}  // namespace
