// A dialog of common controls on screen: the list view's columns, rows and check boxes,
// the tabs, the tree and the toolbar show the model's content, and what the person does
// in GTK (a row, a column header, a check box, a tab, a toolbar button, the pointer over
// an owner-drawn button) reaches the model's handlers as the person's calls.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Menus.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/WindowSurface.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/Window.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/ScreenLayoutChecks.h"
#include "tests/screen/ScreenTestSupport.h"

namespace {

constexpr int kTimeoutMs = 10000;
constexpr int kListId = 100;
constexpr int kTabsId = 101;
constexpr int kTreeId = 102;
constexpr int kToolbarId = 103;
constexpr int kDrawnId = 104;
constexpr int kRefreshCommand = 300;
constexpr COLORREF kFace = RGB(40, 90, 160);
constexpr COLORREF kHover = RGB(230, 120, 30);

constexpr const char* kTemplate = R"(DIALOG 500 0 0 300 200
CAPTION "Common controls"
STYLE WS_POPUP | WS_CAPTION | WS_SYSMENU
FONT 8 "MS Sans Serif"
BEGIN
  CONTROL 103 "ToolbarWindow32" "" 0 0 300 16 0
  CONTROL 101 "SysTabControl32" "" 7 20 286 100 0
  CONTROL 100 "SysListView32" "" 12 40 276 74 0x0001 | WS_BORDER
  CONTROL 102 "SysTreeView32" "" 7 125 140 68 WS_BORDER
  CONTROL 104 "Button" "" 160 125 60 20 BS_OWNERDRAW
  DEFPUSHBUTTON 1 "OK" 236 176 57 17
END
)";

HIMAGELIST ToolbarImages() {
    static HIMAGELIST images = [] {
        HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 1, 0);
        std::vector<DWORD> green(16 * 16, 0xFF00A040u);
        HICON icon = CreateIconFromPixels(16, 16, green.data());
        ImageList_AddIcon(list, icon);
        DestroyIcon(icon);
        return list;
    }();
    return images;
}

// What the dialog heard from its controls.
struct Heard {
    std::vector<int> clickedRows;
    std::vector<int> doubleClickedRows;
    std::vector<int> clickedColumns;
    std::vector<std::pair<int, bool>> ticks;
    int tabChanges = 0;
    int toolbarCommands = 0;
};

class ControlsDialog final : public CDialog {
public:
    explicit ControlsDialog(DialogTemplate dialogTemplate) : CDialog(std::move(dialogTemplate)) {}

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == kListId &&
                (header->code == NM_CLICK || header->code == NM_DBLCLK)) {
                const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
                (header->code == NM_CLICK ? heard.clickedRows : heard.doubleClickedRows)
                    .push_back(item->iItem);
            } else if (header->idFrom == kListId && header->code == LVN_COLUMNCLICK) {
                heard.clickedColumns.push_back(
                    reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
            } else if (header->idFrom == kListId && header->code == LVN_ITEMCHANGED) {
                const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
                if ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK)
                    heard.ticks.emplace_back(
                        change->iItem,
                        (change->uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
            } else if (header->idFrom == kTabsId && header->code == TCN_SELCHANGE) {
                ++heard.tabChanges;
            }
            return 0;
        }
        if (message == WM_DRAWITEM) {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            RECT rect = draw->rcItem;
            HBRUSH brush = CreateSolidBrush(hot ? kHover : kFace);
            FillRect(draw->hDC, &rect, brush);
            DeleteObject(brush);
            return TRUE;
        }
        return CDialog::WindowProc(hwnd, message, wParam, lParam);
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == kRefreshCommand) {
            ++heard.toolbarCommands;
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }

    Heard heard;
    bool hot = false;  // what the owner-drawn button shows
};

GtkWidget* Child(GtkWidget* widget, int index) {
    GtkWidget* child = widget ? gtk_widget_get_first_child(widget) : nullptr;
    while (child != nullptr && index-- > 0)
        child = gtk_widget_get_next_sibling(child);
    return child;
}

