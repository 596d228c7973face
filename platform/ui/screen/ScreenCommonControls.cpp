// The common controls on screen: the list view (report mode: a header row of column
// buttons over a list of rows with their sub-items and check boxes), the tab control (a
// GtkNotebook of empty pages; the dialog's own windows lie over its display area), the
// tree view (the shown items indented, bold and expanded as the model holds them) and
// the toolbar (buttons at the model's rectangles with their image-list icons and texts).
//
// The model is the truth. A change of content is shown from an idle call, once for a
// burst of changes, so a widget is never rebuilt inside one of its own signal handlers;
// a change of row states (selection, check boxes) only updates the rows shown. What the
// person does goes back as the calls of ControlInput.h.
#include <gtk/gtk.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

// Set while a widget is brought in step with the model.
bool updating = false;

struct Updating {
    Updating() { updating = true; }
    ~Updating() { updating = false; }
};

HWND HwndOf(gpointer data) {
    return static_cast<HWND>(data);
}

// --- Deferred refreshes: a rebuild, or only the row states, for each control ---

using Rebuild = void (*)(HWND hwnd, GtkWidget* widget);

struct Pending {
    bool rebuild = false;
    Rebuild build = nullptr;
    Rebuild states = nullptr;
};

std::unordered_map<HWND, Pending>& PendingRefreshes() {
    static std::unordered_map<HWND, Pending> pending;
    return pending;
}

gboolean RunPendingRefreshes(gpointer) {
    std::unordered_map<HWND, Pending> due;
    due.swap(PendingRefreshes());
    for (const auto& [hwnd, pending] : due) {
        GtkWidget* widget = screen::WidgetOf(hwnd);
        if (widget == nullptr || !IsWindow(hwnd))
            continue;
        Updating guard;
        if (pending.rebuild)
            pending.build(hwnd, widget);
        else if (pending.states)
            pending.states(hwnd, widget);
    }
    return G_SOURCE_REMOVE;
}

void Schedule(HWND hwnd, Rebuild build, Rebuild states, bool rebuild) {
    auto& all = PendingRefreshes();
    if (all.empty())
        screen::RunSoon(RunPendingRefreshes, nullptr);
    Pending& pending = all[hwnd];
    pending.build = build;
    pending.states = states;
    pending.rebuild = pending.rebuild || rebuild || states == nullptr;
}

// An image of an image list as a texture with its transparency: drawn once over white
// and once over black, the difference gives each pixel's alpha.
GdkTexture* ImageTexture(HIMAGELIST list, int index) {
    int width = 0;
    int height = 0;
    if (list == nullptr || index < 0 || index >= ImageList_GetImageCount(list) ||
        !ImageList_GetIconSize(list, &width, &height))
        return nullptr;
    DrawingSurface white(width, height);
    DrawingSurface black(width, height);
    if (white.Dc() == nullptr || black.Dc() == nullptr)
        return nullptr;
    RECT all{0, 0, width, height};
    FillRect(black.Dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ImageList_Draw(list, index, white.Dc(), 0, 0, ILD_TRANSPARENT);
    ImageList_Draw(list, index, black.Dc(), 0, 0, ILD_TRANSPARENT);
    const std::vector<std::uint32_t> overWhite = white.PixelRows();
    const std::vector<std::uint32_t> overBlack = black.PixelRows();
    if (overWhite.size() != overBlack.size() || overWhite.empty())
        return nullptr;
    std::vector<std::uint32_t> pixels(overBlack.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const int light = static_cast<int>(overWhite[i] & 0xFF);
        const int dark = static_cast<int>(overBlack[i] & 0xFF);
        const std::uint32_t alpha =
            static_cast<std::uint32_t>(std::clamp(255 - (light - dark), 0, 255));
        // Over black the colour is already multiplied by its alpha.
        pixels[i] = (alpha << 24) | (overBlack[i] & 0x00FFFFFF);
    }
    GBytes* bytes = g_bytes_new(pixels.data(), pixels.size() * sizeof(std::uint32_t));
    GdkTexture* texture = gdk_memory_texture_new(width, height, GDK_MEMORY_B8G8R8A8_PREMULTIPLIED,
                                                 bytes, static_cast<gsize>(width) * 4);
    g_bytes_unref(bytes);
    return texture;
}

void RemoveChildren(GtkWidget* parent) {
    while (GtkWidget* child = gtk_widget_get_first_child(parent)) {
        if (GTK_IS_BOX(parent))
            gtk_box_remove(GTK_BOX(parent), child);
        else if (GTK_IS_FIXED(parent))
            gtk_fixed_remove(GTK_FIXED(parent), child);
        else if (GTK_IS_LIST_BOX(parent))
            gtk_list_box_remove(GTK_LIST_BOX(parent), child);
        else
            gtk_widget_unparent(child);
    }
}

// A list box inside a scrolled window (GTK puts a viewport between them).
GtkListBox* ListInside(GtkWidget* scrolled) {
    GtkWidget* child = gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(scrolled));
    if (child && GTK_IS_VIEWPORT(child))
        child = gtk_viewport_get_child(GTK_VIEWPORT(child));
    return GTK_LIST_BOX(child);
}

