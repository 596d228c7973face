#include "platform/ui/Cursors.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/ControlInput.h"
#include "platform/window/Window.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

class RecordingCursors final : public CursorPresenter {
public:
    RecordingCursors() { SetCursorPresenter(this); }
    ~RecordingCursors() override { SetCursorPresenter(nullptr); }
    void CursorSet(HCURSOR cursor) override { shown.push_back(cursor); }
    std::vector<HCURSOR> shown;
};

TEST(CursorsTest, TheSharedCursorsAreShownOneAtATimeAndTheScreenIsToldOfEach) {
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    const HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(wait, nullptr);
    ASSERT_NE(hand, nullptr);
    EXPECT_NE(arrow, wait);
    EXPECT_NE(wait, hand);
    EXPECT_EQ(LoadCursor(nullptr, IDC_WAIT), wait) << "one handle per shared cursor";
    EXPECT_EQ(LoadCursor(nullptr, 1), nullptr);

    const HCURSOR start = GetCursor();
    RecordingCursors screen;
    EXPECT_EQ(SetCursor(wait), start);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(nullptr), wait);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(SetCursor(start), nullptr);
    EXPECT_EQ(screen.shown, (std::vector<HCURSOR>{wait, nullptr, start}));

    // Shared cursors stay; anything else is no cursor.
    EXPECT_TRUE(DestroyCursor(hand));
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), hand);
    EXPECT_FALSE(DestroyCursor(nullptr));
    EXPECT_FALSE(DestroyCursor(reinterpret_cast<HCURSOR>(&screen)));
}

// A window that may set the cursor when asked, and records what it was asked.
class CursorSetter final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETCURSOR) {
            asked.emplace_back(reinterpret_cast<HWND>(wParam), lParam);
            if (cursor != nullptr) {
                SetCursor(cursor);
                return TRUE;
            }
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    HCURSOR cursor = nullptr;
    std::vector<std::pair<HWND, LPARAM>> asked;
};

// The pointer's moves ask the window under it for the cursor, its parent first; nobody
// setting one shows the arrow.
TEST(CursorsTest, ThePointersMovesAskTheWindowUnderItAndItsParentsForTheCursor) {
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    const HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    CursorSetter top;
    CursorSetter button;
    CursorSetter plain;
    const HWND window = CreateWindowForHandler(&top, 0, "CursorTop", "", WS_POPUP | WS_VISIBLE, 0,
                                               0, 200, 100, nullptr, nullptr);
    const HWND hot = CreateWindowForHandler(&button, 0, "CursorButton", "", WS_CHILD | WS_VISIBLE,
                                            10, 10, 50, 20, window, ControlIdMenu(1));
    const HWND other = CreateWindowForHandler(&plain, 0, "CursorPlain", "", WS_CHILD | WS_VISIBLE,
                                              100, 10, 50, 20, window, ControlIdMenu(2));
    ASSERT_TRUE(window && hot && other);
    const LPARAM move = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    button.cursor = hand;

    SetCursor(wait);
    ASSERT_TRUE(ControlInput::MoveMouseOver(other, 5, 5));
    EXPECT_EQ(GetCursor(), arrow) << "nobody sets one: the arrow";
    EXPECT_EQ(plain.asked, (std::vector<std::pair<HWND, LPARAM>>{{other, move}}));
    EXPECT_EQ(top.asked, (std::vector<std::pair<HWND, LPARAM>>{{other, move}}))
        << "the parent is asked for its child";

    ASSERT_TRUE(ControlInput::MoveMouseOver(hot, 5, 5));
    EXPECT_EQ(GetCursor(), hand) << "the window's own cursor";

    // A parent that sets the cursor decides for its children.
    top.cursor = wait;
    ASSERT_TRUE(ControlInput::MoveMouseOver(other, 6, 6));
    EXPECT_EQ(GetCursor(), wait);
    ControlInput::MoveMouseAway();
    DestroyWindow(window);
    SetCursor(arrow);
}

}  // namespace
