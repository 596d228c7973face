// The owner-drawn menu's items: their item data (text and own image list), the shared
// image list, the check-mark images, and how an item is measured and drawn in both
// styles.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/ui/Menus.h"
#include "programs/ambrevin/OwnerDrawMenu.h"

namespace {

constexpr COLORREF kRed = RGB(220, 20, 20);
constexpr COLORREF kBlue = RGB(20, 20, 220);
constexpr COLORREF kGreen = RGB(20, 180, 20);

// An icon of one opaque colour.
HICON SolidIcon(COLORREF colour, int width = 16, int height = 15) {
    const DWORD argb = 0xFF000000u | (static_cast<DWORD>(GetRValue(colour)) << 16) |
                       (static_cast<DWORD>(GetGValue(colour)) << 8) | GetBValue(colour);
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height, argb);
    return CreateIconFromPixels(width, height, pixels.data());
}

// A list of width x height images, one per colour.
HIMAGELIST ListOf(std::initializer_list<COLORREF> colours, int width, int height) {
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR32, 2, 0);
    for (COLORREF colour : colours) {
        HICON icon = SolidIcon(colour, width, height);
        ImageList_AddIcon(list, icon);
        DestroyIcon(icon);
    }
    return list;
}

// How many pixels of a colour lie in a rectangle of the surface.
int CountIn(const DrawingSurface& surface, const RECT& area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            count += surface.Pixel(x, y) == colour ? 1 : 0;
    }
    return count;
}

// Draws the item at position of menu as a 120 x 30 menu item in the given state.
void DrawAt(const OwnerDrawMenu& menu, size_t position, UINT state, DrawingSurface& surface,
            bool xpLook, bool xpInForce) {
    DRAWITEMSTRUCT draw;
    draw.CtlType = ODT_MENU;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = state;
    draw.hwndItem = reinterpret_cast<HWND>(menu.GetSafeHmenu());
    draw.hDC = surface.Dc();
    draw.rcItem = RECT{0, 0, 120, 30};
    draw.itemData = reinterpret_cast<ULONG_PTR>(menu.ItemAt(position));
    menu.DrawItemInStyle(draw, xpLook, xpInForce);
}

TEST(OwnerDrawMenuItems, EachItemCarriesItsTextAndItsOwnImages) {
    OwnerDrawMenu menu;
    HICON icon = SolidIcon(kRed);
    ASSERT_TRUE(
        menu.AppendItem("\xC3\x9C"
                        "ber &Open",
                        11, MF_CHECKED | MF_GRAYED, icon));
    DestroyIcon(icon);  // the item keeps a copy
    ASSERT_TRUE(menu.AppendSeparator());
    ASSERT_TRUE(menu.AppendItem("bad \xFF byte", 12));
    ASSERT_EQ(menu.ItemCount(), 3u);
    HMENU handle = menu.GetSafeHmenu();
    ASSERT_EQ(GetMenuItemCount(handle), 3);

    struct Row {
        const wchar_t* text;
        UINT command;
        bool separator;
        UINT state;
        bool ownImage;
    };
    const Row rows[] = {
        {L"\u00DCber &Open", 11, false, MF_OWNERDRAW | MF_CHECKED | MF_GRAYED, true},
        {L"", 0, true, MF_OWNERDRAW | MF_SEPARATOR, false},
        {L"bad \uFFFD byte", 12, false, MF_OWNERDRAW, false},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const OwnerDrawMenuItem* item = menu.ItemAt(i);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Text(), rows[i].text);
        EXPECT_EQ(item->CommandId(), rows[i].command);
        EXPECT_EQ(item->IsSeparator(), rows[i].separator);
        EXPECT_EQ(GetMenuState(handle, static_cast<UINT>(i), MF_BYPOSITION), rows[i].state);
        EXPECT_EQ(item->Images() != nullptr, rows[i].ownImage);
    }
    EXPECT_EQ(menu.ItemAt(3), nullptr);
    HIMAGELIST own = menu.ItemAt(0)->Images();
    EXPECT_EQ(ImageList_GetImageCount(own), 1);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(own, &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 15);

    menu.DestroyMenu();
    EXPECT_EQ(ImageList_GetImageCount(own), -1) << "the image list went with its item";
    EXPECT_EQ(menu.ItemCount(), 0u);
    EXPECT_FALSE(IsMenu(handle));
}

