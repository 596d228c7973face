#include "platform/ui/Menus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/GdiDrawing.h"
#include "platform/ui/ControlInput.h"
#include "tests/platform/ui/ControlParent.h"

namespace {

constexpr UINT kAct = WM_APP + 1;  // the owner runs the test's gesture inside the menu's loop
constexpr COLORREF kItemColour = RGB(10, 200, 30);
constexpr COLORREF kSelectedColour = RGB(200, 10, 30);

// An owner of owner-drawn menu items: measures each 60 x 20 and fills it in a colour by
// its selected state; answers WM_MENUCHAR as told.
class MenuOwner : public ControlParent {
public:
    MenuOwner() {
        onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
            seen.push_back(message);
            switch (message) {
                case kAct:
                    gesture();
                    return true;
                case WM_MEASUREITEM: {
                    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
                    EXPECT_EQ(ODT_MENU, measure->CtlType);
                    EXPECT_EQ(0u, wParam);
                    measure->itemWidth = 60;
                    measure->itemHeight = 20;
                    *answer = TRUE;
                    return true;
                }
                case WM_DRAWITEM: {
                    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
                    drawn.push_back(*draw);
                    HBRUSH brush = CreateSolidBrush(
                        (draw->itemState & ODS_SELECTED) ? kSelectedColour : kItemColour);
                    FillRect(draw->hDC, &draw->rcItem, brush);
                    DeleteObject(brush);
                    *answer = TRUE;
                    return true;
                }
                case WM_MENUCHAR:
                    menuChar = wParam;
                    *answer = menuCharAnswer;
                    return true;
                default:
                    return false;
            }
        };
    }
    ~MenuOwner() override { DestroyWindow(Hwnd()); }

    // Shows menu; inside its loop the owner runs gesture.
    BOOL Track(HMENU menu, UINT flags, std::function<void()> act) {
        gesture = std::move(act);
        PostMessage(Hwnd(), kAct, 0, 0);
        return TrackPopupMenu(menu, flags, 100, 120, 0, Hwnd(), nullptr);
    }

    std::function<void()> gesture;
    std::vector<UINT> seen;
    std::vector<DRAWITEMSTRUCT> drawn;
    LRESULT menuCharAnswer = MNC_IGNORE;
    WPARAM menuChar = 0;
};

