// Menus on screen. A popup menu (TrackPopupMenu) is a GtkPopover over its owner's
// window showing the menu's own drawing (owner-drawn items included); the pointer over
// an item highlights it, a click chooses it, closing the popover dismisses the menu.
// A top-level window whose system menu holds items of the program (an About item) gets a
// header bar with a menu button listing them. The model has no menu bars.
//
// The menu's modal loop waits in GetMessage; after a choice from GTK a WM_NULL posted to
// the owner lets it see that the menu ended.
#include <gtk/gtk.h>

#include <unordered_set>
#include <vector>

#include "platform/ui/ControlInput.h"
#include "platform/ui/Menus.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

HWND TopLevelOf(HWND hwnd) {
    while (hwnd != nullptr && (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD))
        hwnd = GetParent(hwnd);
    return hwnd;
}

// The position of the shown menu's item at y on its surface, -1 for none.
int ItemAt(double y) {
    for (int position = 0;; ++position) {
        RECT rect{};
        if (!GetShownMenuItemRect(position, &rect))
            return -1;
        if (y >= rect.top && y < rect.bottom)
            return position;
    }
}

// The command of the shown menu's item at y; 0 for none, a separator or a sub-menu.
UINT CommandAt(double y) {
    ShownMenu shown;
    const int position = ItemAt(y);
    if (position < 0 || !GetShownMenu(&shown))
        return 0;
    const UINT id = GetMenuItemID(shown.menu, position);
    return id == 0xFFFFFFFFu ? 0 : id;
}

void WakeMenuLoop() {
    ShownMenu shown;
    if (GetShownMenu(&shown) && IsWindow(shown.owner))
        PostMessage(shown.owner, WM_NULL, 0, 0);
}

GdkTexture* MenuTexture() {
    ShownMenu shown;
    if (!GetShownMenu(&shown) || shown.surface == nullptr)
        return nullptr;
    std::vector<std::uint32_t> rows = shown.surface->PixelRows();
    if (rows.empty())
        return nullptr;
    for (std::uint32_t& pixel : rows)
        pixel |= 0xFF000000u;
    GBytes* bytes = g_bytes_new(rows.data(), rows.size() * sizeof(std::uint32_t));
    GdkTexture* texture = gdk_memory_texture_new(shown.surface->Width(), shown.surface->Height(),
                                                 GDK_MEMORY_B8G8R8A8_PREMULTIPLIED, bytes,
                                                 static_cast<gsize>(shown.surface->Width()) * 4);
    g_bytes_unref(bytes);
    return texture;
}

class ScreenMenuPresenter final : public MenuPresenter {
public:
    void MenuShown() override {
        ShownMenu shown;
        if (!screen::OnScreenThread() || !GetShownMenu(&shown))
            return;
        const HWND top = TopLevelOf(shown.owner);
        GtkWidget* window = screen::WidgetOf(top);
        GtkWidget* content =
            window && GTK_IS_WINDOW(window) ? gtk_window_get_child(GTK_WINDOW(window)) : nullptr;
        if (content == nullptr)
            return;
        Close();
        picture_ = gtk_picture_new();
        gtk_picture_set_can_shrink(GTK_PICTURE(picture_), FALSE);
        Redraw();
        GtkEventController* motion = gtk_event_controller_motion_new();
        g_signal_connect(motion, "motion", G_CALLBACK(OnMotion), nullptr);
        gtk_widget_add_controller(picture_, motion);
        GtkGesture* click = gtk_gesture_click_new();
        g_signal_connect(click, "released", G_CALLBACK(OnReleased), nullptr);
        gtk_widget_add_controller(picture_, GTK_EVENT_CONTROLLER(click));

        popover_ = gtk_popover_new();
        gtk_popover_set_has_arrow(GTK_POPOVER(popover_), FALSE);
        gtk_popover_set_child(GTK_POPOVER(popover_), picture_);
        gtk_widget_set_parent(popover_, content);
        POINT at = shown.at;
        ScreenToClient(top, &at);
        const GdkRectangle where{static_cast<int>(at.x), static_cast<int>(at.y), 1, 1};
        gtk_popover_set_pointing_to(GTK_POPOVER(popover_), &where);
        gtk_popover_set_position(GTK_POPOVER(popover_), GTK_POS_BOTTOM);
        // The menu's left edge at the point, as the model places it; to the point's left
        // when it would pass the window's right edge.
        const int menuWidth = shown.surface ? shown.surface->Width() : 0;
        RECT client{};
        GetClientRect(top, &client);
        const bool roomRight = at.x + menuWidth <= client.right;
        gtk_widget_set_halign(popover_, roomRight ? GTK_ALIGN_START : GTK_ALIGN_END);
        g_signal_connect(popover_, "closed", G_CALLBACK(OnClosed), nullptr);
        gtk_popover_popup(GTK_POPOVER(popover_));
    }

    void MenuRedrawn() override {
        if (screen::OnScreenThread())
            Redraw();
    }

