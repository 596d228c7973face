#include <gtest/gtest.h>

#include "platform/ui/Controls.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/GdiDrawing.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/Controls.h"
#include "platform/ui/WindowSurface.h"
#include "tests/platform/ui/ControlParent.h"

namespace {

constexpr int kButtonId = 1004;
constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kHover = RGB(230, 230, 250);

// The least an owner-drawn push button does: paint through its parent on WM_PAINT, and
// track the pointer (hover on a move, off again on WM_MOUSELEAVE), as the finder's flat
// buttons do.
class OwnerDrawnButton : public WindowHandler {
public:
    bool hover = false;
    std::vector<UINT> seen;
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        switch (message) {
            case WM_PAINT:
                DrawOwnerDrawnControl(hwnd, ODT_BUTTON, ODA_DRAWENTIRE,
                                      OwnerDrawState(hwnd, hover ? ODS_HOTLIGHT : 0));
                return 0;
            case WM_MOUSEMOVE:
                if (!hover && WindowFromPoint(Cursor()) == hwnd) {
                    hover = true;
                    TRACKMOUSEEVENT track;
                    track.dwFlags = TME_LEAVE;
                    track.hwndTrack = hwnd;
                    TrackMouseEvent(&track);
                    Repaint(hwnd);
                }
                return 0;
            case WM_MOUSELEAVE:
                hover = false;
                Repaint(hwnd);
                return 0;
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    static POINT Cursor() {
        POINT point;
        GetCursorPos(&point);
        return point;
    }
    static void Repaint(HWND hwnd) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
};

class OwnerDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
            if (message != WM_DRAWITEM)
                return false;
            auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            EXPECT_EQ(static_cast<WPARAM>(kButtonId), wParam);
            drawn.push_back(*draw);
            const HGDIOBJ font = SelectObject(draw->hDC, GetStockObject(SYSTEM_FONT));
            fonts.push_back(font);
            SelectObject(draw->hDC, font);
            HBRUSH face = CreateSolidBrush((draw->itemState & ODS_HOTLIGHT) ? kHover : kFace);
            FillRect(draw->hDC, &draw->rcItem, face);
            DeleteObject(face);
            RECT edge = draw->rcItem;
            DrawEdge(draw->hDC, &edge, (draw->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED,
                     BF_RECT);
            *answer = TRUE;
            return true;
        };
        button = CreateWindowForHandler(&handler, 0, "Button", "Extract",
                                        WS_CHILD | WS_VISIBLE | 0xB /* BS_OWNERDRAW */, 20, 30, 90,
                                        24, parent.Hwnd(), ControlIdMenu(kButtonId));
        ASSERT_NE(nullptr, button);
    }
    void TearDown() override { DestroyWindow(button); }

    DrawingSurface* Surface() { return GetWindowSurface(button); }

    ControlParent parent;
    OwnerDrawnButton handler;
    HWND button = nullptr;
    std::vector<DRAWITEMSTRUCT> drawn;
    std::vector<HGDIOBJ> fonts;  // selected in each WM_DRAWITEM's context
};

TEST_F(OwnerDrawTest, TheParentPaintsTheButtonOnItsOwnSurface) {
    InvalidateRect(button, nullptr, TRUE);
    ASSERT_TRUE(UpdateWindow(button));
    ASSERT_EQ(1u, drawn.size());
    EXPECT_EQ(ODT_BUTTON, drawn[0].CtlType);
    EXPECT_EQ(static_cast<UINT>(kButtonId), drawn[0].CtlID);
    EXPECT_EQ(button, drawn[0].hwndItem);
    EXPECT_EQ(GetDC(button), drawn[0].hDC);
    EXPECT_EQ((RECT{0, 0, 90, 24}), drawn[0].rcItem);
    EXPECT_FALSE(GetUpdateRect(button, nullptr, FALSE));
    DrawingSurface* surface = Surface();
    ASSERT_NE(nullptr, surface);
    EXPECT_EQ(90, surface->Width());
    EXPECT_EQ(kFace, surface->Pixel(40, 12));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), surface->Pixel(89, 12));  // the raised edge
    // The text is drawn in the dialog font; the context keeps its own font afterwards.
    EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), fonts[0]);
    EXPECT_EQ(GetStockObject(SYSTEM_FONT),
              SelectObject(GetDC(button), GetStockObject(SYSTEM_FONT)));

    // State bits as the window shows them.
    SetFocus(button);
    DrawOwnerDrawnControl(button, ODT_BUTTON, ODA_DRAWENTIRE, OwnerDrawState(button, ODS_SELECTED));
    EXPECT_EQ(ODS_SELECTED | ODS_FOCUS, drawn.back().itemState);
    EXPECT_EQ(GetSysColor(COLOR_3DHIGHLIGHT), surface->Pixel(89, 12));  // sunken now
    EnableWindow(button, FALSE);
    DrawOwnerDrawnControl(button, ODT_BUTTON, ODA_DRAWENTIRE, OwnerDrawState(button, 0));
    EXPECT_EQ(static_cast<UINT>(ODS_DISABLED), drawn.back().itemState);
}

