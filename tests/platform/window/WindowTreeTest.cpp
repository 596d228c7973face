#include "platform/window/WindowTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/window/MessageLoop.h"
#include "platform/window/Presentation.h"
#include "tests/support/WindowThread.h"

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A handler that notes every message and leaves it to the default handling.
class RecordingWindow : public WindowHandler {
public:
    explicit RecordingWindow(std::vector<Seen>* log) : log_(log) {}
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        log_->push_back(Seen{hwnd, message, wParam, lParam});
        return DefWindowProc(hwnd, message, wParam, lParam);
    }

private:
    std::vector<Seen>* log_;
};

std::vector<UINT> MessagesOf(const std::vector<Seen>& log, HWND hwnd) {
    std::vector<UINT> messages;
    for (const Seen& seen : log) {
        if (seen.hwnd == hwnd)
            messages.push_back(seen.message);
    }
    return messages;
}

// A class whose handlers count themselves, for the ownership of class handlers.
std::atomic<int> liveCountingHandlers{0};
class CountingWindow : public WindowHandler {
public:
    CountingWindow() { ++liveCountingHandlers; }
    ~CountingWindow() override { --liveCountingHandlers; }
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
};

constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

class WindowTreeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterWindowClass("TestCounting", [] { return std::make_unique<CountingWindow>(); });
    }
    void TearDown() override {
        for (HWND hwnd : made_)
            DestroyWindow(hwnd);
    }
    HWND TopLevel(WindowHandler* handler, DWORD style = kFrameStyle, DWORD exStyle = 0,
                  HWND owner = nullptr) {
        HWND hwnd = CreateWindowForHandler(handler, exStyle, "TestFrame", "frame", style, 10, 20,
                                           300, 200, owner, nullptr);
        made_.push_back(hwnd);
        return hwnd;
    }
    static HWND Child(WindowHandler* handler, HWND parent, int id, DWORD style = WS_VISIBLE,
                      RECT rect = MakeRect(5, 6, 50, 20)) {
        return CreateWindowForHandler(handler, 0, "TestChild", "child", WS_CHILD | style, rect.left,
                                      rect.top, rect.Width(), rect.Height(), parent,
                                      ControlIdMenu(id));
    }

    std::vector<Seen> log_;
    RecordingWindow recorder_{&log_};
    std::vector<HWND> made_;
};

TEST_F(WindowTreeTest, CreationSendsCreateSizeMoveAndShowsVisibleWindows) {
    HWND frame = TopLevel(&recorder_, kFrameStyle | WS_VISIBLE);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(MessagesOf(log_, frame),
              (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    EXPECT_NE(log_[0].lParam, 0) << "WM_CREATE carries the CREATESTRUCT";
    // Client size: 300 x 200 less the 3-pixel dialog frame and the 19-pixel caption.
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(log_[1].lParam)), 294);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(log_[1].lParam)), 175);
    EXPECT_EQ(GetClassName(frame), "TestFrame");
    EXPECT_EQ(GetWindowText(frame), "frame");
    EXPECT_TRUE(IsWindowVisible(frame));

    RECT client;
    ASSERT_TRUE(GetClientRect(frame, &client));
    EXPECT_EQ(client, (RECT{0, 0, 294, 175}));
    RECT window;
    ASSERT_TRUE(GetWindowRect(frame, &window));
    EXPECT_EQ(window, MakeRect(10, 20, 300, 200));
}

