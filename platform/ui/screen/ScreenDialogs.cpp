// Message boxes and the file and folder pickers as GTK dialogs, each run in a nested
// GTK loop that keeps serving the thread's messages, as a modal loop does. Asked on a
// thread other than the screen's, they go to the default services (recorded, or
// cancelled), as they do headless. Tests that script answers install their own
// services over these.
#include <gtk/gtk.h>

#include <algorithm>

#include "platform/file/FileLayer.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

namespace {

// GtkFileChooserDialog and GtkDialog are the dialogs of this GTK release.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

// The GtkWindow of owner's top-level window, null when it has none.
GtkWindow* OwnerWindow(HWND owner) {
    HWND top = owner;
    while (top != nullptr && (GetWindowLong(top, GWL_STYLE) & WS_CHILD) != 0)
        top = GetParent(top);
    GtkWidget* widget = top ? screen::WidgetOf(top) : nullptr;
    return widget && GTK_IS_WINDOW(widget) ? GTK_WINDOW(widget) : nullptr;
}

// Shows dialog modally and waits, serving the thread's messages, for its response;
// the dialog is hidden then, and the caller destroys it.
int RunDialog(GtkWidget* dialog) {
    int response = GTK_RESPONSE_NONE;
    bool answered = false;
    struct Answer {
        int* response;
        bool* answered;
    } answer{&response, &answered};
    g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog*, int id, gpointer data) {
                         auto* answer = static_cast<Answer*>(data);
                         *answer->response = id;
                         *answer->answered = true;
                     }),
                     &answer);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    // Esc or the close box answers and hides the dialog; the caller destroys it.
    gtk_window_set_hide_on_close(GTK_WINDOW(dialog), TRUE);
    gtk_window_present(GTK_WINDOW(dialog));
    screen::RunNestedLoop([&answered] { return answered; }, -1, false);
    gtk_widget_set_visible(dialog, FALSE);
    return response;
}

class ScreenMessageBoxes final : public MessageBoxService {
public:
    int Show(const MessageBoxRecord& box) override {
        if (!screen::OnScreenThread())
            return DefaultMessageBoxService().Show(box);
        // The box's text beside the picture of its icon kind, if it asks for one.
        // The names mark the box and its text for whoever reads the screen (the tests).
        GtkWidget* dialog = gtk_dialog_new();
        gtk_widget_set_name(dialog, kMessageBoxName);
        gtk_window_set_transient_for(GTK_WINDOW(dialog), OwnerWindow(box.owner));
        gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
        gtk_window_set_title(GTK_WINDOW(dialog), box.caption.c_str());
        GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 16);
        for (auto setMargin : {gtk_widget_set_margin_top, gtk_widget_set_margin_bottom,
                               gtk_widget_set_margin_start, gtk_widget_set_margin_end})
            setMargin(row, 16);
        if (GdkTexture* icon = screen::MessageBoxIconTexture(box.type)) {
            GtkWidget* image = gtk_image_new_from_paintable(GDK_PAINTABLE(icon));
            gtk_image_set_pixel_size(GTK_IMAGE(image), gdk_texture_get_width(icon));
            gtk_widget_set_valign(image, GTK_ALIGN_START);
            gtk_widget_set_name(image, "morvelle-message-icon");
            gtk_box_append(GTK_BOX(row), image);
            g_object_unref(icon);
        }
        GtkWidget* text = gtk_label_new(box.text.c_str());
        gtk_widget_set_name(text, kMessageBoxTextName);
        gtk_label_set_wrap(GTK_LABEL(text), TRUE);
        // As wide as its longest line, up to 60 characters, before it wraps.
        std::size_t longest = 0;
        for (std::size_t start = 0; start <= box.text.size();) {
            std::size_t end = box.text.find('\n', start);
            if (end == std::string::npos)
                end = box.text.size();
            longest = std::max(longest, end - start);
            start = end + 1;
        }
        gtk_label_set_width_chars(GTK_LABEL(text),
                                  static_cast<int>(std::min<std::size_t>(longest, 60)));
        gtk_label_set_max_width_chars(GTK_LABEL(text), 60);
        gtk_label_set_xalign(GTK_LABEL(text), 0);
        gtk_label_set_selectable(GTK_LABEL(text), FALSE);
        gtk_box_append(GTK_BOX(row), text);
        gtk_box_append(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), row);
        std::vector<std::pair<const char*, int>> buttons;
        switch (box.type & 0xF) {
            case MB_OKCANCEL:
                buttons = {{"OK", IDOK}, {"Cancel", IDCANCEL}};
                break;
            case MB_YESNO:
                buttons = {{"_Yes", IDYES}, {"_No", IDNO}};
                break;
            case MB_YESNOCANCEL:
                buttons = {{"_Yes", IDYES}, {"_No", IDNO}, {"Cancel", IDCANCEL}};
                break;
            default:
                buttons = {{"OK", IDOK}};
                break;
        }
        for (const auto& [label, id] : buttons)
            gtk_dialog_add_button(GTK_DIALOG(dialog), label, id);
        const int fallback = DefaultMessageBoxAnswer(box.type);
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), fallback);
        const int response = RunDialog(dialog);
        gtk_window_destroy(GTK_WINDOW(dialog));
        // Closing the box answers as its Cancel (or its only button) would.
        if (response <= 0) {
            for (const auto& [label, id] : buttons) {
                if (id == IDCANCEL || buttons.size() == 1)
                    return id;
            }
            return IDNO;
        }
        return response;
    }
};