GtkWidget* ScrolledList(GtkWidget** list) {
    *list = gtk_list_box_new();
    GtkWidget* scrolled = gtk_scrolled_window_new();
    gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(scrolled), *list);
    gtk_widget_set_vexpand(scrolled, TRUE);
    return scrolled;
}

// --- List view: a box of the header row (column buttons) and the scrolled rows ---

struct ListViewParts {
    GtkWidget* header = nullptr;
    GtkListBox* rows = nullptr;
};

// The header row scrolls sideways with the rows, in a scrolled window of its own without
// scroll bars, so that columns wider than the control do not widen it.
ListViewParts PartsOfListView(GtkWidget* widget) {
    ListViewParts parts;
    GtkWidget* headerScroll = gtk_widget_get_first_child(widget);
    GtkWidget* header = gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(headerScroll));
    if (header && GTK_IS_VIEWPORT(header))
        header = gtk_viewport_get_child(GTK_VIEWPORT(header));
    parts.header = header;
    parts.rows = ListInside(gtk_widget_get_next_sibling(headerScroll));
    return parts;
}

std::vector<LVCOLUMN> Columns(HWND hwnd, std::vector<std::string>* texts) {
    std::vector<LVCOLUMN> columns;
    for (int at = 0; at < 256; ++at) {
        char text[260] = {};
        LVCOLUMN column;
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = sizeof(text);
        if (!SendMessage(hwnd, LVM_GETCOLUMN, static_cast<WPARAM>(at),
                         reinterpret_cast<LPARAM>(&column)))
            break;
        columns.push_back(column);
        texts->push_back(text);
    }
    return columns;
}

bool HasCheckBoxes(HWND hwnd) {
    return (ListView_GetExtendedListViewStyle(hwnd) & LVS_EX_CHECKBOXES) != 0;
}

void OnColumnClicked(GtkButton* button, gpointer data) {
    if (!updating)
        ControlInput::ClickListColumn(
            HwndOf(data), GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "column")));
}

void OnRowTicked(GtkCheckButton* box, gpointer data) {
    if (updating)
        return;
    const int row = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(box), "row"));
    ControlInput::TickListViewRow(HwndOf(data), row, gtk_check_button_get_active(box));
}

void ShowListViewStates(HWND hwnd, GtkWidget* widget) {
    GtkListBox* rows = PartsOfListView(widget).rows;
    const bool checks = HasCheckBoxes(hwnd);
    const int count = ListView_GetItemCount(hwnd);
    for (int row = 0; row < count; ++row) {
        GtkListBoxRow* shown = gtk_list_box_get_row_at_index(rows, row);
        if (shown == nullptr)
            break;
        if (ListView_GetItemState(hwnd, row, LVIS_SELECTED))
            gtk_list_box_select_row(rows, shown);
        else
            gtk_list_box_unselect_row(rows, shown);
        GtkWidget* line = gtk_list_box_row_get_child(shown);
        GtkWidget* first = line ? gtk_widget_get_first_child(line) : nullptr;
        if (checks && first && GTK_IS_CHECK_BUTTON(first))
            gtk_check_button_set_active(GTK_CHECK_BUTTON(first),
                                        ListView_GetCheckState(hwnd, row) == TRUE);
    }
}

