#include "platform/gdi/GdiDrawing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiIcons.h"
#include "tests/support/TestEnvironment.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A brush the test owns, deleted at the end of the scope.
class Brush {
public:
    explicit Brush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
    ~Brush() { DeleteObject(brush_); }
    HBRUSH get() const { return brush_; }

private:
    HBRUSH brush_;
};

// A device-independent bitmap held as one block: header, colour table, bits.
struct Dib {
    std::vector<BYTE> block;
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(block.data()); }
    const BYTE* Bits() const {
        const auto* header = &Info()->bmiHeader;
        const DWORD colours = header->biBitCount <= 8 ? (1u << header->biBitCount) : 0;
        return block.data() + header->biSize + 4 * colours;
    }
};

// A bitmap whose pixel (x, y), y counted from the top, has colour(x, y). 24 bits, or 8
// with a palette in which index i is RGB(i, 255 - i, 7) and pixels take index(x, y).
template <typename Colour>
Dib MakeDib(int width, int height, WORD bitCount, bool bottomUp, Colour colour) {
    const int rowBytes = ((width * bitCount + 31) / 32) * 4;
    const int colours = bitCount == 8 ? 256 : 0;
    Dib dib;
    dib.block.assign(sizeof(BITMAPINFOHEADER) + 4 * colours + rowBytes * height, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.block.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = bottomUp ? height : -height;
    header->biPlanes = 1;
    header->biBitCount = bitCount;
    header->biCompression = BI_RGB;
    BYTE* table = dib.block.data() + sizeof(BITMAPINFOHEADER);
    for (int i = 0; i < colours; ++i) {
        table[4 * i] = 7;
        table[4 * i + 1] = static_cast<BYTE>(255 - i);
        table[4 * i + 2] = static_cast<BYTE>(i);
    }
    BYTE* bits = table + 4 * colours;
    for (int y = 0; y < height; ++y) {
        BYTE* row = bits + (bottomUp ? height - 1 - y : y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            if (bitCount == 8) {
                row[x] = GetRValue(c);  // the index
            } else {
                row[3 * x] = GetBValue(c);
                row[3 * x + 1] = GetGValue(c);
                row[3 * x + 2] = GetRValue(c);
            }
        }
    }
    return dib;
}

COLORREF Pattern(int x, int y) {
    return RGB(static_cast<BYTE>(10 * x), static_cast<BYTE>(10 * y), 99);
}

TEST(DrawingTest, FillRectPaintsTheRectangleWithoutItsRightAndBottomEdges) {
    Brush green(RGB(0, 160, 0));
    struct Case {
        const char* name;
        HBRUSH brush;
        COLORREF expected;
    };
    const Case cases[] = {
        {"solid brush", green.get(), RGB(0, 160, 0)},
        {"stock black", static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), RGB(0, 0, 0)},
        {"stock grey", static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), RGB(128, 128, 128)},
        {"system colour brush", GetSysColorBrush(COLOR_HIGHLIGHT), RGB(0, 0, 128)},
        {"colour index + 1", reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), RGB(192, 192, 192)},
        {"hollow brush", static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)), kWhite},
    };
    for (const Case& c : cases) {
        DrawingSurface surface(10, 10);
        const RECT rect{2, 3, 6, 8};
        ASSERT_TRUE(FillRect(surface.Dc(), &rect, c.brush)) << c.name;
        EXPECT_EQ(surface.Pixel(2, 3), c.expected) << c.name;
        EXPECT_EQ(surface.Pixel(5, 7), c.expected) << c.name;
        EXPECT_EQ(surface.Pixel(6, 7), kWhite) << c.name;
        EXPECT_EQ(surface.Pixel(5, 8), kWhite) << c.name;
        EXPECT_EQ(surface.Pixel(1, 3), kWhite) << c.name;
    }
    DrawingSurface surface(4, 4);
    const RECT rect{0, 0, 4, 4};
    EXPECT_FALSE(FillRect(surface.Dc(), &rect, reinterpret_cast<HBRUSH>(0x12345678)));
    EXPECT_FALSE(FillRect(nullptr, &rect, green.get()));
}

