// The owner-drawn push buttons as the real dialog shows them: painted by the dialog
// through WM_DRAWITEM on each button's own surface, with the hover, focus, pushed and
// disabled looks, and the About item of the system menu.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/util/ControlHelpers.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ToolTip.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WindowSurface.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Timer.h"
#include "programs/ambrevin/AdvancedFinderDialog.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

namespace {

bool ServeUntil(const std::function<bool()>& condition) {
    return WaitUntil([&] {
        ServePendingMessages(nullptr);
        return condition();
    });
}

class OwnerDrawnDialogButtonsTest : public testing::Test {
protected:
    void SetUp() override {
        site.SetBody("/start.html", "<title>s</title><p>start</p>");
        ExpectedMessageBoxes boxes;
        boxes.Expect(kScriptsQuestion, IDNO);
        dialog = std::make_unique<AdvancedFinderDialog>(site.Url("/start.html"));
        ASSERT_TRUE(dialog->Create());
        ASSERT_TRUE(ServeUntil([&] {
            return WindowTextOf(dialog->GetDlgItem(IDC_ADDRESS)) == site.Url("/start.html");
        }));
    }
    void TearDown() override {
        ControlInput::MoveMouseAway();
        if (dialog)
            dialog->DestroyWindow();
        ServePendingMessages(nullptr);
    }
    HWND Item(int id) const { return dialog->GetDlgItem(id); }
    // The button's surface after the paints it has waiting.
    DrawingSurface* Painted(HWND button) {
        UpdateWindow(button);
        return GetWindowSurface(button);
    }

    LocalSiteServer site;
    std::unique_ptr<AdvancedFinderDialog> dialog;
};

TEST_F(OwnerDrawnDialogButtonsTest, TheTenPushButtonsAreOwnerDrawnWithALighterHoverBackground) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int id : {IDC_SAVE_PAGE, IDC_REFRESH, IDC_FORWARD, IDC_BACK, IDC_CLEAR_LIST, IDC_SAVE_LIST,
                   IDC_STOP, IDC_GO, IDC_FOLLOW, IDC_EXTRACT}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(BS_OWNERDRAW,
                  static_cast<DWORD>(GetWindowLong(Item(id), GWL_STYLE)) & BS_TYPEMASK);
        OwnerDrawButton* button = dialog->Button(id);
        ASSERT_NE(nullptr, button);
        const COLORREF hover = button->Color(OwnerDrawButton::kBackgroundIn);
        const int added = 255 - std::max({GetRValue(face), GetGValue(face), GetBValue(face)});
        const int step = std::min(30, added);
        EXPECT_EQ(RGB(GetRValue(face) + step, GetGValue(face) + step, GetBValue(face) + step),
                  hover);
        EXPECT_EQ(face, button->Color(OwnerDrawButton::kBackgroundOut));
    }
    // The check box stays a check box.
    EXPECT_EQ(BS_AUTOCHECKBOX,
              static_cast<DWORD>(GetWindowLong(Item(IDC_STAY_ON_SITE), GWL_STYLE)) & BS_TYPEMASK);
}

TEST_F(OwnerDrawnDialogButtonsTest, HoverRepaintsTheButtonLighterAndLeavingRestoresIt) {
    HWND extract = Item(IDC_EXTRACT);
    OwnerDrawButton& button = *dialog->Button(IDC_EXTRACT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF hover = button.Color(OwnerDrawButton::kBackgroundIn);
    ASSERT_NE(face, hover);
    DrawingSurface* surface = Painted(extract);
    ASSERT_NE(nullptr, surface);
    // A point of the background left of the text, and the raised border a flat button
    // always shows.
    const int y = surface->Height() / 2;
    EXPECT_EQ(face, surface->Pixel(4, y));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), surface->Pixel(0, y));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), surface->Pixel(surface->Width() - 1, y));

    ASSERT_TRUE(ControlInput::MoveMouseOver(extract, 10, 5));
    EXPECT_TRUE(button.MouseOver());
    EXPECT_EQ(hover, Painted(extract)->Pixel(4, y));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), Painted(extract)->Pixel(0, y));
    ASSERT_TRUE(ControlInput::MoveMouseOver(extract, 30, 6));  // still over it
    EXPECT_EQ(hover, Painted(extract)->Pixel(4, y));

    // Onto the next button: the first loses its hover at once, the second takes it.
    HWND follow = Item(IDC_FOLLOW);
    ASSERT_TRUE(ControlInput::MoveMouseOver(follow, 10, 5));
    ServePendingMessages(nullptr);
    EXPECT_FALSE(button.MouseOver());
    EXPECT_EQ(face, Painted(extract)->Pixel(4, y));
    EXPECT_EQ(hover, Painted(follow)->Pixel(4, y));

    ASSERT_TRUE(ControlInput::MoveMouseAway());
    ServePendingMessages(nullptr);
    EXPECT_FALSE(dialog->Button(IDC_FOLLOW)->MouseOver());
    EXPECT_EQ(face, Painted(follow)->Pixel(4, y));
}

