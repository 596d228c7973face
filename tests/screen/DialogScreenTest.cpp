// A program's window of simple controls on screen: GTK's widgets act through the
// model's calls, and the model's changes show in the widgets.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/GdiDrawing.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/Window.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/RealInput.h"
#include "tests/screen/ScreenTestSupport.h"

namespace {

constexpr int kOkId = 1;
constexpr int kNameId = 10;
constexpr int kAgreeId = 11;

// The program's window: counts the clicks of its button.
class ProgramWindow final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && LOWORD(wParam) == kOkId && HIWORD(wParam) == BN_CLICKED)
            ++clicks;
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    int clicks = 0;
};

TEST(DialogScreenTest, GtkInputReachesTheModelAndTheModelShowsInGtk) {
    SKIP_WITHOUT_SCREEN();
    ProgramWindow program;
    const HWND window = CreateWindowForHandler(
        &program, 0, "ScreenTestProgram", "Screen test dialog",
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 360, 200, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const HWND name = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200,
                                     24, window, ControlIdMenu(kNameId));
    const HWND agree =
        CreateWindowEx(0, "BUTTON", "I &agree", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 44,
                       200, 24, window, ControlIdMenu(kAgreeId));
    const HWND ok = CreateWindowEx(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 250,
                                   120, 80, 28, window, ControlIdMenu(kOkId));
    ASSERT_TRUE(name && agree && ok);
    ShowWindow(window, SW_SHOW);
    GtkWidget* okWidget = ScreenWidgetOf(ok);
    GtkWidget* nameWidget = ScreenWidgetOf(name);
    GtkWidget* agreeWidget = ScreenWidgetOf(agree);
    ASSERT_TRUE(okWidget && GTK_IS_BUTTON(okWidget));
    ASSERT_TRUE(nameWidget && GTK_IS_ENTRY(nameWidget));
    ASSERT_TRUE(agreeWidget && GTK_IS_CHECK_BUTTON(agreeWidget));
    ASSERT_TRUE(PumpScreenUntil([&] { return gtk_widget_get_mapped(okWidget); }, 10000));

    // GTK to the model.
    // A keyboard activation clicks once the button has shown itself pressed.
    gtk_widget_activate(okWidget);
    EXPECT_TRUE(PumpScreenUntil([&] { return program.clicks == 1; }, 10000));
    gtk_editable_set_text(GTK_EDITABLE(nameWidget), "Ada");
    EXPECT_TRUE(PumpScreenUntil([&] { return GetWindowText(name) == "Ada"; }, 10000));
    gtk_check_button_set_active(GTK_CHECK_BUTTON(agreeWidget), TRUE);
    EXPECT_EQ(SendMessage(agree, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));

    // The model to GTK.
    SetWindowText(name, "Grace");
    EXPECT_STREQ(gtk_editable_get_text(GTK_EDITABLE(nameWidget)), "Grace");
    EnableWindow(ok, FALSE);
    EXPECT_FALSE(gtk_widget_get_sensitive(okWidget));
    EnableWindow(ok, TRUE);
    MoveWindow(ok, 240, 110, 90, 30, TRUE);
    int width = 0;
    int height = 0;
    gtk_widget_get_size_request(okWidget, &width, &height);
    EXPECT_EQ(width, 90);
    EXPECT_EQ(height, 30);

    const std::string shot = ScreenshotPath("program-dialog");
    ASSERT_TRUE(SaveWindowScreenshot(window, shot));
    EXPECT_GT(std::filesystem::file_size(shot), 500u);

    // The close box goes through the model.
    GtkWidget* top = ScreenWidgetOf(window);
    ASSERT_TRUE(top && GTK_IS_WINDOW(top));
    gtk_window_close(GTK_WINDOW(top));
    EXPECT_FALSE(IsWindow(window));
}