TEST(OwnerDrawMenuItems, TheSharedListHoldsOneImagePerCommand) {
    HICON red = SolidIcon(kRed);
    HICON blue = SolidIcon(kBlue);
    const int first = OwnerDrawMenu::AddSharedImage(9101, red);
    ASSERT_GE(first, 0);
    EXPECT_EQ(OwnerDrawMenu::AddSharedImage(9102, blue), first + 1);
    const int count = ImageList_GetImageCount(OwnerDrawMenu::SharedImages());
    EXPECT_EQ(OwnerDrawMenu::AddSharedImage(9101, blue), first) << "replaced in place";
    EXPECT_EQ(ImageList_GetImageCount(OwnerDrawMenu::SharedImages()), count);
    EXPECT_EQ(OwnerDrawMenu::SharedImageIndex(9101), first);
    EXPECT_EQ(OwnerDrawMenu::SharedImageIndex(9102), first + 1);
    EXPECT_EQ(OwnerDrawMenu::SharedImageIndex(9199), -1);
    EXPECT_EQ(OwnerDrawMenu::AddSharedImage(9103, nullptr), -1);
    DestroyIcon(red);
    DestroyIcon(blue);
}

TEST(OwnerDrawMenuItems, CheckMarkImagesGoWithTheMenuUnlessShared) {
    HIMAGELIST owned = ListOf({kBlue}, 16, 16);
    HIMAGELIST shared = ListOf({kGreen}, 16, 16);
    {
        OwnerDrawMenu menu;
        menu.SetCheckMarkImages(owned, 0, 0, false);
        EXPECT_EQ(menu.CheckMarkImages(), owned);
        OwnerDrawMenu other;
        other.SetCheckMarkImages(shared, 0, 0, true);
    }
    EXPECT_EQ(ImageList_GetImageCount(owned), -1);
    EXPECT_EQ(ImageList_GetImageCount(shared), 1);
    OwnerDrawMenu replaced;
    HIMAGELIST first = ListOf({kRed}, 16, 16);
    replaced.SetCheckMarkImages(first, 0, -1, false);
    replaced.SetCheckMarkImages(shared, 0, -1, true);
    EXPECT_EQ(ImageList_GetImageCount(first), -1) << "an owned list is deleted when replaced";
    ImageList_Destroy(shared);
}

TEST(OwnerDrawMenuItems, MeasureItemAnswersForItsOwnItemsOnly) {
    OwnerDrawMenu menu;
    ASSERT_TRUE(menu.AppendItem("&Open", 11));
    ASSERT_TRUE(menu.AppendSeparator());
    OwnerDrawMenu* sub = menu.AppendPopup("More");
    ASSERT_NE(sub, nullptr);
    ASSERT_TRUE(sub->AppendItem("A much longer item text", 21));
    auto measure = [&](const OwnerDrawMenuItem* item) {
        MEASUREITEMSTRUCT record;
        record.CtlType = ODT_MENU;
        record.itemWidth = 7;
        record.itemHeight = 7;
        record.itemData = reinterpret_cast<ULONG_PTR>(item);
        const BOOL answered = menu.MeasureItem(&record);
        return std::make_pair(answered, record);
    };
    const auto [openAnswered, open] = measure(menu.ItemAt(0));
    EXPECT_TRUE(openAnswered);
    EXPECT_GT(open.itemWidth, 16u * 2 + 1) << "the text and the icon column";
    EXPECT_GE(open.itemHeight, 19u);
    const auto [separatorAnswered, separator] = measure(menu.ItemAt(1));
    EXPECT_TRUE(separatorAnswered);
    EXPECT_EQ(separator.itemWidth, 0u);
    EXPECT_EQ(separator.itemHeight, 9u);
    const auto [longAnswered, longer] = measure(sub->ItemAt(0));
    EXPECT_TRUE(longAnswered) << "an item of a sub-menu";
    EXPECT_GT(longer.itemWidth, open.itemWidth);

    OwnerDrawMenu stranger;
    ASSERT_TRUE(stranger.AppendItem("x", 1));
    const auto [strangerAnswered, untouched] = measure(stranger.ItemAt(0));
    EXPECT_FALSE(strangerAnswered);
    EXPECT_EQ(untouched.itemWidth, 7u);
}

// One drawn item and what its pixels must show.
struct DrawCase {
    const char* what;
    size_t position;
    UINT state;
    std::function<void(const DrawingSurface&)> check;
};

void RunDrawCases(const OwnerDrawMenu& menu, const std::vector<DrawCase>& cases, bool xpLook,
                  bool xpInForce) {
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.what);
        DrawingSurface surface(120, 30);
        DrawAt(menu, c.position, c.state, surface, xpLook, xpInForce);
        c.check(surface);
    }
}

