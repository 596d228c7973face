// The controls shown by GTK widgets of their own, by class name. What the person does
// on them goes to the model as the calls of UserInput.h; the model's answer comes back
// through the presentation (refresh), so a widget always shows the model's state. A
// guard keeps a widget's own update from being taken for the person's input.
//
// The common controls are in ScreenCommonControls.cpp. A class in neither table is shown as a
// canvas of its drawing (ScreenPresentation.cpp).
#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/ui/Controls.h"
#include "platform/ui/UserInput.h"
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

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
}

// "&Open" as GTK writes a mnemonic: "_Open" ("&&" is a plain "&", "_" doubled).
std::string Mnemonic(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
            out += '&';
            ++i;
        } else if (text[i] == '&') {
            out += '_';
        } else if (text[i] == '_') {
            out += "__";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string WithoutMnemonic(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&')
            out += text[++i];
        else if (text[i] != '&')
            out += text[i];
    }
    return out;
}

// --- Buttons: push buttons, check boxes and radio buttons, group boxes ---

DWORD ButtonType(HWND hwnd) {
    return StyleOf(hwnd) & BS_TYPEMASK;
}

bool IsCheckType(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

void RefreshButton(HWND hwnd, GtkWidget* widget, UINT) {
    Updating guard;
    const std::string text = GetWindowText(hwnd);
    if (GTK_IS_FRAME(widget)) {
        gtk_frame_set_label(GTK_FRAME(widget), WithoutMnemonic(text).c_str());
    } else if (GTK_IS_CHECK_BUTTON(widget)) {
        gtk_check_button_set_label(GTK_CHECK_BUTTON(widget), Mnemonic(text).c_str());
        const LRESULT state = SendMessage(hwnd, BM_GETCHECK, 0, 0);
        gtk_check_button_set_inconsistent(GTK_CHECK_BUTTON(widget), state == BST_INDETERMINATE);
        gtk_check_button_set_active(GTK_CHECK_BUTTON(widget), state == BST_CHECKED);
    } else if (GTK_IS_BUTTON(widget)) {
        // A new label only for a new text: GTK makes a new label widget each time.
        const std::string label = Mnemonic(text);
        if (g_strcmp0(gtk_button_get_label(GTK_BUTTON(widget)), label.c_str()) != 0)
            gtk_button_set_label(GTK_BUTTON(widget), label.c_str());
        // A text longer than the button is cut short rather than widening it.
        if (GtkWidget* label = gtk_button_get_child(GTK_BUTTON(widget)); GTK_IS_LABEL(label))
            gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    }
}

void OnButtonClicked(GtkWidget* widget, gpointer data) {
    if (updating)
        return;
    UserInput::ClickButton(HwndOf(data));
    RefreshButton(HwndOf(data), widget, 0);  // a check box shows the model's state
}

GtkWidget* MakeButton(HWND hwnd) {
    const DWORD type = ButtonType(hwnd);
    GtkWidget* widget = nullptr;
    if (type == BS_GROUPBOX) {
        widget = gtk_frame_new(nullptr);
    } else if (IsCheckType(type)) {
        widget = gtk_check_button_new();
        gtk_check_button_set_use_underline(GTK_CHECK_BUTTON(widget), TRUE);
        g_signal_connect(widget, "toggled", G_CALLBACK(OnButtonClicked), hwnd);
    } else {
        widget = gtk_button_new();
        gtk_button_set_use_underline(GTK_BUTTON(widget), TRUE);
        g_signal_connect(widget, "clicked", G_CALLBACK(OnButtonClicked), hwnd);
    }
    RefreshButton(hwnd, widget, 0);
    return widget;
}

// --- Statics: text, etched lines, icons ---

void RefreshStatic(HWND hwnd, GtkWidget* widget, UINT);

GtkWidget* MakeStatic(HWND hwnd) {
    const DWORD type = StyleOf(hwnd) & SS_TYPEMASK;
    if (type == SS_ETCHEDHORZ)
        return gtk_separator_new(GTK_ORIENTATION_HORIZONTAL);
    if (type == SS_ETCHEDVERT)
        return gtk_separator_new(GTK_ORIENTATION_VERTICAL);
    // A sunken static without text is a line or a box of its edge alone.
    if ((StyleOf(hwnd) & SS_SUNKEN) && GetWindowText(hwnd).empty() && type != SS_ICON) {
        GtkWidget* frame = gtk_frame_new(nullptr);
        gtk_widget_add_css_class(frame, "morvelle-line");
        return frame;
    }
    if (type == SS_ICON || type == SS_ETCHEDFRAME || type == SS_BLACKFRAME) {
        GtkWidget* image = gtk_image_new();
        RefreshStatic(hwnd, image, 0);
        return image;
    }
    GtkWidget* label = gtk_label_new(WithoutMnemonic(GetWindowText(hwnd)).c_str());
    gtk_label_set_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_xalign(GTK_LABEL(label), type == SS_CENTER ? 0.5f : type == SS_RIGHT ? 1.0f : 0);
    gtk_label_set_yalign(GTK_LABEL(label), 0);
    return label;
}

void RefreshStatic(HWND hwnd, GtkWidget* widget, UINT) {
    if (GTK_IS_LABEL(widget)) {
        gtk_label_set_text(GTK_LABEL(widget), WithoutMnemonic(GetWindowText(hwnd)).c_str());
    } else if (GTK_IS_IMAGE(widget)) {
        // An icon at its own size.
        const auto icon = reinterpret_cast<HICON>(SendMessage(hwnd, STM_GETICON, 0, 0));
        GdkTexture* texture = icon ? screen::TextureOfIcon(icon) : nullptr;
        gtk_image_set_from_paintable(GTK_IMAGE(widget), texture ? GDK_PAINTABLE(texture) : nullptr);
        if (texture != nullptr) {
            gtk_image_set_pixel_size(GTK_IMAGE(widget), gdk_texture_get_width(texture));
            g_object_unref(texture);
        }
    }
}

// --- Edits: one line (GtkEntry) or several (GtkTextView); the model keeps CR LF ---

std::string ToModelText(const char* text) {
    std::string out;
    for (const char* at = text; *at; ++at) {
        if (*at == '\n')
            out += '\r';
        out += *at;
    }
    return out;
}

std::string ToWidgetText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != '\r')
            out += c;
    }
    return out;
}