// The same window driven through the X server: a real click on the push button and on
// the check box reaches the model.
TEST(DialogScreenTest, RealClicksReachTheModelsButtons) {
    SKIP_WITHOUT_SCREEN();
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    ProgramWindow program;
    const HWND window = CreateWindowForHandler(&program, 0, "ScreenTestProgram", "Real input",
                                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 360,
                                               200, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const HWND agree =
        CreateWindowEx(0, "BUTTON", "I &agree", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 44,
                       200, 24, window, ControlIdMenu(kAgreeId));
    const HWND ok = CreateWindowEx(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 250,
                                   120, 80, 28, window, ControlIdMenu(kOkId));
    ASSERT_TRUE(agree && ok);
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(RealInput::WaitUntilShown(ok, 10000));

    ASSERT_TRUE(RealInput::Click(ok));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return program.clicks == 1; }, 10000));
    ASSERT_TRUE(RealInput::Click(agree, 6, 12));
    EXPECT_TRUE(RealInput::WaitUntil(
        [&] { return SendMessage(agree, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED); },
        10000));
    DestroyWindow(window);
}

// The person's keys in one-line and multi-line edits: the model learns each change, the
// caret stays where the keys put it (an echo of the model's text does not move it), and
// what an edit refuses does not stay on the screen.
TEST(DialogScreenTest, RealTypingInEditsReadsBackAsTyped) {
    SKIP_WITHOUT_SCREEN();
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    ProgramWindow program;
    const HWND window = CreateWindowForHandler(&program, 0, "ScreenTestProgram", "Typing",
                                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 360,
                                               240, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const HWND name = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200,
                                     24, window, ControlIdMenu(kNameId));
    const HWND number = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER,
                                       10, 44, 200, 24, window, ControlIdMenu(kNameId + 1));
    const HWND notes = CreateWindowEx(
        0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN, 10, 78,
        200, 80, window, ControlIdMenu(kNameId + 2));
    ASSERT_TRUE(name && number && notes);
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(RealInput::WaitUntilShown(notes, 10000));
    auto reads = [](HWND edit, const std::string& text) {
        return RealInput::WaitUntil([&] { return GetWindowText(edit) == text; }, 10000);
    };
    auto selection = [](HWND edit) {
        DWORD start = 0;
        DWORD end = 0;
        SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                    reinterpret_cast<LPARAM>(&end));
        return std::make_pair(start, end);
    };

    ASSERT_TRUE(RealInput::Click(name));
    ASSERT_TRUE(RealInput::TypeText("abc123"));
    EXPECT_TRUE(reads(name, "abc123")) << GetWindowText(name);
    EXPECT_EQ(GetFocus(), name);
    // Keys that move the caret and select.
    ASSERT_TRUE(RealInput::PressKey(RealInput::kHome));
    ASSERT_TRUE(RealInput::TypeText("X"));
    EXPECT_TRUE(reads(name, "Xabc123")) << GetWindowText(name);
    EXPECT_EQ(selection(name), std::make_pair(DWORD{1}, DWORD{1}));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kShiftEnd));
    EXPECT_TRUE(RealInput::WaitUntil(
        [&] { return selection(name) == std::make_pair(DWORD{1}, DWORD{7}); }, 10000));
    ASSERT_TRUE(RealInput::TypeText("yz"));
    EXPECT_TRUE(reads(name, "Xyz")) << GetWindowText(name);
    ASSERT_TRUE(RealInput::PressKey(RealInput::kBackspace));
    EXPECT_TRUE(reads(name, "Xy")) << GetWindowText(name);
    // The program writes the same text back (as a data exchange does): typing goes on
    // where the caret was.
    SetWindowText(name, "Xy");
    ASSERT_TRUE(RealInput::TypeText("!"));
    EXPECT_TRUE(reads(name, "Xy!")) << GetWindowText(name);
    // The program's own text shows.
    SetWindowText(name, "set by the program");
    EXPECT_STREQ(gtk_editable_get_text(GTK_EDITABLE(ScreenWidgetOf(name))), "set by the program");

    // Digits only: the letter is refused by the model and goes from the screen too.
    ASSERT_TRUE(RealInput::Click(number));
    ASSERT_TRUE(RealInput::TypeText("4a2"));
    EXPECT_TRUE(reads(number, "42")) << GetWindowText(number);
    EXPECT_TRUE(RealInput::WaitUntil(
        [&] {
            return std::string(gtk_editable_get_text(GTK_EDITABLE(ScreenWidgetOf(number)))) == "42";
        },
        10000));

    // Several lines: Enter stays in the edit (ES_WANTRETURN); the model keeps CR LF.
    ASSERT_TRUE(RealInput::Click(notes));
    ASSERT_TRUE(RealInput::TypeText("one\ntwo"));
    EXPECT_TRUE(reads(notes, "one\r\ntwo")) << GetWindowText(notes);
    ASSERT_TRUE(RealInput::PressKey(RealInput::kLeft));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kLeft));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kLeft));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kBackspace));
    EXPECT_TRUE(reads(notes, "onetwo")) << GetWindowText(notes);
    EXPECT_EQ(selection(notes), std::make_pair(DWORD{3}, DWORD{3}));
    EXPECT_EQ(program.clicks, 0);
    DestroyWindow(window);
}

