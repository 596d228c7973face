// The window tree on screen: each top-level window a GtkWindow, each child a widget in
// its parent's GtkFixed at the model's rectangle. A window of a class the table below
// knows is shown as that control's widget; any other window as a canvas (its drawing,
// WM_PRINTCLIENT onto a pixel surface) under a GtkFixed for its children. Browser
// controls get their web view from ScreenBrowserView.cpp.
//
// The model is the truth: every change comes in through WindowPresentation after it
// happened; what the person does goes back as the calls the tests make (ScreenInput).
#include <gtk/gtk.h>

#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/gdi/DrawingSurface.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/Presentation.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

constexpr UINT kPrintClient = 0x0318;  // WM_PRINTCLIENT: wParam the context to draw on
constexpr LPARAM kPrintClientArea = 0x0004;

using screen::ControlKind;

const ControlKind* KindOf(HWND hwnd) {
    return screen::ControlKindOf(hwnd);
}

struct Entry {
    GtkWidget* widget = nullptr;     // shows the window (a GtkWindow for a top-level one)
    GtkWidget* container = nullptr;  // holds the children's widgets
    GtkWidget* canvas = nullptr;     // the window's drawing
    const ControlKind* kind = nullptr;
    bool topLevel = false;
    bool placed = false;  // the widget is in its parent's container
};

std::unordered_map<HWND, Entry>& Entries() {
    static std::unordered_map<HWND, Entry> entries;
    return entries;
}

Entry* Find(HWND hwnd) {
    auto found = Entries().find(hwnd);
    return found == Entries().end() ? nullptr : &found->second;
}

HWND HwndOf(gpointer data) {
    return static_cast<HWND>(data);
}

// The window's drawing, if it draws: its answer to WM_PRINTCLIENT on a surface.
void DrawWindow(GtkDrawingArea*, cairo_t* cr, int width, int height, gpointer data) {
    const HWND hwnd = HwndOf(data);
    if (!IsWindow(hwnd) || width <= 0 || height <= 0)
        return;
    DrawingSurface surface(width, height);
    if (surface.Dc() == nullptr)
        return;
    if (SendMessage(hwnd, kPrintClient, reinterpret_cast<WPARAM>(surface.Dc()), kPrintClientArea) ==
        0) {
        return;  // it does not draw: GTK's background stays
    }
    std::vector<std::uint32_t> rows = surface.PixelRows();
    if (rows.empty())
        return;
    cairo_surface_t* image = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(rows.data()), CAIRO_FORMAT_RGB24, surface.Width(),
        surface.Height(), surface.Width() * 4);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(image);
}

// The person closed a top-level window: the model closes it (or not).
gboolean OnCloseRequest(GtkWindow*, gpointer data) {
    const HWND hwnd = HwndOf(data);
    if (IsWindow(hwnd))
        UserInput::CloseWindow(hwnd);
    return TRUE;  // the GtkWindow goes when the model's window does
}

// The person resized a top-level window: the model's window takes the new client size.
void OnCanvasResize(GtkDrawingArea*, int width, int height, gpointer data) {
    const HWND hwnd = HwndOf(data);
    Entry* entry = Find(hwnd);
    if (entry == nullptr || !entry->topLevel || !IsWindow(hwnd))
        return;
    RECT client{};
    GetClientRect(hwnd, &client);
    if (client.right - client.left == width && client.bottom - client.top == height)
        return;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE)));
    UserInput::ResizeWindow(hwnd, frame.right - frame.left, frame.bottom - frame.top);
}

// A canvas under a GtkFixed: a window of no known kind.
void MakeGenericWidget(HWND hwnd, Entry& entry) {
    GtkWidget* overlay = gtk_overlay_new();
    entry.canvas = gtk_drawing_area_new();
    gtk_widget_set_hexpand(entry.canvas, TRUE);
    gtk_widget_set_vexpand(entry.canvas, TRUE);
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(entry.canvas), DrawWindow, hwnd, nullptr);
    g_signal_connect(entry.canvas, "resize", G_CALLBACK(OnCanvasResize), hwnd);
    gtk_overlay_set_child(GTK_OVERLAY(overlay), entry.canvas);
    entry.container = gtk_fixed_new();
    gtk_overlay_add_overlay(GTK_OVERLAY(overlay), entry.container);
    entry.widget = overlay;
}

// Where the child's widget goes in its parent's container, and its size.
void Place(HWND hwnd, Entry& entry) {
    if (entry.topLevel) {
        RECT client{};
        GetClientRect(hwnd, &client);
        gtk_window_set_default_size(GTK_WINDOW(entry.widget),
                                    std::max<LONG>(client.right - client.left, 1),
                                    std::max<LONG>(client.bottom - client.top, 1));
        return;
    }
    const HWND parent = GetParent(hwnd);
    Entry* parentEntry = Find(parent);
    if (entry.widget == nullptr || parentEntry == nullptr || parentEntry->container == nullptr)
        return;
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    POINT origin{rect.left, rect.top};
    ScreenToClient(parent, &origin);
    const int width = std::max<LONG>(rect.right - rect.left, 0);
    const int height = std::max<LONG>(rect.bottom - rect.top, 0);
    if (!entry.placed) {
        gtk_fixed_put(GTK_FIXED(parentEntry->container), entry.widget, origin.x, origin.y);
        entry.placed = true;
    } else {
        gtk_fixed_move(GTK_FIXED(parentEntry->container), entry.widget, origin.x, origin.y);
    }
    gtk_widget_set_size_request(entry.widget, width, height);
    gtk_widget_set_visible(entry.widget, (GetWindowLong(hwnd, GWL_STYLE) & WS_VISIBLE) != 0);
}

