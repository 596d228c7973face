#include "platform/gdi/GdiText.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/SystemMetrics.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(200, 0, 0);
constexpr int kLine = 13;  // the dialog font's line height

// The smallest rectangle holding every pixel of one colour; empty when none has it.
RECT InkBox(const DrawingSurface& surface, COLORREF colour) {
    RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.Pixel(x, y) == colour) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box.right < box.left ? RECT{} : box;
}

int Count(const DrawingSurface& surface, COLORREF colour) {
    int count = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            count += surface.Pixel(x, y) == colour ? 1 : 0;
    return count;
}

// A surface with the dialog font selected and the ink colour set.
class TextSurface : public DrawingSurface {
public:
    TextSurface(int width, int height) : DrawingSurface(width, height) {
        SelectObject(Dc(), GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(Dc(), kInk);
    }
};

RECT Calc(HDC dc, const char* text, UINT format, LONG width = 0) {
    RECT rect{10, 20, 10 + width, 20};
    DrawText(dc, text, -1, &rect, format | DT_CALCRECT);
    return rect;
}

TEST(TextDrawingTest, TheDialogFontMeasuresTheSameEverywhere) {
    TextSurface surface(10, 10);
    TEXTMETRIC metrics{};
    ASSERT_TRUE(GetTextMetrics(surface.Dc(), &metrics));
    EXPECT_EQ(metrics.tmHeight, kLine);
    EXPECT_EQ(metrics.tmAscent, 10);
    EXPECT_EQ(metrics.tmAveCharWidth, 5);
    EXPECT_EQ(metrics.tmHeight, metrics.tmAscent + metrics.tmDescent);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32(surface.Dc(), "Extract", 7, &size));
    EXPECT_EQ(size.cx, 34);
    EXPECT_EQ(size.cy, kLine);
    // Any face name gives the same glyphs.
    HFONT other = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    HGDIOBJ previous = SelectObject(surface.Dc(), other);
    SIZE same{};
    GetTextExtentPoint32(surface.Dc(), "Extract", 7, &same);
    EXPECT_EQ(same.cx, size.cx);
    // A prefix of the text is narrower, a bold font wider, a larger one taller.
    GetTextExtentPoint32(surface.Dc(), "Extract", 2, &same);
    EXPECT_LT(same.cx, size.cx);
    HFONT bold = CreateFont(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    SelectObject(surface.Dc(), bold);
    GetTextExtentPoint32(surface.Dc(), "Extract", 7, &same);
    EXPECT_GT(same.cx, size.cx);
    HFONT large = CreateFont(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    SelectObject(surface.Dc(), large);
    ASSERT_TRUE(GetTextMetrics(surface.Dc(), &metrics));
    EXPECT_NEAR(metrics.tmHeight, 20, 1);
    SelectObject(surface.Dc(), previous);
    for (HFONT font : {other, bold, large})
        EXPECT_TRUE(DeleteObject(font));

    LOGFONT face{};
    ASSERT_EQ(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face),
              static_cast<int>(sizeof face));
    EXPECT_EQ(face.lfHeight, -11);
    EXPECT_FALSE(GetTextExtentPoint32(nullptr, "x", 1, &size));
    EXPECT_FALSE(GetTextExtentPoint32(surface.Dc(), "x", -1, &size));
}

TEST(TextDrawingTest, CalcRectMeasuresLinesWithoutDrawing) {
    TextSurface surface(100, 60);
    HDC dc = surface.Dc();
    SIZE extent{};
    GetTextExtentPoint32(dc, "Extract", 7, &extent);
    struct Case {
        const char* name;
        const char* text;
        UINT format;
        LONG width;  // of the rect given
        LONG expectedWidth;
        LONG expectedHeight;
    };
    SIZE save{}, list{}, saveList{}, amp{};
    GetTextExtentPoint32(dc, "Save", 4, &save);
    GetTextExtentPoint32(dc, "List...", 7, &list);
    GetTextExtentPoint32(dc, "Save List...", 12, &saveList);
    GetTextExtentPoint32(dc, "&Save", 5, &amp);
    const Case cases[] = {
        {"one line", "Extract", DT_SINGLELINE, 0, extent.cx, kLine},
        {"two lines", "Extract\r\nSave", 0, 0, extent.cx, 2 * kLine},
        {"line feeds kept out of a single line", "Save\nList...", DT_SINGLELINE, 0, 0, kLine},
        {"word break in a narrow rect", "Save List...", DT_WORDBREAK, save.cx + 5,
         std::max(save.cx, list.cx), 2 * kLine},
        {"word break in a wide rect", "Save List...", DT_WORDBREAK, 200, saveList.cx, kLine},
        {"prefix", "&Save", DT_SINGLELINE, 0, save.cx, kLine},
        {"no prefix", "&Save", DT_SINGLELINE | DT_NOPREFIX, 0, amp.cx, kLine},
    };
    for (const Case& c : cases) {
        const RECT rect = Calc(dc, c.text, c.format, c.width);
        EXPECT_EQ(rect.left, 10) << c.name;
        EXPECT_EQ(rect.top, 20) << c.name;
        if (c.expectedWidth != 0) {
            EXPECT_EQ(rect.right - rect.left, c.expectedWidth) << c.name;
        }
        EXPECT_EQ(rect.bottom - rect.top, c.expectedHeight) << c.name;
    }
    // The single line holds both words side by side.
    EXPECT_GT(Calc(dc, "Save\nList...", DT_SINGLELINE).right - 10, save.cx);
    // "&&" shows one "&"; tabs are dropped unless expanded to 8 average widths.
    EXPECT_EQ(Calc(dc, "a&&b", DT_SINGLELINE).right, Calc(dc, "a&b", DT_NOPREFIX).right);
    EXPECT_EQ(Calc(dc, "a\tb", DT_SINGLELINE).right, Calc(dc, "ab", DT_SINGLELINE).right);
    TEXTMETRIC metrics{};
    GetTextMetrics(dc, &metrics);
    EXPECT_EQ(Calc(dc, "a\tb", DT_SINGLELINE | DT_EXPANDTABS).right - 10,
              8 * metrics.tmAveCharWidth + Calc(dc, "b", DT_SINGLELINE).right - 10);
    EXPECT_EQ(Count(surface, kInk), 0);
}

TEST(TextDrawingTest, AlignmentPlacesTheTextInTheRect) {
    SIZE extent{};
    {
        TextSurface probe(1, 1);
        GetTextExtentPoint32(probe.Dc(), "Extract", 7, &extent);
    }
    const RECT rect{10, 5, 130, 45};
    struct Case {
        const char* name;
        UINT format;
        LONG left;  // where the text's box starts
        LONG top;
    };
    const LONG centredLeft = 10 + (120 - extent.cx) / 2;
    const Case cases[] = {
        {"left, top", DT_SINGLELINE, 10, 5},
        {"right", DT_SINGLELINE | DT_RIGHT, 130 - extent.cx, 5},
        {"centred", DT_SINGLELINE | DT_CENTER, centredLeft, 5},
        {"centred both ways", DT_SINGLELINE | DT_CENTER | DT_VCENTER, centredLeft,
         5 + (40 - kLine) / 2},
        {"bottom", DT_SINGLELINE | DT_BOTTOM, 10, 45 - kLine},
    };
    for (const Case& c : cases) {
        TextSurface surface(140, 50);
        RECT drawn = rect;
        EXPECT_EQ(DrawText(surface.Dc(), "Extract", -1, &drawn, c.format), kLine) << c.name;
        // The ink lies inside the line's box, and fills most of its width.
        const RECT ink = InkBox(surface, kInk);
        EXPECT_GE(ink.left, c.left) << c.name;
        EXPECT_LE(ink.left, c.left + 2) << c.name;
        EXPECT_LE(ink.right, c.left + extent.cx) << c.name;
        EXPECT_GE(ink.right, c.left + extent.cx - 2) << c.name;
        EXPECT_GE(ink.top, c.top) << c.name;
        EXPECT_LE(ink.bottom, c.top + kLine) << c.name;
        EXPECT_GT(ink.bottom - ink.top, 6) << c.name;
    }
}

TEST(TextDrawingTest, OpaqueTextFillsItsBoxAndTransparentTextDoesNot) {
    const COLORREF back = RGB(0, 0, 160);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int mode : {OPAQUE, TRANSPARENT}) {
        TextSurface surface(80, 30);
        const RECT all{0, 0, 80, 30};
        FillRect(surface.Dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
        SetBkColor(surface.Dc(), back);
        EXPECT_EQ(SetBkMode(surface.Dc(), mode), OPAQUE);
        RECT rect{5, 5, 75, 25};
        ASSERT_EQ(DrawText(surface.Dc(), "Stop", -1, &rect, DT_SINGLELINE | DT_LEFT), kLine);
        SIZE extent{};
        GetTextExtentPoint32(surface.Dc(), "Stop", 4, &extent);
        EXPECT_GT(Count(surface, kInk), 10) << mode;
        if (mode == OPAQUE) {
            // The line's box: text and background colour only; the rest untouched.
            EXPECT_EQ(InkBox(surface, back).left, 5);
            EXPECT_EQ(InkBox(surface, back).top, 5);
            EXPECT_EQ(Count(surface, back) + Count(surface, kInk), extent.cx * kLine);
            EXPECT_EQ(surface.Pixel(5 + extent.cx, 10), face);
        } else {
            EXPECT_EQ(Count(surface, back), 0);
            EXPECT_EQ(Count(surface, kInk) + Count(surface, face), 80 * 30);
        }
    }
}

TEST(TextDrawingTest, PrefixUnderlinesTheNextCharacter) {
    TextSurface surface(60, 20);
    SetBkMode(surface.Dc(), TRANSPARENT);
    RECT rect{0, 0, 60, 20};
    DrawText(surface.Dc(), "&Save", -1, &rect, DT_SINGLELINE);
    TextSurface plain(60, 20);
    SetBkMode(plain.Dc(), TRANSPARENT);
    DrawText(plain.Dc(), "Save", -1, &rect, DT_SINGLELINE);
    // The same glyphs, plus a line under the "S" below the baseline.
    SIZE s{};
    GetTextExtentPoint32(surface.Dc(), "S", 1, &s);
    int extra = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            if (plain.Pixel(x, y) == kInk) {
                EXPECT_EQ(surface.Pixel(x, y), kInk) << x << "," << y;
            } else if (surface.Pixel(x, y) == kInk) {
                ++extra;
                EXPECT_LT(x, s.cx + 1) << x << "," << y;
                EXPECT_GE(y, 10) << x << "," << y;  // below the baseline
            }
        }
    EXPECT_GE(extra, s.cx - 2);
}