// A modal dialog owned by a child window (as a band's dialogs are) is transient for the
// owner's top-level window and modal for it while it runs; a real click on its OK ends it.
TEST(DialogScreenTest, AModalDialogIsTransientAndModalForItsOwnersWindow) {
    SKIP_WITHOUT_SCREEN();
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    ProgramWindow program;
    const HWND window = CreateWindowForHandler(&program, 0, "ScreenTestProgram", "Owner",
                                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 360,
                                               200, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const HWND pane = CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, window,
                                     ControlIdMenu(20));
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(RealInput::WaitUntilShown(window, 10000));
    std::string error;
    const auto dialogTemplate = ParseDialogTemplate(
        "DIALOG 7 0 0 120 50\nCAPTION \"Asked\"\nSTYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION\n"
        "FONT 8 \"MS Sans Serif\"\nBEGIN\nDEFPUSHBUTTON 1 \"OK\" 35 20 50 14\nEND\n",
        &error);
    ASSERT_TRUE(dialogTemplate) << error;
    CDialog dialog(*dialogTemplate, pane);

    // Looked at from the dialog's own loop: a GTK timeout served there.
    struct Seen {
        CDialog* dialog;
        bool transient = false;
        bool modal = false;
        bool ownerDisabled = false;
        bool clicked = false;
    } seen{&dialog};
    const guint source = g_timeout_add(
        20,
        [](gpointer data) -> gboolean {
            auto* seen = static_cast<Seen*>(data);
            const HWND hwnd = seen->dialog->m_hWnd;
            GtkWidget* top = hwnd ? ScreenWidgetOf(hwnd) : nullptr;
            if (seen->clicked || top == nullptr || !RealInput::WindowRect(GetDlgItem(hwnd, IDOK)))
                return G_SOURCE_CONTINUE;
            GtkWindow* owner = gtk_window_get_transient_for(GTK_WINDOW(top));
            seen->transient =
                owner != nullptr && GTK_WIDGET(owner) == ScreenWidgetOf(GetParent(hwnd));
            seen->ownerDisabled = !IsWindowEnabled(GetParent(hwnd));
            seen->modal = gtk_window_get_modal(GTK_WINDOW(top)) != FALSE;
            seen->clicked = RealInput::Click(GetDlgItem(hwnd, IDOK));
            return G_SOURCE_CONTINUE;
        },
        &seen);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    g_source_remove(source);
    EXPECT_TRUE(seen.clicked);
    EXPECT_TRUE(seen.transient) << "transient for the owner's top-level window";
    EXPECT_TRUE(seen.modal);
    EXPECT_TRUE(seen.ownerDisabled) << "the owner's top-level window is disabled meanwhile";
    EXPECT_TRUE(IsWindowEnabled(window));
    DestroyWindow(window);
}

// Space on the focused button clicks it, as the dialog manager does, whether GTK shows it
// as a button, a check box or (owner-drawn) as the parent's drawing; the focus goes there
// with real Tabs.
class SpaceDialog final : public CDialog {
public:
    explicit SpaceDialog(DialogTemplate dialogTemplate) : CDialog(std::move(dialogTemplate)) {}
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DRAWITEM) {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            RECT rect = draw->rcItem;
            HBRUSH brush = CreateSolidBrush(RGB(40, 90, 160));
            FillRect(draw->hDC, &rect, brush);
            DeleteObject(brush);
            return TRUE;
        }
        return CDialog::WindowProc(hwnd, message, wParam, lParam);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (HIWORD(wParam) == BN_CLICKED)
            clicked.push_back(LOWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    std::vector<int> clicked;
};