    void MenuClosed() override {
        if (screen::OnScreenThread())
            Close();
    }

    GtkWidget* Popover() const { return popover_; }

private:
    void Redraw() {
        if (picture_ == nullptr)
            return;
        GdkTexture* texture = MenuTexture();
        gtk_picture_set_paintable(GTK_PICTURE(picture_), GDK_PAINTABLE(texture));
        if (texture)
            g_object_unref(texture);
    }

    void Close() {
        GtkWidget* popover = popover_;
        popover_ = nullptr;
        picture_ = nullptr;
        if (popover != nullptr) {
            gtk_popover_popdown(GTK_POPOVER(popover));
            gtk_widget_unparent(popover);
        }
    }

    static void OnMotion(GtkEventControllerMotion*, double, double y, gpointer) {
        if (const UINT id = CommandAt(y))
            ControlInput::HighlightMenuItem(id);
    }

    static void OnReleased(GtkGestureClick*, int, double, double y, gpointer) {
        if (const UINT id = CommandAt(y); id != 0 && ControlInput::ChooseMenuItem(id))
            WakeMenuLoop();
    }

    // Closed by GTK (Esc, a click elsewhere) while the model's menu is open.
    static void OnClosed(GtkPopover*, gpointer) {
        if (ControlInput::DismissMenu())
            WakeMenuLoop();
    }

    GtkWidget* popover_ = nullptr;
    GtkWidget* picture_ = nullptr;
};

ScreenMenuPresenter& ThePresenter() {
    static ScreenMenuPresenter presenter;
    return presenter;
}

// --- The system menu's items of the program, in a header bar's menu button ---

bool IsStandardSystemCommand(UINT id) {
    return id == SC_RESTORE || id == SC_MOVE || id == SC_SIZE || id == SC_MINIMIZE ||
           id == SC_MAXIMIZE || id == SC_CLOSE || id == 0;
}

struct SystemChoice {
    HWND window;
    UINT id;
};

void ChooseLater(gpointer data) {
    const auto* choice = static_cast<SystemChoice*>(data);
    if (IsWindow(choice->window))
        ControlInput::ChooseSystemMenuItem(choice->window, choice->id);
    delete choice;
}

void OnSystemItem(GtkButton* button, gpointer data) {
    if (GtkWidget* popover = gtk_widget_get_ancestor(GTK_WIDGET(button), GTK_TYPE_POPOVER))
        gtk_popover_popdown(GTK_POPOVER(popover));
    // From an idle call: the command may run a modal dialog.
    g_idle_add_once(
        ChooseLater,
        new SystemChoice{
            static_cast<HWND>(data),
            static_cast<UINT>(GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(button), "command")))});
}

}  // namespace

namespace screen {

void StartMenus() {
    SetMenuPresenter(&ThePresenter());
}

GtkWidget* ShownMenuPopover() {
    return ThePresenter().Popover();
}

void AddSystemMenuButton(HWND hwnd, GtkWidget* window) {
    if (!(GetWindowLong(hwnd, GWL_STYLE) & WS_SYSMENU) || gtk_widget_get_realized(window) ||
        gtk_window_get_titlebar(GTK_WINDOW(window)) != nullptr)
        return;
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    GtkWidget* items = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const UINT id = GetMenuItemID(menu, position);
        const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        if (IsStandardSystemCommand(id) || id == 0xFFFFFFFFu || (state & MF_SEPARATOR))
            continue;
        std::string text;
        for (const char c : GetMenuText(menu, static_cast<UINT>(position), MF_BYPOSITION)) {
            if (c != '&')
                text += c;
        }
        GtkWidget* item = gtk_button_new_with_label(text.c_str());
        gtk_button_set_has_frame(GTK_BUTTON(item), FALSE);
        gtk_widget_set_sensitive(item, (state & (MF_GRAYED | MF_DISABLED)) == 0);
        g_object_set_data(G_OBJECT(item), "command", GUINT_TO_POINTER(id));
        g_signal_connect(item, "clicked", G_CALLBACK(OnSystemItem), hwnd);
        gtk_box_append(GTK_BOX(items), item);
    }
    if (gtk_widget_get_first_child(items) == nullptr) {
        g_object_ref_sink(items);
        g_object_unref(items);
        return;
    }
    GtkWidget* popover = gtk_popover_new();
    gtk_popover_set_child(GTK_POPOVER(popover), items);
    GtkWidget* button = gtk_menu_button_new();
    gtk_menu_button_set_icon_name(GTK_MENU_BUTTON(button), "open-menu-symbolic");
    gtk_menu_button_set_popover(GTK_MENU_BUTTON(button), popover);
    GtkWidget* header = gtk_header_bar_new();
    gtk_header_bar_pack_end(GTK_HEADER_BAR(header), button);
    gtk_window_set_titlebar(GTK_WINDOW(window), header);
}

}  // namespace screen