GtkWidget* FixedWidthLabel(const std::string& text, int width, int format) {
    GtkWidget* label = gtk_label_new(text.c_str());
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    gtk_label_set_xalign(GTK_LABEL(label), format == LVCFMT_RIGHT    ? 1.0f
                                           : format == LVCFMT_CENTER ? 0.5f
                                                                     : 0.0f);
    gtk_widget_set_size_request(label, std::max(width - 8, 0), -1);
    gtk_widget_set_margin_start(label, 4);
    gtk_widget_set_margin_end(label, 4);
    return label;
}

void BuildListView(HWND hwnd, GtkWidget* widget) {
    const ListViewParts parts = PartsOfListView(widget);
    std::vector<std::string> texts;
    const std::vector<LVCOLUMN> columns = Columns(hwnd, &texts);
    const bool checks = HasCheckBoxes(hwnd);
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));

    RemoveChildren(parts.header);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        // A header title sits in its column as the column's format says.
        GtkWidget* button = gtk_button_new_with_label(texts[c].c_str());
        gtk_widget_add_css_class(button, "morvelle-header");
        if (GtkWidget* title = gtk_button_get_child(GTK_BUTTON(button));
            title && GTK_IS_LABEL(title)) {
            const int format = columns[c].fmt & LVCFMT_JUSTIFYMASK;
            gtk_label_set_ellipsize(GTK_LABEL(title), PANGO_ELLIPSIZE_END);
            gtk_label_set_xalign(GTK_LABEL(title), format == LVCFMT_RIGHT    ? 1.0f
                                                   : format == LVCFMT_CENTER ? 0.5f
                                                                             : 0.0f);
        }
        gtk_widget_set_size_request(button, columns[c].cx, -1);
        gtk_widget_set_sensitive(button, (style & LVS_NOSORTHEADER) == 0);
        g_object_set_data(G_OBJECT(button), "column", GINT_TO_POINTER(static_cast<int>(c)));
        g_signal_connect(button, "clicked", G_CALLBACK(OnColumnClicked), hwnd);
        gtk_box_append(GTK_BOX(parts.header), button);
    }
    gtk_widget_set_visible(gtk_widget_get_ancestor(parts.header, GTK_TYPE_SCROLLED_WINDOW),
                           !columns.empty());

    gtk_list_box_set_selection_mode(
        parts.rows, (style & LVS_SINGLESEL) ? GTK_SELECTION_SINGLE : GTK_SELECTION_MULTIPLE);
    RemoveChildren(GTK_WIDGET(parts.rows));
    const int count = ListView_GetItemCount(hwnd);
    for (int row = 0; row < count; ++row) {
        GtkWidget* line = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
        if (checks) {
            GtkWidget* box = gtk_check_button_new();
            g_object_set_data(G_OBJECT(box), "row", GINT_TO_POINTER(row));
            g_signal_connect(box, "toggled", G_CALLBACK(OnRowTicked), hwnd);
            gtk_box_append(GTK_BOX(line), box);
        }
        for (std::size_t c = 0; c < std::max<std::size_t>(columns.size(), 1); ++c) {
            const int width = columns.empty() ? 200 : columns[c].cx;
            const int format =
                columns.empty() || c == 0 ? LVCFMT_LEFT : columns[c].fmt & LVCFMT_JUSTIFYMASK;
            // The check box takes its room from the first column.
            const int room = c == 0 && checks ? std::max(width - 24, 0) : width;
            gtk_box_append(
                GTK_BOX(line),
                FixedWidthLabel(ListViewText(hwnd, row, static_cast<int>(c)), room, format));
        }
        gtk_list_box_append(parts.rows, line);
    }
    ShowListViewStates(hwnd, widget);
}