TEST(DrawingTest, SystemColoursAreTheClassicTable) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), RGB(223, 223, 223));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(GetSysColorBrush(99), nullptr);
    // A system colour brush is a stock object: deleting it leaves it usable.
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_MENU)));
    DrawingSurface surface(2, 2);
    const RECT rect{0, 0, 2, 2};
    EXPECT_TRUE(FillRect(surface.Dc(), &rect, GetSysColorBrush(COLOR_MENU)));
}

TEST(DrawingTest, FrameRectAndRectangleDrawOnePixelInside) {
    DrawingSurface surface(10, 10);
    Brush red(kRed);
    const RECT rect{1, 1, 6, 5};
    ASSERT_TRUE(FrameRect(surface.Dc(), &rect, red.get()));
    for (auto [x, y] : {std::pair{1, 1}, {5, 1}, {1, 4}, {5, 4}, {3, 1}, {1, 2}})
        EXPECT_EQ(surface.Pixel(x, y), kRed) << x << "," << y;
    for (auto [x, y] : {std::pair{2, 2}, {4, 3}, {6, 1}, {1, 5}, {0, 0}})
        EXPECT_EQ(surface.Pixel(x, y), kWhite) << x << "," << y;

    // Rectangle: the selected pen on the border, the selected brush inside.
    HPEN pen = CreatePen(PS_SOLID, 1, kBlue);
    Brush fill(RGB(0, 200, 0));
    HGDIOBJ oldPen = SelectObject(surface.Dc(), pen);
    HGDIOBJ oldBrush = SelectObject(surface.Dc(), fill.get());
    ASSERT_NE(oldPen, nullptr);
    ASSERT_TRUE(Rectangle(surface.Dc(), 3, 5, 9, 9));
    EXPECT_EQ(surface.Pixel(3, 5), kBlue);
    EXPECT_EQ(surface.Pixel(8, 8), kBlue);
    EXPECT_EQ(surface.Pixel(5, 7), RGB(0, 200, 0));
    EXPECT_EQ(surface.Pixel(9, 9), kWhite);
    // A pen still selected is not deleted; once deselected it is.
    EXPECT_FALSE(DeleteObject(pen));
    SelectObject(surface.Dc(), oldPen);
    SelectObject(surface.Dc(), oldBrush);
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(DrawingTest, DrawEdgeShadesEachBorderInItsSystemColours) {
    const COLORREF light = GetSysColor(COLOR_3DLIGHT);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    struct Case {
        const char* name;
        UINT edge;
        COLORREF outerTop, outerBottom, innerTop, innerBottom;
    };
    const Case cases[] = {
        {"raised", EDGE_RAISED, light, dark, highlight, shadow},
        {"sunken", EDGE_SUNKEN, shadow, highlight, dark, light},
        {"etched", EDGE_ETCHED, shadow, highlight, highlight, shadow},
        {"bump", EDGE_BUMP, light, dark, dark, light},
    };
    for (const Case& c : cases) {
        DrawingSurface surface(12, 12);
        RECT rect{1, 1, 11, 11};
        ASSERT_TRUE(DrawEdge(surface.Dc(), &rect, c.edge, BF_RECT | BF_MIDDLE | BF_ADJUST))
            << c.name;
        EXPECT_EQ(surface.Pixel(5, 1), c.outerTop) << c.name;      // top
        EXPECT_EQ(surface.Pixel(1, 5), c.outerTop) << c.name;      // left
        EXPECT_EQ(surface.Pixel(5, 10), c.outerBottom) << c.name;  // bottom
        EXPECT_EQ(surface.Pixel(10, 5), c.outerBottom) << c.name;  // right
        // The bottom and right colour takes the corners it shares.
        EXPECT_EQ(surface.Pixel(10, 1), c.outerBottom) << c.name;
        EXPECT_EQ(surface.Pixel(1, 10), c.outerBottom) << c.name;
        EXPECT_EQ(surface.Pixel(5, 2), c.innerTop) << c.name;
        EXPECT_EQ(surface.Pixel(9, 5), c.innerBottom) << c.name;
        EXPECT_EQ(surface.Pixel(5, 5), GetSysColor(COLOR_3DFACE)) << c.name;
        EXPECT_EQ(surface.Pixel(0, 0), kWhite) << c.name;
        EXPECT_EQ(rect.left, 3) << c.name;
        EXPECT_EQ(rect.bottom, 9) << c.name;
    }

    // One side only, as a menu separator draws its etched line; rect stays without
    // BF_ADJUST.
    DrawingSurface surface(10, 6);
    RECT line{0, 2, 10, 6};
    ASSERT_TRUE(DrawEdge(surface.Dc(), &line, EDGE_ETCHED, BF_TOP));
    EXPECT_EQ(surface.Pixel(4, 2), shadow);
    EXPECT_EQ(surface.Pixel(4, 3), highlight);
    EXPECT_EQ(surface.Pixel(4, 4), kWhite);
    EXPECT_EQ(surface.Pixel(0, 5), kWhite);
    EXPECT_EQ(line.top, 2);
}

TEST(DrawingTest, LinesLeaveOutTheirEndPoint) {
    DrawingSurface surface(10, 10);
    HDC dc = surface.Dc();
    POINT previous{-1, -1};
    ASSERT_TRUE(MoveToEx(dc, 1, 2, &previous));
    EXPECT_EQ(previous.x, 0);
    ASSERT_TRUE(LineTo(dc, 6, 2));
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(surface.Pixel(x, 2), RGB(0, 0, 0)) << x;
    EXPECT_EQ(surface.Pixel(6, 2), kWhite);
    // The next line starts where the last ended.
    ASSERT_TRUE(LineTo(dc, 6, 7));
    EXPECT_EQ(surface.Pixel(6, 2), RGB(0, 0, 0));
    EXPECT_EQ(surface.Pixel(6, 6), RGB(0, 0, 0));
    EXPECT_EQ(surface.Pixel(6, 7), kWhite);
    // A diagonal, and a pen that draws nothing.
    MoveToEx(dc, 0, 9, nullptr);
    LineTo(dc, 3, 6);
    EXPECT_EQ(surface.Pixel(1, 8), RGB(0, 0, 0));
    EXPECT_EQ(surface.Pixel(2, 7), RGB(0, 0, 0));
    SelectObject(dc, GetStockObject(NULL_PEN));
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 9, 0);
    EXPECT_EQ(surface.Pixel(4, 0), kWhite);
}

