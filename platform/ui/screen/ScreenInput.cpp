// What the person's pointer and keys do on the screen, handed to the model as the calls
// of UserInput.h and ControlInput.h:
// - the pointer over a window's drawing (a canvas) is the model's pointer: moves
//   (WM_MOUSEMOVE, and the WM_MOUSELEAVE a window asked for), and the left button's press
//   and release (WM_LBUTTONDOWN, WM_LBUTTONUP: an owner-drawn button's click) on the
//   window under it; GTK's own controls handle the pointer themselves;
// - the focus GTK gives a control on a click or a key is the model's focus;
// - in a dialog, Enter, Esc, Tab and Shift+Tab are the dialog's keys (DialogKey), except
//   where the focus takes the key itself: a browser view, and Enter in a multi-line edit
//   with ES_WANTRETURN;
// - Space on a focused button, of any widget, is the model's (held: pushed; let go: a
//   click).
#include <gtk/gtk.h>

#include <memory>

#include "platform/browser/CHtmlView.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

// The model window a widget shows (set on each window's own widget).
constexpr const char* kWindowKey = "morvelle-window";
// Set on the overlay of a window shown as its drawing: the window.
constexpr const char* kCanvasKey = "morvelle-canvas";

int presentationDepth = 0;

HWND HwndOf(gpointer data) {
    return static_cast<HWND>(data);
}

// The window the left button was pressed on through a canvas, while it is held.
HWND pressedCanvas = nullptr;
double pressX = 0;
double pressY = 0;

bool IsClass(HWND hwnd, const char* name) {
    return g_ascii_strcasecmp(GetClassName(hwnd).c_str(), name) == 0;
}

// The nearest window shown by widget or one of its ancestors.
HWND NearestWindow(GtkWidget* widget) {
    for (GtkWidget* at = widget; at != nullptr; at = gtk_widget_get_parent(at)) {
        if (gpointer hwnd = g_object_get_data(G_OBJECT(at), kWindowKey))
            return HwndOf(hwnd);
    }
    return nullptr;
}

// Whether the point (in the canvas overlay's coordinates) is this canvas's own (its
// drawing, or a GTK control directly in it, not a canvas nested in it). under: the window
// there; client: the point in that window's client coordinates.
bool OwnPoint(GtkWidget* overlay, double x, double y, HWND* under, POINT* client) {
    GtkWidget* picked = gtk_widget_pick(overlay, x, y, GTK_PICK_DEFAULT);
    if (picked == nullptr || gtk_widget_get_native(picked) != gtk_widget_get_native(overlay))
        return false;
    GtkWidget* canvas = picked;
    while (canvas != nullptr && g_object_get_data(G_OBJECT(canvas), kCanvasKey) == nullptr)
        canvas = gtk_widget_get_parent(canvas);
    if (canvas != overlay)
        return false;
    GtkWidget* shown = picked;
    while (shown != nullptr && g_object_get_data(G_OBJECT(shown), kWindowKey) == nullptr)
        shown = gtk_widget_get_parent(shown);
    if (shown == nullptr)
        return false;
    // A GTK widget a program put in a window's drawing that shows no window of the model
    // (the web browser's chrome) takes the pointer itself: only the overlay, its drawing
    // and its container are the drawing.
    if (g_object_get_data(G_OBJECT(shown), kCanvasKey) != nullptr && picked != shown &&
        gtk_widget_get_parent(picked) != shown)
        return false;
    const HWND hwnd = HwndOf(g_object_get_data(G_OBJECT(shown), kWindowKey));
    double inShownX = x;
    double inShownY = y;
    if (shown != overlay &&
        !gtk_widget_translate_coordinates(overlay, shown, x, y, &inShownX, &inShownY))
        return false;
    *under = hwnd;
    if (g_object_get_data(G_OBJECT(shown), kCanvasKey) != nullptr) {
        // A drawing shows the client area from its top-left.
        *client = POINT{static_cast<LONG>(inShownX), static_cast<LONG>(inShownY)};
    } else {
        // A control's widget shows its whole window rectangle.
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        *client =
            POINT{rect.left + static_cast<LONG>(inShownX), rect.top + static_cast<LONG>(inShownY)};
        ScreenToClient(hwnd, client);
    }
    return IsWindow(hwnd) != FALSE;
}

void OnPointerMotion(GtkEventControllerMotion* motion, double x, double y, gpointer) {
    if (pressedCanvas != nullptr)
        return;  // the held button's moves go to its window (OnDragUpdate)
    GtkWidget* overlay = gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(motion));
    HWND under = nullptr;
    POINT client{};
    if (OwnPoint(overlay, x, y, &under, &client))
        ControlInput::MoveMouseOver(under, client.x, client.y);
}

void OnPointerLeave(GtkEventControllerMotion*, gpointer) {
    if (pressedCanvas == nullptr)
        ControlInput::MoveMouseAway();
}