TEST(DialogScreenTest, SpaceClicksTheFocusedButtonOfEveryKind) {
    SKIP_WITHOUT_SCREEN();
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    std::string error;
    const auto dialogTemplate = ParseDialogTemplate(
        "DIALOG 8 0 0 160 60\nCAPTION \"Space\"\nSTYLE WS_POPUP | WS_CAPTION | WS_SYSMENU\n"
        "FONT 8 \"MS Sans Serif\"\nBEGIN\n"
        "PUSHBUTTON 20 \"Go\" 5 5 40 14\n"
        "CONTROL 21 \"Button\" \"\" 50 5 40 14 BS_OWNERDRAW | WS_TABSTOP\n"
        "CHECKBOX 22 \"Tick\" 95 5 50 14\nEND\n",
        &error);
    ASSERT_TRUE(dialogTemplate) << error;
    SpaceDialog dialog(*dialogTemplate);
    ASSERT_TRUE(dialog.Create());
    const HWND hwnd = dialog.m_hWnd;
    ShowWindow(hwnd, SW_SHOW);
    ASSERT_TRUE(RealInput::WaitUntilShown(GetDlgItem(hwnd, 22), 10000));
    ASSERT_TRUE(RealInput::FocusWindow(ScreenWidgetOf(hwnd)));
    ASSERT_EQ(GetDlgCtrlID(GetFocus()), 20);
    const RealInput::Key space{' '};

    ASSERT_TRUE(RealInput::PressKey(space));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return dialog.clicked == std::vector<int>{20}; }, 10000))
        << "the push button";
    ASSERT_TRUE(RealInput::PressKey(RealInput::kTab));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return GetDlgCtrlID(GetFocus()) == 21; }, 10000));
    ASSERT_TRUE(RealInput::PressKey(space));
    EXPECT_TRUE(RealInput::WaitUntil(
        [&] {
            return dialog.clicked == std::vector<int>{20, 21};
        },
        10000))
        << "the owner-drawn button";
    ASSERT_TRUE(RealInput::PressKey(RealInput::kTab));
    ASSERT_TRUE(RealInput::WaitUntil([&] { return GetDlgCtrlID(GetFocus()) == 22; }, 10000));
    ASSERT_TRUE(RealInput::PressKey(space));
    EXPECT_TRUE(RealInput::WaitUntil(
        [&] {
            return SendDlgItemMessage(hwnd, 22, BM_GETCHECK, 0, 0) ==
                       static_cast<LRESULT>(BST_CHECKED) &&
                   dialog.clicked == std::vector<int>{20, 21, 22};
        },
        10000))
        << "the check box";
    dialog.DestroyWindow();
}

// The cursor a program sets shows over its window: the pointer's real moves ask the window
// under it (WM_SETCURSOR), and the GTK window shows what it set.
class HandCursorWindow final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETCURSOR) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
};

// The name of the cursor GTK shows over the widget (the nearest one set on it or around it).
std::string CursorShownOver(HWND hwnd) {
    for (GtkWidget* at = ScreenWidgetOf(hwnd); at != nullptr; at = gtk_widget_get_parent(at)) {
        if (GdkCursor* cursor = gtk_widget_get_cursor(at))
            return gdk_cursor_get_name(cursor) ? gdk_cursor_get_name(cursor) : "";
    }
    return "";
}