TEST(DrawingTest, FocusRectangleDrawnTwiceLeavesNoTrace) {
    DrawingSurface surface(8, 8);
    const RECT rect{1, 1, 7, 7};
    ASSERT_TRUE(DrawFocusRect(surface.Dc(), &rect));
    EXPECT_EQ(surface.Pixel(1, 1), RGB(0, 0, 0));  // inverted white
    EXPECT_EQ(surface.Pixel(2, 1), kWhite);        // the gap between two dots
    EXPECT_EQ(surface.Pixel(3, 3), kWhite);        // inside
    ASSERT_TRUE(DrawFocusRect(surface.Dc(), &rect));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(surface.Pixel(x, y), kWhite) << x << "," << y;
}

TEST(DrawingTest, PixelsOutsideTheSurfaceAreInvalid) {
    DrawingSurface surface(3, 3);
    EXPECT_EQ(SetPixel(surface.Dc(), 2, 2, kRed), kRed);
    EXPECT_EQ(GetPixel(surface.Dc(), 2, 2), kRed);
    for (auto [x, y] : {std::pair{3, 0}, {0, 3}, {-1, 0}, {0, -1}}) {
        EXPECT_EQ(SetPixel(surface.Dc(), x, y, kRed), CLR_INVALID);
        EXPECT_EQ(GetPixel(surface.Dc(), x, y), CLR_INVALID);
    }
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST(DrawingTest, BitBltCopiesBetweenContextsAndLeavesOutWhatLiesOutside) {
    DrawingSurface from(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            SetPixel(from.Dc(), x, y, Pattern(x, y));

    // Into a memory context's bitmap and back onto another surface.
    HDC memory = CreateCompatibleDC(from.Dc());
    HBITMAP bitmap = CreateCompatibleBitmap(from.Dc(), 4, 4);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    ASSERT_NE(previous, nullptr);
    ASSERT_TRUE(BitBlt(memory, 0, 0, 4, 4, from.Dc(), 2, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(memory, 0, 0), Pattern(2, 1));
    EXPECT_EQ(GetPixel(memory, 3, 3), Pattern(5, 4));

    DrawingSurface to(8, 8);
    ASSERT_TRUE(BitBlt(to.Dc(), 5, 5, 4, 4, memory, 0, 0, SRCCOPY));
    EXPECT_EQ(to.Pixel(5, 5), Pattern(2, 1));
    EXPECT_EQ(to.Pixel(7, 7), Pattern(4, 3));
    EXPECT_EQ(to.Pixel(4, 4), kWhite);

    // Source pixels beyond the source are left out: the target keeps its own.
    ASSERT_TRUE(BitBlt(to.Dc(), 0, 0, 3, 3, from.Dc(), 4, 4, SRCCOPY));
    EXPECT_EQ(to.Pixel(0, 0), Pattern(4, 4));
    EXPECT_EQ(to.Pixel(1, 1), Pattern(5, 5));
    EXPECT_EQ(to.Pixel(2, 2), kWhite);

    // Onto itself, overlapping.
    ASSERT_TRUE(BitBlt(from.Dc(), 1, 0, 5, 1, from.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(from.Pixel(1, 0), Pattern(0, 0));
    EXPECT_EQ(from.Pixel(5, 0), Pattern(4, 0));

    EXPECT_FALSE(BitBlt(to.Dc(), 0, 0, 1, 1, from.Dc(), 0, 0, 0x00EE0086));
    EXPECT_FALSE(BitBlt(to.Dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));

    // The bitmap is deleted only once no context holds it.
    EXPECT_FALSE(DeleteObject(bitmap));
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);  // held by the first context
    DeleteDC(other);
    SelectObject(memory, previous);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(DrawingTest, StretchDIBitsScalesTrueColourAndPalettedBitmaps) {
    struct Case {
        const char* name;
        WORD bitCount;
        bool bottomUp;
    };
    const Case cases[] = {
        {"24 bits bottom-up", 24, true},
        {"24 bits top-down", 24, false},
        {"8 bits bottom-up", 8, true},
    };
    // The 8-bit bitmap's index (x + 2y) names RGB(index, 255 - index, 7).
    auto colourOf = [](WORD bitCount, int x, int y) {
        return bitCount == 8
                   ? RGB(static_cast<BYTE>(x + 2 * y), static_cast<BYTE>(255 - (x + 2 * y)), 7)
                   : Pattern(x, y);
    };
    for (const Case& c : cases) {
        const Dib dib = MakeDib(3, 2, c.bitCount, c.bottomUp, [&](int x, int y) {
            return c.bitCount == 8 ? RGB(static_cast<BYTE>(x + 2 * y), 0, 0) : Pattern(x, y);
        });
        DrawingSurface surface(12, 8);
        // The whole bitmap, twice as large.
        ASSERT_EQ(StretchDIBits(surface.Dc(), 0, 0, 6, 4, 0, 0, 3, 2, dib.Bits(), dib.Info(),
                                DIB_RGB_COLORS, SRCCOPY),
                  2)
            << c.name;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(surface.Pixel(x, y), colourOf(c.bitCount, x / 2, y / 2))
                    << c.name << " at " << x << "," << y;
        EXPECT_EQ(surface.Pixel(6, 0), kWhite) << c.name;
        EXPECT_EQ(surface.Pixel(0, 4), kWhite) << c.name;
    }

    // A source rectangle counts its rows from the bottom row of a bottom-up bitmap, and
    // from the top row of a top-down one: (1, 0, 2 x 1) is the bottom row's right part in
    // the first and the top row's in the second.
    for (bool bottomUp : {true, false}) {
        const Dib dib = MakeDib(3, 2, 24, bottomUp, Pattern);
        DrawingSurface surface(4, 4);
        ASSERT_EQ(StretchDIBits(surface.Dc(), 0, 0, 2, 1, 1, 0, 2, 1, dib.Bits(), dib.Info(),
                                DIB_RGB_COLORS, SRCCOPY),
                  1);
        const int row = bottomUp ? 1 : 0;
        EXPECT_EQ(surface.Pixel(0, 0), Pattern(1, row)) << bottomUp;
        EXPECT_EQ(surface.Pixel(1, 0), Pattern(2, row)) << bottomUp;
    }

    // Halved: every other pixel.
    const Dib wide = MakeDib(4, 4, 24, true, Pattern);
    DrawingSurface small(2, 2);
    ASSERT_NE(StretchDIBits(small.Dc(), 0, 0, 2, 2, 0, 0, 4, 4, wide.Bits(), wide.Info(),
                            DIB_RGB_COLORS, SRCCOPY),
              0);
    EXPECT_EQ(small.Pixel(0, 0), Pattern(1, 1));
    EXPECT_EQ(small.Pixel(1, 1), Pattern(3, 3));
}

TEST(DrawingTest, StretchDIBitsRefusesWhatItCannotRead) {
    const Dib good = MakeDib(2, 2, 24, true, Pattern);
    DrawingSurface surface(4, 4);
    auto header = [&](auto change) {
        Dib copy = good;
        change(reinterpret_cast<BITMAPINFOHEADER*>(copy.block.data()));
        return copy;
    };
    const Dib cases[] = {
        header([](BITMAPINFOHEADER* h) { h->biCompression = BI_BITFIELDS; }),
        header([](BITMAPINFOHEADER* h) { h->biBitCount = 16; }),
        header([](BITMAPINFOHEADER* h) { h->biWidth = 0; }),
        header([](BITMAPINFOHEADER* h) { h->biSize = 12; }),
        header([](BITMAPINFOHEADER* h) { h->biWidth = 100000, h->biHeight = 100000; }),
    };
    for (const Dib& dib : cases)
        EXPECT_EQ(StretchDIBits(surface.Dc(), 0, 0, 2, 2, 0, 0, 2, 2, good.Bits(), dib.Info(),
                                DIB_RGB_COLORS, SRCCOPY),
                  0);
    EXPECT_EQ(StretchDIBits(surface.Dc(), 0, 0, 0, 2, 0, 0, 2, 2, good.Bits(), good.Info(),
                            DIB_RGB_COLORS, SRCCOPY),
              0);
    EXPECT_EQ(StretchDIBits(surface.Dc(), 0, 0, 2, 2, 0, 0, 2, 2, nullptr, good.Info(),
                            DIB_RGB_COLORS, SRCCOPY),
              0);
    EXPECT_EQ(surface.Pixel(0, 0), kWhite);
}

TEST(DrawingTest, DeviceBitmapsAreMadeFromBitsAndReadBackAsRows) {
    const Dib dib = MakeDib(3, 2, 24, true, Pattern);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(memory, &dib.Info()->bmiHeader, CBM_INIT, dib.Bits(),
                                    dib.Info(), DIB_RGB_COLORS);
    ASSERT_NE(bitmap, nullptr);
    BITMAP description{};
    ASSERT_NE(GetObject(bitmap, sizeof description, &description), 0);
    EXPECT_EQ(description.bmWidth, 3);
    EXPECT_EQ(description.bmHeight, 2);
    EXPECT_EQ(description.bmBitsPixel, 32);

    HGDIOBJ previous = SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 2, 0), Pattern(2, 0));
    EXPECT_EQ(GetPixel(memory, 0, 1), Pattern(0, 1));
    SelectObject(memory, previous);

    // Rows come back bottom-up, blue first.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> rows(2 * 12);
    ASSERT_EQ(GetDIBits(memory, bitmap, 0, 2, rows.data(), &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(rows[0], GetBValue(Pattern(0, 1)));
    EXPECT_EQ(rows[1], GetGValue(Pattern(0, 1)));
    EXPECT_EQ(rows[12 + 2 * 3 + 2], GetRValue(Pattern(2, 0)));

    // Without CBM_INIT the bitmap is black; a DIB section never goes into a context.
    HBITMAP blank = CreateDIBitmap(memory, &dib.Info()->bmiHeader, 0, nullptr, nullptr, 0);
    ASSERT_NE(blank, nullptr);
    SelectObject(memory, blank);
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(0, 0, 0));
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, dib.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(SelectObject(memory, section), nullptr);
    DeleteDC(memory);
    for (HBITMAP made : {bitmap, blank, section})
        EXPECT_TRUE(DeleteObject(made));
}

// A 4 x 4 icon: a black 2 x 2 square at the top left, a half-transparent red pixel at
// (3, 0), white at (3, 3), the rest transparent.
HICON TestIcon() {
    std::vector<DWORD> pixels(16, 0);
    for (int i : {0, 1, 4, 5})
        pixels[i] = 0xFF000000;
    pixels[3] = 0x80FF0000;
    pixels[15] = 0xFFFFFFFF;
    return CreateIconFromPixels(4, 4, pixels.data());
}

TEST(DrawingTest, IconsBlendAndScale) {
    HICON icon = TestIcon();
    ASSERT_NE(icon, nullptr);
    DrawingSurface surface(12, 12);
    Brush blue(kBlue);
    const RECT all{0, 0, 12, 12};
    FillRect(surface.Dc(), &all, blue.get());
    ASSERT_TRUE(DrawIcon(surface.Dc(), 1, 1, icon));
    EXPECT_EQ(surface.Pixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(surface.Pixel(3, 1), kBlue);             // transparent
    EXPECT_EQ(surface.Pixel(4, 1), RGB(128, 0, 127));  // half red over blue
    EXPECT_EQ(surface.Pixel(4, 4), kWhite);

    // Twice the size.
    ASSERT_TRUE(DrawIconEx(surface.Dc(), 4, 4, icon, 8, 8, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(surface.Pixel(4, 4), RGB(0, 0, 0));
    EXPECT_EQ(surface.Pixel(7, 7), RGB(0, 0, 0));
    EXPECT_EQ(surface.Pixel(8, 8), kBlue);
    EXPECT_EQ(surface.Pixel(11, 11), kWhite);

    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIcon(surface.Dc(), 0, 0, icon));
    EXPECT_EQ(CreateIconFromPixels(0, 4, std::vector<DWORD>(4).data()), nullptr);
}

TEST(DrawingTest, DisabledIconIsEmbossedInHighlightAndShadow) {
    HICON icon = TestIcon();
    DrawingSurface surface(8, 8);
    const RECT all{0, 0, 8, 8};
    FillRect(surface.Dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
    ASSERT_TRUE(DrawState(surface.Dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 1, 1,
                          0, 0, DST_ICON | DSS_DISABLED));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    // The black square in shadow, its light copy showing one pixel down and right.
    EXPECT_EQ(surface.Pixel(1, 1), shadow);
    EXPECT_EQ(surface.Pixel(2, 2), shadow);
    EXPECT_EQ(surface.Pixel(3, 3), highlight);
    EXPECT_EQ(surface.Pixel(3, 2), highlight);
    // A half-transparent dark pixel counts; light pixels leave no mark.
    EXPECT_EQ(surface.Pixel(4, 1), shadow);
    EXPECT_EQ(surface.Pixel(4, 4), face);
    EXPECT_EQ(surface.Pixel(0, 0), face);
    // Drawn normally it is the icon itself.
    ASSERT_TRUE(DrawState(surface.Dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 1, 1,
                          0, 0, DST_ICON | DSS_NORMAL));
    EXPECT_EQ(surface.Pixel(1, 1), RGB(0, 0, 0));
    EXPECT_FALSE(DrawState(surface.Dc(), nullptr, nullptr, 0, 0, 1, 1, 0, 0, DST_ICON));
    DestroyIcon(icon);
}

TEST(DrawingTest, SurfaceResizesKeepingItsContextAndSavesAsPng) {
    DrawingSurface surface(4, 3);
    HDC dc = surface.Dc();
    ASSERT_NE(dc, nullptr);
    SetPixel(dc, 1, 1, kRed);
    SetPixel(dc, 3, 2, kBlue);
    Brush green(RGB(0, 255, 0));
    HGDIOBJ oldBrush = SelectObject(dc, green.get());
    ASSERT_TRUE(surface.Resize(2, 5));
    EXPECT_EQ(SelectObject(dc, oldBrush), green.get());
    EXPECT_EQ(surface.Dc(), dc);
    EXPECT_EQ(surface.Width(), 2);
    EXPECT_EQ(surface.Height(), 5);
    EXPECT_EQ(surface.Pixel(1, 1), kRed);
    EXPECT_EQ(surface.Pixel(1, 4), kWhite);
    EXPECT_EQ(surface.Pixel(3, 2), CLR_INVALID);
    EXPECT_FALSE(DeleteDC(dc));  // the surface's own

    const std::string path = MakeTestFolder("surface") + "/picture.png";
    ASSERT_TRUE(surface.SavePng(path));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_FALSE(surface.SavePng(MakeTestFolder("surface") + "/missing/picture.png"));

    DrawingSurface huge(100000, 100000);
    EXPECT_EQ(huge.Dc(), nullptr);
    EXPECT_EQ(huge.Pixel(0, 0), CLR_INVALID);
}

}  // namespace
