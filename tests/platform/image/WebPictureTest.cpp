// Pictures from the web, as the thumbnail extractor and the page loader's picture sizes
// read them: only the kinds the system takes for pictures, whole ones only.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/image/ImageConversion.h"
#include "platform/image/ImageThumbnail.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestImages.h"

namespace {

std::string LittleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

// A bitmap file: the file header, an info header of infoSize bytes (12 is the core
// header), then table (bit fields or colours) and pixels.
std::string BitmapFile(std::uint32_t infoSize, int width, int height, int bits,
                       std::uint32_t compression, const std::string& table,
                       const std::string& pixels, std::uint32_t coloursUsed = 0) {
    std::string info;
    if (infoSize == 12) {
        info = LittleEndian(12, 4) + LittleEndian(width, 2) + LittleEndian(height, 2) +
               LittleEndian(1, 2) + LittleEndian(bits, 2);
    } else {
        info = LittleEndian(infoSize, 4) + LittleEndian(static_cast<std::uint32_t>(width), 4) +
               LittleEndian(static_cast<std::uint32_t>(height), 4) + LittleEndian(1, 2) +
               LittleEndian(bits, 2) + LittleEndian(compression, 4) +
               LittleEndian(static_cast<std::uint32_t>(pixels.size()), 4) + LittleEndian(2835, 4) +
               LittleEndian(2835, 4) + LittleEndian(coloursUsed, 4) + LittleEndian(0, 4);
        info.resize(infoSize, '\0');
    }
    std::string tail = table;
    // Bit fields of a header of 52 bytes or more sit inside it.
    if (infoSize > 40 && compression == 3) {
        info.replace(40, table.size(), table);
        tail.clear();
    }
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + tail.size());
    return "BM" + LittleEndian(offset + static_cast<std::uint32_t>(pixels.size()), 4) +
           LittleEndian(0, 4) + LittleEndian(offset, 4) + info + tail + pixels;
}

// A colour table of red, green, blue and white (blue, green, red, zero each).
std::string FourColours(int entryBytes = 4) {
    std::string table;
    for (const std::string& colour :
         {Bytes({0, 0, 255}), Bytes({0, 255, 0}), Bytes({255, 0, 0}), Bytes({255, 255, 255})}) {
        table += colour;
        if (entryBytes == 4)
            table.push_back('\0');
    }
    return table;
}

ThumbnailPixels Whole(const std::string& path) {
    ThumbnailPixels pixels;
    EXPECT_TRUE(LoadThumbnailPixels(path, 1000, 1000, 24, &pixels)) << path;
    return pixels;
}

// The picture of every bitmap form below, 2 x 2: red and green on top, blue and white
// below, as the extractor's rows hold it (bottom-up, blue-green-red, padded to 4 bytes).
const std::string kFourPixels =
    Bytes({255, 0, 0, 255, 255, 255, 0, 0}) + Bytes({0, 0, 255, 0, 255, 0, 0, 0});