TEST(MenuTest, ItemsAreAddedReadAndChangedByPositionAndByCommand) {
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    ASSERT_TRUE(AppendMenu(sub, MF_STRING, 31, "&Deep"));
    ASSERT_TRUE(AppendMenu(menu, MF_STRING | MF_CHECKED, 11, "&Open"));
    ASSERT_TRUE(AppendMenu(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More"));
    ASSERT_TRUE(InsertMenu(menu, 11, MF_BYCOMMAND | MF_STRING | MF_GRAYED, 10, "&New"));
    EXPECT_FALSE(AppendMenu(menu, MF_POPUP, 12345, "bad sub-menu"));

    struct Row {
        int position;
        UINT id;
        UINT state;
        const char* text;
    };
    const Row rows[] = {
        {0, 10, MF_GRAYED, "&New"},
        {1, 11, MF_CHECKED, "&Open"},
        {2, 0, MF_SEPARATOR, ""},
        {3, 0xFFFFFFFFu, MF_POPUP | (1u << 8), "&More"},
    };
    ASSERT_EQ(4, GetMenuItemCount(menu));
    for (const Row& row : rows) {
        EXPECT_EQ(row.id, GetMenuItemID(menu, row.position)) << row.position;
        EXPECT_EQ(row.state, GetMenuState(menu, static_cast<UINT>(row.position), MF_BYPOSITION));
        EXPECT_EQ(row.text, GetMenuText(menu, static_cast<UINT>(row.position), MF_BYPOSITION));
    }
    EXPECT_EQ(sub, GetSubMenu(menu, 3));
    EXPECT_EQ(nullptr, GetSubMenu(menu, 0));
    EXPECT_EQ("&Deep", GetMenuText(menu, 31, MF_BYCOMMAND));  // found in the sub-menu
    EXPECT_EQ(0xFFFFFFFFu, GetMenuState(menu, 99, MF_BYCOMMAND));

    EXPECT_EQ(static_cast<DWORD>(MF_CHECKED), CheckMenuItem(menu, 11, MF_UNCHECKED));
    EXPECT_EQ(0u, GetMenuState(menu, 11, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<BOOL>(MF_GRAYED), EnableMenuItem(menu, 0, MF_BYPOSITION | MF_ENABLED));
    EXPECT_TRUE(ModifyMenu(menu, 10, MF_BYCOMMAND | MF_STRING, 12, "&Renamed"));
    EXPECT_EQ(12u, GetMenuItemID(menu, 0));
    char small[4];
    EXPECT_EQ(3, GetMenuString(menu, 0, small, sizeof small, MF_BYPOSITION));
    EXPECT_STREQ("&Re", small);

    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(sub));  // went with its menu
    EXPECT_EQ(-1, GetMenuItemCount(menu));
    EXPECT_FALSE(AppendMenu(menu, MF_STRING, 1, "x"));
}

TEST(MenuTest, OwnerDrawnItemsAreMeasuredAndPaintedOnTheMenusSurface) {
    MenuOwner owner;
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_OWNERDRAW, 21, reinterpret_cast<const char*>(0x1234));
    AppendMenu(menu, MF_OWNERDRAW | MF_GRAYED | MF_CHECKED, 22, nullptr);
    ShownMenu shown;
    RECT second{};
    const BOOL chosen = owner.Track(menu, TPM_RETURNCMD, [&] {
        ASSERT_TRUE(GetShownMenu(&shown));
        EXPECT_TRUE(shown.open);
        ASSERT_TRUE(GetShownMenuItemRect(1, &second));
        EXPECT_TRUE(ControlInput::HighlightMenuItem(21));
        EXPECT_FALSE(ControlInput::ChooseMenuItem(22));  // greyed
        EXPECT_TRUE(ControlInput::ChooseMenuItem(21));
    });
    EXPECT_EQ(21, chosen);
    // WM_INITMENUPOPUP first, then the measures, then the drawing.
    ASSERT_GE(owner.seen.size(), 3u);
    EXPECT_EQ(WM_INITMENUPOPUP, owner.seen[0]);
    EXPECT_EQ(WM_MEASUREITEM, owner.seen[1]);
    EXPECT_EQ(WM_MEASUREITEM, owner.seen[2]);

    ASSERT_EQ(3u, owner.drawn.size());  // both items, then the highlighted one again
    EXPECT_EQ(ODT_MENU, owner.drawn[0].CtlType);
    EXPECT_EQ(21u, owner.drawn[0].itemID);
    EXPECT_EQ(0x1234u, owner.drawn[0].itemData);
    EXPECT_EQ(reinterpret_cast<HWND>(menu), owner.drawn[0].hwndItem);
    EXPECT_EQ(static_cast<UINT>(ODA_DRAWENTIRE), owner.drawn[0].itemAction);
    EXPECT_EQ(ODS_GRAYED | ODS_CHECKED, owner.drawn[1].itemState);
    EXPECT_EQ((RECT{3, 23, 63, 43}), second);
    EXPECT_EQ(static_cast<UINT>(ODA_SELECT), owner.drawn[2].itemAction);
    EXPECT_EQ(static_cast<UINT>(ODS_SELECTED), owner.drawn[2].itemState);

    ASSERT_TRUE(GetShownMenu(&shown));
    EXPECT_FALSE(shown.open);
    ASSERT_NE(nullptr, shown.surface);
    EXPECT_EQ(66, shown.surface->Width());
    EXPECT_EQ(46, shown.surface->Height());
    EXPECT_EQ(kSelectedColour, shown.surface->Pixel(10, 10));
    EXPECT_EQ(kItemColour, shown.surface->Pixel(10, 30));
    EXPECT_NE(kItemColour, shown.surface->Pixel(1, 30));  // the frame
    DestroyMenu(menu);
}

TEST(MenuTest, MenuCharAnswersCloseExecuteOrIgnore) {
    struct Case {
        LRESULT answer;
        bool acted;
        bool stillOpen;
        UINT chosen;
    };
    const Case cases[] = {
        {MAKELPARAM(0, MNC_IGNORE), false, true, 0},
        {MAKELPARAM(0, MNC_CLOSE), true, false, 0},
        {MAKELPARAM(1, MNC_EXECUTE), true, false, 42},
        {MAKELPARAM(5, MNC_EXECUTE), false, true, 0},  // no item there
    };
    for (const Case& c : cases) {
        MenuOwner owner;
        owner.menuCharAnswer = c.answer;
        HMENU menu = CreatePopupMenu();
        AppendMenu(menu, MF_OWNERDRAW, 41, nullptr);
        AppendMenu(menu, MF_OWNERDRAW, 42, nullptr);
        bool acted = false, open = false;
        const BOOL chosen = owner.Track(menu, TPM_RETURNCMD, [&] {
            acted = ControlInput::PressMenuKey('X');
            ShownMenu shown;
            GetShownMenu(&shown);
            open = shown.open && ControlInput::DismissMenu();
        });
        EXPECT_EQ(c.acted, acted) << c.answer;
        EXPECT_EQ(c.stillOpen, open) << c.answer;
        EXPECT_EQ(static_cast<BOOL>(c.chosen), chosen) << c.answer;
        EXPECT_EQ('X', LOWORD(owner.menuChar));
        EXPECT_EQ(MF_POPUP, HIWORD(owner.menuChar));
        DestroyMenu(menu);
    }
}

TEST(MenuTest, AKeyMarkedInAnItemsTextChoosesItWithoutAskingTheOwner) {
    MenuOwner owner;
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenu(sub, MF_STRING, 71, "Save &As...");
    AppendMenu(menu, MF_STRING, 70, "&Save");
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More");
    EXPECT_EQ(TRUE, owner.Track(menu, 0, [] { EXPECT_TRUE(ControlInput::PressMenuKey('s')); }));
    EXPECT_EQ(0, owner.menuChar);
    ASSERT_FALSE(owner.notices.empty());
    EXPECT_EQ(WM_COMMAND, owner.notices.back().message);
    EXPECT_EQ(70, owner.notices.back().id);

    owner.seen.clear();
    EXPECT_EQ(71, owner.Track(menu, TPM_RETURNCMD, [] {
        EXPECT_TRUE(ControlInput::ChooseMenuItemByText("Save As..."));
    }));
    // The sub-menu was opened before its item was chosen.
    EXPECT_EQ(2, std::count(owner.seen.begin(), owner.seen.end(), WM_INITMENUPOPUP));
    EXPECT_FALSE(ControlInput::ChooseMenuItem(70));  // no menu is shown now
    DestroyMenu(menu);
}

TEST(MenuTest, TheSystemMenuTakesTheAboutItemAndAChoiceIsASystemCommand) {
    MenuOwner owner;
    SetWindowLong(owner.Hwnd(), GWL_STYLE, GetWindowLong(owner.Hwnd(), GWL_STYLE) | WS_SYSMENU);
    HMENU system = GetSystemMenu(owner.Hwnd(), FALSE);
    ASSERT_NE(nullptr, system);
    EXPECT_EQ(7, GetMenuItemCount(system));
    EXPECT_EQ(SC_CLOSE, GetMenuItemID(system, 6));
    AppendMenu(system, MF_SEPARATOR, 0, nullptr);
    AppendMenu(system, MF_STRING, 0x10, "&About Tallowmere...");
    EXPECT_EQ(system, GetSystemMenu(owner.Hwnd(), FALSE));

    std::vector<WPARAM> commands;
    owner.onMessage = [&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT*) {
        if (message == WM_INITMENUPOPUP) {
            EXPECT_EQ(TRUE, HIWORD(static_cast<std::uintptr_t>(lParam)));
        }
        if (message == WM_SYSCOMMAND)
            commands.push_back(wParam);
        return message == WM_SYSCOMMAND;
    };
    EXPECT_TRUE(ControlInput::ChooseSystemMenuItem(owner.Hwnd(), 0x10));
    EXPECT_FALSE(ControlInput::ChooseSystemMenuItem(owner.Hwnd(), 0x20));
    EXPECT_EQ(std::vector<WPARAM>{0x10}, commands);

    EXPECT_EQ(nullptr, GetSystemMenu(owner.Hwnd(), TRUE));
    EXPECT_FALSE(IsMenu(system));
    EXPECT_EQ(7, GetMenuItemCount(GetSystemMenu(owner.Hwnd(), FALSE)));
}

}  // namespace