TEST_F(WindowTreeTest, ChildrenKeepTheirOrderIdsAndParent) {
    HWND frame = TopLevel(&recorder_);
    HWND first = Child(&recorder_, frame, 101);
    HWND second = Child(&recorder_, frame, 102);
    HWND third = Child(&recorder_, frame, 103);
    HWND grandchild = Child(&recorder_, second, 201);
    ASSERT_TRUE(first && second && third && grandchild);

    EXPECT_EQ(GetWindow(frame, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), third);
    EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(third, GW_HWNDPREV), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDFIRST), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDLAST), third);
    EXPECT_EQ(GetDlgItem(frame, 102), second);
    EXPECT_EQ(GetDlgItem(frame, 201), nullptr) << "only direct children are items";
    EXPECT_EQ(GetDlgCtrlID(third), 103);
    EXPECT_EQ(GetDlgCtrlID(frame), 0);
    EXPECT_EQ(GetParent(grandchild), second);
    EXPECT_EQ(GetParent(frame), nullptr);
    EXPECT_TRUE(IsChild(frame, grandchild));
    EXPECT_FALSE(IsChild(first, grandchild));

    SetWindowPos(third, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), third);
    SetWindowPos(third, first, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), third);

    SetWindowLong(third, GWL_ID, 333);
    EXPECT_EQ(GetDlgItem(frame, 333), third);
}

TEST_F(WindowTreeTest, CreationFailsCleanlyForBadClassesAndParents) {
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(Child(&recorder_, nullptr, 1), nullptr) << "a child needs a parent";
    HWND frame = TopLevel(&recorder_);
    HWND dead = Child(&recorder_, frame, 1);
    DestroyWindow(dead);
    EXPECT_EQ(Child(&recorder_, dead, 2), nullptr);

    // A parent of another thread is refused: a window's children live on its thread.
    WindowThread other(nullptr);
    ASSERT_TRUE(other.Start());
    EXPECT_EQ(Child(&recorder_, other.Hwnd(), 3), nullptr);

    // Class names compare ignoring case; the class's handler belongs to the window.
    const int before = liveCountingHandlers.load();
    HWND counted =
        CreateWindowEx(0, "testcounting", "", WS_CHILD, 0, 0, 1, 1, frame, ControlIdMenu(4));
    ASSERT_NE(counted, nullptr);
    EXPECT_EQ(GetClassName(counted), "testcounting");
    EXPECT_EQ(liveCountingHandlers.load(), before + 1);
    DestroyWindow(frame);
    EXPECT_EQ(liveCountingHandlers.load(), before) << "the handler goes with its window";
}

