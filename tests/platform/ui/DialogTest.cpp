#include "platform/ui/Dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/UserInput.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Timer.h"
#include "tests/support/ExpectedMessageBoxes.h"
#include "tests/support/WindowThread.h"

namespace {

constexpr int kEveryControlDialog = 150;  // tests/fixtures/resources/every-control.dlg

// The dialog of every control, with its fields bound by data exchange.
class EveryControlDialog : public CDialog {
public:
    EveryControlDialog() : CDialog(kEveryControlDialog) {}

    std::string storage = "c:\\storage";
    int number = 5;
    int automatic = BST_UNCHECKED;
    std::string choice;
    CListBox list;
    std::vector<std::pair<int, int>> commands;  // id, code

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (const char* site : {"www.zeta.com", "www.alpha.com", "Www.Beta.com"})
            list.AddString(site);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 209, list);
        DDX_Text(dx, 210, storage);
        DDX_Text(dx, 211, number);
        DDX_Check(dx, 202, automatic);
        DDX_LBString(dx, 209, choice);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        MSG msg;
        while (PeekMessage(&msg, PM_REMOVE)) {
        }
    }
    static bool Saw(const EveryControlDialog& dialog, int id, int code) {
        for (const auto& command : dialog.commands) {
            if (command.first == id && command.second == code)
                return true;
        }
        return false;
    }
};

TEST_F(DialogTest, EveryControlIsDrivenByTheUserAndReadBackThroughDataExchange) {
    EveryControlDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND hwnd = dialog.m_hWnd;
    EXPECT_FALSE(IsWindowVisible(hwnd)) << "the template has no WS_VISIBLE";
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_EQ(GetWindowText(hwnd), "Every Control");
    EXPECT_EQ(GetDlgItemText(hwnd, 210), "c:\\storage") << "OnInitDialog filled the controls";
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, 210)) << "the first tab stop has the focus";
    EXPECT_EQ(dialog.list.GetText(0), "www.alpha.com") << "LBS_SORT ignores case";
    EXPECT_EQ(dialog.list.GetText(1), "Www.Beta.com");

    EXPECT_TRUE(UserInput::TypeText(GetDlgItem(hwnd, 210), "d:\\pictures"));
    EXPECT_TRUE(UserInput::TypeText(GetDlgItem(hwnd, 211), " -42 "));
    EXPECT_TRUE(UserInput::TickBox(GetDlgItem(hwnd, 202), true));
    EXPECT_TRUE(UserInput::TickBox(GetDlgItem(hwnd, 202), true)) << "already ticked: no click";
    EXPECT_TRUE(UserInput::ClickButton(GetDlgItem(hwnd, 220)));
    EXPECT_TRUE(UserInput::ClickButton(GetDlgItem(hwnd, 221)));
    EXPECT_EQ(SendDlgItemMessage(hwnd, 220, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessage(hwnd, 221, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(UserInput::DoubleClickListRow(GetDlgItem(hwnd, 209), 2));
    EXPECT_FALSE(UserInput::SelectListRow(GetDlgItem(hwnd, 209), 3)) << "no such row";
    EXPECT_FALSE(UserInput::TypeText(GetDlgItem(hwnd, 212), "x")) << "read-only";
    EXPECT_EQ(GetDlgItemText(hwnd, 212), "read only");

    // Enter in a multi-line edit that wants it is a new line, not OK.
    UserInput::TypeText(GetDlgItem(hwnd, 213), "a");
    EXPECT_TRUE(UserInput::PressEnter(GetDlgItem(hwnd, 213)));
    EXPECT_EQ(GetDlgItemText(hwnd, 213), "a\r\n");
    EXPECT_TRUE(IsWindowVisible(hwnd));

    // Enter elsewhere is the default button: OnOK reads every control back.
    SetFocus(GetDlgItem(hwnd, 202));
    EXPECT_TRUE(UserInput::PressEnter(hwnd));
    EXPECT_EQ(dialog.GetEndCode(), IDOK);
    EXPECT_FALSE(IsWindowVisible(hwnd)) << "a modeless dialog's end hides it";
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(dialog.storage, "d:\\pictures");
    EXPECT_EQ(dialog.number, -42);
    EXPECT_EQ(dialog.automatic, BST_CHECKED);
    EXPECT_EQ(dialog.choice, "www.zeta.com");
    EXPECT_TRUE(Saw(dialog, 202, BN_CLICKED));
    EXPECT_TRUE(Saw(dialog, 210, EN_CHANGE));
    EXPECT_TRUE(Saw(dialog, 209, LBN_SELCHANGE));
    EXPECT_TRUE(Saw(dialog, 209, LBN_DBLCLK));
    EXPECT_TRUE(Saw(dialog, IDOK, BN_CLICKED));

    // Writing the fields back selects the row and fills the edits.
    dialog.choice = "www.alp";
    dialog.number = 7;
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(dialog.list.GetCurSel(), 0);
    EXPECT_EQ(GetDlgItemText(hwnd, 211), "7");
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(UserInput::ClickButton(GetDlgItem(hwnd, IDOK))) << "dead";
}

TEST_F(DialogTest, ANumberThatIsNoNumberKeepsTheDialogOpen) {
    for (const char* typed : {"4x2", "", "-", "99999999999"}) {
        SCOPED_TRACE(typed);
        EveryControlDialog dialog;
        ASSERT_TRUE(dialog.Create());
        ShowWindow(dialog.m_hWnd, SW_SHOW);
        UserInput::TypeText(dialog.GetDlgItem(211), typed);
        ExpectedMessageBoxes boxes;
        boxes.Expect("Please enter an integer.");
        UserInput::ClickButton(dialog.GetDlgItem(IDOK));
        EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd)) << "still open";
        EXPECT_EQ(dialog.number, 5);
        EXPECT_EQ(GetFocus(), dialog.GetDlgItem(211));
    }
}

