#include "tests/screen/ScreenLayoutChecks.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/x11/gdkx.h>
#include <gtk/gtk.h>

#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"

namespace {

constexpr int kShownTimeoutMs = 10000;

bool InListRow(GtkWidget* widget) {
    for (GtkWidget* at = widget; at != nullptr; at = gtk_widget_get_parent(at))
        if (GTK_IS_LIST_BOX_ROW(at))
            return true;
    return false;
}

void CheckLabels(GtkWidget* widget, const std::string& name, std::vector<std::string>* cut) {
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child)) {
        if (!gtk_widget_get_mapped(child) || InListRow(child))
            continue;
        if (GTK_IS_LABEL(child)) {
            const int width = gtk_widget_get_width(child);
            const int height = gtk_widget_get_height(child);
            const char* text = gtk_label_get_text(GTK_LABEL(child));
            int least = 0;
            int natural = 0;
            if (gtk_label_get_wrap(GTK_LABEL(child))) {
                gtk_widget_measure(child, GTK_ORIENTATION_VERTICAL, width, &least, &natural,
                                   nullptr, nullptr);
                if (natural > height)
                    cut->push_back(name + ": \"" + text + "\" needs " + std::to_string(natural) +
                                   " pixels of height, has " + std::to_string(height));
            } else {
                gtk_widget_measure(child, GTK_ORIENTATION_HORIZONTAL, -1, &least, &natural, nullptr,
                                   nullptr);
                if (natural > width)
                    cut->push_back(name + ": \"" + text + "\" needs " + std::to_string(natural) +
                                   " pixels of width, has " + std::to_string(width));
            }
        }
        CheckLabels(child, name, cut);
    }
}

void CheckControls(HWND parent, std::vector<std::string>* cut) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        const std::string name = "control " + std::to_string(GetDlgCtrlID(child)) + " (" +
                                 GetClassName(child) + " \"" + GetWindowText(child) + "\")";
        if (GtkWidget* widget = ScreenWidgetOf(child); widget && gtk_widget_get_mapped(widget)) {
            RECT rect{};
            GetWindowRect(child, &rect);
            const int width = gtk_widget_get_width(widget);
            const int height = gtk_widget_get_height(widget);
            if (width > rect.right - rect.left || height > rect.bottom - rect.top)
                cut->push_back(name + ": shown " + std::to_string(width) + "x" +
                               std::to_string(height) + " in a rectangle of " +
                               std::to_string(rect.right - rect.left) + "x" +
                               std::to_string(rect.bottom - rect.top));
            CheckLabels(widget, name, cut);
        }
        CheckControls(child, cut);
    }
}

// Serves what GTK has queued (the presentation's idle calls, then a frame that lays out
// and paints what they changed), twice.
bool Settle(HWND window) {
    GtkWidget* widget = ScreenWidgetOf(window);
    GtkNative* native = widget ? gtk_widget_get_native(widget) : nullptr;
    GtkWidget* top = native ? GTK_WIDGET(native) : nullptr;
    GdkSurface* surface = native ? gtk_native_get_surface(native) : nullptr;
    GdkFrameClock* clock = surface ? gdk_surface_get_frame_clock(surface) : nullptr;
    if (clock == nullptr)
        return false;
    for (int round = 0; round < 2; ++round) {
        bool idle = false;
        g_idle_add_full(
            G_PRIORITY_LOW,
            [](gpointer done) -> gboolean {
                *static_cast<bool*>(done) = true;
                return G_SOURCE_REMOVE;
            },
            &idle, nullptr);
        if (!PumpScreenUntil([&] { return idle; }, kShownTimeoutMs))
            return false;
        bool painted = false;
        const gulong handler = g_signal_connect(
            clock, "after-paint",
            G_CALLBACK(+[](GdkFrameClock*, gpointer done) { *static_cast<bool*>(done) = true; }),
            &painted);
        gtk_widget_queue_draw(top);
        const bool done = PumpScreenUntil([&] { return painted; }, kShownTimeoutMs);
        g_signal_handler_disconnect(clock, handler);
        if (!done)
            return false;
    }
    return true;
}

}  // namespace

bool ShowAndWait(HWND window) {
    ShowWindow(window, SW_SHOW);
    GtkWidget* top = ScreenWidgetOf(window);
    return top != nullptr &&
           PumpScreenUntil([&] { return gtk_widget_get_mapped(top) != 0; }, kShownTimeoutMs) &&
           Settle(window);
}

std::vector<std::string> CutTexts(HWND window) {
    std::vector<std::string> cut;
    if (!Settle(window))
        cut.push_back("the window is not shown");
    CheckControls(window, &cut);
    return cut;
}

std::vector<std::string> WindowManagerIconSizes(HWND window, unsigned long* middle) {
    std::vector<std::string> sizes;
    GtkWidget* widget = ScreenWidgetOf(window);
    GdkSurface* surface =
        widget && GTK_IS_WINDOW(widget) ? gtk_native_get_surface(GTK_NATIVE(widget)) : nullptr;
    GdkDisplay* display = gdk_display_get_default();
    if (surface == nullptr || !GDK_IS_X11_DISPLAY(display))
        return sizes;
    Display* x = gdk_x11_display_get_xdisplay(display);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, gdk_x11_surface_get_xid(surface),
                           XInternAtom(x, "_NET_WM_ICON", False), 0, 1 << 20, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) != Success ||
        data == nullptr)
        return sizes;
    const auto* words = reinterpret_cast<const unsigned long*>(data);  // 32-bit items as longs
    for (unsigned long at = 0; at + 2 <= count;) {
        const unsigned long width = words[at];
        const unsigned long height = words[at + 1];
        if (width == 0 || height == 0 || at + 2 + width * height > count)
            break;
        if (sizes.empty() && middle != nullptr)
            *middle = words[at + 2 + (height / 2) * width + width / 2] & 0xFFFFFFFFul;
        sizes.push_back(std::to_string(width) + "x" + std::to_string(height));
        at += 2 + width * height;
    }
    XFree(data);
    return sizes;
}

GtkWidget* ListViewHeader(GtkWidget* listView) {
    GtkWidget* scrolled = listView ? gtk_widget_get_first_child(listView) : nullptr;
    if (scrolled == nullptr || !GTK_IS_SCROLLED_WINDOW(scrolled))
        return nullptr;
    GtkWidget* header = gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(scrolled));
    return header && GTK_IS_VIEWPORT(header) ? gtk_viewport_get_child(GTK_VIEWPORT(header))
                                             : header;
}

bool SaveWidgetScreenshot(GtkWidget* widget, const std::string& pngPath) {
    const int width = gtk_widget_get_width(widget);
    const int height = gtk_widget_get_height(widget);
    GtkNative* native = gtk_widget_get_native(widget);
    if (width <= 0 || height <= 0 || native == nullptr)
        return false;
    GdkPaintable* paintable = gtk_widget_paintable_new(widget);
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable, snapshot, width, height);
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    bool saved = false;
    if (node != nullptr) {
        const graphene_rect_t viewport =
            GRAPHENE_RECT_INIT(0, 0, static_cast<float>(width), static_cast<float>(height));
        if (GdkTexture* texture =
                gsk_renderer_render_texture(gtk_native_get_renderer(native), node, &viewport)) {
            saved = gdk_texture_save_to_png(texture, pngPath.c_str());
            g_object_unref(texture);
        }
        gsk_render_node_unref(node);
    }
    g_object_unref(paintable);
    return saved;
}