TEST(TextDrawingTest, TextIsClippedToItsRectUnlessAsked) {
    for (bool clip : {true, false}) {
        TextSurface surface(120, 20);
        SetBkMode(surface.Dc(), TRANSPARENT);
        RECT rect{0, 0, 20, 20};
        DrawText(surface.Dc(), "Follow My Next Click...", -1, &rect,
                 DT_SINGLELINE | (clip ? 0 : DT_NOCLIP));
        EXPECT_EQ(InkBox(surface, kInk).right <= 20, clip) << clip;
    }
}

TEST(TextDrawingTest, WideTextDrawsAsItsUtf8) {
    TextSurface surface(60, 20);
    RECT rect{0, 0, 60, 20};
    RECT wide = rect;
    EXPECT_EQ(DrawTextW(surface.Dc(), L"Gr\u00fc\u00dfe", -1, &wide, DT_CALCRECT), kLine);
    RECT narrow = rect;
    DrawText(surface.Dc(),
             "Gr\xc3\xbc\xc3\x9f"
             "e",
             -1, &narrow, DT_CALCRECT);
    EXPECT_EQ(wide.right, narrow.right);
    SIZE w{}, n{};
    ASSERT_TRUE(GetTextExtentPoint32W(surface.Dc(), L"\u00fc", 1, &w));
    ASSERT_TRUE(GetTextExtentPoint32(surface.Dc(), "\xc3\xbc", 2, &n));
    EXPECT_EQ(w.cx, n.cx);
    // A cut UTF-8 sequence is drawn, not refused.
    RECT cut = rect;
    EXPECT_EQ(DrawText(surface.Dc(), "Gr\xc3", -1, &cut, DT_SINGLELINE), kLine);
}

TEST(TextDrawingTest, SystemMetricsGiveTheMenuFont) {
    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    EXPECT_EQ(metrics.lfMenuFont.lfHeight, -11);
    EXPECT_EQ(metrics.lfCaptionFont.lfWeight, FW_BOLD);
    metrics.cbSize = 1;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 19);
}

}  // namespace