TEST_F(WindowTreeTest, DestroyGoesParentFirstThenEndsChildrenFirst) {
    HWND owner = TopLevel(&recorder_);
    HWND owned = TopLevel(&recorder_, kFrameStyle, 0, owner);
    HWND a = Child(&recorder_, owner, 1);
    HWND a1 = Child(&recorder_, a, 11);
    HWND b = Child(&recorder_, owner, 2);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    EXPECT_EQ(GetParent(owned), owner) << "a popup's parent is its owner";
    log_.clear();

    ASSERT_TRUE(DestroyWindow(owner));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& seen : log_) {
        if (seen.message == WM_DESTROY || seen.message == WM_NCDESTROY)
            order.emplace_back(seen.hwnd, seen.message);
    }
    const std::vector<std::pair<HWND, UINT>> expected{
        {owned, WM_DESTROY}, {owned, WM_NCDESTROY},  // owned windows go first
        {owner, WM_DESTROY}, {a, WM_DESTROY},       {a1, WM_DESTROY},  {b, WM_DESTROY},
        {b, WM_NCDESTROY},   {a1, WM_NCDESTROY},    {a, WM_NCDESTROY}, {owner, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    for (HWND hwnd : {owner, owned, a, a1, b})
        EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTreeTest, EveryCallOnADeadHandleFailsCleanly) {
    HWND frame = TopLevel(&recorder_, kFrameStyle | WS_VISIBLE);
    HWND child = Child(&recorder_, frame, 7);
    ASSERT_TRUE(DestroyWindow(frame));
    RECT rect{1, 2, 3, 4};
    POINT point{5, 6};
    char buffer[8] = "x";
    for (HWND dead : {frame, child, static_cast<HWND>(nullptr), reinterpret_cast<HWND>(0x7777)}) {
        SCOPED_TRACE(reinterpret_cast<UINT_PTR>(dead));
        EXPECT_FALSE(DestroyWindow(dead));
        EXPECT_FALSE(ShowWindow(dead, SW_SHOW));
        EXPECT_FALSE(IsWindowVisible(dead));
        EXPECT_FALSE(EnableWindow(dead, FALSE));
        EXPECT_FALSE(IsWindowEnabled(dead));
        EXPECT_EQ(SetFocus(dead), nullptr);
        EXPECT_EQ(GetParent(dead), nullptr);
        EXPECT_EQ(GetWindow(dead, GW_CHILD), nullptr);
        EXPECT_EQ(GetDlgItem(dead, 7), nullptr);
        EXPECT_EQ(GetDlgCtrlID(dead), 0);
        EXPECT_EQ(GetWindowLong(dead, GWL_STYLE), 0);
        EXPECT_EQ(SetWindowLong(dead, GWL_STYLE, WS_VISIBLE), 0);
        EXPECT_FALSE(SetWindowText(dead, "text"));
        EXPECT_EQ(GetWindowText(dead), "");
        EXPECT_EQ(GetWindowText(dead, buffer, sizeof buffer), 0);
        EXPECT_EQ(GetWindowTextLength(dead), 0);
        EXPECT_FALSE(GetWindowRect(dead, &rect));
        EXPECT_FALSE(GetClientRect(dead, &rect));
        EXPECT_FALSE(ClientToScreen(dead, &point));
        EXPECT_FALSE(MoveWindow(dead, 1, 1, 1, 1, TRUE));
        EXPECT_FALSE(SetWindowPos(dead, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
        EXPECT_FALSE(InvalidateRect(dead, nullptr, TRUE));
        EXPECT_FALSE(UpdateWindow(dead));
        EXPECT_EQ(NotifyParentCommand(dead, 0), 0);
        EXPECT_EQ(SendDlgItemMessage(dead, 7, WM_USER, 0, 0), 0);
        EXPECT_EQ(GetClassName(dead), "");
    }
    EXPECT_EQ(rect, (RECT{1, 2, 3, 4}));
}

TEST_F(WindowTreeTest, RectanglesMapBetweenChildParentAndScreen) {
    HWND frame = TopLevel(&recorder_);  // client origin at (13, 42) on the screen
    HWND panel =
        CreateWindowForHandler(&recorder_, WS_EX_CLIENTEDGE, "TestChild", "", WS_CHILD | WS_VISIBLE,
                               20, 30, 100, 80, frame, ControlIdMenu(1));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(panel, &rect));
    EXPECT_EQ(rect, MakeRect(33, 72, 100, 80));
    ASSERT_TRUE(GetClientRect(panel, &rect));
    EXPECT_EQ(rect, (RECT{0, 0, 96, 76})) << "a client edge is 2 pixels";
    ASSERT_TRUE(GetWindowRect(panel, &rect));
    ASSERT_TRUE(MapWindowRect(nullptr, frame, &rect));
    EXPECT_EQ(rect, MakeRect(20, 30, 100, 80)) << "back in the parent's client coordinates";
    POINT point{0, 0};
    ASSERT_TRUE(ClientToScreen(panel, &point));
    EXPECT_EQ(point.x, 35);
    EXPECT_EQ(point.y, 74);
    ASSERT_TRUE(ScreenToClient(frame, &point));
    EXPECT_EQ(point.x, 22);
    EXPECT_EQ(point.y, 32);

    RECT adjusted{0, 0, 100, 50};
    AdjustWindowRectEx(&adjusted, WS_POPUP | WS_CAPTION | WS_THICKFRAME, FALSE, 0);
    EXPECT_EQ(adjusted, (RECT{-4, -23, 104, 54}));
}

TEST_F(WindowTreeTest, EveryResizeSendsWmSizeAndOnlyAMoveSendsWmMove) {
    HWND frame = TopLevel(&recorder_);
    HWND child = Child(&recorder_, frame, 1);
    log_.clear();
    MoveWindow(child, 5, 6, 70, 30, TRUE);  // same place, new size
    MoveWindow(child, 5, 6, 70, 30, TRUE);  // nothing new: still a resize call
    MoveWindow(child, 8, 9, 70, 30, TRUE);
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(MessagesOf(log_, child), (std::vector<UINT>{WM_SIZE, WM_SIZE, WM_MOVE, WM_SIZE}));
    EXPECT_EQ(log_.back().lParam, MAKELPARAM(70, 30));
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowRect(nullptr, frame, &rect);
    EXPECT_EQ(rect, MakeRect(8, 9, 70, 30));
}

TEST_F(WindowTreeTest, TopmostWindowStaysAboveLaterWindows) {
    HWND palette = TopLevel(&recorder_);
    HWND main = TopLevel(&recorder_);
    EXPECT_EQ(GetTopWindow(nullptr), main) << "a new window comes on top";
    ASSERT_TRUE(SetWindowPos(palette, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_TRUE(GetWindowLong(palette, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rect;
    GetWindowRect(palette, &rect);
    EXPECT_EQ(rect, MakeRect(10, 20, 300, 200)) << "SWP_NOMOVE | SWP_NOSIZE keep the place";

    HWND later = TopLevel(&recorder_);
    SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(later, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(palette, SW_HIDE);
    ShowWindow(palette, SW_SHOW);
    SetWindowPos(palette, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetTopWindow(nullptr), palette);
    EXPECT_EQ(GetWindow(palette, GW_HWNDNEXT), later);
    EXPECT_TRUE(GetWindowLong(palette, GWL_EXSTYLE) & WS_EX_TOPMOST) << "the flag stays";

    SetWindowPos(palette, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(GetWindowLong(palette, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(later, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetTopWindow(nullptr), later);
}

TEST_F(WindowTreeTest, VisibilityEnablingAndFocus) {
    HWND frame = TopLevel(&recorder_);
    HWND edit = Child(&recorder_, frame, 1);
    HWND button = Child(&recorder_, frame, 2);
    EXPECT_FALSE(IsWindowVisible(edit)) << "the parent is hidden";
    EXPECT_FALSE(ShowWindow(frame, SW_SHOW)) << "answers whether it was visible: no";
    EXPECT_TRUE(IsWindowVisible(edit));
    EXPECT_TRUE(ShowWindow(frame, SW_SHOW));

    log_.clear();
    EXPECT_EQ(SetFocus(edit), nullptr);
    EXPECT_EQ(SetFocus(button), edit);
    EXPECT_EQ(GetFocus(), button);
    ASSERT_EQ(log_.size(), 3u);
    EXPECT_EQ(log_[0].message, WM_SETFOCUS);
    EXPECT_EQ(log_[1].hwnd, edit);
    EXPECT_EQ(log_[1].message, WM_KILLFOCUS);
    EXPECT_EQ(log_[1].wParam, reinterpret_cast<WPARAM>(button));
    EXPECT_EQ(log_[2].hwnd, button);
    EXPECT_EQ(log_[2].message, WM_SETFOCUS);
    EXPECT_EQ(log_[2].wParam, reinterpret_cast<WPARAM>(edit));

    log_.clear();
    EXPECT_FALSE(EnableWindow(button, FALSE)) << "it was not disabled";
    EXPECT_FALSE(IsWindowEnabled(button));
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window loses the focus";
    EXPECT_EQ(MessagesOf(log_, button), (std::vector<UINT>{WM_KILLFOCUS, WM_ENABLE}));
    EXPECT_EQ(SetFocus(button), nullptr);
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window cannot take the focus";
    EXPECT_TRUE(EnableWindow(button, TRUE));
    EXPECT_TRUE(GetWindowLong(edit, GWL_STYLE) & WS_VISIBLE);

    SetFocus(edit);
    ShowWindow(frame, SW_HIDE);
    EXPECT_EQ(GetFocus(), nullptr) << "hiding takes the focus out of the hidden tree";
    SetFocus(button);
    DestroyWindow(button);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTreeTest, TextAndStylesThroughCallsAndMessages) {
    HWND frame = TopLevel(&recorder_);
    EXPECT_TRUE(SetWindowText(frame, "Tallowmere ( visited=0 )"));
    EXPECT_EQ(GetWindowText(frame), "Tallowmere ( visited=0 )");
    EXPECT_EQ(GetWindowTextLength(frame), 24);
    SendMessage(frame, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("h\xC3\xA9llo"));
    char buffer[3];
    EXPECT_EQ(GetWindowText(frame, buffer, sizeof buffer), 1) << "é is not cut in two";
    EXPECT_STREQ(buffer, "h");
    EXPECT_EQ(SendMessage(frame, WM_GETTEXTLENGTH, 0, 0), 6);

    // Another thread's send reaches the window while this thread serves its queue.
    std::atomic<bool> done{false};
    std::thread setter([&] {
        SetWindowText(frame, "from elsewhere");
        done = true;
        PostMessage(frame, WM_USER, 0, 0);
    });
    MSG msg;
    while (!done && GetMessage(&msg))
        DispatchMessage(&msg);
    setter.join();
    EXPECT_EQ(GetWindowText(frame), "from elsewhere");

    const LONG style = GetWindowLong(frame, GWL_STYLE);
    EXPECT_EQ(SetWindowLong(frame, GWL_STYLE, style | WS_THICKFRAME | WS_CHILD), style);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(frame, GWL_STYLE)),
              static_cast<DWORD>(style) | WS_THICKFRAME)
        << "a top-level window never becomes a child";
    SetWindowLongPtr(frame, GWLP_USERDATA, 0x1234);
    EXPECT_EQ(GetWindowLongPtr(frame, GWLP_USERDATA), 0x1234);
}

TEST_F(WindowTreeTest, DefaultHandlingClosesIconsAndMinimises) {
    HWND frame = TopLevel(&recorder_, kFrameStyle | WS_VISIBLE);
    HICON big = reinterpret_cast<HICON>(0x128);
    EXPECT_EQ(SendMessage(frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big)), 0);
    EXPECT_EQ(SendMessage(frame, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(big));
    EXPECT_EQ(SendMessage(frame, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(SendMessage(frame, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(big));

    log_.clear();
    SendMessage(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(frame));
    ASSERT_FALSE(log_.empty());
    EXPECT_EQ(log_.back().message, WM_SIZE);
    EXPECT_EQ(log_.back().wParam, SIZE_MINIMIZED);
    SendMessage(frame, WM_SYSCOMMAND, SC_RESTORE | 0x3, 0);
    EXPECT_FALSE(IsIconic(frame));

    InvalidateRect(frame, nullptr, TRUE);
    log_.clear();
    UpdateWindow(frame);
    UpdateWindow(frame);
    EXPECT_EQ(MessagesOf(log_, frame), (std::vector<UINT>{WM_PAINT})) << "painted once";

    log_.clear();
    SendMessage(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(MessagesOf(log_, frame),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowTreeTest, ControlsNotifyTheirParent) {
    HWND frame = TopLevel(&recorder_);
    HWND control = Child(&recorder_, frame, 1008);
    log_.clear();
    NotifyParentCommand(control, 5);
    NMHDR header;
    header.code = 77;
    NotifyParent(control, &header);
    ASSERT_EQ(log_.size(), 2u);
    EXPECT_EQ(log_[0].hwnd, frame);
    EXPECT_EQ(log_[0].message, WM_COMMAND);
    EXPECT_EQ(log_[0].wParam, MAKEWPARAM(1008, 5));
    EXPECT_EQ(log_[0].lParam, reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(log_[1].message, WM_NOTIFY);
    EXPECT_EQ(log_[1].wParam, 1008u);
    const auto* seen = reinterpret_cast<const NMHDR*>(log_[1].lParam);
    EXPECT_EQ(seen->hwndFrom, control);
    EXPECT_EQ(seen->idFrom, 1008u);
    EXPECT_EQ(seen->code, 77u);
}

// Notes what the presentation is told.
class RecordingPresentation : public WindowPresentation {
public:
    std::vector<std::string> events;
    void WindowCreated(HWND) override { events.push_back("created"); }
    void WindowDestroyed(HWND) override { events.push_back("destroyed"); }
    void WindowMoved(HWND) override { events.push_back("moved"); }
    void WindowShown(HWND, bool visible) override {
        events.push_back(visible ? "shown" : "hidden");
    }
    void WindowEnabled(HWND, bool enabled) override {
        events.push_back(enabled ? "enabled" : "disabled");
    }
    void WindowTextChanged(HWND hwnd) override { events.push_back("text " + GetWindowText(hwnd)); }
    void WindowStyleChanged(HWND) override { events.push_back("style"); }
    void FocusChanged(HWND, HWND to) override { events.push_back(to ? "focus" : "no focus"); }
    void WindowInvalidated(HWND) override { events.push_back("invalid"); }
    void ControlContentChanged(HWND, UINT message) override {
        events.push_back("content " + std::to_string(message));
    }
    void WindowIconChanged(HWND) override { events.push_back("icon"); }
};

TEST_F(WindowTreeTest, ThePresentationHearsEveryChangeAndNoMessageWindow) {
    RecordingPresentation presentation;
    SetWindowPresentation(&presentation);
    FunctionWindow plain(nullptr);
    HWND messageOnly = CreateMessageWindow(&plain);
    SetWindowText(messageOnly, "quiet");
    DestroyWindow(messageOnly);

    HWND frame = TopLevel(&recorder_);
    HWND child = Child(&recorder_, frame, 1, 0);
    SetWindowText(child, "hello");
    MoveWindow(child, 1, 2, 3, 4, TRUE);
    ShowWindow(child, SW_SHOW);
    EnableWindow(child, FALSE);
    EnableWindow(child, TRUE);
    SetFocus(child);
    SetWindowLong(child, GWL_STYLE, GetWindowLong(child, GWL_STYLE) | WS_TABSTOP);
    InvalidateRect(child, nullptr, TRUE);
    PresentControlContent(child, WM_USER);
    // A new icon is told; the same icon again, or a read, is not.
    const HICON icon = reinterpret_cast<HICON>(0x1234);
    SendMessage(frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(frame, WM_GETICON, ICON_BIG, 0);
    DestroyWindow(frame);
    SetWindowPresentation(nullptr);
    EXPECT_EQ(
        presentation.events,
        (std::vector<std::string>{"created", "created", "text hello", "moved", "shown", "disabled",
                                  "enabled", "focus", "style", "invalid", "content 1024", "icon",
                                  "no focus", "destroyed", "destroyed"}));
}

}  // namespace

TEST_F(WindowTreeTest, ASuperclassIsShownAsItsBaseControl) {
    RecordingWindow superclass{&log_};
    const HWND frame = TopLevel(&recorder_);
    const HWND plain = Child(&superclass, frame, 1);
    EXPECT_EQ(GetControlClassName(plain), "TestChild") << "not recorded: its own class";

    EXPECT_TRUE(RegisterSuperclass("TestSuperToolbar", "ToolbarWindow32"));
    EXPECT_TRUE(RegisterSuperclass("testsupertoolbar", "TOOLBARWINDOW32")) << "the same again";
    EXPECT_FALSE(RegisterSuperclass("TestSuperToolbar", "BUTTON")) << "another base";
    EXPECT_FALSE(RegisterSuperclass("", "BUTTON"));
    EXPECT_FALSE(RegisterSuperclass("TestSuperOther", ""));

    const HWND toolbar = CreateWindowForHandler(&superclass, 0, "TestSuperToolbar", "", WS_CHILD, 0,
                                                0, 100, 22, frame, ControlIdMenu(2));
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(GetClassName(toolbar), "TestSuperToolbar");
    EXPECT_EQ(GetControlClassName(toolbar), "ToolbarWindow32");
    DestroyWindow(toolbar);
    EXPECT_EQ(GetControlClassName(toolbar), "") << "a dead handle";
    DestroyWindow(plain);
}