void OnListViewRowSelected(GtkListBox*, GtkListBoxRow* row, gpointer data) {
    if (updating || row == nullptr)
        return;
    const HWND hwnd = HwndOf(data);
    ControlInput::SelectListViewRow(hwnd, gtk_list_box_row_get_index(row));
    // The model may have refused it; the rows show its answer.
    Schedule(hwnd, BuildListView, ShowListViewStates, false);
}

void OnListViewRowActivated(GtkListBox*, GtkListBoxRow* row, gpointer data) {
    if (!updating && row != nullptr)
        ControlInput::DoubleClickListViewRow(HwndOf(data), gtk_list_box_row_get_index(row));
}

GtkWidget* MakeListView(HWND hwnd) {
    GtkWidget* widget = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_add_css_class(widget, "frame");
    GtkWidget* header = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    GtkWidget* headerScroll = gtk_scrolled_window_new();
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(headerScroll), GTK_POLICY_EXTERNAL,
                                   GTK_POLICY_NEVER);
    gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(headerScroll), header);
    gtk_box_append(GTK_BOX(widget), headerScroll);
    GtkWidget* list = nullptr;
    GtkWidget* rows = ScrolledList(&list);
    gtk_scrolled_window_set_hadjustment(
        GTK_SCROLLED_WINDOW(headerScroll),
        gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(rows)));
    gtk_box_append(GTK_BOX(widget), rows);
    gtk_list_box_set_activate_on_single_click(GTK_LIST_BOX(list), FALSE);
    g_signal_connect(list, "row-selected", G_CALLBACK(OnListViewRowSelected), hwnd);
    g_signal_connect(list, "row-activated", G_CALLBACK(OnListViewRowActivated), hwnd);
    Updating guard;
    BuildListView(hwnd, widget);
    return widget;
}

void RefreshListView(HWND hwnd, GtkWidget*, UINT message) {
    const bool statesOnly = message == LVM_SETITEMSTATE || message == UIM_LISTVIEW_CLICKROW ||
                            message == UIM_LISTVIEW_TICKROW;
    Schedule(hwnd, BuildListView, ShowListViewStates, !statesOnly);
}

// --- Tab control: a notebook of empty pages ---