TEST(DialogScreenTest, TheCursorTheProgramSetsShowsUnderTheRealPointer) {
    SKIP_WITHOUT_SCREEN();
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    ProgramWindow program;
    HandCursorWindow hand;
    const HWND window = CreateWindowForHandler(&program, 0, "ScreenTestProgram", "Cursors",
                                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 360,
                                               200, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const HWND hot = CreateWindowForHandler(&hand, 0, "ScreenTestHand", "", WS_CHILD | WS_VISIBLE,
                                            10, 10, 120, 60, window, ControlIdMenu(30));
    const HWND plain = CreateWindowEx(0, "STATIC", "plain", WS_CHILD | WS_VISIBLE, 200, 10, 120, 60,
                                      window, ControlIdMenu(31));
    ASSERT_TRUE(hot && plain);
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(RealInput::WaitUntilShown(hot, 10000));

    ASSERT_TRUE(RealInput::MovePointerOver(hot));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return CursorShownOver(hot) == "pointer"; }, 10000))
        << CursorShownOver(hot);
    ASSERT_TRUE(RealInput::MovePointerOver(plain));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return CursorShownOver(plain) == "default"; }, 10000))
        << CursorShownOver(plain);
    // The program's wait cursor, while it works.
    const HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    EXPECT_EQ(CursorShownOver(plain), "wait");
    EXPECT_EQ(CursorShownOver(hot), "wait");
    SetCursor(before);
    EXPECT_EQ(CursorShownOver(plain), "default");
    RealInput::MovePointerAway();
    DestroyWindow(window);
}

// A list box's row clicked and Tab pressed at once: the row is selected in the model and
// the Tab moves the focus on (the click's row stays while only the selection changed);
// rows the program adds or deletes afterwards show.
TEST(DialogScreenTest, AClickedListRowTakesTheNextKeyAndTheListShowsTheProgramsRows) {
    SKIP_WITHOUT_SCREEN();
    std::string reason;
    if (!RealInput::Available(&reason))
        GTEST_SKIP() << reason;
    std::string error;
    auto dialogTemplate = ParseDialogTemplate(
        "DIALOG 8 0 0 160 100\nCAPTION \"Rows\"\nSTYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION\n"
        "FONT 8 \"MS Sans Serif\"\nBEGIN\nLISTBOX 20 \"\" 7 7 146 60\n"
        "DEFPUSHBUTTON 1 \"OK\" 50 76 50 14\nPUSHBUTTON 2 \"Cancel\" 103 76 50 14\nEND\n",
        &error);
    ASSERT_TRUE(dialogTemplate) << error;
    CDialog dialog(std::move(*dialogTemplate));
    ASSERT_TRUE(dialog.Create());
    const HWND list = GetDlgItem(dialog.m_hWnd, 20);
    for (const char* text : {"first", "second", "third"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    ShowWindow(dialog.m_hWnd, SW_SHOW);
    ASSERT_TRUE(RealInput::WaitUntilShown(dialog.m_hWnd, 10000));
    GtkWidget* shown = ScreenWidgetOf(list);
    ASSERT_TRUE(shown && GTK_IS_SCROLLED_WINDOW(shown));
    GtkWidget* rows = gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(shown));
    if (rows && GTK_IS_VIEWPORT(rows))
        rows = gtk_viewport_get_child(GTK_VIEWPORT(rows));
    ASSERT_TRUE(rows && GTK_IS_LIST_BOX(rows));
    const auto rowText = [&](int index) -> std::string {
        GtkListBoxRow* row = gtk_list_box_get_row_at_index(GTK_LIST_BOX(rows), index);
        GtkWidget* label = row ? gtk_list_box_row_get_child(row) : nullptr;
        return label && GTK_IS_LABEL(label) ? gtk_label_get_text(GTK_LABEL(label)) : "<none>";
    };

    GtkListBoxRow* second = gtk_list_box_get_row_at_index(GTK_LIST_BOX(rows), 1);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(RealInput::ClickWidget(GTK_WIDGET(second)));
    ASSERT_TRUE(
        RealInput::WaitUntil([&] { return SendMessage(list, LB_GETCURSEL, 0, 0) == 1; }, 10000));
    ASSERT_TRUE(RealInput::PressKey(RealInput::kTab));
    EXPECT_TRUE(
        RealInput::WaitUntil([&] { return GetFocus() == GetDlgItem(dialog.m_hWnd, IDOK); }, 10000))
        << "focus on " << GetDlgCtrlID(GetFocus());

    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("fourth"));
    EXPECT_TRUE(RealInput::WaitUntil([&] { return rowText(3) == "fourth"; }, 10000));
    SendMessage(list, LB_DELETESTRING, 0, 0);
    EXPECT_TRUE(RealInput::WaitUntil(
        [&] { return rowText(0) == "second" && rowText(3) == "<none>"; }, 10000))
        << rowText(0) << " " << rowText(3);
    dialog.DestroyWindow();
}

}  // namespace