TEST_F(OwnerDrawnDialogButtonsTest, EachStateDrawsItsBackgroundAndBorder) {
    HWND stop = Item(IDC_STOP);  // never disabled by the dialog
    OwnerDrawButton& button = *dialog->Button(IDC_STOP);
    // A focus colour of its own, so that the focused look is told apart.
    ASSERT_EQ(OwnerDrawButton::kOk, button.OffsetColor(OwnerDrawButton::kBackgroundFocus, -60));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF hover = button.Color(OwnerDrawButton::kBackgroundIn);
    const COLORREF focus = button.Color(OwnerDrawButton::kBackgroundFocus);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    struct Case {
        const char* name;
        std::function<void()> enter;
        std::function<void()> leave;
        COLORREF background, left, right;
        COLORREF textColour;  // the text "Stop" is drawn in it, and in no other text colour
    };
    const Case cases[] = {
        {"normal", [] {}, [] {}, face, light, shadow, text},
        {"hover", [&] { ControlInput::MoveMouseOver(stop, 8, 4); },
         [&] { ControlInput::MoveMouseAway(); }, hover, light, shadow, text},
        {"focused", [&] { SetFocus(stop); }, [&] { SetFocus(Item(IDC_ADDRESS)); }, focus, light,
         shadow, text},
        // Held down: the hover colours and a sunken border.
        {"pushed", [&] { SendMessage(stop, BM_SETSTATE, TRUE, 0); },
         [&] { SendMessage(stop, BM_SETSTATE, FALSE, 0); }, hover, shadow, light, text},
        // Greyed: the text embossed, in the shadow colour over a highlight copy.
        {"disabled", [&] { EnableWindow(stop, FALSE); }, [&] { EnableWindow(stop, TRUE); }, face,
         light, shadow, shadow},
    };
    // The pixels of a colour inside the button's border.
    auto inside = [](const DrawingSurface& surface, COLORREF colour) {
        int count = 0;
        for (int y = 1; y + 1 < surface.Height(); ++y) {
            for (int x = 1; x + 1 < surface.Width(); ++x)
                count += surface.Pixel(x, y) == colour ? 1 : 0;
        }
        return count;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.enter();
        ServePendingMessages(nullptr);
        DrawingSurface* surface = Painted(stop);
        ASSERT_NE(nullptr, surface);
        const int y = surface->Height() / 2;
        EXPECT_EQ(c.background, surface->Pixel(4, y));
        EXPECT_EQ(c.left, surface->Pixel(0, y));
        EXPECT_EQ(c.right, surface->Pixel(surface->Width() - 1, y));
        EXPECT_GT(inside(*surface, c.textColour), 10) << "text pixels";
        for (COLORREF other : {text, shadow}) {
            if (other != c.textColour) {
                EXPECT_EQ(inside(*surface, other), 0) << std::hex << other;
            }
        }
        EXPECT_EQ(inside(*surface, light) > 0, c.textColour == shadow) << "the highlight copy";
        c.leave();
        ServePendingMessages(nullptr);
        EXPECT_EQ(face, Painted(stop)->Pixel(4, y)) << "after";
    }
}

