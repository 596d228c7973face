// The window tree on screen: each top-level window a GtkWindow, each child a widget in
// its parent's GtkFixed at the model's rectangle. A window of a class the table below
// knows is shown as that control's widget; any other window as a canvas (its drawing,
// WM_PRINTCLIENT onto a pixel surface) under a GtkFixed for its children. Browser
// controls get their web view from ScreenBrowserView.cpp.
//
// The model is the truth: every change comes in through WindowPresentation after it
// happened; what the person does goes back as the calls the tests make (ScreenInput).
#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiText.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WindowSurface.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/Presentation.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

using screen::ControlKind;

void ShowCursorOn(GtkWidget* window, HCURSOR cursor);

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
    // A top-level window: what GTK's window adds around the canvas (its title bar, and
    // the frame and shadow it draws itself), known from the canvas's first size.
    bool frameKnown = false;
    int frameWidth = 0;
    int frameHeight = 0;
    // A top-level window's content (the overlay of its canvas): until the first size is
    // known it asks for the client size, so the window opens with all of it.
    GtkWidget* content = nullptr;
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

// The top-level window that holds hwnd (hwnd itself when it is one).
HWND TopLevelOf(HWND hwnd) {
    HWND top = hwnd;
    while (top != nullptr && (GetWindowLong(top, GWL_STYLE) & WS_CHILD) != 0)
        top = GetParent(top);
    return top;
}

bool IsOwnerDrawnButton(HWND hwnd) {
    return g_ascii_strcasecmp(GetClassName(hwnd).c_str(), "BUTTON") == 0 &&
           (GetWindowLong(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

// The window's drawing, if it draws: the pixels of its surface (WindowSurface.h), as
// its last WM_PAINT or owner drawing left them. A window that never drew shows GTK's
// background. No message is sent from here: painting happens in PaintSoon's idle call.
void DrawWindow(GtkDrawingArea*, cairo_t* cr, int width, int height, gpointer data) {
    const HWND hwnd = HwndOf(data);
    if (!IsWindow(hwnd) || width <= 0 || height <= 0 || !WindowHasSurface(hwnd))
        return;
    const DrawingSurface* surface = GetWindowSurface(hwnd);
    if (surface == nullptr)
        return;
    const std::vector<std::uint32_t> rows = surface->PixelRows();
    if (rows.empty())
        return;
    // GTK records the drawing and replays it later: the image owns a copy of the pixels.
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, surface->Width(), surface->Height());
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return;
    }
    cairo_surface_flush(image);
    unsigned char* bytes = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < surface->Height(); ++y)
        std::memcpy(bytes + static_cast<std::ptrdiff_t>(y) * stride,
                    rows.data() + static_cast<std::size_t>(y) * surface->Width(),
                    static_cast<std::size_t>(surface->Width()) * 4);
    cairo_surface_mark_dirty(image);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(image);
}

// Windows whose drawing is out of date: painted (WM_PAINT through UpdateWindow) from one
// idle call, outside every presentation call and GTK handler, then shown again.
std::vector<HWND>& ToPaint() {
    static std::vector<HWND> windows;
    return windows;
}

gboolean PaintNow(gpointer) {
    std::vector<HWND> due;
    due.swap(ToPaint());
    for (const HWND hwnd : due) {
        if (!IsWindow(hwnd))
            continue;
        if (IsOwnerDrawnButton(hwnd) && !WindowHasSurface(hwnd))
            InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
        if (Entry* entry = Find(hwnd); entry && entry->canvas)
            gtk_widget_queue_draw(entry->canvas);
    }
    return G_SOURCE_REMOVE;
}

void PaintSoon(HWND hwnd) {
    if (ToPaint().empty())
        screen::RunSoon(PaintNow, nullptr);
    if (std::find(ToPaint().begin(), ToPaint().end(), hwnd) == ToPaint().end())
        ToPaint().push_back(hwnd);
}

// The person closed a top-level window: the model closes it (or not).
gboolean OnCloseRequest(GtkWindow*, gpointer data) {
    const HWND hwnd = HwndOf(data);
    if (IsWindow(hwnd))
        UserInput::CloseWindow(hwnd);
    return TRUE;  // the GtkWindow goes when the model's window does
}

void Place(HWND hwnd, Entry& entry);

