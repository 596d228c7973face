// The controls shown by GTK widgets of their own, by class name. What the person does
// on them goes to the model as the calls of UserInput.h; the model's answer comes back
// through the presentation (refresh), so a widget always shows the model's state. A
// guard keeps a widget's own update from being taken for the person's input.
//
// The common controls are in ScreenCommonControls.cpp. A class in neither table is shown as a
// canvas of its drawing (ScreenPresentation.cpp).
#include <gtk/gtk.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
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
//
// Each change GTK makes to the text (a key, a paste, a deletion) reaches the model as it
// happens, as the keys that make it (UserInput::ReplaceText), and each move of the caret
// or the selection as a selection (UserInput::SelectText). The widget keeps its caret:
// the model's text is written back only when it differs from what is shown (the program
// set another text, or the edit refused a key), and then with the model's selection.

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

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte of the model's text (CR LF line ends) where GTK's character offset falls: the
// widget shows every character but the CRs.
std::size_t ModelOffset(const std::string& model, int characters) {
    std::size_t at = 0;
    int seen = 0;
    while (at < model.size()) {
        if (model[at] == '\r') {
            ++at;
            continue;
        }
        if (seen == characters)
            return at;
        for (++at; at < model.size() && IsContinuationByte(model[at]); ++at) {
        }
        ++seen;
    }
    return model.size();
}

// GTK's character offset of a byte of the model's text.
int WidgetOffset(const std::string& model, std::size_t bytes) {
    int characters = 0;
    for (std::size_t at = 0; at < model.size() && at < bytes; ++at) {
        if (!IsContinuationByte(model[at]) && model[at] != '\r')
            ++characters;
    }
    return characters;
}

// The one edit that turns before into after: the bytes [start, end) of before replaced
// by after's [start, afterEnd), cut on whole characters and whole line ends.
struct TextChange {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t afterEnd = 0;
};

// Whether a cut at byte at of text falls inside a character or a CR LF.
bool InsideCharacter(const std::string& text, std::size_t at) {
    if (at == 0 || at >= text.size())
        return false;
    return IsContinuationByte(text[at]) || (text[at] == '\n' && text[at - 1] == '\r');
}

TextChange ChangeBetween(const std::string& before, const std::string& after) {
    const std::size_t shortest = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shortest && before[prefix] == after[prefix])
        ++prefix;
    while (prefix > 0 && (InsideCharacter(before, prefix) || InsideCharacter(after, prefix)))
        --prefix;
    std::size_t suffix = 0;
    while (suffix < shortest - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    while (suffix > 0 && (InsideCharacter(before, before.size() - suffix) ||
                          InsideCharacter(after, after.size() - suffix)))
        --suffix;
    return TextChange{prefix, before.size() - suffix, after.size() - suffix};
}

// The edit whose widget change the model is being told: its model's echoes of the
// change in progress are not shown (the widget has them already).
HWND learningEdit = nullptr;

GtkWidget* TextViewOf(GtkWidget* widget) {
    return GTK_IS_SCROLLED_WINDOW(widget)
               ? gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(widget))
               : nullptr;
}

// What the widget shows, in the model's form.
std::string ShownText(GtkWidget* widget) {
    if (GtkWidget* view = TextViewOf(widget)) {
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
        GtkTextIter start;
        GtkTextIter end;
        gtk_text_buffer_get_bounds(buffer, &start, &end);
        char* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
        std::string shown = ToModelText(text);
        g_free(text);
        return shown;
    }
    return ToModelText(gtk_editable_get_text(GTK_EDITABLE(widget)));
}

// The widget's selection as character offsets (the caret where they are equal); the
// caret's end second.
void ShownSelection(GtkWidget* widget, int* anchor, int* caret) {
    if (GtkWidget* view = TextViewOf(widget)) {
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
        GtkTextIter insert;
        GtkTextIter bound;
        gtk_text_buffer_get_iter_at_mark(buffer, &insert, gtk_text_buffer_get_insert(buffer));
        gtk_text_buffer_get_iter_at_mark(buffer, &bound,
                                         gtk_text_buffer_get_selection_bound(buffer));
        *anchor = gtk_text_iter_get_offset(&bound);
        *caret = gtk_text_iter_get_offset(&insert);
        return;
    }
    int start = 0;
    int end = 0;
    if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(widget), &start, &end))
        start = end = gtk_editable_get_position(GTK_EDITABLE(widget));
    *anchor = start;
    *caret = end;
}