void BuildTabs(HWND hwnd, GtkWidget* widget) {
    GtkNotebook* notebook = GTK_NOTEBOOK(widget);
    while (gtk_notebook_get_n_pages(notebook) > 0)
        gtk_notebook_remove_page(notebook, -1);
    const int count = TabCtrl_GetItemCount(hwnd);
    for (int tab = 0; tab < count; ++tab) {
        char text[260] = {};
        TCITEM item;
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessage(hwnd, TCM_GETITEM, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
        gtk_notebook_append_page(notebook, gtk_box_new(GTK_ORIENTATION_VERTICAL, 0),
                                 gtk_label_new(text));
    }
    gtk_notebook_set_tab_pos(
        notebook, (GetWindowLong(hwnd, GWL_STYLE) & TCS_BOTTOM) ? GTK_POS_BOTTOM : GTK_POS_TOP);
    const int selected = TabCtrl_GetCurSel(hwnd);
    if (selected >= 0)
        gtk_notebook_set_current_page(notebook, selected);
}

void ShowSelectedTab(HWND hwnd, GtkWidget* widget) {
    const int selected = TabCtrl_GetCurSel(hwnd);
    if (selected >= 0 && selected < gtk_notebook_get_n_pages(GTK_NOTEBOOK(widget)))
        gtk_notebook_set_current_page(GTK_NOTEBOOK(widget), selected);
}

void OnSwitchPage(GtkNotebook*, GtkWidget*, guint page, gpointer data) {
    if (updating)
        return;
    const HWND hwnd = HwndOf(data);
    ControlInput::SelectTab(hwnd, static_cast<int>(page));
    // A parent that keeps the old tab is shown keeping it.
    Schedule(hwnd, BuildTabs, ShowSelectedTab, false);
}

GtkWidget* MakeTabControl(HWND hwnd) {
    GtkWidget* notebook = gtk_notebook_new();
    gtk_notebook_set_scrollable(GTK_NOTEBOOK(notebook), TRUE);
    Updating guard;
    BuildTabs(hwnd, notebook);
    g_signal_connect(notebook, "switch-page", G_CALLBACK(OnSwitchPage), hwnd);
    return notebook;
}

void RefreshTabControl(HWND hwnd, GtkWidget*, UINT message) {
    Schedule(hwnd, BuildTabs, ShowSelectedTab,
             !(message == TCM_SETCURSEL || message == UIM_TAB_CLICK));
}

// --- Tree view: the items a person sees (those under expanded items), indented ---

void AddTreeItems(HWND hwnd, GtkListBox* list, HTREEITEM first, int depth, int* budget,
                  int* shown) {
    for (HTREEITEM item = first; item != nullptr && --*budget > 0;
         item = TreeView_GetNextSibling(hwnd, item)) {
        TVITEM info;
        info.mask = TVIF_STATE | TVIF_CHILDREN | TVIF_HANDLE;
        info.hItem = item;
        info.stateMask = TVIS_BOLD | TVIS_EXPANDED | TVIS_SELECTED;
        TreeView_GetItem(hwnd, &info);
        const bool expanded = (info.state & TVIS_EXPANDED) != 0;
        GtkWidget* line = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
        gtk_widget_set_margin_start(line, depth * 16);
        GtkWidget* mark =
            gtk_label_new(info.cChildren > 0 ? (expanded ? "\u25BE" : "\u25B8") : " ");
        gtk_widget_set_size_request(mark, 12, -1);
        gtk_box_append(GTK_BOX(line), mark);
        GtkWidget* label = gtk_label_new(TreeViewText(hwnd, item).c_str());
        gtk_label_set_xalign(GTK_LABEL(label), 0);
        if (info.state & TVIS_BOLD)
            gtk_widget_add_css_class(label, "heading");
        gtk_box_append(GTK_BOX(line), label);
        gtk_list_box_append(list, line);
        if (info.state & TVIS_SELECTED)
            gtk_list_box_select_row(list, gtk_list_box_get_row_at_index(list, *shown));
        ++*shown;
        if (expanded && info.cChildren > 0)
            AddTreeItems(hwnd, list, TreeView_GetChild(hwnd, item), depth + 1, budget, shown);
    }
}

void BuildTreeView(HWND hwnd, GtkWidget* widget) {
    GtkListBox* list = ListInside(widget);
    RemoveChildren(GTK_WIDGET(list));
    int budget = 100000;  // a tree of any size shows at most this many lines
    int shown = 0;
    AddTreeItems(hwnd, list, TreeView_GetRoot(hwnd), 0, &budget, &shown);
}

GtkWidget* MakeTreeView(HWND hwnd) {
    GtkWidget* list = nullptr;
    GtkWidget* widget = ScrolledList(&list);
    gtk_widget_add_css_class(widget, "frame");
    gtk_list_box_set_selection_mode(GTK_LIST_BOX(list), GTK_SELECTION_SINGLE);
    Updating guard;
    BuildTreeView(hwnd, widget);
    return widget;
}

void RefreshTreeView(HWND hwnd, GtkWidget*, UINT) {
    Schedule(hwnd, BuildTreeView, nullptr, true);
}

// --- Toolbar: buttons at the model's rectangles ---

void BuildToolbar(HWND hwnd, GtkWidget* widget);

void OnToolbarClicked(GtkButton* button, gpointer data) {
    if (updating)
        return;
    const HWND hwnd = HwndOf(data);
    ControlInput::ClickToolbarButton(
        hwnd, GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "command")));
    Schedule(hwnd, BuildToolbar, nullptr, true);  // a check button shows the model's state
}