TEST_F(OwnerDrawnDialogButtonsTest, ADisabledButtonPassesItsFocusOnAndDropsItsHover) {
    HWND extract = Item(IDC_EXTRACT);
    SetFocus(extract);
    ASSERT_TRUE(ControlInput::MoveMouseOver(extract, 8, 4));
    ASSERT_TRUE(dialog->Button(IDC_EXTRACT)->MouseOver());
    EnableWindow(extract, FALSE);
    EXPECT_FALSE(dialog->Button(IDC_EXTRACT)->MouseOver());
    HWND focus = GetFocus();
    EXPECT_NE(nullptr, focus);
    EXPECT_NE(extract, focus);
    EXPECT_TRUE(IsChild(dialog->GetSafeHwnd(), focus) || focus == dialog->GetSafeHwnd());

    // The focus elsewhere stays where it is when a button is disabled.
    EnableWindow(extract, TRUE);
    HWND address = Item(IDC_ADDRESS);
    SetFocus(address);
    EnableWindow(Item(IDC_GO), FALSE);
    EXPECT_EQ(address, GetFocus());
}

TEST_F(OwnerDrawnDialogButtonsTest, AClickOnAButtonGivesItTheFocusAndRunsItsCommand) {
    SetFocus(Item(IDC_ADDRESS));
    ASSERT_TRUE(UserInput::ClickButton(Item(IDC_STOP)));
    EXPECT_EQ(Item(IDC_STOP), GetFocus());
    EXPECT_EQ(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON, SendMessage(Item(IDC_STOP), WM_GETDLGCODE, 0, 0));
}