// Shows the model's selection (character offsets from its bytes).
void ShowModelSelection(HWND hwnd, GtkWidget* widget) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessage(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::string model = GetWindowText(hwnd);
    const int from = WidgetOffset(model, start);
    const int to = WidgetOffset(model, end);
    int anchor = 0;
    int caret = 0;
    ShownSelection(widget, &anchor, &caret);
    if (std::min(anchor, caret) == from && std::max(anchor, caret) == to)
        return;
    if (GtkWidget* view = TextViewOf(widget)) {
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
        GtkTextIter first;
        GtkTextIter last;
        gtk_text_buffer_get_iter_at_offset(buffer, &first, from);
        gtk_text_buffer_get_iter_at_offset(buffer, &last, to);
        gtk_text_buffer_select_range(buffer, &last, &first);
    } else {
        gtk_editable_select_region(GTK_EDITABLE(widget), from, to);
    }
}

void RefreshEdit(HWND hwnd, GtkWidget* widget, UINT message) {
    if (hwnd == learningEdit)
        return;
    Updating guard;
    const std::string model = GetWindowText(hwnd);
    const std::string text = ToWidgetText(model);
    const bool readOnly = (StyleOf(hwnd) & ES_READONLY) != 0;
    const bool changed = model != ShownText(widget);
    if (GtkWidget* view = TextViewOf(widget)) {
        if (changed)
            gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), text.c_str(),
                                     -1);
        gtk_text_view_set_editable(GTK_TEXT_VIEW(view), !readOnly);
    } else if (GTK_IS_ENTRY(widget)) {
        if (changed)
            gtk_editable_set_text(GTK_EDITABLE(widget), text.c_str());
        gtk_editable_set_editable(GTK_EDITABLE(widget), !readOnly);
    }
    // A new text, or the program's own selection, shows the model's selection; an echo of
    // the text the widget shows leaves the caret where the person's keys put it.
    if (changed || message == EM_SETSEL)
        ShowModelSelection(hwnd, widget);
}

// The widget shows the model again after the model kept less than the person typed.
struct PendingRefresh {
    HWND hwnd;
    GtkWidget* widget;
};

gboolean RefreshEditNow(gpointer data) {
    std::unique_ptr<PendingRefresh> pending(static_cast<PendingRefresh*>(data));
    if (IsWindow(pending->hwnd))
        RefreshEdit(pending->hwnd, pending->widget, EM_SETSEL);
    g_object_unref(pending->widget);
    return G_SOURCE_REMOVE;
}

// The person's selection, as the model learns it: only while the model holds the text
// shown (in the middle of a change the change itself tells it).
void LearnSelection(HWND hwnd, GtkWidget* widget) {
    if (updating || hwnd == learningEdit || !IsWindow(hwnd))
        return;
    const std::string model = GetWindowText(hwnd);
    if (model != ShownText(widget))
        return;
    int anchor = 0;
    int caret = 0;
    ShownSelection(widget, &anchor, &caret);
    const std::size_t from = ModelOffset(model, std::min(anchor, caret));
    const std::size_t to = ModelOffset(model, std::max(anchor, caret));
    DWORD start = 0;
    DWORD end = 0;
    SendMessage(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start != from || end != to)
        UserInput::SelectText(hwnd, from, to);
}

// The widget's text changed: the model is told the one change that makes its text the
// widget's, typed as keys.
void LearnChange(HWND hwnd, GtkWidget* widget) {
    if (updating || !IsWindow(hwnd))
        return;
    const std::string shown = ShownText(widget);
    const std::string model = GetWindowText(hwnd);
    if (shown != model) {
        if (GetFocus() != hwnd)
            UserInput::Focus(hwnd);  // what the person types into has the focus
        const TextChange change = ChangeBetween(model, shown);
        learningEdit = hwnd;
        UserInput::ReplaceText(
            hwnd, change.start, change.end,
            std::string_view(shown).substr(change.start, change.afterEnd - change.start));
        learningEdit = nullptr;
        if (IsWindow(hwnd) && GetWindowText(hwnd) != shown) {
            // Not from inside GTK's change: the widget is set right from an idle call.
            screen::RunSoon(RefreshEditNow,
                            new PendingRefresh{hwnd, GTK_WIDGET(g_object_ref(widget))});
            return;
        }
    }
    LearnSelection(hwnd, widget);
}