// The person resized a top-level window: the model's window takes the new client size.
void OnCanvasResize(GtkDrawingArea*, int width, int height, gpointer data) {
    const HWND hwnd = HwndOf(data);
    Entry* entry = Find(hwnd);
    if (entry == nullptr || !entry->topLevel || !IsWindow(hwnd))
        return;
    RECT client{};
    GetClientRect(hwnd, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    if (!entry->frameKnown) {
        // The first size: the content asked for the client size, so the window opened
        // with all of it, and what the window adds around the canvas (its title bar) is
        // the frame. The content lets go of its request, so the person may make the
        // window smaller, and the window keeps the size it has.
        // A window's default size counts its surface (the frame and shadow GTK draws
        // itself included).
        entry->frameKnown = true;
        GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(entry->widget));
        const int outerWidth = surface ? gdk_surface_get_width(surface) : width;
        const int outerHeight = surface ? gdk_surface_get_height(surface) : height;
        entry->frameWidth = std::max(outerWidth - width, 0);
        entry->frameHeight = std::max(outerHeight - height, 0);
        gtk_widget_set_size_request(entry->content, -1, -1);
        gtk_window_set_default_size(GTK_WINDOW(entry->widget), width + entry->frameWidth,
                                    height + entry->frameHeight);
    }
    if (clientWidth == width && clientHeight == height)
        return;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE)));
    UserInput::ResizeWindow(hwnd, frame.right - frame.left, frame.bottom - frame.top);
}

// A canvas under a GtkFixed: a window of no known kind. The pointer over it is the
// model's (ScreenInput.cpp); an owner-drawn button takes the keyboard focus.
void MakeGenericWidget(HWND hwnd, Entry& entry, bool topLevel) {
    GtkWidget* overlay = gtk_overlay_new();
    entry.canvas = gtk_drawing_area_new();
    gtk_widget_set_hexpand(entry.canvas, TRUE);
    gtk_widget_set_vexpand(entry.canvas, TRUE);
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(entry.canvas), DrawWindow, hwnd, nullptr);
    g_signal_connect(entry.canvas, "resize", G_CALLBACK(OnCanvasResize), hwnd);
    gtk_overlay_set_child(GTK_OVERLAY(overlay), entry.canvas);
    entry.container = gtk_fixed_new();
    gtk_overlay_add_overlay(GTK_OVERLAY(overlay), entry.container);
    screen::AttachPointer(hwnd, overlay, topLevel);
    if (IsOwnerDrawnButton(hwnd))
        gtk_widget_set_focusable(overlay, TRUE);
    entry.widget = overlay;
}

// Whether GTK's focus is on the widget or inside it.
bool HoldsFocus(GtkWidget* widget) {
    GtkRoot* root = gtk_widget_get_root(widget);
    GtkWidget* focus = root ? gtk_root_get_focus(root) : nullptr;
    return focus != nullptr && (focus == widget || gtk_widget_is_ancestor(focus, widget));
}

