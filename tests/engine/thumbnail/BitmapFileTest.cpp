#include "engine/thumbnail/BitmapFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/thumbnail/ShellThumbnail.h"
#include "platform/file/FileLayer.h"
#include "platform/image/ImageConversion.h"
#include "tests/support/TestEnvironment.h"

namespace {

LONG RowBytes(LONG width, WORD bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}

// A bitmap with a distinct colour in every pixel.
HBITMAP MakeBitmap(LONG width, LONG height, WORD bitCount) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (LONG row = 0; row < height; ++row) {
        for (LONG x = 0; x < width; ++x) {
            BYTE* pixel =
                static_cast<BYTE*>(bits) + row * RowBytes(width, bitCount) + x * (bitCount / 8);
            pixel[0] = static_cast<BYTE>(10 + x);
            pixel[1] = static_cast<BYTE>(100 + row);
            pixel[2] = static_cast<BYTE>(200 + x + row);
        }
    }
    return bitmap;
}

// The pixel rows a bitmap holds.
std::string RowsOf(HBITMAP bitmap) {
    BITMAP description{};
    if (GetObject(bitmap, sizeof description, &description) == 0)
        return {};
    return std::string(static_cast<const char*>(description.bmBits),
                       static_cast<size_t>(description.bmWidthBytes) * description.bmHeight);
}

class Dib {
public:
    explicit Dib(HGLOBAL block) : block_(block) {}
    ~Dib() { GlobalFree(block_); }
    HGLOBAL get() const { return block_; }

private:
    HGLOBAL block_;
};

TEST(BitmapToDibTest, PacksHeaderAndBits) {
    for (WORD bitCount : {WORD{24}, WORD{32}}) {
        HBITMAP bitmap = MakeBitmap(3, 2, bitCount);
        Dib dib(BitmapToDib(bitmap, BI_RGB, nullptr));
        ASSERT_NE(dib.get(), nullptr) << bitCount;
        const size_t imageSize = static_cast<size_t>(RowBytes(3, bitCount)) * 2;
        ASSERT_EQ(GlobalSize(dib.get()), sizeof(BITMAPINFOHEADER) + imageSize);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib.get()));
        EXPECT_EQ(header->biSize, 40u);
        EXPECT_EQ(header->biWidth, 3);
        EXPECT_EQ(header->biHeight, 2);
        EXPECT_EQ(header->biPlanes, 1);
        EXPECT_EQ(header->biBitCount, bitCount);
        EXPECT_EQ(header->biCompression, BI_RGB);
        EXPECT_EQ(header->biSizeImage, imageSize);
        EXPECT_EQ(header->biClrUsed, 0u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(header + 1), imageSize),
                  RowsOf(bitmap));
        GlobalUnlock(dib.get());
        DeleteObject(bitmap);
    }
}

TEST(BitmapToDibTest, RefusesBitFieldsAndWhatIsNoBitmap) {
    HBITMAP bitmap = MakeBitmap(3, 2, 32);
    EXPECT_EQ(BitmapToDib(bitmap, BI_BITFIELDS, nullptr), nullptr);
    EXPECT_EQ(BitmapToDib(nullptr, BI_RGB, nullptr), nullptr);
    // A compression the bitmap calls cannot hand out.
    EXPECT_EQ(BitmapToDib(bitmap, 1, nullptr), nullptr);
    DeleteObject(bitmap);
    EXPECT_EQ(BitmapToDib(bitmap, BI_RGB, nullptr), nullptr);  // deleted
}

TEST(WriteDibFileTest, FileHeaderOfA24BitImage) {
    const std::string folder = MakeTestFolder("dib-file");
    HBITMAP bitmap = MakeBitmap(3, 2, 24);
    Dib dib(BitmapToDib(bitmap, BI_RGB, nullptr));
    ASSERT_NE(dib.get(), nullptr);
    FileWriter file;
    ASSERT_TRUE(file.Open(folder + "/x.bmp"));
    WriteDibFile(file, dib.get());
    ASSERT_TRUE(file.Close());

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(folder + "/x.bmp", &bytes));
    // 14 + 40 + 2 rows of 12 bytes (9 bytes padded to 12).
    ASSERT_EQ(bytes.size(), 78u);
    // The header is packed: its fields are read as copies.
    BITMAPFILEHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(WORD{header.bfType}, 0x4D42);
    EXPECT_EQ(DWORD{header.bfSize}, 78u);
    EXPECT_EQ(WORD{header.bfReserved1}, 0);
    EXPECT_EQ(WORD{header.bfReserved2}, 0);
    EXPECT_EQ(DWORD{header.bfOffBits}, 54u);
    const auto* block = static_cast<const char*>(GlobalLock(dib.get()));
    EXPECT_EQ(bytes.substr(14), std::string(block, GlobalSize(dib.get())));
    GlobalUnlock(dib.get());
    DeleteObject(bitmap);

    // Nothing at all for a null DIB.
    FileWriter empty;
    ASSERT_TRUE(empty.Open(folder + "/empty.bmp"));
    WriteDibFile(empty, nullptr);
    ASSERT_TRUE(empty.Close());
    ASSERT_TRUE(ReadFileBytes(folder + "/empty.bmp", &bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(SaveBitmapFileTest, ImageLibraryReadsBackTheSamePixels) {
    const std::string folder = MakeTestFolder("save-bitmap");
    // 5 pixels wide: rows need padding at 24 bits.
    for (WORD bitCount : {WORD{24}, WORD{32}}) {
        const std::string name = "p" + std::to_string(bitCount) + ".bmp";
        const std::string path = folder + "/" + name;
        HBITMAP bitmap = MakeBitmap(5, 3, bitCount);
        ASSERT_TRUE(SaveBitmapFile(path, bitmap));

        ImageHandle image = LoadImageFile(ImageFormatFromFileName(path), path, 0);
        EXPECT_NE(image, nullptr);
        UnloadImage(image);

        // Read back through the thumbnail extractor, at the same size and depth.
        HBITMAP back = ShellThumbnailToBitmap(folder, name, SIZE{5, 3}, bitCount);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(RowsOf(back), RowsOf(bitmap)) << bitCount;
        DeleteObject(back);
        DeleteObject(bitmap);
    }
}

TEST(SaveBitmapFileTest, NothingWrittenWhenItCannotBe) {
    const std::string folder = MakeTestFolder("save-failure");
    HBITMAP bitmap = MakeBitmap(2, 2, 24);
    EXPECT_FALSE(SaveBitmapFile(folder + "/missing/x.bmp", bitmap));
    EXPECT_FALSE(SaveBitmapFile(folder + "/none.bmp", nullptr));
    EXPECT_FALSE(FileIsReadable(folder + "/none.bmp"));
    EXPECT_FALSE(SaveShellThumbnail(nullptr, folder + "/none.bmp"));
    EXPECT_FALSE(FileIsReadable(folder + "/none.bmp"));
    DeleteObject(bitmap);
}

}  // namespace