gboolean OnToolbarTip(GtkWidget* button, int, int, gboolean, GtkTooltip* tooltip, gpointer data) {
    const std::string tip = ControlInput::HoverToolbarButton(
        HwndOf(data), GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "command")));
    if (tip.empty())
        return FALSE;
    gtk_tooltip_set_text(tooltip, tip.c_str());
    return TRUE;
}

void BuildToolbar(HWND hwnd, GtkWidget* widget) {
    RemoveChildren(widget);
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessage(hwnd, TB_GETIMAGELIST, 0, 0));
    const int count = static_cast<int>(SendMessage(hwnd, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TBBUTTON button;
        RECT rect{};
        if (!SendMessage(hwnd, TB_GETBUTTON, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&button)) ||
            (button.fsState & TBSTATE_HIDDEN) ||
            !SendMessage(hwnd, TB_GETITEMRECT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&rect)))
            continue;
        GtkWidget* shown = nullptr;
        if (button.fsStyle & BTNS_SEP) {
            shown = gtk_separator_new(GTK_ORIENTATION_VERTICAL);
        } else {
            shown = (button.fsStyle & BTNS_CHECK) ? gtk_toggle_button_new() : gtk_button_new();
            if (button.fsStyle & BTNS_CHECK)
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(shown),
                                             (button.fsState & TBSTATE_CHECKED) != 0);
            // Drawn as buttons, flat toolbars too, with room for the picture and text
            // in the model's button height.
            gtk_widget_add_css_class(shown, "morvelle-tool");
            // Side by side: GTK's buttons have no room for a text under the image at the
            // model's button height.
            GtkWidget* content = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 2);
            if (GdkTexture* texture = ImageTexture(images, button.iBitmap)) {
                gtk_box_append(GTK_BOX(content),
                               gtk_image_new_from_paintable(GDK_PAINTABLE(texture)));
                g_object_unref(texture);
            }
            const std::string text = ToolbarButtonText(hwnd, button.idCommand);
            const bool showText =
                !text.empty() && (!(style & TBSTYLE_LIST) || (button.fsStyle & BTNS_SHOWTEXT));
            if (showText)
                gtk_box_append(GTK_BOX(content), gtk_label_new(text.c_str()));
            gtk_button_set_child(GTK_BUTTON(shown), content);
            gtk_widget_set_sensitive(shown, (button.fsState & TBSTATE_ENABLED) != 0);
            g_object_set_data(G_OBJECT(shown), "command", GINT_TO_POINTER(button.idCommand));
            g_signal_connect(shown, "clicked", G_CALLBACK(OnToolbarClicked), hwnd);
            if (style & TBSTYLE_TOOLTIPS) {
                gtk_widget_set_has_tooltip(shown, TRUE);
                g_signal_connect(shown, "query-tooltip", G_CALLBACK(OnToolbarTip), hwnd);
            }
        }
        gtk_widget_set_size_request(shown, rect.right - rect.left, rect.bottom - rect.top);
        gtk_fixed_put(GTK_FIXED(widget), shown, rect.left, rect.top);
    }
}

GtkWidget* MakeToolbar(HWND hwnd) {
    GtkWidget* widget = gtk_fixed_new();
    gtk_widget_set_overflow(widget, GTK_OVERFLOW_HIDDEN);
    Updating guard;
    BuildToolbar(hwnd, widget);
    return widget;
}

void RefreshToolbar(HWND hwnd, GtkWidget*, UINT) {
    Schedule(hwnd, BuildToolbar, nullptr, true);
}

}  // namespace

namespace screen {

const std::vector<ControlKind>& CommonControlKinds() {
    static const std::vector<ControlKind> kinds = {
        {"SysListView32", MakeListView, RefreshListView},
        {"SysTabControl32", MakeTabControl, RefreshTabControl},
        {"SysTreeView32", MakeTreeView, RefreshTreeView},
        {"ToolbarWindow32", MakeToolbar, RefreshToolbar},
    };
    return kinds;
}

}  // namespace screen