// The list box inside a scrolled window.
GtkListBox* ListBoxIn(GtkWidget* scrolled) {
    GtkWidget* child = gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(scrolled));
    if (GTK_IS_VIEWPORT(child))
        child = gtk_viewport_get_child(GTK_VIEWPORT(child));
    return GTK_LIST_BOX(child);
}

std::string LabelText(GtkWidget* widget) {
    return widget && GTK_IS_LABEL(widget) ? gtk_label_get_text(GTK_LABEL(widget)) : "";
}

int CountChildren(GtkWidget* widget) {
    int count = 0;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child))
        ++count;
    return count;
}

// The colour at the middle of a PNG file, as COLORREF.
COLORREF MiddlePixel(const std::string& png) {
    GdkTexture* texture = gdk_texture_new_from_filename(png.c_str(), nullptr);
    if (texture == nullptr)
        return CLR_INVALID;
    const int width = gdk_texture_get_width(texture);
    const int height = gdk_texture_get_height(texture);
    std::vector<guchar> pixels(static_cast<std::size_t>(width) * height * 4);
    gdk_texture_download(texture, pixels.data(), static_cast<gsize>(width) * 4);
    g_object_unref(texture);
    const std::size_t at = (static_cast<std::size_t>(height / 2) * width + width / 2) * 4;
    // Cairo's order in memory: blue, green, red, alpha.
    return RGB(pixels[at + 2], pixels[at + 1], pixels[at]);
}

void FillControls(HWND dialog) {
    const HWND list = GetDlgItem(dialog, kListId);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const char* headers[] = {"Name", "Size", "Type"};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMN column;
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<char*>(headers[c]);
        column.cx = c == 0 ? 200 : 100;
        column.fmt = c == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        ListView_InsertColumn(list, c, &column);
    }
    const char* rows[][3] = {{"sunrise.jpg", "120 KB", "JPEG image"},
                             {"harbour.png", "88 KB", "PNG image"},
                             {"notes.txt", "2 KB", "Text"}};
    for (int r = 0; r < 3; ++r) {
        LVITEM item;
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<char*>(rows[r][0]);
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, r, 1, rows[r][1]);
        ListView_SetItemText(list, r, 2, rows[r][2]);
    }
    ListView_SetCheckState(list, 1, true);

    const HWND tabs = GetDlgItem(dialog, kTabsId);
    const char* tabNames[] = {"Images", "Pages", "Options"};
    for (int t = 0; t < 3; ++t) {
        TCITEM tab;
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<char*>(tabNames[t]);
        TabCtrl_InsertItem(tabs, t, &tab);
    }
    TabCtrl_SetCurSel(tabs, 0);

    const HWND tree = GetDlgItem(dialog, kTreeId);
    TVINSERTSTRUCT insert;
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE;
    insert.item.pszText = const_cast<char*>("html");
    insert.item.state = TVIS_BOLD;
    insert.item.stateMask = TVIS_BOLD;
    const HTREEITEM root = TreeView_InsertItem(tree, &insert);
    insert.hParent = root;
    insert.item.state = 0;
    for (const char* name : {"head", "body"}) {
        insert.item.pszText = const_cast<char*>(name);
        TreeView_InsertItem(tree, &insert);
    }
    TreeView_Expand(tree, root, TVE_EXPAND);

    const HWND toolbar = GetDlgItem(dialog, kToolbarId);
    SendMessage(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const LRESULT text =
        SendMessage(toolbar, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Refresh\0"));
    SendMessage(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ToolbarImages()));
    TBBUTTON button;
    button.iBitmap = 0;
    button.idCommand = kRefreshCommand;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = text;
    SendMessage(toolbar, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&button));
}

