// Where a popup menu opens on the screen: its left edge at the point asked for, or, near
// the window's right edge, its right edge there, so that the whole menu stays inside
// the window.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>

#include "platform/ui/Menus.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/Window.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/ScreenTestSupport.h"

namespace {

constexpr int kTimeoutMs = 10000;
constexpr UINT kOpenMenu = WM_USER + 7;

class MenuOwner final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kOpenMenu) {
            onMenu();
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    std::function<void()> onMenu;
};

GtkWidget* MenuPopover(HWND window) {
    GtkWidget* content = gtk_window_get_child(GTK_WINDOW(ScreenWidgetOf(window)));
    for (GtkWidget* child = gtk_widget_get_first_child(content); child;
         child = gtk_widget_get_next_sibling(child))
        if (GTK_IS_POPOVER(child))
            return child;
    return nullptr;
}

TEST(MenuPlacementScreenTest, APopupMenuOpensInsideItsWindow) {
    SKIP_WITHOUT_SCREEN();
    MenuOwner owner;
    const HWND window =
        CreateWindowForHandler(&owner, 0, "MenuPlacementProgram", "Menu placement",
                               WS_OVERLAPPED | WS_CAPTION, 0, 0, 320, 200, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    GtkWidget* content = gtk_window_get_child(GTK_WINDOW(ScreenWidgetOf(window)));
    ASSERT_TRUE(PumpScreenUntil([&] { return gtk_widget_get_mapped(content) != 0; }, kTimeoutMs));
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 400, "&Copy the whole page");
    AppendMenu(popup, MF_STRING, 401, "&Paste");
    struct Case {
        int x;  // in the window's client area
        GtkAlign align;
    };
    for (const Case& c : {Case{40, GTK_ALIGN_START}, Case{300, GTK_ALIGN_END}}) {
        SCOPED_TRACE(c.x);
        double left = -1;
        double right = -1;
        GtkAlign align = GTK_ALIGN_FILL;
        owner.onMenu = [&] {
            GtkWidget* popover = nullptr;
            if (!PumpScreenUntil(
                    [&] {
                        popover = MenuPopover(window);
                        return popover && gtk_widget_get_mapped(popover) &&
                               gtk_widget_get_width(popover) > 0;
                    },
                    kTimeoutMs))
                return;
            align = gtk_widget_get_halign(popover);
            GtkWidget* picture = gtk_popover_get_child(GTK_POPOVER(popover));
            graphene_rect_t bounds;
            if (gtk_widget_compute_bounds(picture, content, &bounds)) {
                left = bounds.origin.x;
                right = bounds.origin.x + bounds.size.width;
            }
            gtk_popover_popdown(GTK_POPOVER(popover));
        };
        POINT at{c.x, 40};
        ClientToScreen(window, &at);
        PostMessage(window, kOpenMenu, 0, 0);  // served inside the menu's loop
        TrackPopupMenu(popup, TPM_RETURNCMD, at.x, at.y, 0, window, nullptr);
        EXPECT_EQ(align, c.align);
        EXPECT_GE(left, 0);
        EXPECT_LE(right, gtk_widget_get_width(content));
    }
    DestroyMenu(popup);
    DestroyWindow(window);
}

}  // namespace