// A menu of every kind of item: 0 with its own red image, 1 with the shared blue image of
// its command, 2 with no image, 3 a separator; check marks green (highlighted: blue).
class DrawnItems : public testing::Test {
protected:
    void SetUp() override {
        HICON red = SolidIcon(kRed);
        HICON blue = SolidIcon(kBlue);
        ASSERT_TRUE(menu.AppendItem("Own", 11, 0, red));
        ASSERT_GE(OwnerDrawMenu::AddSharedImage(9202, blue), 0);
        ASSERT_TRUE(menu.AppendItem("Shared", 9202));
        ASSERT_TRUE(menu.AppendItem("Plain", 13));
        ASSERT_TRUE(menu.AppendSeparator());
        DestroyIcon(red);
        DestroyIcon(blue);
    }
    void UseCheckImages() { menu.SetCheckMarkImages(ListOf({kBlue, kGreen}, 16, 16), 0, 1, false); }

    OwnerDrawMenu menu;
    const COLORREF menuColour = GetSysColor(COLOR_MENU);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
};

TEST_F(DrawnItems, TheClassicStyleDrawsTheImageBoxTheCheckMarksAndTheSelection) {
    // A 30-pixel item with 15-pixel icons: the image box is 20 x 19 at (0, 5), the image
    // at (2, 7); a highlighted item with an image or check mark is barred from x 21.
    const RECT box{0, 5, 20, 24};
    const RECT image{2, 7, 18, 22};
    const std::vector<DrawCase> cases = {
        {"own image", 0, 0,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(CountIn(s, image, kRed), 16 * 15);
             EXPECT_EQ(s.Pixel(2, 6), menuColour) << "no frame";
             EXPECT_EQ(s.Pixel(60, 2), menuColour);
         }},
        {"shared image of its command", 1, 0,
         [&](const DrawingSurface& s) { EXPECT_EQ(CountIn(s, image, kBlue), 16 * 15); }},
        {"highlighted with an image: raised frame, bar beside the box", 0, ODS_SELECTED,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(box.left, box.top), light);
             EXPECT_EQ(s.Pixel(box.right - 1, box.bottom - 1), shadow);
             EXPECT_EQ(s.Pixel(20, 1), menuColour);
             EXPECT_EQ(s.Pixel(21, 1), highlight);
             EXPECT_EQ(s.Pixel(119, 29), highlight);
         }},
        {"checked with an image: sunken frame", 0, ODS_CHECKED,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(box.left, box.top), shadow);
             EXPECT_EQ(s.Pixel(box.right - 1, box.bottom - 1), light);
             EXPECT_EQ(CountIn(s, image, kRed), 16 * 15);
         }},
        {"highlighted without image or mark: the whole item barred", 2, ODS_SELECTED,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(0, 1), highlight);
             EXPECT_GT(CountIn(s, RECT{24, 0, 120, 30}, GetSysColor(COLOR_HIGHLIGHTTEXT)), 5);
         }},
        {"checked without image: a lightened sunken box and a drawn mark", 2, ODS_CHECKED,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(2, 7), LightenColor(menuColour, 0.6));
             EXPECT_EQ(s.Pixel(box.left, box.top), shadow);
             EXPECT_EQ(s.Pixel(box.right - 1, box.bottom - 1), light);
             EXPECT_GT(CountIn(s, box, GetSysColor(COLOR_MENUTEXT)), 6) << "the mark";
         }},
        {"checked and highlighted: the bar leaves the box", 2, ODS_CHECKED | ODS_SELECTED,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(2, 7), LightenColor(menuColour, 0.6));
             EXPECT_EQ(s.Pixel(21, 1), highlight);
         }},
        {"greyed text", 2, ODS_GRAYED,
         [&](const DrawingSurface& s) {
             EXPECT_GT(CountIn(s, RECT{24, 0, 120, 30}, GetSysColor(COLOR_GRAYTEXT)), 5);
             EXPECT_EQ(CountIn(s, RECT{24, 0, 120, 30}, GetSysColor(COLOR_MENUTEXT)), 0);
         }},
        {"separator: an etched line at the top of the lower half", 3, 0,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(60, 15), shadow);
             EXPECT_EQ(s.Pixel(60, 16), light);
             EXPECT_EQ(s.Pixel(60, 10), menuColour);
         }},
    };
    RunDrawCases(menu, cases, false, false);

    // With check-mark images: the unselected one, the selected one while highlighted.
    UseCheckImages();
    const std::vector<DrawCase> marks = {
        {"checked", 2, ODS_CHECKED,
         [&](const DrawingSurface& s) {
             EXPECT_GT(CountIn(s, box, kGreen), 100);
             EXPECT_EQ(CountIn(s, box, kBlue), 0);
         }},
        {"checked and highlighted", 2, ODS_CHECKED | ODS_SELECTED,
         [&](const DrawingSurface& s) {
             EXPECT_GT(CountIn(s, box, kBlue), 100);
             EXPECT_EQ(CountIn(s, box, kGreen), 0);
         }},
    };
    RunDrawCases(menu, marks, false, false);

    // While the flat style is in force (on a palette display), the classic items sit on
    // the 3-D face colour.
    DrawingSurface surface(120, 30);
    DrawAt(menu, 2, 0, surface, false, true);
    EXPECT_EQ(surface.Pixel(60, 2), GetSysColor(COLOR_3DFACE));
}