GtkWidget* TextViewOf(GtkWidget* widget) {
    return GTK_IS_SCROLLED_WINDOW(widget)
               ? gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(widget))
               : nullptr;
}

void RefreshEdit(HWND hwnd, GtkWidget* widget, UINT) {
    Updating guard;
    const std::string text = ToWidgetText(GetWindowText(hwnd));
    const bool readOnly = (StyleOf(hwnd) & ES_READONLY) != 0;
    if (GtkWidget* view = TextViewOf(widget)) {
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
        GtkTextIter start;
        GtkTextIter end;
        gtk_text_buffer_get_bounds(buffer, &start, &end);
        char* shown = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
        if (text != shown)
            gtk_text_buffer_set_text(buffer, text.c_str(), -1);
        g_free(shown);
        gtk_text_view_set_editable(GTK_TEXT_VIEW(view), !readOnly);
    } else if (GTK_IS_ENTRY(widget)) {
        if (text != gtk_editable_get_text(GTK_EDITABLE(widget)))
            gtk_editable_set_text(GTK_EDITABLE(widget), text.c_str());
        gtk_editable_set_editable(GTK_EDITABLE(widget), !readOnly);
    }
}

// The entry's text, once GTK has finished changing it, typed into the model's edit
// when it differs (one edit of GTK's can come as a deletion and an insertion).
struct PendingTyping {
    HWND hwnd;
    GtkWidget* widget;
};

void TypeEntryText(gpointer data) {
    std::unique_ptr<PendingTyping> pending(static_cast<PendingTyping*>(data));
    const std::string text = gtk_editable_get_text(GTK_EDITABLE(pending->widget));
    if (IsWindow(pending->hwnd) && text != GetWindowText(pending->hwnd))
        UserInput::TypeText(pending->hwnd, text, true);
    g_object_unref(pending->widget);
}

void OnEntryChanged(GtkEditable* editable, gpointer data) {
    if (updating)
        return;
    auto* pending = new PendingTyping{HwndOf(data), GTK_WIDGET(g_object_ref(editable))};
    g_idle_add_once(TypeEntryText, pending);
}

void OnBufferChanged(GtkTextBuffer* buffer, gpointer data) {
    if (updating)
        return;
    GtkTextIter start;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    char* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
    UserInput::TypeText(HwndOf(data), ToModelText(text), true);
    g_free(text);
}