TEST_F(OwnerDrawTest, ThePlatformsOwnerDrawnButtonPaintsThroughItsParentToo) {
    DestroyWindow(button);
    button = CreateWindowEx(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 20, 30, 90, 24,
                            parent.Hwnd(), ControlIdMenu(kButtonId));
    ASSERT_NE(nullptr, button);
    InvalidateRect(button, nullptr, TRUE);
    ASSERT_TRUE(UpdateWindow(button));
    ASSERT_EQ(1u, drawn.size());
    EXPECT_EQ(ODT_BUTTON, drawn[0].CtlType);
    EXPECT_EQ(button, drawn[0].hwndItem);
    EXPECT_EQ(kFace, Surface()->Pixel(40, 12));
    EXPECT_FALSE(GetUpdateRect(button, nullptr, FALSE));
}

TEST_F(OwnerDrawTest, HoverPaintsTheHoverColourAndLeavingTakesItAway) {
    ASSERT_TRUE(ControlInput::MoveMouseOver(button, 5, 5));
    EXPECT_TRUE(handler.hover);
    EXPECT_EQ(kHover, Surface()->Pixel(40, 12));
    TRACKMOUSEEVENT query;
    query.dwFlags = TME_QUERY;
    ASSERT_TRUE(TrackMouseEvent(&query));
    EXPECT_EQ(button, query.hwndTrack);

    ASSERT_TRUE(ControlInput::MoveMouseOver(button, 50, 10));  // within: no leave
    EXPECT_TRUE(handler.hover);
    ASSERT_TRUE(ControlInput::MoveMouseOver(parent.Hwnd(), 300, 300));
    EXPECT_FALSE(handler.hover);
    EXPECT_EQ(kFace, Surface()->Pixel(40, 12));
    EXPECT_EQ(1, std::count(handler.seen.begin(), handler.seen.end(), WM_MOUSELEAVE));

    ASSERT_TRUE(ControlInput::MoveMouseOver(button, 5, 5));
    ASSERT_TRUE(ControlInput::MoveMouseAway());
    EXPECT_FALSE(handler.hover);
    EXPECT_EQ(2, std::count(handler.seen.begin(), handler.seen.end(), WM_MOUSELEAVE));
    EXPECT_FALSE(ControlInput::MoveMouseAway());
}

// The left button on the platform's owner-drawn button: pressed, the button takes the
// focus and is drawn held down (ODS_SELECTED) while the pointer stays on it; released on
// it, it clicks; dragged off first, it comes up without a click.
TEST_F(OwnerDrawTest, APressAndReleaseOnTheButtonIsItsClick) {
    DestroyWindow(button);
    button = CreateWindowEx(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 20, 30, 90, 24,
                            parent.Hwnd(), ControlIdMenu(kButtonId));
    ASSERT_NE(nullptr, button);
    auto clicks = [this] {
        int count = 0;
        for (const Notice& notice : parent.notices)
            count +=
                notice.message == WM_COMMAND && notice.code == BN_CLICKED && notice.id == kButtonId;
        return count;
    };
    ASSERT_TRUE(ControlInput::PressMouse(button, 10, 10));
    EXPECT_EQ(GetFocus(), button);
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    ASSERT_FALSE(drawn.empty());
    EXPECT_TRUE(drawn.back().itemState & ODS_SELECTED);
    EXPECT_EQ(clicks(), 0) << "no click before the release";
    ASSERT_TRUE(ControlInput::ReleaseMouse(12, 11));
    EXPECT_EQ(clicks(), 1);
    EXPECT_FALSE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_FALSE(drawn.back().itemState & ODS_SELECTED);

    // Pressed, dragged off (it comes up), back on (down again), off and released.
    ASSERT_TRUE(ControlInput::PressMouse(button, 10, 10));
    ASSERT_TRUE(ControlInput::MoveMouseOver(parent.Hwnd(), 300, 300));
    EXPECT_FALSE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    ASSERT_TRUE(ControlInput::MoveMouseOver(button, 30, 12));
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    ASSERT_TRUE(ControlInput::MoveMouseOver(parent.Hwnd(), 300, 300));
    ASSERT_TRUE(ControlInput::ReleaseMouse(200, 200));
    EXPECT_EQ(clicks(), 1) << "released off the button: no click";
    EXPECT_FALSE(ControlInput::ReleaseMouse(0, 0)) << "no button is held";

    // A disabled button takes no press.
    EnableWindow(button, FALSE);
    EXPECT_FALSE(ControlInput::PressMouse(button, 10, 10));
    EXPECT_EQ(clicks(), 1);
}