void OnDragBegin(GtkGestureDrag* drag, double x, double y, gpointer data) {
    const HWND self = HwndOf(data);
    GtkWidget* overlay = gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(drag));
    HWND under = nullptr;
    POINT client{};
    // Only a press on the drawing itself: GTK's controls in it take their own.
    if (pressedCanvas != nullptr || !OwnPoint(overlay, x, y, &under, &client) || under != self) {
        gtk_gesture_set_state(GTK_GESTURE(drag), GTK_EVENT_SEQUENCE_DENIED);
        return;
    }
    gtk_gesture_set_state(GTK_GESTURE(drag), GTK_EVENT_SEQUENCE_CLAIMED);
    pressedCanvas = self;
    pressX = x;
    pressY = y;
    if (!ControlInput::PressMouse(self, client.x, client.y))
        pressedCanvas = nullptr;
}

void OnDragUpdate(GtkGestureDrag*, double dx, double dy, gpointer data) {
    const HWND self = HwndOf(data);
    if (pressedCanvas == self && IsWindow(self))
        ControlInput::MoveMouseOver(self, static_cast<int>(pressX + dx),
                                    static_cast<int>(pressY + dy));
}

void OnDragEnd(GtkGestureDrag*, double dx, double dy, gpointer data) {
    const HWND self = HwndOf(data);
    if (pressedCanvas != self)
        return;
    pressedCanvas = nullptr;
    ControlInput::ReleaseMouse(static_cast<int>(pressX + dx), static_cast<int>(pressY + dy));
}

void OnDragCancel(GtkGesture*, GdkEventSequence*, gpointer data) {
    if (pressedCanvas != HwndOf(data))
        return;
    pressedCanvas = nullptr;
    ControlInput::ReleaseMouse(-1, -1);  // off the window: no click
}

// --- Keys and focus of a top-level window ---

// The button Space went down on, until it is let go.
HWND spaceHeldOn = nullptr;

// Whether a browser view has GTK's focus (it takes the keys itself).
bool InBrowserView(GtkWidget* focus) {
    for (GtkWidget* at = focus; at != nullptr; at = gtk_widget_get_parent(at)) {
        if (gpointer hwnd = g_object_get_data(G_OBJECT(at), kWindowKey))
            return IsClass(HwndOf(hwnd), kBrowserControlClassName);
    }
    return false;
}

bool InDialog(HWND hwnd) {
    for (HWND at = hwnd; at != nullptr; at = GetParent(at)) {
        if (IsClass(at, kDialogClassName))
            return true;
        if (!(GetWindowLong(at, GWL_STYLE) & WS_CHILD))
            break;
    }
    return false;
}

// The window that shows GTK's focus in the top-level window (null: none, or the window
// itself).
HWND GtkFocusWindow(GtkWidget* window, HWND top) {
    const HWND hwnd = NearestWindow(gtk_root_get_focus(GTK_ROOT(window)));
    return hwnd == top || !IsWindow(hwnd) ? nullptr : hwnd;
}

gboolean OnKeyPressed(GtkEventControllerKey* keys, guint keyval, guint, GdkModifierType state,
                      gpointer data) {
    const HWND top = HwndOf(data);
    if (!IsWindow(top) || !IsWindowEnabled(top))
        return FALSE;
    if (state & (GDK_CONTROL_MASK | GDK_ALT_MASK | GDK_SUPER_MASK | GDK_META_MASK))
        return FALSE;
    WPARAM key = 0;
    bool backwards = false;
    switch (keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            key = VK_RETURN;
            break;
        case GDK_KEY_Escape:
            key = VK_ESCAPE;
            break;
        case GDK_KEY_space:
        case GDK_KEY_KP_Space:
            key = VK_SPACE;
            break;
        case GDK_KEY_Tab:
        case GDK_KEY_KP_Tab:
        case GDK_KEY_ISO_Left_Tab:
            key = VK_TAB;
            backwards = keyval == GDK_KEY_ISO_Left_Tab || (state & GDK_SHIFT_MASK) != 0;
            break;
        default:
            return FALSE;
    }
    GtkWidget* window = gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(keys));
    if (InBrowserView(gtk_root_get_focus(GTK_ROOT(window))))
        return FALSE;
    // The key comes from where GTK's focus is: the model's focus is there too.
    if (const HWND shown = GtkFocusWindow(window, top); shown != nullptr && shown != GetFocus())
        UserInput::Focus(shown);
    HWND focus = GetFocus();
    if (focus != nullptr && focus != top && !IsChild(top, focus))
        focus = nullptr;
    if (key == VK_SPACE) {
        // A button takes Space from the model, whatever its widget (GTK's own
        // activation would click a second time); other controls type it.
        if (focus == nullptr || !IsClass(focus, "BUTTON"))
            return FALSE;
        if (spaceHeldOn != focus && UserInput::PressSpace(focus))
            spaceHeldOn = focus;
        return TRUE;
    }
    const HWND holder = focus != nullptr ? focus : top;
    if (!InDialog(holder))
        return FALSE;
    if (key == VK_RETURN && focus != nullptr && IsClass(focus, "EDIT") &&
        (GetWindowLong(focus, GWL_STYLE) & (ES_MULTILINE | ES_WANTRETURN)) ==
            (ES_MULTILINE | ES_WANTRETURN))
        return FALSE;  // the text view makes the new line, and the model learns it
    if (key == VK_RETURN)
        UserInput::PressEnter(holder);
    else if (key == VK_ESCAPE)
        UserInput::PressEscape(holder);
    else
        UserInput::PressTab(holder, backwards);
    return TRUE;
}

