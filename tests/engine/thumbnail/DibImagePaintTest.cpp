#include <gtest/gtest.h>

#include <string>

#include "engine/thumbnail/DibImage.h"
#include "platform/file/FileLayer.h"
#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiDrawing.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestImages.h"

namespace {

COLORREF Expected(int x, int y, int width, int height, int bitCount) {
    if (bitCount == 8) {
        const TestColour c = TestPaletteColour((x + y) % 256);
        return RGB(c.red, c.green, c.blue);
    }
    const TestColour c = TestPixelColour(x, y, width, height);
    return RGB(c.red, c.green, c.blue);
}

TEST(DibImagePaintTest, PaintsTheSourceRectangleScaled) {
    for (int bitCount : {24, 8}) {
        const std::string path = MakeTestFolder("paint") + "/p" + std::to_string(bitCount) + ".bmp";
        ASSERT_TRUE(WriteTestBitmapFile(path, 5, 3, bitCount));
        DibImage image;
        ASSERT_TRUE(image.Load(path));
        DrawingSurface surface(20, 12);
        // The whole image, twice as large.
        ASSERT_TRUE(image.Paint(surface.Dc(), RECT{0, 0, 10, 6}, RECT{0, 0, 5, 3})) << bitCount;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(surface.Pixel(x, y), Expected(x / 2, y / 2, 5, 3, bitCount))
                    << bitCount << " at " << x << "," << y;
        EXPECT_EQ(surface.Pixel(10, 0), RGB(255, 255, 255));
        // Its lower right part at its own size, counted from the image's top row.
        ASSERT_TRUE(image.Paint(surface.Dc(), RECT{12, 8, 15, 10}, RECT{2, 1, 5, 3}));
        EXPECT_EQ(surface.Pixel(12, 8), Expected(2, 1, 5, 3, bitCount)) << bitCount;
        EXPECT_EQ(surface.Pixel(14, 9), Expected(4, 2, 5, 3, bitCount)) << bitCount;
        EXPECT_EQ(GetStretchBltMode(surface.Dc()), COLORONCOLOR);
    }
}

TEST(DibImagePaintTest, PointsOutsideTheImageAreRefused) {
    const std::string path = MakeTestFolder("paintout") + "/p.bmp";
    ASSERT_TRUE(WriteTestBitmapFile(path, 5, 3, 24));
    DibImage image;
    ASSERT_TRUE(image.Load(path));
    DrawingSurface surface(8, 8);
    struct Case {
        RECT source;
        const char* message;
    };
    const Case cases[] = {
        {RECT{5, 0, 5, 3}, "startingPt is not in the image rectangle"},
        {RECT{-1, 0, 2, 2}, "startingPt is not in the image rectangle"},
        {RECT{0, 0, 6, 3}, "endingPt is not in the image rectangle"},
        {RECT{1, 1, 3, 4}, "endingPt is not in the image rectangle"},
    };
    for (const Case& c : cases) {
        ExpectedMessageBoxes boxes;
        boxes.Expect(c.message);
        EXPECT_FALSE(image.Paint(surface.Dc(), RECT{0, 0, 8, 8}, c.source)) << c.message;
    }
    EXPECT_EQ(surface.Pixel(0, 0), RGB(255, 255, 255));
    DibImage empty;
    EXPECT_FALSE(empty.Paint(surface.Dc(), RECT{0, 0, 8, 8}, RECT{0, 0, 1, 1}));
}

TEST(DibImagePaintTest, BitsShorterThanTheHeaderSaysAreNotRead) {
    // A file whose header claims far more rows than it carries.
    const std::string folder = MakeTestFolder("paintshort");
    ASSERT_TRUE(WriteTestBitmapFile(folder + "/p.bmp", 5, 3, 24));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(folder + "/p.bmp", &bytes));
    bytes[22] = static_cast<char>(200);          // biHeight
    bytes.replace(34, 4, std::string(4, '\0'));  // biSizeImage: what follows the header
    ASSERT_TRUE(WriteFileBytes(folder + "/tall.bmp", bytes));
    DibImage image;
    ASSERT_TRUE(image.Load(folder + "/tall.bmp"));
    DrawingSurface surface(8, 8);
    EXPECT_FALSE(image.Paint(surface.Dc(), RECT{0, 0, 8, 8}, RECT{0, 0, 5, 200}));
    HDC memory = CreateCompatibleDC(surface.Dc());
    EXPECT_EQ(image.MakeDeviceBitmap(memory, nullptr, nullptr), nullptr);
    DeleteDC(memory);
}

TEST(DibImagePaintTest, DeviceBitmapHoldsTheImageInAMemoryContext) {
    const std::string path = MakeTestFolder("devbmp") + "/p.bmp";
    ASSERT_TRUE(WriteTestBitmapFile(path, 5, 3, 8));
    DibImage image;
    ASSERT_TRUE(image.Load(path));
    DrawingSurface surface(5, 3);
    HDC memory = CreateCompatibleDC(surface.Dc());
    SIZE size{};
    HGDIOBJ previous = nullptr;
    HBITMAP bitmap = image.MakeDeviceBitmap(memory, &size, &previous);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(size.cx, 5);
    EXPECT_EQ(size.cy, 3);
    EXPECT_EQ(GetPixel(memory, 4, 0), Expected(4, 0, 5, 3, 8));
    EXPECT_EQ(GetPixel(memory, 0, 2), Expected(0, 2, 5, 3, 8));
    // Copied onto a surface as a window would show it.
    ASSERT_TRUE(BitBlt(surface.Dc(), 0, 0, 5, 3, memory, 0, 0, SRCCOPY));
    EXPECT_EQ(surface.Pixel(3, 1), Expected(3, 1, 5, 3, 8));
    SelectObject(memory, previous);
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(memory);
}

}  // namespace