// Where the child's widget goes in its parent's container, and its size.
void Place(HWND hwnd, Entry& entry) {
    if (entry.topLevel) {
        RECT client{};
        GetClientRect(hwnd, &client);
        // A size the window shows already (the person's resize, come back from the model)
        // is left alone; otherwise the window asks for the client size plus its frame.
        if (entry.canvas != nullptr && gtk_widget_get_mapped(entry.canvas) &&
            gtk_widget_get_width(entry.canvas) == client.right - client.left &&
            gtk_widget_get_height(entry.canvas) == client.bottom - client.top)
            return;
        const int width = std::max<LONG>(client.right - client.left, 1);
        const int height = std::max<LONG>(client.bottom - client.top, 1);
        if (!entry.frameKnown && entry.content != nullptr)
            gtk_widget_set_size_request(entry.content, width, height);
        gtk_window_set_default_size(GTK_WINDOW(entry.widget), width + entry.frameWidth,
                                    height + entry.frameHeight);
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
        screen::PresentationCall call;
        Entry entry;
        const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
        entry.topLevel = (style & WS_CHILD) == 0;
        entry.kind = KindOf(hwnd);
        if (entry.topLevel) {
            GtkWidget* window = gtk_window_new();
            g_object_ref_sink(window);
            gtk_window_set_title(GTK_WINDOW(window), GetWindowText(hwnd).c_str());
            g_signal_connect(window, "close-request", G_CALLBACK(OnCloseRequest), hwnd);
            screen::WatchWindowIcons(hwnd, window);
            Entry content;
            MakeGenericWidget(hwnd, content, true);
            gtk_window_set_child(GTK_WINDOW(window), content.widget);
            screen::MarkWindowWidget(hwnd, window);
            screen::AttachKeys(hwnd, window);
            ShowCursorOn(window, GetCursor());
            entry.widget = window;
            entry.container = content.container;
            entry.canvas = content.canvas;
            entry.content = content.widget;
            // Transient for its owner's top-level window (a band's dialog is owned by a
            // child window of the browser's frame), so a window manager places it there.
            if (Entry* owner = Find(TopLevelOf(GetWindow(hwnd, GW_OWNER)));
                owner && owner->topLevel)
                gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(owner->widget));
        } else if (entry.kind != nullptr) {
            if (entry.kind->make == nullptr) {
                Entries()[hwnd] = entry;  // its widget comes later (AdoptChildWidget)
                return;
            }
            entry.widget = entry.kind->make(hwnd);
            g_object_ref_sink(entry.widget);
            gtk_widget_add_css_class(entry.widget, "morvelle-control");
            screen::MarkWindowWidget(hwnd, entry.widget);
        } else {
            MakeGenericWidget(hwnd, entry, false);
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
        screen::PresentationCall call;
        screen::ForgetPressedWindow(hwnd);
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
        screen::PresentationCall call;
        if (Entry* entry = Mine(hwnd))
            Place(hwnd, *entry);
    }

    void WindowShown(HWND hwnd, bool visible) override {
        screen::PresentationCall call;
        Entry* entry = Mine(hwnd);
        if (entry == nullptr || entry->widget == nullptr)
            return;
        if (visible && entry->canvas)
            PaintSoon(hwnd);  // an owner-drawn button's first drawing
        if (entry->topLevel && visible) {
            screen::AddSystemMenuButton(hwnd, entry->widget);
            gtk_window_present(GTK_WINDOW(entry->widget));
        } else {
            gtk_widget_set_visible(entry->widget, visible);
        }
    }

    void WindowEnabled(HWND hwnd, bool enabled) override {
        screen::PresentationCall call;
        Entry* entry = Mine(hwnd);
        if (entry == nullptr || entry->widget == nullptr)
            return;
        gtk_widget_set_sensitive(entry->widget, enabled);
        // A modal dialog disables its owner while it runs: the windows it owns that show
        // meanwhile are modal for it.
        if (!entry->topLevel)
            return;
        for (auto& [owned, other] : Entries()) {
            if (other.topLevel && other.widget != nullptr && owned != hwnd &&
                TopLevelOf(GetWindow(owned, GW_OWNER)) == hwnd && IsWindowVisible(owned))
                gtk_window_set_modal(GTK_WINDOW(other.widget), !enabled);
        }
    }

    void WindowTextChanged(HWND hwnd) override {
        screen::PresentationCall call;
        Entry* entry = Mine(hwnd);
        if (entry == nullptr || entry->widget == nullptr)
            return;
        if (entry->topLevel)
            gtk_window_set_title(GTK_WINDOW(entry->widget), GetWindowText(hwnd).c_str());
        else if (entry->kind && entry->kind->refresh)
            entry->kind->refresh(hwnd, entry->widget, 0);
    }

    void WindowStyleChanged(HWND hwnd) override {
        screen::PresentationCall call;
        Entry* entry = Mine(hwnd);
        if (entry == nullptr)
            return;
        // A control whose new style makes it another kind (a push button subclassed into
        // an owner-drawn one) gets the widget of that kind in place of the old one.
        if (!entry->topLevel && entry->widget != nullptr && entry->kind != KindOf(hwnd) &&
            GetWindow(hwnd, GW_CHILD) == nullptr) {
            WindowDestroyed(hwnd);
            WindowCreated(hwnd);
            if (Entry* remade = Find(hwnd); remade && remade->canvas && IsWindowVisible(hwnd))
                PaintSoon(hwnd);
            return;
        }
        if (entry->kind && entry->kind->refresh)
            entry->kind->refresh(hwnd, entry->widget, 0);
    }

    void FocusChanged(HWND, HWND to) override {
        screen::PresentationCall call;
        if (Entry* entry = Mine(to);
            entry && entry->widget && !entry->topLevel && !HoldsFocus(entry->widget))
            gtk_widget_grab_focus(entry->widget);
    }

    void WindowInvalidated(HWND hwnd) override {
        if (Entry* entry = Mine(hwnd); entry && entry->canvas)
            PaintSoon(hwnd);
    }

    void ControlContentChanged(HWND hwnd, UINT message) override {
        screen::PresentationCall call;
        if (Entry* entry = Mine(hwnd); entry && entry->kind && entry->kind->refresh)
            entry->kind->refresh(hwnd, entry->widget, message);
    }

    void WindowIconChanged(HWND hwnd) override {
        if (Entry* entry = Mine(hwnd); entry && entry->topLevel && entry->widget)
            screen::ShowWindowIcons(hwnd, entry->widget);
    }

private:
    static Entry* Mine(HWND hwnd) { return screen::OnScreenThread() ? Find(hwnd) : nullptr; }
};