TEST_F(DrawnItems, TheFlatStyleDrawsTheColumnTheFramedSelectionAndCentredMarks) {
    // The column is 7 + 16 pixels wide; a check mark's 16 x 16 box is centred in it.
    const RECT column{0, 0, 23, 30};
    const RECT markBox{3, 7, 19, 23};
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    UseCheckImages();
    const std::vector<DrawCase> cases = {
        {"plain", 2, 0,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(2, 15), face);
             EXPECT_EQ(s.Pixel(22, 2), face);
             EXPECT_EQ(s.Pixel(23, 2), window);
             EXPECT_GT(CountIn(s, RECT{31, 0, 120, 30}, GetSysColor(COLOR_MENUTEXT)), 5);
             EXPECT_EQ(CountIn(s, RECT{23, 0, 31, 30}, GetSysColor(COLOR_MENUTEXT)), 0)
                 << "the text starts 8 pixels right of the column";
         }},
        {"highlighted: lightened and framed", 2, ODS_SELECTED,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(60, 2), LightenColor(highlight, 0.7));
             EXPECT_EQ(s.Pixel(60, 0), highlight);
             EXPECT_EQ(s.Pixel(0, 15), highlight);
         }},
        {"checked: the mark centred in the column", 2, ODS_CHECKED,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(CountIn(s, markBox, kGreen), 16 * 16);
             EXPECT_EQ(s.Pixel(2, 15), face);
             EXPECT_EQ(s.Pixel(19, 15), face);
         }},
        {"own image in the column", 0, 0,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(CountIn(s, column, kRed), 16 * 15);
             EXPECT_EQ(CountIn(s, RECT{23, 0, 120, 30}, kRed), 0);
         }},
        {"greyed text", 2, ODS_GRAYED,
         [&](const DrawingSurface& s) {
             EXPECT_GT(CountIn(s, RECT{31, 0, 120, 30}, GetSysColor(COLOR_GRAYTEXT)), 5);
         }},
        {"separator beside the column", 3, 0,
         [&](const DrawingSurface& s) {
             EXPECT_EQ(s.Pixel(60, 15), shadow);
             EXPECT_EQ(s.Pixel(2, 15), face);
         }},
    };
    RunDrawCases(menu, cases, true, true);

    // The flat look while the flat style is not in force: lighter column and selection.
    DrawingSurface surface(120, 30);
    DrawAt(menu, 2, ODS_SELECTED, surface, true, false);
    EXPECT_EQ(surface.Pixel(60, 2), LightenColor(highlight, 0.85));
    DrawingSurface plain(120, 30);
    DrawAt(menu, 2, 0, plain, true, false);
    EXPECT_EQ(plain.Pixel(2, 15), LightenColor(face, 0.25));
}

TEST_F(DrawnItems, DrawItemDrawsOnlyItsOwnItems) {
    OwnerDrawMenu stranger;
    ASSERT_TRUE(stranger.AppendItem("x", 1));
    DrawingSurface surface(120, 30);
    DRAWITEMSTRUCT draw;
    draw.CtlType = ODT_MENU;
    draw.hDC = surface.Dc();
    draw.rcItem = RECT{0, 0, 120, 30};
    draw.itemData = reinterpret_cast<ULONG_PTR>(stranger.ItemAt(0));
    EXPECT_FALSE(menu.DrawItem(draw));
    EXPECT_EQ(surface.Pixel(60, 2), RGB(255, 255, 255)) << "nothing drawn";
    draw.itemData = reinterpret_cast<ULONG_PTR>(menu.ItemAt(0));
    EXPECT_TRUE(menu.DrawItem(draw));
    EXPECT_EQ(surface.Pixel(60, 2), menuColour) << "the classic style here";
}

}  // namespace
