#include "tests/screen/RealInput.h"

#include <gdk/x11/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <utility>

#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"

// X11's headers last: they define macros (None, Status, Bool) the others must not see.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace RealInput {

namespace {

// How long a focus change may take to reach GTK.
constexpr int kFocusWaitMs = 5000;

// The harness's own connection to the X server GTK draws on; null when there is none or
// it has no XTEST.
Display* TheDisplay(std::string* reason) {
    static std::string failure;
    static Display* display = []() -> Display* {
        GdkDisplay* gdk = gdk_display_get_default();
        if (gdk == nullptr || !GDK_IS_X11_DISPLAY(gdk)) {
            failure = "GTK does not draw on an X display";
            return nullptr;
        }
        Display* opened = XOpenDisplay(gdk_display_get_name(gdk));
        if (opened == nullptr) {
            failure = "the X display cannot be opened";
            return nullptr;
        }
        int event = 0;
        int error = 0;
        int major = 0;
        int minor = 0;
        if (!XTestQueryExtension(opened, &event, &error, &major, &minor)) {
            failure = "the X server has no XTEST extension";
            XCloseDisplay(opened);
            return nullptr;
        }
        return opened;
    }();
    if (display == nullptr && reason != nullptr)
        *reason = failure;
    return display;
}

Display* X() {
    return TheDisplay(nullptr);
}

// The X window of the GTK surface that shows the widget (its window or popover).
::Window XWindowOf(GtkWidget* widget) {
    if (widget == nullptr)
        return 0;
    GtkNative* native = gtk_widget_get_native(widget);
    if (native == nullptr)
        return 0;
    GdkSurface* surface = gtk_native_get_surface(native);
    if (surface == nullptr || !GDK_IS_X11_SURFACE(surface))
        return 0;
    return gdk_x11_surface_get_xid(surface);
}

// The top-level X window at a point of the screen: the one a click there reaches.
::Window TopWindowAt(int x, int y) {
    Display* display = X();
    const ::Window root = DefaultRootWindow(display);
    int localX = 0;
    int localY = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, root, root, x, y, &localX, &localY, &child);
    return child;
}

// The widget a point of a model window counts from: a top-level window's client area
// (its GtkWindow's content, under the title bar), else the window's own widget.
GtkWidget* ClientWidgetOf(HWND hwnd) {
    GtkWidget* widget = ScreenWidgetOf(hwnd);
    if (widget != nullptr && GTK_IS_WINDOW(widget))
        return gtk_window_get_child(GTK_WINDOW(widget));
    return widget;
}

bool Flush() {
    Display* display = X();
    if (display == nullptr)
        return false;
    XSync(display, False);
    return true;
}

bool SendKeycode(KeyCode code, bool down) {
    return XTestFakeKeyEvent(X(), code, down ? True : False, CurrentTime) != 0;
}

// Presses and releases the key with that symbol, with Shift and Control as asked; Shift
// is added when the keymap puts the symbol on the shifted level only.
bool Strike(unsigned long keysym, bool shift, bool control) {
    Display* display = X();
    if (display == nullptr)
        return false;
    const KeyCode code = XKeysymToKeycode(display, static_cast<KeySym>(keysym));
    if (code == 0)
        return false;
    if (XkbKeycodeToKeysym(display, code, 0, 0) != keysym) {
        if (XkbKeycodeToKeysym(display, code, 0, 1) != keysym)
            return false;
        shift = true;
    }
    const KeyCode shiftCode = XKeysymToKeycode(display, XK_Shift_L);
    const KeyCode controlCode = XKeysymToKeycode(display, XK_Control_L);
    bool sent = true;
    if (control)
        sent = SendKeycode(controlCode, true) && sent;
    if (shift)
        sent = SendKeycode(shiftCode, true) && sent;
    sent = SendKeycode(code, true) && sent;
    sent = SendKeycode(code, false) && sent;
    if (shift)
        sent = SendKeycode(shiftCode, false) && sent;
    if (control)
        sent = SendKeycode(controlCode, false) && sent;
    return sent;
}

// The first widget of that name in widget's tree (widget itself included); null when none.
GtkWidget* FindNamed(GtkWidget* widget, const char* name) {
    if (g_strcmp0(gtk_widget_get_name(widget), name) == 0)
        return widget;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child)) {
        if (GtkWidget* found = FindNamed(child, name))
            return found;
    }
    return nullptr;
}

