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
    struct Case {
        const char* name;
        std::function<void()> enter;
        std::function<void()> leave;
        COLORREF background, left, right;
    };
    const Case cases[] = {
        {"normal", [] {}, [] {}, face, light, shadow},
        {"hover", [&] { ControlInput::MoveMouseOver(stop, 8, 4); },
         [&] { ControlInput::MoveMouseAway(); }, hover, light, shadow},
        {"focused", [&] { SetFocus(stop); }, [&] { SetFocus(Item(IDC_ADDRESS)); }, focus, light,
         shadow},
        // Held down: the hover colours and a sunken border.
        {"pushed", [&] { SendMessage(stop, BM_SETSTATE, TRUE, 0); },
         [&] { SendMessage(stop, BM_SETSTATE, FALSE, 0); }, hover, shadow, light},
        {"disabled", [&] { EnableWindow(stop, FALSE); }, [&] { EnableWindow(stop, TRUE); }, face,
         light, shadow},
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

}  // namespace