TEST_F(OwnerDrawnDialogButtonsTest, TheSystemMenuOpensTheAboutBox) {
    HWND hwnd = dialog->GetSafeHwnd();
    std::string aboutText;
    HICON aboutIcon = nullptr;
    FunctionWindow closer([&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != WM_TIMER)
            return DefWindowProc(self, message, wParam, lParam);
        HWND top = GetTopWindow(nullptr);
        if (GetWindowText(top) == "About Quenmoor") {
            for (HWND child = GetWindow(top, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                aboutText += GetWindowText(child) + "|";
                if (const auto shown = SendMessage(child, STM_GETICON, 0, 0))
                    aboutIcon = reinterpret_cast<HICON>(shown);
            }
            KillTimer(self, 1);
            UserInput::ClickButton(GetDlgItem(top, IDOK));
        }
        return 0;
    });
    HWND closerWindow = CreateMessageWindow(&closer);
    SetTimer(closerWindow, 1, 5);
    EXPECT_TRUE(ControlInput::ChooseSystemMenuItem(hwnd, IDM_ABOUTBOX));
    EXPECT_EQ(aboutText, "|Ambrevin Version 2003|The page image finder.|OK|");
    // The About box and the window show the program's icon.
    const HICON programIcon = LoadIcon(ThisModule(), 128);
    ASSERT_NE(programIcon, nullptr);
    EXPECT_EQ(aboutIcon, programIcon);
    EXPECT_EQ(SendMessage(hwnd, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(programIcon));
    EXPECT_EQ(SendMessage(hwnd, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(programIcon));
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    DestroyWindow(closerWindow);
}

TEST_F(OwnerDrawnDialogButtonsTest, AClickOnAButtonWithAMenuShowsItsFirstSubMenuUnderIt) {
    HWND stop = Item(IDC_STOP);
    OwnerDrawButton& button = *dialog->Button(IDC_STOP);
    OwnerDrawMenu* drop = button.DropDownMenu().AppendPopup("drop");
    ASSERT_NE(drop, nullptr);
    ASSERT_TRUE(drop->AppendItem("&First", 701));
    ASSERT_TRUE(drop->AppendItem("&Second", 702));
    std::vector<WPARAM> commands;
    FunctionWindow receiver([&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_COMMAND)
            commands.push_back(wParam);
        return DefWindowProc(self, message, wParam, lParam);
    });
    HWND commandWindow = CreateMessageWindow(&receiver);
    button.SetMenuCommandWindow(commandWindow);

    // Inside the menu's loop: what is shown, and the button's look meanwhile.
    constexpr UINT kLook = WM_APP + 7;
    ShownMenu shown;
    RECT firstItem{};
    bool shownWhileOpen = false;
    COLORREF leftWhileOpen = CLR_INVALID;
    bool itemDrawnByTheMenu = false;
    FunctionWindow look([&](HWND self, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != kLook)
            return DefWindowProc(self, message, wParam, lParam);
        if (GetShownMenu(&shown) && GetShownMenuItemRect(0, &firstItem) && shown.surface) {
            // The first item as the menu itself draws it, on a surface of the same size.
            DrawingSurface expected(shown.surface->Width(), shown.surface->Height());
            DRAWITEMSTRUCT draw;
            draw.CtlType = ODT_MENU;
            draw.hDC = expected.Dc();
            draw.rcItem = firstItem;
            draw.itemData = reinterpret_cast<ULONG_PTR>(drop->ItemAt(0));
            drop->DrawItemInStyle(draw, false, false);
            itemDrawnByTheMenu = true;
            for (int y = firstItem.top; y < firstItem.bottom; ++y) {
                for (int x = firstItem.left; x < firstItem.right; ++x)
                    itemDrawnByTheMenu &= shown.surface->Pixel(x, y) == expected.Pixel(x, y);
            }
        }
        shownWhileOpen = button.MenuShown();
        DrawingSurface* surface = Painted(stop);
        leftWhileOpen = surface ? surface->Pixel(0, surface->Height() / 2) : CLR_INVALID;
        // The button hands the menu's key search over; a menu the key leaves open is
        // dismissed, so the click returns either way.
        if (!ControlInput::PressMenuKey('s'))
            ControlInput::DismissMenu();
        return 0;
    });
    HWND lookWindow = CreateMessageWindow(&look);
    PostMessage(lookWindow, kLook, 0, 0);
    ASSERT_TRUE(UserInput::ClickButton(stop));

    RECT place{};
    GetWindowRect(stop, &place);
    EXPECT_EQ(shown.menu, GetSubMenu(button.DropDownMenu().GetSafeHmenu(), 0));
    EXPECT_EQ(shown.owner, stop);
    EXPECT_EQ(shown.at.x, place.left);
    EXPECT_EQ(shown.at.y, place.bottom);
    EXPECT_EQ(shown.flags & (TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY),
              TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY);
    EXPECT_GE(firstItem.bottom - firstItem.top, 19) << "measured by the drop-down menu";
    EXPECT_TRUE(itemDrawnByTheMenu) << "drawn by the drop-down menu";
    EXPECT_TRUE(shownWhileOpen);
    EXPECT_EQ(leftWhileOpen, GetSysColor(COLOR_BTNSHADOW)) << "pressed while the menu is open";
    EXPECT_FALSE(button.MenuShown());
    DrawingSurface* after = Painted(stop);
    EXPECT_EQ(after->Pixel(0, after->Height() / 2), GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_TRUE(ServeUntil([&] { return !commands.empty(); }));
    EXPECT_EQ(commands, std::vector<WPARAM>{702}) << "posted to the menu's command window";
    DestroyWindow(lookWindow);
    DestroyWindow(commandWindow);
}

TEST_F(OwnerDrawnDialogButtonsTest, TheButtonAnswersTheCursorTheColourRequestAndDeactivation) {
    HWND stop = Item(IDC_STOP);
    OwnerDrawButton& button = *dialog->Button(IDC_STOP);
    const HCURSOR before = GetCursor();
    const LPARAM overClient = MAKELPARAM(HTCLIENT, static_cast<WORD>(WM_MOUSEMOVE));
    EXPECT_EQ(SendMessage(stop, WM_SETCURSOR, reinterpret_cast<WPARAM>(stop), overClient), 0)
        << "no hover cursor: the default";
    EXPECT_EQ(GetCursor(), before);
    const HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    button.SetHoverCursor(hand);
    EXPECT_EQ(SendMessage(stop, WM_SETCURSOR, reinterpret_cast<WPARAM>(stop), overClient), TRUE);
    EXPECT_EQ(GetCursor(), hand);
    SetCursor(before);

    // The dialog hands a button's colour request back to it: the hollow brush.
    HDC dc = GetDC(stop);
    EXPECT_EQ(SendMessage(dialog->GetSafeHwnd(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(stop)),
              reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH)));
    EXPECT_NE(SendMessage(dialog->GetSafeHwnd(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(Item(IDC_STAY_ON_SITE))),
              reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH)))
        << "the check box is no owner-drawn button";
    ReleaseDC(stop, dc);

    // Activation keeps the hover; deactivation ends it.
    ASSERT_TRUE(ControlInput::MoveMouseOver(stop, 8, 4));
    ASSERT_TRUE(button.MouseOver());
    SendMessage(stop, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(button.MouseOver());
    SendMessage(stop, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(button.MouseOver());
    EXPECT_EQ(Painted(stop)->Pixel(4, Painted(stop)->Height() / 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(OwnerDrawnDialogButtonsTest, TheButtonsMouseMessagesReachItsTooltipControl) {
    HWND go = Item(IDC_GO);
    OwnerDrawButton& button = *dialog->Button(IDC_GO);
    EXPECT_EQ(button.ToolTip(), nullptr) << "made on first use";
    ASSERT_TRUE(ControlInput::MoveMouseOver(go, 5, 5));
    const HWND tooltip = button.ToolTip();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(GetClassName(tooltip), TOOLTIPS_CLASS);
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), dialog->GetSafeHwnd()) << "the button's top window";
    EXPECT_FALSE(IsWindowVisible(tooltip));
    ToolTipState state;
    ASSERT_TRUE(GetToolTipState(tooltip, &state));
    EXPECT_FALSE(state.active);
    EXPECT_EQ(state.maxTipWidth, 400);
    EXPECT_EQ(state.lastHwnd, go);
    EXPECT_EQ(state.lastMessage, static_cast<UINT>(WM_MOUSEMOVE));
    const int relayed = state.relayed;
    EXPECT_GE(relayed, 1);
    SendMessage(go, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    SendMessage(go, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(GetToolTipState(tooltip, &state));
    EXPECT_EQ(state.relayed, relayed + 2);
    EXPECT_EQ(state.lastMessage, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(button.ToolTip(), tooltip) << "one control for the button's life";

    DestroyWindow(go);
    EXPECT_FALSE(IsWindow(tooltip)) << "it goes with the button";
}

TEST_F(OwnerDrawnDialogButtonsTest, ATransparentButtonShowsTheBackgroundOfItsParent) {
    HWND stop = Item(IDC_STOP);
    OwnerDrawButton& button = *dialog->Button(IDC_STOP);
    // Paints the dialog's surface under the button.
    auto paintUnder = [&](COLORREF colour) {
        RECT place{};
        GetWindowRect(stop, &place);
        POINT corner{place.left, place.top};
        ScreenToClient(dialog->GetSafeHwnd(), &corner);
        HDC dc = GetDC(dialog->GetSafeHwnd());
        HBRUSH brush = CreateSolidBrush(colour);
        const RECT under{corner.x, corner.y, corner.x + place.right - place.left,
                         corner.y + place.bottom - place.top};
        FillRect(dc, &under, brush);
        DeleteObject(brush);
        ReleaseDC(dialog->GetSafeHwnd(), dc);
    };
    auto middle = [&] {
        DrawingSurface* surface = Painted(stop);
        return surface->Pixel(4, surface->Height() / 2);
    };
    const COLORREF first = RGB(20, 160, 40);
    const COLORREF second = RGB(30, 40, 170);
    paintUnder(first);
    button.SetTransparent(true);
    EXPECT_EQ(middle(), first);
    EXPECT_TRUE(button.HasBackgroundCopy());
    paintUnder(second);
    button.Invalidate();
    EXPECT_EQ(middle(), first) << "copied once";
    SendMessage(stop, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_FALSE(button.HasBackgroundCopy()) << "dropped on a colour change";
    button.Invalidate();
    EXPECT_EQ(middle(), second) << "and taken again";
    button.SetTransparent(false);
    EXPECT_FALSE(button.HasBackgroundCopy());
    EXPECT_EQ(middle(), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