GtkWidget* TopLevelOf(GtkWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    GtkRoot* root = gtk_widget_get_root(widget);
    return root != nullptr ? GTK_WIDGET(root) : nullptr;
}

// Makes sure a click at the point reaches the widget's window: its top-level gets the
// focus, and is raised when another window covers the point.
bool PrepareClick(GtkWidget* widget, int x, int y) {
    GtkWidget* top = TopLevelOf(widget);
    if (top == nullptr)
        return false;
    if (TopWindowAt(x, y) != XWindowOf(widget) && !RaiseWindow(widget))
        return false;
    // A popover has no focus of its own: its window's stays.
    if (GTK_IS_WINDOW(top))
        return FocusWindow(top);
    return true;
}

}  // namespace

bool Available(std::string* reason) {
    return TheDisplay(reason) != nullptr;
}

std::optional<ScreenRect> WidgetRect(GtkWidget* widget) {
    if (X() == nullptr || widget == nullptr || !gtk_widget_get_mapped(widget))
        return std::nullopt;
    GtkNative* native = gtk_widget_get_native(widget);
    const ::Window window = XWindowOf(widget);
    if (native == nullptr || window == 0)
        return std::nullopt;
    double inNativeX = 0;
    double inNativeY = 0;
    if (!gtk_widget_translate_coordinates(widget, GTK_WIDGET(native), 0, 0, &inNativeX, &inNativeY))
        return std::nullopt;
    double surfaceX = 0;
    double surfaceY = 0;
    gtk_native_get_surface_transform(native, &surfaceX, &surfaceY);
    int rootX = 0;
    int rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(X(), window, DefaultRootWindow(X()), 0, 0, &rootX, &rootY, &child);
    const int scale = gdk_surface_get_scale_factor(gtk_native_get_surface(native));
    ScreenRect rect;
    rect.x = rootX + static_cast<int>((surfaceX + inNativeX) * scale);
    rect.y = rootY + static_cast<int>((surfaceY + inNativeY) * scale);
    rect.width = gtk_widget_get_width(widget) * scale;
    rect.height = gtk_widget_get_height(widget) * scale;
    if (rect.width <= 0 || rect.height <= 0)
        return std::nullopt;
    return rect;
}

std::optional<ScreenRect> WindowRect(HWND hwnd) {
    return WidgetRect(ClientWidgetOf(hwnd));
}

bool WaitUntilShown(HWND hwnd, int timeoutMs) {
    return WaitUntil(
        [&] {
            GtkWidget* widget = ClientWidgetOf(hwnd);
            const std::optional<ScreenRect> rect = WidgetRect(widget);
            if (!rect)
                return false;
            if (TopWindowAt(rect->CentreX(), rect->CentreY()) != XWindowOf(widget))
                RaiseWindow(widget);
            return true;
        },
        timeoutMs);
}

bool FocusWindow(GtkWidget* widget) {
    GtkWidget* top = TopLevelOf(widget);
    const ::Window window = XWindowOf(top);
    if (window == 0 || !GTK_IS_WINDOW(top))
        return false;
    // Given even when GTK counts the window active: with no window manager the X focus
    // may have gone back to the pointer's window when a box that had it went away.
    XSetInputFocus(X(), window, RevertToPointerRoot, CurrentTime);
    Flush();
    return WaitUntil([&] { return gtk_window_is_active(GTK_WINDOW(top)) != FALSE; }, kFocusWaitMs);
}

bool RaiseWindow(GtkWidget* widget) {
    const ::Window window = XWindowOf(widget);
    if (window == 0)
        return false;
    XRaiseWindow(X(), window);
    return Flush();
}

bool MovePointerTo(int x, int y) {
    if (X() == nullptr)
        return false;
    XTestFakeMotionEvent(X(), -1, x, y, CurrentTime);
    return Flush();
}

bool MovePointerOver(HWND hwnd, std::optional<int> x, std::optional<int> y) {
    const std::optional<ScreenRect> rect = WindowRect(hwnd);
    if (!rect)
        return false;
    return MovePointerTo(x ? rect->x + *x : rect->CentreX(), y ? rect->y + *y : rect->CentreY());
}

bool MovePointerAway() {
    if (X() == nullptr)
        return false;
    const int screen = DefaultScreen(X());
    return MovePointerTo(DisplayWidth(X(), screen) - 1, DisplayHeight(X(), screen) - 1);
}