void OnKeyReleased(GtkEventControllerKey*, guint keyval, guint, GdkModifierType, gpointer) {
    if ((keyval != GDK_KEY_space && keyval != GDK_KEY_KP_Space) || spaceHeldOn == nullptr)
        return;
    const HWND button = spaceHeldOn;
    spaceHeldOn = nullptr;
    UserInput::ReleaseSpace(button);
}

// A focus GTK gave while the presentation brought widgets in step (a window shown, a
// widget hidden or removed) is settled afterwards: the model's focus in the window is
// shown; without one, the model takes GTK's.
struct PendingFocus {
    HWND top;
    GtkWidget* window;
};

gboolean SettleFocus(gpointer data) {
    std::unique_ptr<PendingFocus> pending(static_cast<PendingFocus*>(data));
    const HWND top = pending->top;
    if (IsWindow(top)) {
        const HWND shown = GtkFocusWindow(pending->window, top);
        HWND focus = GetFocus();
        if (focus != nullptr && !IsChild(top, focus))
            focus = nullptr;
        if (focus != nullptr && focus != shown) {
            screen::PresentationCall call;
            if (GtkWidget* widget = screen::WidgetOf(focus))
                gtk_widget_grab_focus(widget);
        } else if (focus == nullptr && shown != nullptr) {
            UserInput::Focus(shown);
        }
    }
    g_object_unref(pending->window);
    return G_SOURCE_REMOVE;
}

// GTK moved the focus (a click on a control, a key): the model's focus follows.
void OnFocusWidget(GObject* window, GParamSpec*, gpointer data) {
    const HWND top = HwndOf(data);
    if (presentationDepth > 0) {
        screen::RunSoon(SettleFocus, new PendingFocus{top, GTK_WIDGET(g_object_ref(window))});
        return;
    }
    const HWND hwnd = GtkFocusWindow(GTK_WIDGET(window), top);
    if (hwnd != nullptr && GetFocus() != hwnd)
        UserInput::Focus(hwnd);
}

}  // namespace

namespace screen {

PresentationCall::PresentationCall() {
    ++presentationDepth;
}

PresentationCall::~PresentationCall() {
    --presentationDepth;
}

void MarkWindowWidget(HWND hwnd, GtkWidget* widget) {
    g_object_set_data(G_OBJECT(widget), kWindowKey, hwnd);
}

void AttachPointer(HWND hwnd, GtkWidget* overlay, bool topLevel) {
    g_object_set_data(G_OBJECT(overlay), kCanvasKey, hwnd);
    MarkWindowWidget(hwnd, overlay);
    GtkEventController* motion = gtk_event_controller_motion_new();
    g_signal_connect(motion, "motion", G_CALLBACK(OnPointerMotion), hwnd);
    if (topLevel)
        g_signal_connect(motion, "leave", G_CALLBACK(OnPointerLeave), hwnd);
    gtk_widget_add_controller(overlay, motion);
    GtkGesture* drag = gtk_gesture_drag_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(drag), GDK_BUTTON_PRIMARY);
    g_signal_connect(drag, "drag-begin", G_CALLBACK(OnDragBegin), hwnd);
    g_signal_connect(drag, "drag-update", G_CALLBACK(OnDragUpdate), hwnd);
    g_signal_connect(drag, "drag-end", G_CALLBACK(OnDragEnd), hwnd);
    g_signal_connect(drag, "cancel", G_CALLBACK(OnDragCancel), hwnd);
    gtk_widget_add_controller(overlay, GTK_EVENT_CONTROLLER(drag));
}

void AttachKeys(HWND hwnd, GtkWidget* window) {
    GtkEventController* keys = gtk_event_controller_key_new();
    gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
    g_signal_connect(keys, "key-pressed", G_CALLBACK(OnKeyPressed), hwnd);
    g_signal_connect(keys, "key-released", G_CALLBACK(OnKeyReleased), hwnd);
    gtk_widget_add_controller(window, keys);
    g_signal_connect(window, "notify::focus-widget", G_CALLBACK(OnFocusWidget), hwnd);
}

void ForgetPressedWindow(HWND hwnd) {
    if (pressedCanvas == hwnd)
        pressedCanvas = nullptr;
    if (spaceHeldOn == hwnd)
        spaceHeldOn = nullptr;
}

}  // namespace screen