class ScreenPresentation final : public WindowPresentation {
public:
    void WindowCreated(HWND hwnd) override {
        if (!screen::OnScreenThread())
            return;
        Entry entry;
        const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
        entry.topLevel = (style & WS_CHILD) == 0;
        entry.kind = KindOf(hwnd);
        if (entry.topLevel) {
            GtkWidget* window = gtk_window_new();
            g_object_ref_sink(window);
            gtk_window_set_title(GTK_WINDOW(window), GetWindowText(hwnd).c_str());
            g_signal_connect(window, "close-request", G_CALLBACK(OnCloseRequest), hwnd);
            Entry content;
            MakeGenericWidget(hwnd, content);
            gtk_window_set_child(GTK_WINDOW(window), content.widget);
            entry.widget = window;
            entry.container = content.container;
            entry.canvas = content.canvas;
            if (Entry* owner = Find(GetWindow(hwnd, GW_OWNER)); owner && owner->topLevel)
                gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(owner->widget));
        } else if (entry.kind != nullptr) {
            if (entry.kind->make == nullptr) {
                Entries()[hwnd] = entry;  // its widget comes later (AdoptChildWidget)
                return;
            }
            entry.widget = entry.kind->make(hwnd);
            g_object_ref_sink(entry.widget);
        } else {
            MakeGenericWidget(hwnd, entry);
            g_object_ref_sink(entry.widget);
        }
        Entry& stored = Entries()[hwnd] = entry;
        Place(hwnd, stored);
        if (!IsWindowEnabled(hwnd))
            gtk_widget_set_sensitive(stored.widget, FALSE);
    }

    void WindowDestroyed(HWND hwnd) override {
        if (!screen::OnScreenThread())
            return;
        auto found = Entries().find(hwnd);
        if (found == Entries().end())
            return;
        Entry entry = found->second;
        Entries().erase(found);
        if (entry.widget == nullptr)
            return;
        if (entry.topLevel) {
            gtk_window_destroy(GTK_WINDOW(entry.widget));
        } else if (GtkWidget* parent = gtk_widget_get_parent(entry.widget);
                   parent != nullptr && GTK_IS_FIXED(parent)) {
            gtk_fixed_remove(GTK_FIXED(parent), entry.widget);
        }
        g_object_unref(entry.widget);
    }

    void WindowMoved(HWND hwnd) override {
        if (Entry* entry = Mine(hwnd))
            Place(hwnd, *entry);
    }

    void WindowShown(HWND hwnd, bool visible) override {
        Entry* entry = Mine(hwnd);
        if (entry == nullptr || entry->widget == nullptr)
            return;
        if (entry->topLevel && visible) {
            gtk_window_present(GTK_WINDOW(entry->widget));
        } else {
            gtk_widget_set_visible(entry->widget, visible);
        }
    }

    void WindowEnabled(HWND hwnd, bool enabled) override {
        if (Entry* entry = Mine(hwnd); entry && entry->widget)
            gtk_widget_set_sensitive(entry->widget, enabled);
    }

    void WindowTextChanged(HWND hwnd) override {
        Entry* entry = Mine(hwnd);
        if (entry == nullptr || entry->widget == nullptr)
            return;
        if (entry->topLevel)
            gtk_window_set_title(GTK_WINDOW(entry->widget), GetWindowText(hwnd).c_str());
        else if (entry->kind && entry->kind->refresh)
            entry->kind->refresh(hwnd, entry->widget, 0);
    }

    void WindowStyleChanged(HWND hwnd) override {
        if (Entry* entry = Mine(hwnd); entry && entry->kind && entry->kind->refresh)
            entry->kind->refresh(hwnd, entry->widget, 0);
    }

    void FocusChanged(HWND, HWND to) override {
        if (Entry* entry = Mine(to); entry && entry->widget && !entry->topLevel)
            gtk_widget_grab_focus(entry->widget);
    }

    void WindowInvalidated(HWND hwnd) override {
        if (Entry* entry = Mine(hwnd); entry && entry->canvas)
            gtk_widget_queue_draw(entry->canvas);
    }

    void ControlContentChanged(HWND hwnd, UINT message) override {
        if (Entry* entry = Mine(hwnd); entry && entry->kind && entry->kind->refresh)
            entry->kind->refresh(hwnd, entry->widget, message);
    }

private:
    static Entry* Mine(HWND hwnd) { return screen::OnScreenThread() ? Find(hwnd) : nullptr; }
};

}  // namespace

namespace screen {

void StartPresentation() {
    static ScreenPresentation presentation;
    SetWindowPresentation(&presentation);
}

void AdoptChildWidget(HWND hwnd, GtkWidget* widget) {
    Entry* entry = Find(hwnd);
    if (entry == nullptr || entry->widget != nullptr)
        return;
    entry->widget = widget;
    g_object_ref_sink(widget);
    Place(hwnd, *entry);
}

GtkWidget* WidgetOf(HWND hwnd) {
    Entry* entry = Find(hwnd);
    return entry ? entry->widget : nullptr;
}

}  // namespace screen

GtkWidget* ScreenWidgetOf(HWND hwnd) {
    return screen::OnScreenThread() ? screen::WidgetOf(hwnd) : nullptr;
}

GtkWidget* ScreenContainerOf(HWND hwnd) {
    if (!screen::OnScreenThread())
        return nullptr;
    Entry* entry = Find(hwnd);
    return entry ? entry->container : nullptr;
}
