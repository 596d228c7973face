#include "engine/thumbnail/ScreenCapture.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/thumbnail/DibImage.h"
#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiDrawing.h"
#include "tests/support/TestEnvironment.h"

namespace {

TEST(ScreenCaptureTest, CaptureOfAContextIsWrittenAsABitmapFile) {
    DrawingSurface surface(30, 20);
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT block{10, 5, 20, 15};
    FillRect(surface.Dc(), &block, red);
    DeleteObject(red);

    const std::string path = MakeTestFolder("capture") + "/shot.bmp";
    ASSERT_TRUE(SaveDcImage(surface.Dc(), RECT{5, 0, 25, 20}, path));
    DibImage image;
    ASSERT_TRUE(image.Load(path));
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.Header()->biWidth, 20);
    EXPECT_EQ(image.Header()->biHeight, 20);
    EXPECT_EQ(image.Header()->biBitCount, 32);
    // Painted back, the capture shows what the context showed.
    DrawingSurface back(20, 20);
    ASSERT_TRUE(image.Paint(back.Dc(), RECT{0, 0, 20, 20}, RECT{0, 0, 20, 20}));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(back.Pixel(x, y), surface.Pixel(x + 5, y)) << x << "," << y;

    // Beyond the context's edge the capture is black; an empty area gives nothing.
    HBITMAP edge = CaptureDcBitmap(surface.Dc(), RECT{25, 0, 35, 5});
    ASSERT_NE(edge, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, edge);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 9, 0), RGB(0, 0, 0));
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(edge);
    EXPECT_EQ(CaptureDcBitmap(surface.Dc(), RECT{5, 5, 5, 10}), nullptr);
    EXPECT_EQ(CaptureDcBitmap(nullptr, RECT{0, 0, 5, 5}), nullptr);
    EXPECT_FALSE(SaveDcImage(surface.Dc(), RECT{0, 0, 5, 5},
                             MakeTestFolder("capture") + "/missing/shot.bmp"));
}

}  // namespace
