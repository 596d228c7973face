// Icons on the screen: the model's icons as textures, a top-level window's big and small
// icon as its surface's icon list (what a window manager shows), and the pictures of
// the message boxes' icon kinds, drawn here.
#include <gtk/gtk.h>

#include <cmath>
#include <vector>

#include "platform/gdi/GdiIcons.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowTree.h"

namespace {

constexpr int kMessageIconSize = 32;

HICON WindowIcon(HWND hwnd, WPARAM which) {
    return reinterpret_cast<HICON>(SendMessage(hwnd, WM_GETICON, which, 0));
}

void SetIconList(GtkWidget* window, HWND hwnd) {
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
    if (surface == nullptr || !GDK_IS_TOPLEVEL(surface) || !IsWindow(hwnd))
        return;
    GList* textures = nullptr;
    const HICON big = WindowIcon(hwnd, ICON_BIG);
    const HICON small = WindowIcon(hwnd, ICON_SMALL);
    for (const HICON icon : {big, small == big ? nullptr : small}) {
        if (icon == nullptr)
            continue;
        if (GdkTexture* texture = screen::TextureOfIcon(icon))
            textures = g_list_append(textures, texture);
    }
    if (textures != nullptr)
        gdk_toplevel_set_icon_list(GDK_TOPLEVEL(surface), textures);
    g_list_free_full(textures, g_object_unref);
}

// The icons are read (WM_GETICON) from an idle call, outside every presentation call
// and GTK handler.
gboolean SetIconListSoon(gpointer data) {
    const HWND hwnd = static_cast<HWND>(data);
    GtkWidget* window = IsWindow(hwnd) ? screen::WidgetOf(hwnd) : nullptr;
    if (window != nullptr && GTK_IS_WINDOW(window) && gtk_widget_get_realized(window))
        SetIconList(window, hwnd);
    return G_SOURCE_REMOVE;
}

// GTK sets a window's icon list as it is realized: the model's go on after it.
void OnWindowRealized(GtkWidget*, gpointer data) {
    g_idle_add(SetIconListSoon, data);
}

void Disc(cairo_t* cr, double r, double g, double b) {
    cairo_arc(cr, 16, 16, 15, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, r * 0.65, g * 0.65, b * 0.65);
    cairo_fill(cr);
    cairo_arc(cr, 16, 16, 13.5, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_fill(cr);
}

// One bold character, centred on (16, y) in the colour set.
void Mark(cairo_t* cr, const char* text, double y) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans Bold");
    pango_font_description_set_absolute_size(font, 22 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, text, -1);
    PangoRectangle ink;
    pango_layout_get_pixel_extents(layout, &ink, nullptr);
    cairo_move_to(cr, 16 - ink.x - ink.width / 2.0, y - ink.y - ink.height / 2.0);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

}  // namespace

namespace screen {

GdkTexture* TextureOfIcon(HICON icon) {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    if (!GetIconPixels(icon, &width, &height, &pixels) || pixels.empty())
        return nullptr;
    // 0xAARRGGBB words are B, G, R, A bytes in memory; the alpha is not premultiplied.
    GBytes* bytes = g_bytes_new(pixels.data(), pixels.size() * sizeof(DWORD));
    GdkTexture* texture = gdk_memory_texture_new(width, height, GDK_MEMORY_B8G8R8A8, bytes,
                                                 static_cast<gsize>(width) * 4);
    g_bytes_unref(bytes);
    return texture;
}

void WatchWindowIcons(HWND hwnd, GtkWidget* window) {
    g_signal_connect_after(window, "realize", G_CALLBACK(OnWindowRealized), hwnd);
}

void ShowWindowIcons(HWND hwnd, GtkWidget* window) {
    if (gtk_widget_get_realized(window))
        g_idle_add(SetIconListSoon, hwnd);
}

GdkTexture* MessageBoxIconTexture(UINT type) {
    const UINT kind = type & 0xF0;
    if (kind != MB_ICONHAND && kind != MB_ICONQUESTION && kind != MB_ICONEXCLAMATION &&
        kind != MB_ICONINFORMATION)
        return nullptr;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kMessageIconSize, kMessageIconSize);
    cairo_t* cr = cairo_create(surface);
    if (kind == MB_ICONHAND) {
        // A red disc with a white cross.
        Disc(cr, 0.80, 0.14, 0.14);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, 3.6);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, 10.5, 10.5);
        cairo_line_to(cr, 21.5, 21.5);
        cairo_move_to(cr, 21.5, 10.5);
        cairo_line_to(cr, 10.5, 21.5);
        cairo_stroke(cr);
    } else if (kind == MB_ICONEXCLAMATION) {
        // A yellow triangle with a black "!".
        cairo_move_to(cr, 16, 1.5);
        cairo_line_to(cr, 31, 29.5);
        cairo_line_to(cr, 1, 29.5);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 0.47, 0.31, 0.08);
        cairo_fill(cr);
        cairo_move_to(cr, 16, 4.8);
        cairo_line_to(cr, 28.2, 27.6);
        cairo_line_to(cr, 3.8, 27.6);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 0.96, 0.78, 0.12);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        Mark(cr, "!", 19);
    } else {
        // A blue disc with a white "i" or "?".
        Disc(cr, 0.13, 0.35, 0.71);
        cairo_set_source_rgb(cr, 1, 1, 1);
        Mark(cr, kind == MB_ICONQUESTION ? "?" : "i", 16);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    GBytes* bytes =
        g_bytes_new(cairo_image_surface_get_data(surface),
                    static_cast<gsize>(cairo_image_surface_get_stride(surface)) * kMessageIconSize);
    GdkTexture* texture =
        gdk_memory_texture_new(kMessageIconSize, kMessageIconSize, GDK_MEMORY_DEFAULT, bytes,
                               static_cast<gsize>(cairo_image_surface_get_stride(surface)));
    g_bytes_unref(bytes);
    cairo_surface_destroy(surface);
    return texture;
}

}  // namespace screen