TEST(WebPictureTest, BitmapsOfEveryStoredFormReadToTheirColours) {
    const std::string pad2 = Bytes({0, 0});
    const std::string pad3 = Bytes({0, 0, 0});
    const std::string fields565 =
        LittleEndian(0xF800, 4) + LittleEndian(0x07E0, 4) + LittleEndian(0x001F, 4);
    const std::string fields8888 = LittleEndian(0x00FF0000, 4) + LittleEndian(0x0000FF00, 4) +
                                   LittleEndian(0x000000FF, 4) + LittleEndian(0xFF000000, 4);
    const std::string bottom24 = Bytes({255, 0, 0, 255, 255, 255}) + pad2;
    const std::string top24 = Bytes({0, 0, 255, 0, 255, 0}) + pad2;
    struct Form {
        const char* name;
        std::string bytes;
    };
    const Form forms[] = {
        {"24 bits", BitmapFile(40, 2, 2, 24, 0, "", bottom24 + top24)},
        {"24 bits, top-down", BitmapFile(40, 2, -2, 24, 0, "", top24 + bottom24)},
        {"24 bits, core header", BitmapFile(12, 2, 2, 24, 0, "", bottom24 + top24)},
        {"24 bits, last row without padding",
         BitmapFile(40, 2, 2, 24, 0, "", bottom24 + top24.substr(0, 6))},
        {"8 bits",
         BitmapFile(40, 2, 2, 8, 0, FourColours(), Bytes({2, 3}) + pad2 + Bytes({0, 1}) + pad2, 4)},
        {"8 bits, core header",
         BitmapFile(12, 2, 2, 8, 0, FourColours(3) + std::string(252 * 3, '\0'),
                    Bytes({2, 3}) + pad2 + Bytes({0, 1}) + pad2)},
        {"4 bits",
         BitmapFile(40, 2, 2, 4, 0, FourColours(), Bytes({0x23}) + pad3 + Bytes({0x01}) + pad3, 4)},
        {"16 bits",
         BitmapFile(40, 2, 2, 16, 0, "", Bytes({0x1F, 0, 0xFF, 0x7F, 0, 0x7C, 0xE0, 3}))},
        {"16 bits, 5-6-5 fields",
         BitmapFile(40, 2, 2, 16, 3, fields565, Bytes({0x1F, 0, 0xFF, 0xFF, 0, 0xF8, 0xE0, 7}))},
        {"32 bits, alpha never filled in",
         BitmapFile(40, 2, 2, 32, 0, "",
                    Bytes({255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0}))},
        {"32 bits, fields with alpha, newest header",
         BitmapFile(124, 2, 2, 32, 3, fields8888,
                    Bytes({255, 0, 0, 255, 255, 255, 255, 255, 0, 0, 255, 255, 0, 255, 0, 255}))},
        {"8 bits, run-length",
         BitmapFile(40, 2, 2, 8, 1, FourColours(), Bytes({1, 2, 1, 3, 0, 0, 1, 0, 1, 1, 0, 1}), 4)},
        {"4 bits, run-length",
         BitmapFile(40, 2, 2, 4, 2, FourColours(), Bytes({2, 0x23, 0, 0, 2, 0x01, 0, 1}), 4)},
    };
    const std::string folder = MakeTestFolder("bitmap-forms");
    for (const Form& form : forms) {
        const std::string path = folder + "/" + std::to_string(&form - forms) + ".bmp";
        ASSERT_TRUE(WriteFileBytes(path, form.bytes));
        const ThumbnailPixels pixels = Whole(path);
        EXPECT_EQ(pixels.width, 2) << form.name;
        EXPECT_EQ(pixels.height, 2) << form.name;
        EXPECT_EQ(std::string(pixels.rows.begin(), pixels.rows.end()), kFourPixels) << form.name;
        int width = 0;
        int height = 0;
        EXPECT_TRUE(ReadImageSize(form.bytes, &width, &height)) << form.name;
        EXPECT_EQ(width * 10 + height, 22) << form.name;
    }
}