bool PressButton(int button) {
    if (X() == nullptr)
        return false;
    XTestFakeButtonEvent(X(), static_cast<unsigned>(button), True, CurrentTime);
    return Flush();
}

bool ReleaseButton(int button) {
    if (X() == nullptr)
        return false;
    XTestFakeButtonEvent(X(), static_cast<unsigned>(button), False, CurrentTime);
    return Flush();
}

bool Click(HWND hwnd, std::optional<int> x, std::optional<int> y) {
    GtkWidget* widget = ClientWidgetOf(hwnd);
    const std::optional<ScreenRect> rect = WidgetRect(widget);
    if (!rect)
        return false;
    const int atX = x ? rect->x + *x : rect->CentreX();
    const int atY = y ? rect->y + *y : rect->CentreY();
    return PrepareClick(widget, atX, atY) && MovePointerTo(atX, atY) && PressButton() &&
           ReleaseButton();
}

bool ClickWidget(GtkWidget* widget) {
    const std::optional<ScreenRect> rect = WidgetRect(widget);
    return rect && PrepareClick(widget, rect->CentreX(), rect->CentreY()) &&
           MovePointerTo(rect->CentreX(), rect->CentreY()) && PressButton() && ReleaseButton();
}

bool ClickAt(int x, int y) {
    return MovePointerTo(x, y) && PressButton() && ReleaseButton();
}

bool TypeText(std::string_view text) {
    if (X() == nullptr)
        return false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        unsigned long keysym = 0;
        if (c == '\n' || c == '\r')
            keysym = XK_Return;
        else if (c == '\t')
            keysym = XK_Tab;
        else if (byte >= 0x20 && byte < 0x7f)
            keysym = byte;  // the symbols of printable ASCII are their codes
        else
            return false;
        if (!Strike(keysym, false, false))
            return false;
    }
    return Flush();
}

bool PressKey(const Key& key) {
    return Strike(key.keysym, key.shift, key.control) && Flush();
}

MessageBoxAnswers::MessageBoxAnswers(std::vector<Key> keys) : keys_(std::move(keys)) {
    UseScreenDialogs();  // the boxes show on the screen, not in a test's service
    source_ = g_timeout_add(20, &MessageBoxAnswers::Tick, this);
}

MessageBoxAnswers::~MessageBoxAnswers() {
    g_source_remove(source_);
}

int MessageBoxAnswers::Tick(void* data) {
    auto* self = static_cast<MessageBoxAnswers*>(data);
    // The box given the focus on an earlier tick takes its key once GTK knows it has it.
    if (self->focusing_ != nullptr) {
        auto* box = static_cast<GtkWidget*>(self->focusing_);
        if (!gtk_window_is_active(GTK_WINDOW(box)))
            return G_SOURCE_CONTINUE;
        const std::size_t index = std::min(self->answered_.size(), self->keys_.size() - 1);
        self->answered_.push_back(box);
        self->focusing_ = nullptr;
        PressKey(self->keys_[index]);
        g_object_unref(box);
        return G_SOURCE_CONTINUE;
    }
    GListModel* windows = gtk_window_get_toplevels();
    for (guint i = 0; i < g_list_model_get_n_items(windows); ++i) {
        auto* window = static_cast<GtkWidget*>(g_list_model_get_item(windows, i));
        const bool isBox = g_strcmp0(gtk_widget_get_name(window), kMessageBoxName) == 0;
        const bool seen = std::find(self->answered_.begin(), self->answered_.end(), window) !=
                          self->answered_.end();
        if (isBox && !seen && gtk_widget_get_mapped(window) && XWindowOf(window) != 0 &&
            !self->keys_.empty()) {
            GtkWidget* text = FindNamed(window, kMessageBoxTextName);
            self->texts_.push_back(text && GTK_IS_LABEL(text) ? gtk_label_get_text(GTK_LABEL(text))
                                                              : "");
            XSetInputFocus(X(), XWindowOf(window), RevertToPointerRoot, CurrentTime);
            Flush();
            self->focusing_ = window;  // the reference is kept until it is answered
            return G_SOURCE_CONTINUE;
        }
        g_object_unref(window);
    }
    return G_SOURCE_CONTINUE;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    return PumpScreenUntil(done, timeoutMs);
}

}  // namespace RealInput