GtkWidget* MakeEdit(HWND hwnd) {
    GtkWidget* widget = nullptr;
    if (StyleOf(hwnd) & ES_MULTILINE) {
        GtkWidget* view = gtk_text_view_new();
        widget = gtk_scrolled_window_new();
        gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(widget), view);
        g_signal_connect(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), "changed",
                         G_CALLBACK(OnBufferChanged), hwnd);
    } else {
        widget = gtk_entry_new();
        if (StyleOf(hwnd) & ES_PASSWORD)
            gtk_entry_set_visibility(GTK_ENTRY(widget), FALSE);
        g_signal_connect(widget, "changed", G_CALLBACK(OnEntryChanged), hwnd);
    }
    RefreshEdit(hwnd, widget, 0);
    return widget;
}

// --- List boxes: the model's rows and selection ---

GtkWidget* ListOf(GtkWidget* widget) {
    GtkWidget* child = gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(widget));
    // A GtkListBox is put in a GtkViewport by the scrolled window.
    if (child && GTK_IS_VIEWPORT(child))
        child = gtk_viewport_get_child(GTK_VIEWPORT(child));
    return child;
}

void RefreshListBox(HWND hwnd, GtkWidget* widget, UINT) {
    Updating guard;
    GtkListBox* list = GTK_LIST_BOX(ListOf(widget));
    while (GtkListBoxRow* row = gtk_list_box_get_row_at_index(list, 0))
        gtk_list_box_remove(list, GTK_WIDGET(row));
    const LRESULT count = SendMessage(hwnd, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessage(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::vector<char> text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        SendMessage(hwnd, LB_GETTEXT, static_cast<WPARAM>(i),
                    reinterpret_cast<LPARAM>(text.data()));
        GtkWidget* label = gtk_label_new(text.data());
        gtk_label_set_xalign(GTK_LABEL(label), 0);
        gtk_list_box_append(list, label);
    }
    const LRESULT selected = SendMessage(hwnd, LB_GETCURSEL, 0, 0);
    GtkListBoxRow* row =
        selected >= 0 ? gtk_list_box_get_row_at_index(list, static_cast<int>(selected)) : nullptr;
    gtk_list_box_select_row(list, row);
}

void OnRowSelected(GtkListBox*, GtkListBoxRow* row, gpointer data) {
    if (!updating && row != nullptr)
        UserInput::SelectListRow(HwndOf(data), gtk_list_box_row_get_index(row));
}

void OnRowActivated(GtkListBox*, GtkListBoxRow* row, gpointer data) {
    if (!updating && row != nullptr)
        UserInput::DoubleClickListRow(HwndOf(data), gtk_list_box_row_get_index(row));
}

GtkWidget* MakeListBox(HWND hwnd) {
    GtkWidget* list = gtk_list_box_new();
    gtk_list_box_set_activate_on_single_click(GTK_LIST_BOX(list), FALSE);
    g_signal_connect(list, "row-selected", G_CALLBACK(OnRowSelected), hwnd);
    g_signal_connect(list, "row-activated", G_CALLBACK(OnRowActivated), hwnd);
    GtkWidget* widget = gtk_scrolled_window_new();
    gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(widget), list);
    RefreshListBox(hwnd, widget, 0);
    return widget;
}

const std::vector<screen::ControlKind>& ControlKinds() {
    static const std::vector<screen::ControlKind> kinds = {
        {"BUTTON", MakeButton, RefreshButton},
        {"STATIC", MakeStatic, RefreshStatic},
        {"EDIT", MakeEdit, RefreshEdit},
        {"LISTBOX", MakeListBox, RefreshListBox},
        // The browser control's web view is made by its presenter (ScreenBrowserView.cpp).
        {kBrowserControlClassName, nullptr, nullptr},
    };
    return kinds;
}

}  // namespace

namespace screen {

const ControlKind* ControlKindOf(HWND hwnd) {
    const std::string name = GetControlClassName(hwnd);
    for (const ControlKind& kind : ControlKinds()) {
        if (g_ascii_strcasecmp(kind.className, name.c_str()) == 0) {
            // An owner-drawn button is shown by its drawing.
            if (g_ascii_strcasecmp(name.c_str(), "BUTTON") == 0 &&
                (StyleOf(hwnd) & BS_TYPEMASK) == BS_OWNERDRAW)
                return nullptr;
            return &kind;
        }
    }
    for (const ControlKind& kind : CommonControlKinds()) {
        if (g_ascii_strcasecmp(kind.className, name.c_str()) == 0)
            return &kind;
    }
    return nullptr;
}

}  // namespace screen