TEST_F(DialogTest, EscapeTheCloseBoxAndADisabledDefaultButton) {
    EveryControlDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND hwnd = dialog.m_hWnd;
    ShowWindow(hwnd, SW_SHOW);
    UserInput::TypeText(dialog.GetDlgItem(210), "changed");
    EXPECT_TRUE(UserInput::PressEscape(hwnd));
    EXPECT_EQ(dialog.GetEndCode(), IDCANCEL);
    EXPECT_EQ(dialog.storage, "c:\\storage") << "Cancel reads nothing back";

    ShowWindow(hwnd, SW_SHOW);
    dialog.commands.clear();
    EnableWindow(dialog.GetDlgItem(IDOK), FALSE);
    SetFocus(dialog.GetDlgItem(202));
    UserInput::PressEnter(hwnd);
    EXPECT_TRUE(dialog.commands.empty()) << "a disabled default button does nothing";

    // Another default button takes Enter.
    SendMessage(hwnd, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(SendMessage(hwnd, DM_GETDEFID, 0, 0), MAKELPARAM(IDCANCEL, DC_HASDEFID));
    UserInput::PressEnter(hwnd);
    EXPECT_TRUE(Saw(dialog, IDCANCEL, BN_CLICKED));

    ShowWindow(hwnd, SW_SHOW);
    EXPECT_TRUE(UserInput::CloseWindow(hwnd));
    EXPECT_EQ(dialog.GetEndCode(), IDCANCEL) << "the close box is Cancel";
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(DialogTest, ModelessDialogPlacedTopmostKeepsItsPlace) {
    EveryControlDialog settings;
    ASSERT_TRUE(settings.Create());
    settings.ShowWindow(SW_SHOW);
    RECT before;
    settings.GetWindowRect(&before);
    settings.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    EveryControlDialog later;
    ASSERT_TRUE(later.Create());
    later.ShowWindow(SW_SHOW);
    later.SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetTopWindow(nullptr), settings.m_hWnd);

    // Cancel hides it; shown again it is still above the others, at the same place.
    UserInput::PressEscape(settings.m_hWnd);
    settings.ShowWindow(SW_SHOW);
    settings.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    later.SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetTopWindow(nullptr), settings.m_hWnd);
    EXPECT_EQ(GetWindow(settings.m_hWnd, GW_HWNDNEXT), later.m_hWnd);
    RECT after;
    settings.GetWindowRect(&after);
    EXPECT_EQ(after, before);
}

// A modal dialog that counts what its loop serves, and is ended by a click sent from
// another thread once a timer has ticked twice and a posted message came.
class CountingModalDialog : public EveryControlDialog {
public:
    static constexpr UINT WM_POSTED = WM_APP + 1;
    static constexpr UINT WM_FINISH = WM_APP + 2;