TEST(CommonControlsScreenTest, TheControlsShowTheModelAndGtkInputReachesIt) {
    SKIP_WITHOUT_SCREEN();
    std::string error;
    std::optional<DialogTemplate> parsed = ParseDialogTemplate(kTemplate, &error);
    ASSERT_TRUE(parsed) << error;
    ControlsDialog dialog(*parsed);
    ASSERT_TRUE(dialog.Create());
    const HWND window = dialog.m_hWnd;
    FillControls(window);
    ShowWindow(window, SW_SHOW);
    const HWND list = GetDlgItem(window, kListId);
    const HWND tabs = GetDlgItem(window, kTabsId);
    const HWND tree = GetDlgItem(window, kTreeId);
    const HWND toolbar = GetDlgItem(window, kToolbarId);
    const HWND drawn = GetDlgItem(window, kDrawnId);
    ASSERT_TRUE(list && tabs && tree && toolbar && drawn);

    // The list view: a header of three column buttons over three rows of three texts,
    // each row with its check box (the second one ticked).
    GtkWidget* listWidget = ScreenWidgetOf(list);
    ASSERT_NE(listWidget, nullptr);
    GtkWidget* header = ListViewHeader(listWidget);
    GtkListBox* rows = ListBoxIn(Child(listWidget, 1));
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            return gtk_widget_get_mapped(listWidget) && CountChildren(header) == 3 &&
                   gtk_list_box_get_row_at_index(rows, 2) != nullptr;
        },
        kTimeoutMs));
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(Child(header, 1))), "Size");
    GtkWidget* second = gtk_list_box_row_get_child(gtk_list_box_get_row_at_index(rows, 1));
    ASSERT_TRUE(GTK_IS_CHECK_BUTTON(Child(second, 0)));
    EXPECT_TRUE(gtk_check_button_get_active(GTK_CHECK_BUTTON(Child(second, 0))));
    EXPECT_EQ(LabelText(Child(second, 1)), "harbour.png");
    EXPECT_EQ(LabelText(Child(second, 2)), "88 KB");
    EXPECT_EQ(LabelText(Child(second, 3)), "PNG image");

    // GTK to the model: a row chosen, a row activated, a column header, a check box.
    gtk_list_box_select_row(rows, gtk_list_box_get_row_at_index(rows, 2));
    EXPECT_TRUE(PumpScreenUntil([&] { return !dialog.heard.clickedRows.empty(); }, kTimeoutMs));
    EXPECT_EQ(dialog.heard.clickedRows, std::vector<int>{2});
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
    gtk_widget_activate(GTK_WIDGET(gtk_list_box_get_row_at_index(rows, 0)));
    EXPECT_TRUE(
        PumpScreenUntil([&] { return !dialog.heard.doubleClickedRows.empty(); }, kTimeoutMs));
    EXPECT_EQ(dialog.heard.doubleClickedRows, std::vector<int>{0});
    gtk_widget_activate(Child(header, 2));
    EXPECT_TRUE(PumpScreenUntil([&] { return !dialog.heard.clickedColumns.empty(); }, kTimeoutMs));
    EXPECT_EQ(dialog.heard.clickedColumns, std::vector<int>{2});
    GtkWidget* first = gtk_list_box_row_get_child(gtk_list_box_get_row_at_index(rows, 0));
    gtk_check_button_set_active(GTK_CHECK_BUTTON(Child(first, 0)), TRUE);
    EXPECT_EQ(ListView_GetCheckState(list, 0), TRUE);
    ASSERT_FALSE(dialog.heard.ticks.empty());
    EXPECT_EQ(dialog.heard.ticks.back(), std::make_pair(0, true));

    // The model to GTK: a row's text and the selection.
    ListView_SetItemText(list, 2, 0, "readme.txt");
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(PumpScreenUntil(
        [&] {
            GtkWidget* third = gtk_list_box_row_get_child(gtk_list_box_get_row_at_index(rows, 2));
            return LabelText(Child(third, 1)) == "readme.txt" &&
                   gtk_list_box_row_is_selected(gtk_list_box_get_row_at_index(rows, 1));
        },
        kTimeoutMs));

    // The tabs: three pages, a switch in GTK is the person's click on the tab.
    GtkWidget* notebook = ScreenWidgetOf(tabs);
    ASSERT_TRUE(notebook && GTK_IS_NOTEBOOK(notebook));
    EXPECT_EQ(gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)), 3);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), 2);
    EXPECT_TRUE(PumpScreenUntil([&] { return dialog.heard.tabChanges == 1; }, kTimeoutMs));
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), 2);
    TabCtrl_SetCurSel(tabs, 1);
    EXPECT_TRUE(PumpScreenUntil(
        [&] { return gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)) == 1; }, kTimeoutMs));

    // The tree: the bold root and its two children, shown expanded.
    GtkListBox* items = ListBoxIn(ScreenWidgetOf(tree));
    ASSERT_NE(gtk_list_box_get_row_at_index(items, 2), nullptr);
    GtkWidget* rootLabel =
        Child(gtk_list_box_row_get_child(gtk_list_box_get_row_at_index(items, 0)), 1);
    EXPECT_EQ(LabelText(rootLabel), "html");
    EXPECT_TRUE(gtk_widget_has_css_class(rootLabel, "heading"));
    EXPECT_EQ(
        LabelText(Child(gtk_list_box_row_get_child(gtk_list_box_get_row_at_index(items, 2)), 1)),
        "body");

    // The toolbar: its button with icon and text; a GTK click is the person's click.
    GtkWidget* refresh = Child(ScreenWidgetOf(toolbar), 0);
    ASSERT_TRUE(refresh && GTK_IS_BUTTON(refresh));
    GtkWidget* content = gtk_button_get_child(GTK_BUTTON(refresh));
    EXPECT_TRUE(GTK_IS_IMAGE(Child(content, 0)));
    EXPECT_EQ(LabelText(Child(content, 1)), "Refresh");
    gtk_widget_activate(refresh);
    EXPECT_TRUE(PumpScreenUntil([&] { return dialog.heard.toolbarCommands == 1; }, kTimeoutMs));

    // The owner-drawn button shows its parent's drawing, and its new drawing once the
    // state it shows changed.
    const std::string face = ScreenshotPath("owner-drawn-face");
    ASSERT_TRUE(PumpScreenUntil([&] { return WindowHasSurface(drawn); }, kTimeoutMs));
    ASSERT_TRUE(SaveWindowScreenshot(drawn, face));
    EXPECT_EQ(MiddlePixel(face), kFace);
    dialog.hot = true;
    InvalidateRect(drawn, nullptr, TRUE);
    const std::string hot = ScreenshotPath("owner-drawn-hot");
    EXPECT_TRUE(PumpScreenUntil(
        [&] { return SaveWindowScreenshot(drawn, hot) && MiddlePixel(hot) == kHover; },
        kTimeoutMs));

    const std::string shot = ScreenshotPath("common-controls-dialog");
    ASSERT_TRUE(SaveWindowScreenshot(window, shot));
    EXPECT_GT(std::filesystem::file_size(shot), 1000u);
    dialog.DestroyWindow();
}

}  // namespace

