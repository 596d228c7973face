#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

BITMAPINFO Info(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = compression;
    return info;
}

// A bitmap whose pixel (x, row) has blue x, green row, red x + row.
HBITMAP MakeBitmap(LONG width, LONG height, WORD bitCount) {
    const BITMAPINFO info = Info(width, height, bitCount);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr)
        return nullptr;
    const LONG rowBytes = ((width * bitCount + 31) / 32) * 4;
    for (LONG row = 0; row < height; ++row) {
        BYTE* line = static_cast<BYTE*>(bits) + row * rowBytes;
        for (LONG x = 0; x < width; ++x) {
            BYTE* pixel = line + x * (bitCount / 8);
            pixel[0] = static_cast<BYTE>(x);
            pixel[1] = static_cast<BYTE>(row);
            pixel[2] = static_cast<BYTE>(x + row);
        }
    }
    return bitmap;
}

class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

TEST(GdiBitmapTest, DescribesTheBitmapItMade) {
    for (WORD bitCount : {WORD{24}, WORD{32}}) {
        HBITMAP bitmap = MakeBitmap(5, 3, bitCount);
        ASSERT_NE(bitmap, nullptr);
        BITMAP description{};
        ASSERT_EQ(GetObject(bitmap, sizeof description, &description),
                  static_cast<int>(sizeof description));
        EXPECT_EQ(description.bmWidth, 5);
        EXPECT_EQ(description.bmHeight, 3);
        EXPECT_EQ(description.bmPlanes, 1);
        EXPECT_EQ(description.bmBitsPixel, bitCount);
        EXPECT_EQ(description.bmWidthBytes, bitCount == 24 ? 16 : 20);  // 15 bytes padded to 16
        EXPECT_EQ(GetObject(bitmap, sizeof description - 1, &description), 0);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST(GdiBitmapTest, RefusesFormatsItDoesNotHold) {
    struct Case {
        const char* what;
        BITMAPINFO info;
    };
    const Case cases[] = {
        {"8 bits", Info(4, 4, 8)},
        {"16 bits", Info(4, 4, 16)},
        {"bit fields", Info(4, 4, 32, BI_BITFIELDS)},
        {"top-down rows", Info(4, -4, 24)},
        {"zero width", Info(0, 4, 24)},
        {"beyond the pixel bound", Info(65536, 1025, 24)},
    };
    for (const Case& c : cases) {
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &c.info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
            << c.what;
        EXPECT_EQ(bits, nullptr) << c.what;
    }
}

TEST(GdiBitmapTest, DeletedHandleNamesNothing) {
    HBITMAP bitmap = MakeBitmap(2, 2, 24);
    ASSERT_TRUE(DeleteObject(bitmap));
    BITMAP description{};
    EXPECT_EQ(GetObject(bitmap, sizeof description, &description), 0);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(nullptr));

    // The stock palette survives a delete.
    HGDIOBJ stock = GetStockObject(DEFAULT_PALETTE);
    ASSERT_NE(stock, nullptr);
    EXPECT_TRUE(DeleteObject(stock));
    PALETTEENTRY entry{};
    EXPECT_EQ(GetPaletteEntries(static_cast<HPALETTE>(stock), 0, 1, &entry), 1u);
}

TEST(GdiDeviceContextTest, SelectPaletteGivesThePreviousOne) {
    ScreenDc dc;
    ASSERT_NE(dc.get(), nullptr);
    const auto stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    LOGPALETTE logical{0x300, 1, {{1, 2, 3, 0}}};
    HPALETTE palette = CreatePalette(&logical);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(SelectPalette(dc.get(), palette, FALSE), stock);
    EXPECT_EQ(RealizePalette(dc.get()), 0u);
    EXPECT_EQ(SelectPalette(dc.get(), stock, FALSE), palette);
    EXPECT_TRUE(DeleteObject(palette));

    HDC other = GetDC(nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, other), 1);
    EXPECT_EQ(ReleaseDC(nullptr, other), 0);
    EXPECT_EQ(RealizePalette(other), GDI_ERROR);
}