    explicit CountingModalDialog(HWND owner) { parent_ = owner; }

    std::atomic<int> ticks{0};
    std::atomic<int> posted{0};
    std::thread clicker;

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_INITDIALOG:
                SetTimer(7, USER_TIMER_MINIMUM);
                PostMessage(WM_POSTED);
                break;
            case WM_POSTED:
                ++posted;
                return 0;
            case WM_TIMER:
                if (++ticks == 2 && posted == 1) {
                    KillTimer(7);
                    clicker = std::thread([hwnd] { ::SendMessage(hwnd, WM_FINISH, 0, 0); });
                }
                return 0;
            case WM_FINISH:
                UserInput::ClickButton(::GetDlgItem(hwnd, IDOK));
                return 0;
            default:
                break;
        }
        return EveryControlDialog::WindowProc(hwnd, message, wParam, lParam);
    }
};

TEST_F(DialogTest, ModalLoopServesTimersPostsAndSendsAndEndsWithItsButtonsCode) {
    bool ownerDisabledInside = false;
    FunctionWindow ownerHandler([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_USER)
            ownerDisabledInside = !IsWindowEnabled(hwnd);
        return DefWindowProc(hwnd, message, wParam, lParam);
    });
    HWND owner = CreateWindowForHandler(&ownerHandler, 0, "TestOwner", "", WS_POPUP | WS_VISIBLE, 0,
                                        0, 400, 300, nullptr, nullptr);
    CountingModalDialog dialog(owner);
    PostMessage(owner, WM_USER, 0, 0);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    dialog.clicker.join();
    EXPECT_EQ(dialog.posted.load(), 1);
    EXPECT_EQ(dialog.ticks.load(), 2);
    EXPECT_TRUE(ownerDisabledInside) << "the owner's posted message came inside the loop";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "and the owner is enabled again";
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "DoModal destroys the window";
    EXPECT_EQ(dialog.storage, "c:\\storage");
    DestroyWindow(owner);
}

TEST_F(DialogTest, AQuitEndsTheModalLoopAndIsPostedAgain) {
    class QuittingDialog : public CDialog {
    public:
        QuittingDialog() : CDialog(kEveryControlDialog) {}
        BOOL OnInitDialog() override {
            PostQuitMessage(3);
            return TRUE;
        }
    } dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
    MSG msg;
    EXPECT_FALSE(GetMessage(&msg));
    EXPECT_EQ(msg.wParam, 3u);
}

// Tab and Shift+Tab go through the tab stops in the template's order, wrapping round and
// passing over a disabled control; an edit reached so has its text selected. The text of
// a multi-line edit with ES_WANTRETURN takes Enter, not the default button.
TEST_F(DialogTest, TabAndShiftTabMoveTheFocusInTemplateOrder) {
    EveryControlDialog dialog;
    ASSERT_TRUE(dialog.Create());
    const HWND hwnd = dialog.m_hWnd;
    ShowWindow(hwnd, SW_SHOW);
    ASSERT_EQ(GetFocus(), dialog.GetDlgItem(210)) << "the first tab stop has the focus";
    EnableWindow(dialog.GetDlgItem(212), FALSE);
    const std::vector<int> order{211, 213, 202, 220, 209, 1, 2, 210};
    for (const int id : order) {
        ASSERT_TRUE(UserInput::PressTab(hwnd, false));
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
    }
    for (auto id = order.rbegin() + 1; id != order.rend(); ++id) {
        ASSERT_TRUE(UserInput::PressTab(hwnd, true));
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), *id);
    }
    ASSERT_TRUE(UserInput::PressTab(hwnd, true));
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 210);
    ASSERT_TRUE(UserInput::PressTab(hwnd, true));
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 2) << "backwards from the first stop is the last";

    SetDlgItemText(hwnd, 211, "42");
    SetFocus(dialog.GetDlgItem(210));
    ASSERT_TRUE(UserInput::PressTab(hwnd, false));
    DWORD start = 9;
    DWORD end = 9;
    SendDlgItemMessage(hwnd, 211, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);

    dialog.commands.clear();
    SetFocus(dialog.GetDlgItem(213));
    ASSERT_TRUE(UserInput::PressEnter(hwnd));
    EXPECT_EQ(GetDlgItemText(hwnd, 213), "\r\n");
    EXPECT_FALSE(Saw(dialog, IDOK, BN_CLICKED));
}