// The cursor the program shows, by its name among the display's cursors.
const char* CursorName(HCURSOR cursor) {
    if (cursor == nullptr)
        return "none";
    if (cursor == LoadCursor(nullptr, IDC_WAIT))
        return "wait";
    if (cursor == LoadCursor(nullptr, IDC_HAND))
        return "pointer";
    return "default";
}

// Shows the cursor over the window and all it holds (a GTK control with a cursor of its
// own, an edit's text cursor, keeps it).
void ShowCursorOn(GtkWidget* window, HCURSOR cursor) {
    GdkCursor* shown = gdk_cursor_new_from_name(CursorName(cursor), nullptr);
    gtk_widget_set_cursor(window, shown);
    if (shown != nullptr)
        g_object_unref(shown);
}

// The cursor SetCursor shows, over every top-level window of the screen's thread.
class ScreenCursors final : public CursorPresenter {
public:
    void CursorSet(HCURSOR cursor) override {
        if (!screen::OnScreenThread())
            return;
        for (auto& [hwnd, entry] : Entries()) {
            if (entry.topLevel && entry.widget != nullptr)
                ShowCursorOn(entry.widget, cursor);
        }
    }
};

}  // namespace

namespace screen {

void StartPresentation() {
    // The controls are placed in dialog units of the dialog font: their text is that
    // font (the drawing layer's typeface at its size), and GTK's paddings and least sizes
    // are small, so each control fits the model's rectangle and each text the room the
    // model measured for it (push buttons, one-line edits, list headers, tabs).
    int pixels = 10;
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRIC metrics{};
        if (GetTextMetrics(dc, &metrics))
            pixels = std::max<int>(metrics.tmHeight - metrics.tmInternalLeading, 1);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    gchar* rules = g_strdup_printf(
        ".morvelle-control { font-family: \"%s\"; font-size: %dpx; }"
        "button.morvelle-control, button.morvelle-header { padding: 0 3px; min-height: 0;"
        " min-width: 0; }"
        "button.morvelle-header { padding: 0 2px; border-radius: 0; }"
        "button.morvelle-tool { padding: 0 3px; min-height: 0; min-width: 0; }"
        "entry.morvelle-control { padding: 0 3px; min-height: 0; }"
        "notebook.morvelle-control > header { padding: 0; }"
        "notebook.morvelle-control > header > tabs { margin: 0; }"
        "notebook.morvelle-control > header > tabs > tab { padding: 3px 6px; margin: 0;"
        " min-height: 0; min-width: 0; }"
        "frame.morvelle-line, frame.morvelle-line > border { min-height: 0; min-width: 0; }",
        TypefaceFamily(), pixels);
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, rules, -1);
    g_free(rules);
    gtk_style_context_add_provider_for_display(gdk_display_get_default(), GTK_STYLE_PROVIDER(css),
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
    static ScreenPresentation presentation;
    SetWindowPresentation(&presentation);
    static ScreenCursors cursors;
    SetCursorPresenter(&cursors);
}

void AdoptChildWidget(HWND hwnd, GtkWidget* widget) {
    Entry* entry = Find(hwnd);
    if (entry == nullptr || entry->widget != nullptr)
        return;
    entry->widget = widget;
    g_object_ref_sink(widget);
    MarkWindowWidget(hwnd, widget);
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