TEST(WebPictureTest, BrokenBitmapsGiveNoPicture) {
    const std::string rows = Bytes({255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0});
    std::string offsetBeyond = BitmapFile(40, 2, 2, 24, 0, "", rows);
    offsetBeyond.replace(10, 4, LittleEndian(5000, 4));
    struct Form {
        const char* name;
        std::string bytes;
    };
    const Form forms[] = {
        {"pixels cut short", BitmapFile(40, 2, 2, 24, 0, "", rows.substr(0, 9))},
        {"header cut short", BitmapFile(40, 2, 2, 24, 0, "", rows).substr(0, 30)},
        {"run-length code cut short",
         BitmapFile(40, 2, 2, 8, 1, FourColours(), Bytes({1, 2, 1, 3, 0, 0, 1}), 4)},
        {"run-length literal run cut short",
         BitmapFile(40, 2, 2, 8, 1, FourColours(), Bytes({0, 200, 1, 2, 3}), 4)},
        {"pixels beyond the file", offsetBeyond},
        {"no width", BitmapFile(40, 0, 2, 24, 0, "", rows)},
        {"7 bits", BitmapFile(40, 2, 2, 7, 0, "", rows)},
        {"compressed as JPEG", BitmapFile(40, 2, 2, 24, 4, "", rows)},
        {"run-length at 24 bits", BitmapFile(40, 2, 2, 24, 1, "", rows)},
        {"an unknown header", BitmapFile(64, 2, 2, 24, 0, "", rows)},
        {"60000 x 60000 pixels", BitmapFile(40, 60000, 60000, 24, 0, "", rows)},
    };
    const std::string folder = MakeTestFolder("bitmap-broken");
    for (const Form& form : forms) {
        const std::string path = folder + "/" + std::to_string(&form - forms) + ".bmp";
        ASSERT_TRUE(WriteFileBytes(path, form.bytes));
        ThumbnailPixels pixels;
        EXPECT_FALSE(LoadThumbnailPixels(path, 100, 100, 24, &pixels)) << form.name;
    }
    // A run-length code that jumps out of the picture draws what lies inside it.
    const std::string path = folder + "/jump.bmp";
    ASSERT_TRUE(WriteFileBytes(path, BitmapFile(40, 2, 2, 8, 1, FourColours(),
                                                Bytes({1, 2, 1, 3, 0, 2, 255, 255, 0, 1}), 4)));
    EXPECT_EQ(Whole(path).width, 2);
}

TEST(WebPictureTest, OnlyTheAcceptedKindsOfPictureAreDecoded) {
    const std::string folder = MakeTestFolder("kinds");
    // Accepted: read whole, and their sizes read from their headers.
    for (const char* kind : {"jpg", "png", "gif", "tif", "bmp"}) {
        const std::string path = folder + "/picture." + kind;
        ASSERT_TRUE(MakeTestImage(path, 24, 16)) << kind;
        ThumbnailPixels pixels;
        EXPECT_TRUE(LoadThumbnailPixels(path, 100, 100, 24, &pixels)) << kind;
        EXPECT_EQ(pixels.width, 24) << kind;
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(path, &bytes));
        int width = 0;
        int height = 0;
        EXPECT_TRUE(ReadImageSize(bytes, &width, &height)) << kind;
        EXPECT_EQ(width * 100 + height, 2416) << kind;
    }
    // Other kinds a decoder of the image library would read, served under a picture's
    // name: refused.
    for (const char* kind : {"ppm", "pgm", "tga", "xpm", "webp"}) {
        const std::string made = folder + "/other." + kind;
        ASSERT_TRUE(MakeTestImage(made, 24, 16)) << kind;
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(made, &bytes));
        const std::string served = folder + "/" + kind + "-served.jpg";
        ASSERT_TRUE(WriteFileBytes(served, bytes));
        ThumbnailPixels pixels;
        EXPECT_FALSE(LoadThumbnailPixels(served, 100, 100, 24, &pixels)) << kind;
        EXPECT_FALSE(LoadThumbnailPixels(made, 100, 100, 24, &pixels)) << kind;
        int width = 0;
        int height = 0;
        EXPECT_FALSE(ReadImageSize(bytes, &width, &height)) << kind;
        EXPECT_EQ(width + height, 0) << kind;
    }
}

TEST(WebPictureTest, CutPicturesGiveNoThumbnail) {
    const std::string folder = MakeTestFolder("cut");
    for (const char* kind : {"jpg", "png", "gif", "tif"}) {
        const std::string path = folder + "/whole." + kind;
        ASSERT_TRUE(MakeTestImage(path, 300, 200)) << kind;
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(path, &bytes));
        const std::string cut = folder + "/cut." + kind;
        ASSERT_TRUE(WriteFileBytes(cut, bytes.substr(0, bytes.size() * 2 / 3)));
        ThumbnailPixels pixels;
        EXPECT_TRUE(LoadThumbnailPixels(path, 100, 100, 24, &pixels)) << kind;
        EXPECT_FALSE(LoadThumbnailPixels(cut, 100, 100, 24, &pixels)) << kind;
    }
}

}  // namespace