namespace {

constexpr UINT kAboutCommand = 0x0010;
constexpr UINT kOpenMenu = WM_USER + 1;
constexpr UINT kCopyCommand = 400;

// A program window with an About item in its system menu, which shows a popup menu.
class MenuWindow final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CREATE) {
            HMENU system = GetSystemMenu(hwnd, FALSE);
            AppendMenu(system, MF_SEPARATOR, 0, nullptr);
            AppendMenu(system, MF_STRING, kAboutCommand, "&About...");
        } else if (message == WM_SYSCOMMAND && wParam == kAboutCommand) {
            ++abouts;
            return 0;
        } else if (message == kOpenMenu) {
            onMenu(hwnd);
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    int abouts = 0;
    std::function<void(HWND)> onMenu;
};

// The popover a popup menu is shown in, among the window content's children.
GtkWidget* MenuPopover(HWND window) {
    GtkWidget* content = gtk_window_get_child(GTK_WINDOW(ScreenWidgetOf(window)));
    for (GtkWidget* child = gtk_widget_get_first_child(content); child;
         child = gtk_widget_get_next_sibling(child)) {
        if (GTK_IS_POPOVER(child))
            return child;
    }
    return nullptr;
}

TEST(MenuScreenTest, TheSystemMenusItemsAndPopupMenusShowAndAnswer) {
    SKIP_WITHOUT_SCREEN();
    MenuWindow program;
    const HWND window = CreateWindowForHandler(&program, 0, "MenuTestProgram", "Menus",
                                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 320,
                                               200, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);

    // The About item, in the header bar's menu button.
    GtkWidget* header = gtk_window_get_titlebar(GTK_WINDOW(ScreenWidgetOf(window)));
    ASSERT_TRUE(header && GTK_IS_HEADER_BAR(header));
    GtkWidget* menuButton = nullptr;
    // The menu button sits deep in the header bar's boxes; find it breadth-first.
    std::vector<GtkWidget*> pending{header};
    for (std::size_t i = 0; i < pending.size() && !menuButton; ++i) {
        for (GtkWidget* child = gtk_widget_get_first_child(pending[i]); child;
             child = gtk_widget_get_next_sibling(child)) {
            if (GTK_IS_MENU_BUTTON(child))
                menuButton = child;
            pending.push_back(child);
        }
    }
    ASSERT_NE(menuButton, nullptr);
    GtkPopover* systemPopover = gtk_menu_button_get_popover(GTK_MENU_BUTTON(menuButton));
    GtkWidget* items = gtk_popover_get_child(systemPopover);
    GtkWidget* about = gtk_widget_get_first_child(items);
    ASSERT_TRUE(about && GTK_IS_BUTTON(about));
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(about)), "About...");
    EXPECT_EQ(gtk_widget_get_next_sibling(about), nullptr);  // only the program's items
    g_signal_emit_by_name(about, "clicked");
    EXPECT_TRUE(PumpScreenUntil([&] { return program.abouts == 1; }, kTimeoutMs));

    // A popup menu: shown as a popover of the menu's drawing, redrawn on a highlight,
    // dismissed when GTK closes the popover.
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, kCopyCommand, "&Copy");
    AppendMenu(popup, MF_STRING, kCopyCommand + 1, "&Paste");
    bool shown = false;
    bool redrawn = false;
    program.onMenu = [&](HWND) {
        shown = PumpScreenUntil(
            [&] {
                GtkWidget* popover = MenuPopover(window);
                return popover && gtk_widget_get_mapped(popover);
            },
            kTimeoutMs);
        if (!shown)
            return;
        GtkWidget* picture = gtk_popover_get_child(GTK_POPOVER(MenuPopover(window)));
        GdkPaintable* before = gtk_picture_get_paintable(GTK_PICTURE(picture));
        ControlInput::HighlightMenuItem(kCopyCommand + 1);
        redrawn = gtk_picture_get_paintable(GTK_PICTURE(picture)) != before;
        ShownMenu menu;
        GetShownMenu(&menu);
        menu.surface->SavePng(ScreenshotPath("popup-menu"));
        gtk_popover_popdown(GTK_POPOVER(MenuPopover(window)));
    };
    PostMessage(window, kOpenMenu, 0, 0);  // served inside the menu's loop
    const BOOL chosen = TrackPopupMenu(popup, TPM_RETURNCMD, 40, 40, 0, window, nullptr);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(redrawn);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(MenuPopover(window), nullptr);
    DestroyMenu(popup);
    DestroyWindow(window);
}

}  // namespace