// "Pages (*.htm)|*.htm;*.html|All Files (*.*)|*.*||" as GTK filters.
void AddFilters(GtkFileChooser* chooser, const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = filter.find('|', start)) != std::string::npos; start = at + 1)
        parts.push_back(filter.substr(start, at - start));
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        GtkFileFilter* gtkFilter = gtk_file_filter_new();
        gtk_file_filter_set_name(gtkFilter, parts[i].c_str());
        std::size_t from = 0;
        const std::string& patterns = parts[i + 1];
        for (;;) {
            const std::size_t semicolon = patterns.find(';', from);
            std::string pattern = patterns.substr(from, semicolon - from);
            if (pattern == "*.*")
                pattern = "*";
            if (!pattern.empty())
                gtk_file_filter_add_pattern(gtkFilter, pattern.c_str());
            if (semicolon == std::string::npos)
                break;
            from = semicolon + 1;
        }
        gtk_file_chooser_add_filter(chooser, gtkFilter);
        g_object_unref(gtkFilter);
    }
}

void SetInitialFolder(GtkFileChooser* chooser, const std::string& folder) {
    if (folder.empty())
        return;
    GFile* file = g_file_new_for_path(MapToLinuxPath(folder).c_str());
    gtk_file_chooser_set_current_folder(chooser, file, nullptr);
    g_object_unref(file);
}

std::string PathOf(GFile* file) {
    char* path = file ? g_file_get_path(file) : nullptr;
    std::string text = path ? path : "";
    g_free(path);
    return text;
}

class ScreenPickers final : public DialogService {
public:
    std::string BrowseForFolder(const FolderDialogRecord& dialog) override {
        if (!screen::OnScreenThread())
            return DefaultDialogService().BrowseForFolder(dialog);
        GtkWidget* chooser = gtk_file_chooser_dialog_new(
            dialog.title.c_str(), OwnerWindow(dialog.owner), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
            "_Cancel", GTK_RESPONSE_CANCEL, "_Select", GTK_RESPONSE_ACCEPT, nullptr);
        SetInitialFolder(GTK_FILE_CHOOSER(chooser), dialog.initialFolder);
        std::string chosen;
        if (RunDialog(chooser) == GTK_RESPONSE_ACCEPT) {
            GFile* file = gtk_file_chooser_get_file(GTK_FILE_CHOOSER(chooser));
            chosen = PathOf(file);
            if (file)
                g_object_unref(file);
        }
        gtk_window_destroy(GTK_WINDOW(chooser));
        return chosen;
    }

    std::string ChooseFile(const FileDialogRecord& dialog) override {
        if (!screen::OnScreenThread())
            return DefaultDialogService().ChooseFile(dialog);
        GtkWidget* chooser = gtk_file_chooser_dialog_new(
            dialog.save ? "Save As" : "Open", nullptr,
            dialog.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
            GTK_RESPONSE_CANCEL, dialog.save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
        GtkFileChooser* files = GTK_FILE_CHOOSER(chooser);
        AddFilters(files, dialog.filter);
        SetInitialFolder(files, dialog.initialFolder);
        const bool many = !dialog.save && (dialog.flags & OFN_ALLOWMULTISELECT) != 0;
        gtk_file_chooser_set_select_multiple(files, many);
        std::string chosen;
        if (RunDialog(chooser) == GTK_RESPONSE_ACCEPT) {
            if (many) {
                GListModel* list = gtk_file_chooser_get_files(files);
                const guint count = g_list_model_get_n_items(list);
                for (guint i = 0; i < count; ++i) {
                    auto* file = static_cast<GFile*>(g_list_model_get_item(list, i));
                    const std::string path = PathOf(file);
                    g_object_unref(file);
                    const std::size_t slash = path.rfind('/');
                    if (chosen.empty())
                        chosen = path.substr(0, slash == 0 ? 1 : slash) + '\0';
                    chosen += path.substr(slash + 1) + '\0';
                }
                g_object_unref(list);
            } else {
                GFile* file = gtk_file_chooser_get_file(files);
                chosen = PathOf(file);
                if (file)
                    g_object_unref(file);
            }
        }
        gtk_window_destroy(GTK_WINDOW(chooser));
        return chosen;
    }
};

G_GNUC_END_IGNORE_DEPRECATIONS

}  // namespace

namespace screen {

ScreenMessageBoxes& Boxes() {
    static ScreenMessageBoxes boxes;
    return boxes;
}

void StartDialogs() {
    static ScreenPickers pickers;
    SetMessageBoxService(&Boxes());
    SetDialogService(&pickers);
}

}  // namespace screen

bool UseScreenDialogs() {
    if (!screen::OnScreenThread())
        return false;
    screen::StartDialogs();
    return true;
}