TEST(GdiDibitsTest, FirstCallCompletesTheHeader) {
    ScreenDc dc;
    HBITMAP bitmap = MakeBitmap(5, 3, 32);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_EQ(GetDIBits(dc.get(), bitmap, 0, 3, nullptr, &info, DIB_RGB_COLORS), 3);
    EXPECT_EQ(info.bmiHeader.biWidth, 5);
    EXPECT_EQ(info.bmiHeader.biHeight, 3);
    EXPECT_EQ(info.bmiHeader.biPlanes, 1);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    EXPECT_EQ(info.bmiHeader.biCompression, BI_RGB);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 60u);

    // Asked at 24 bits, the size is that of 24-bit rows.
    info = Info(5, 3, 24);
    EXPECT_EQ(GetDIBits(dc.get(), bitmap, 0, 3, nullptr, &info, DIB_RGB_COLORS), 3);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 48u);
    DeleteObject(bitmap);
}

TEST(GdiDibitsTest, CopiesRowsConvertedToTheAskedBitCount) {
    ScreenDc dc;
    for (WORD from : {WORD{24}, WORD{32}}) {
        for (WORD to : {WORD{24}, WORD{32}}) {
            HBITMAP bitmap = MakeBitmap(3, 4, from);
            BITMAPINFO info = Info(3, 4, to);
            const LONG rowBytes = ((3 * to + 31) / 32) * 4;
            std::vector<BYTE> bits(static_cast<size_t>(rowBytes) * 4, 0xEE);
            // Rows 1 and 2 only.
            ASSERT_EQ(GetDIBits(dc.get(), bitmap, 1, 2, bits.data(), &info, DIB_RGB_COLORS), 2)
                << from << " to " << to;
            for (LONG row = 0; row < 2; ++row) {
                for (LONG x = 0; x < 3; ++x) {
                    const BYTE* pixel = bits.data() + row * rowBytes + x * (to / 8);
                    EXPECT_EQ(pixel[0], x);
                    EXPECT_EQ(pixel[1], row + 1);
                    EXPECT_EQ(pixel[2], x + row + 1);
                    if (to == 32) {
                        EXPECT_EQ(pixel[3], 0);
                    }
                }
            }
            // Nothing written beyond the two rows asked for.
            EXPECT_EQ(bits[static_cast<size_t>(rowBytes) * 2], 0xEE);
            // More rows asked for than remain: clipped.
            EXPECT_EQ(GetDIBits(dc.get(), bitmap, 3, 10, bits.data(), &info, DIB_RGB_COLORS), 1);
            DeleteObject(bitmap);
        }
    }
}

TEST(GdiDibitsTest, RequestsItCannotServeFailCleanly) {
    ScreenDc dc;
    HBITMAP bitmap = MakeBitmap(4, 4, 24);
    std::vector<BYTE> bits(1024, 0);
    struct Case {
        const char* what;
        BITMAPINFO info;
        UINT start;
    };
    const Case cases[] = {
        {"1 bit", Info(4, 4, 1), 0},
        {"4 bits", Info(4, 4, 4), 0},
        {"8 bits", Info(4, 4, 8), 0},
        {"16 bits", Info(4, 4, 16), 0},
        {"bit fields", Info(4, 4, 32, BI_BITFIELDS), 0},
        {"run-length", Info(4, 4, 24, 1), 0},
        {"other width", Info(5, 4, 24), 0},
        {"top-down", Info(4, -4, 24), 0},
        {"start beyond the rows", Info(4, 4, 24), 4},
    };
    for (const Case& c : cases) {
        BITMAPINFO info = c.info;
        EXPECT_EQ(GetDIBits(dc.get(), bitmap, c.start, 4, bits.data(), &info, DIB_RGB_COLORS), 0)
            << c.what;
    }
    BITMAPINFO small = Info(4, 4, 8);
    EXPECT_EQ(GetDIBits(dc.get(), bitmap, 0, 4, nullptr, &small, DIB_RGB_COLORS), 0);
    BITMAPINFO good = Info(4, 4, 24);
    EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 4, bits.data(), &good, DIB_RGB_COLORS), 0);
    DeleteObject(bitmap);
}

}  // namespace