void OnEntryChanged(GtkEditable* editable, gpointer data) {
    LearnChange(HwndOf(data), GTK_WIDGET(editable));
}

void OnEntrySelectionMoved(GObject* editable, GParamSpec*, gpointer data) {
    LearnSelection(HwndOf(data), GTK_WIDGET(editable));
}

// The text view's buffer tells its changes and marks; the model learns them for the
// scrolled window that shows the edit.
void OnBufferChanged(GtkTextBuffer*, gpointer data) {
    const HWND hwnd = HwndOf(data);
    if (GtkWidget* widget = screen::WidgetOf(hwnd))
        LearnChange(hwnd, widget);
}

void OnBufferMarkSet(GtkTextBuffer* buffer, GtkTextIter*, GtkTextMark* mark, gpointer data) {
    if (mark != gtk_text_buffer_get_insert(buffer) &&
        mark != gtk_text_buffer_get_selection_bound(buffer))
        return;
    const HWND hwnd = HwndOf(data);
    if (GtkWidget* widget = screen::WidgetOf(hwnd))
        LearnSelection(hwnd, widget);
}

GtkWidget* MakeEdit(HWND hwnd) {
    GtkWidget* widget = nullptr;
    if (StyleOf(hwnd) & ES_MULTILINE) {
        GtkWidget* view = gtk_text_view_new();
        // Tab moves the focus, as in a dialog; Enter is the dialog's unless ES_WANTRETURN.
        gtk_text_view_set_accepts_tab(GTK_TEXT_VIEW(view), FALSE);
        widget = gtk_scrolled_window_new();
        gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(widget), view);
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
        g_signal_connect(buffer, "changed", G_CALLBACK(OnBufferChanged), hwnd);
        g_signal_connect(buffer, "mark-set", G_CALLBACK(OnBufferMarkSet), hwnd);
    } else {
        widget = gtk_entry_new();
        if (StyleOf(hwnd) & ES_PASSWORD)
            gtk_entry_set_visibility(GTK_ENTRY(widget), FALSE);
        g_signal_connect(widget, "changed", G_CALLBACK(OnEntryChanged), hwnd);
        g_signal_connect(widget, "notify::cursor-position", G_CALLBACK(OnEntrySelectionMoved),
                         hwnd);
        g_signal_connect(widget, "notify::selection-bound", G_CALLBACK(OnEntrySelectionMoved),
                         hwnd);
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

// The text of the model's row.
std::string ListBoxRowText(HWND hwnd, LRESULT row) {
    const LRESULT length = SendMessage(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    std::vector<char> text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
    SendMessage(hwnd, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

// Whether the list shows the model's rows as they are.
bool ShowsRows(HWND hwnd, GtkListBox* list, LRESULT count) {
    for (LRESULT i = 0; i < count; ++i) {
        GtkListBoxRow* row = gtk_list_box_get_row_at_index(list, static_cast<int>(i));
        GtkWidget* label = row ? gtk_list_box_row_get_child(row) : nullptr;
        if (label == nullptr || !GTK_IS_LABEL(label) ||
            ListBoxRowText(hwnd, i) != gtk_label_get_text(GTK_LABEL(label)))
            return false;
    }
    return gtk_list_box_get_row_at_index(list, static_cast<int>(count)) == nullptr;
}

void RefreshListBox(HWND hwnd, GtkWidget* widget, UINT) {
    Updating guard;
    GtkListBox* list = GTK_LIST_BOX(ListOf(widget));
    const LRESULT count = SendMessage(hwnd, LB_GETCOUNT, 0, 0);
    // Rows that did not change stay (a selection made with a click keeps its focused row,
    // and the keys that follow it).
    if (!ShowsRows(hwnd, list, count)) {
        while (GtkListBoxRow* row = gtk_list_box_get_row_at_index(list, 0))
            gtk_list_box_remove(list, GTK_WIDGET(row));
        for (LRESULT i = 0; i < count; ++i) {
            GtkWidget* label = gtk_label_new(ListBoxRowText(hwnd, i).c_str());
            gtk_label_set_xalign(GTK_LABEL(label), 0);
            gtk_list_box_append(list, label);
        }
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