// Space on the focused button: held it is drawn pushed, let go it clicks; the dialog's
// key does both. A button that loses the focus while Space is held comes up unclicked.
TEST_F(DialogTest, SpaceClicksTheFocusedButton) {
    EveryControlDialog dialog;
    ASSERT_TRUE(dialog.Create());
    const HWND hwnd = dialog.m_hWnd;
    ShowWindow(hwnd, SW_SHOW);
    const HWND drawn = CreateWindowEx(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 7, 100,
                                      40, 14, hwnd, ControlIdMenu(240));
    ASSERT_NE(drawn, nullptr);
    const HWND check = dialog.GetDlgItem(202);
    const HWND cancel = dialog.GetDlgItem(IDCANCEL);

    struct Case {
        HWND button;
        int id;
    };
    for (const Case& c : {Case{cancel, IDCANCEL}, Case{drawn, 240}, Case{check, 202}}) {
        ShowWindow(hwnd, SW_SHOW);
        dialog.commands.clear();
        SetFocus(c.button);
        ASSERT_TRUE(UserInput::PressSpace(c.button)) << c.id;
        EXPECT_TRUE(SendMessage(c.button, BM_GETSTATE, 0, 0) & BST_PUSHED) << c.id;
        EXPECT_FALSE(Saw(dialog, c.id, BN_CLICKED)) << "not before it is let go: " << c.id;
        ASSERT_TRUE(UserInput::ReleaseSpace(c.button));
        EXPECT_FALSE(SendMessage(c.button, BM_GETSTATE, 0, 0) & BST_PUSHED) << c.id;
        EXPECT_TRUE(Saw(dialog, c.id, BN_CLICKED)) << c.id;

        ShowWindow(hwnd, SW_SHOW);
        dialog.commands.clear();
        SetFocus(c.button);
        EXPECT_TRUE(DialogKey(hwnd, VK_SPACE)) << c.id;
        EXPECT_TRUE(Saw(dialog, c.id, BN_CLICKED)) << "the dialog's key: " << c.id;
    }
    EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED))
        << "ticked, then cleared";

    // Held, then the focus goes elsewhere: no click.
    ShowWindow(hwnd, SW_SHOW);
    dialog.commands.clear();
    SetFocus(drawn);
    ASSERT_TRUE(UserInput::PressSpace(drawn));
    SetFocus(check);
    EXPECT_FALSE(SendMessage(drawn, BM_GETSTATE, 0, 0) & BST_PUSHED);
    UserInput::ReleaseSpace(drawn);
    EXPECT_FALSE(Saw(dialog, 240, BN_CLICKED));
    EXPECT_FALSE(UserInput::PressSpace(drawn)) << "not the focus";
}

// A size message the dialog posts to itself while it starts (to lay itself out once) is
// served before the dialog shows.
TEST_F(DialogTest, ASizeMessagePostedDuringInitialisationIsServedBeforeTheDialogShows) {
    class LayingOutDialog : public CDialog {
    public:
        LayingOutDialog() : CDialog(kEveryControlDialog) {}
        std::vector<bool> postedSizesSeenVisible;

    protected:
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            PostMessage(WM_SIZE, SIZE_RESTORED, 0);
            return TRUE;
        }
        LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_SIZE && lParam == 0)
                postedSizesSeenVisible.push_back(::IsWindowVisible(hwnd) != FALSE);
            return CDialog::WindowProc(hwnd, message, wParam, lParam);
        }
    };
    LayingOutDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.m_hWnd, SW_SHOW);
    EXPECT_EQ(dialog.postedSizesSeenVisible, std::vector<bool>{false});
    MSG msg;
    while (PeekMessage(&msg, PM_REMOVE))
        DispatchMessage(&msg);
    EXPECT_EQ(dialog.postedSizesSeenVisible, std::vector<bool>{false}) << "served once";
}

TEST_F(DialogTest, MissingTemplateOrControlClassMakesNoDialog) {
    CDialog missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create());
    std::string error;
    auto broken = ParseDialogTemplate(
        "DIALOG 5 0 0 10 10\nBEGIN\nCONTROL 1 \"NoSuchClass\" \"\" 0 0 1 1\nEND\n", &error);
    ASSERT_TRUE(broken) << error;
    CDialog dialog(*broken);
    EXPECT_FALSE(dialog.Create());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

}  // namespace