TEST_F(OwnerDrawTest, TheWindowUnderAPointIsTheDeepestVisibleOne) {
    POINT inside{5, 5};
    ClientToScreen(button, &inside);
    EXPECT_EQ(button, WindowFromPoint(inside));
    POINT beside{200, 200};
    ClientToScreen(parent.Hwnd(), &beside);
    EXPECT_EQ(parent.Hwnd(), WindowFromPoint(beside));
    ShowWindow(button, SW_HIDE);
    EXPECT_EQ(parent.Hwnd(), WindowFromPoint(inside));
}

TEST_F(OwnerDrawTest, AWindowsCaptureIsItsSurfaceAndItFollowsTheClientSize) {
    InvalidateRect(button, nullptr, TRUE);
    UpdateWindow(button);
    // What a capture copies out of the window's context is what the parent painted.
    DrawingSurface copy(90, 24);
    ASSERT_TRUE(BitBlt(copy.Dc(), 0, 0, 90, 24, GetDC(button), 0, 0, SRCCOPY));
    EXPECT_EQ(kFace, copy.Pixel(40, 12));
    EXPECT_EQ(1, ReleaseDC(button, GetDC(button)));

    MoveWindow(button, 20, 30, 120, 30, TRUE);
    EXPECT_EQ(120, Surface()->Width());
    EXPECT_EQ(30, Surface()->Height());
    PAINTSTRUCT paint;
    EXPECT_EQ(GetDC(button), BeginPaint(button, &paint));
    EXPECT_EQ((RECT{0, 0, 120, 30}), paint.rcPaint);
    EXPECT_TRUE(EndPaint(button, &paint));
}

TEST(WindowSurfaceTest, DeadWindowsAndOtherThreadsGetNoContext) {
    ControlParent parent;
    HWND child = parent.MakeChild("SysTreeView32", 0, 3);
    ASSERT_NE(nullptr, GetDC(child));
    DestroyWindow(child);
    EXPECT_EQ(nullptr, GetDC(child));
    EXPECT_EQ(nullptr, GetWindowSurface(child));
    PAINTSTRUCT paint;
    EXPECT_EQ(nullptr, BeginPaint(child, &paint));
    HDC fromOther = reinterpret_cast<HDC>(1);
    std::thread([&] { fromOther = GetDC(parent.Hwnd()); }).join();
    EXPECT_EQ(nullptr, fromOther);
    EXPECT_FALSE(ControlInput::MoveMouseOver(child, 1, 1));
}

}  // namespace

// The platform's own button class: an owner-drawn one is painted by its parent on
// WM_PAINT, and drawn again, selected, while it is held down.
TEST(OwnerDrawnButtonClassTest, PaintsThroughItsParentAndShowsItsPushedState) {
    ControlParent parent;
    std::vector<UINT> states;
    parent.onMessage = [&](UINT message, WPARAM, LPARAM lParam, LRESULT* answer) {
        if (message != WM_DRAWITEM)
            return false;
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        states.push_back(draw->itemState);
        HBRUSH face = CreateSolidBrush((draw->itemState & ODS_SELECTED) ? kHover : kFace);
        FillRect(draw->hDC, &draw->rcItem, face);
        DeleteObject(face);
        *answer = TRUE;
        return true;
    };
    HWND button = CreateWindowEx(0, "BUTTON", "go", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 60,
                                 20, parent.Hwnd(), ControlIdMenu(kButtonId));
    ASSERT_NE(nullptr, button);
    InvalidateRect(button, nullptr, TRUE);
    UpdateWindow(button);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(0u, states.back() & ODS_SELECTED);
    EXPECT_EQ(kFace, GetWindowSurface(button)->Pixel(30, 10));

    SendMessage(button, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(static_cast<UINT>(ODS_SELECTED), states.back() & ODS_SELECTED);
    EXPECT_EQ(kHover, GetWindowSurface(button)->Pixel(30, 10));
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessage(button, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(0u, states.back() & ODS_SELECTED);
    EXPECT_FALSE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    DestroyWindow(button);
}
