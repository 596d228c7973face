// Screenshots for the tests: GTK renders the window's widgets into a texture, and each
// web view inside is painted over its place from WebKit's own snapshot of it (a web
// view's content comes from another process; its own snapshot is the reliable copy).
#include <cairo.h>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <memory>
#include <vector>

#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/window/WindowTree.h"

namespace {

constexpr int kSnapshotTimeoutMs = 5000;
constexpr int kPaintTimeoutMs = 1000;

// A texture as a cairo image surface (a copy); null on failure.
cairo_surface_t* SurfaceOf(GdkTexture* texture) {
    const int width = gdk_texture_get_width(texture);
    const int height = gdk_texture_get_height(texture);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    gdk_texture_download(texture, cairo_image_surface_get_data(surface),
                         static_cast<gsize>(cairo_image_surface_get_stride(surface)));
    cairo_surface_mark_dirty(surface);
    return surface;
}

// GTK's rendering of widget at its size; null when it is not on screen.
GdkTexture* RenderWidget(GtkWidget* widget) {
    const int width = gtk_widget_get_width(widget);
    const int height = gtk_widget_get_height(widget);
    GtkNative* native = gtk_widget_get_native(widget);
    if (width <= 0 || height <= 0 || native == nullptr)
        return nullptr;
    GskRenderer* renderer = gtk_native_get_renderer(native);
    GdkPaintable* paintable = gtk_widget_paintable_new(widget);
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable, snapshot, width, height);
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    GdkTexture* texture = nullptr;
    if (node != nullptr && renderer != nullptr) {
        const graphene_rect_t viewport =
            GRAPHENE_RECT_INIT(0, 0, static_cast<float>(width), static_cast<float>(height));
        texture = gsk_renderer_render_texture(renderer, node, &viewport);
        gsk_render_node_unref(node);
    }
    g_object_unref(paintable);
    return texture;
}

// WebKit's snapshot of what a web view shows; null when it gives none in time.
GdkTexture* SnapshotWebView(WebKitWebView* web) {
    struct Result {
        GdkTexture* texture = nullptr;
        bool done = false;
    };
    auto result = std::make_shared<Result>();
    auto* keep = new std::shared_ptr<Result>(result);
    webkit_web_view_get_snapshot(
        web, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr,
        [](GObject* source, GAsyncResult* async, gpointer data) {
            std::unique_ptr<std::shared_ptr<Result>> result(
                static_cast<std::shared_ptr<Result>*>(data));
            (*result)->texture =
                webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), async, nullptr);
            (*result)->done = true;
        },
        keep);
    screen::RunNestedLoop([result] { return result->done; }, kSnapshotTimeoutMs, true);
    if (!result->done)
        return nullptr;
    GdkTexture* texture = result->texture;
    result->texture = nullptr;
    return texture;
}

// The web views in widget's tree, drawn by WebKit where they stand.
void PaintWebViews(cairo_t* cr, GtkWidget* root, GtkWidget* widget) {
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child)) {
        if (!gtk_widget_get_mapped(child))
            continue;
        if (WEBKIT_IS_WEB_VIEW(child)) {
            const graphene_point_t origin = GRAPHENE_POINT_INIT(0, 0);
            graphene_point_t at;
            if (!gtk_widget_compute_point(child, root, &origin, &at))
                continue;
            GdkTexture* texture = SnapshotWebView(WEBKIT_WEB_VIEW(child));
            if (texture == nullptr)
                continue;
            if (cairo_surface_t* image = SurfaceOf(texture)) {
                cairo_save(cr);
                cairo_rectangle(cr, at.x, at.y, gtk_widget_get_width(child),
                                gtk_widget_get_height(child));
                cairo_clip(cr);
                cairo_set_source_surface(cr, image, at.x, at.y);
                cairo_paint(cr);
                cairo_restore(cr);
                cairo_surface_destroy(image);
            }
            g_object_unref(texture);
            continue;
        }
        PaintWebViews(cr, root, child);
    }
}

// Waits until GTK has painted a frame of the surface that shows widget: a window just
// shown renders blank until its first frame.
void WaitForPaint(GtkWidget* widget) {
    GtkNative* native = gtk_widget_get_native(widget);
    // A window just shown is mapped (and has a surface) once GTK has served its events.
    screen::RunNestedLoop([widget] { return gtk_widget_get_mapped(widget) != 0; }, kPaintTimeoutMs,
                          false);
    GdkSurface* surface = native != nullptr ? gtk_native_get_surface(native) : nullptr;
    GdkFrameClock* clock = surface != nullptr ? gdk_surface_get_frame_clock(surface) : nullptr;
    if (clock == nullptr)
        return;
    auto painted = std::make_shared<bool>(false);
    const gulong handler = g_signal_connect(
        clock, "after-paint",
        G_CALLBACK(+[](GdkFrameClock*, gpointer data) { *static_cast<bool*>(data) = true; }),
        painted.get());
    gtk_widget_queue_draw(widget);
    screen::RunNestedLoop([painted] { return *painted; }, kPaintTimeoutMs, false);
    g_signal_handler_disconnect(clock, handler);
}

}  // namespace

bool SaveWindowScreenshot(HWND hwnd, const std::string& pngPath) {
    if (!screen::OnScreenThread())
        return false;
    GtkWidget* widget = screen::WidgetOf(hwnd);
    if (widget == nullptr)
        return false;
    // Let GTK lay out and draw what is pending first.
    screen::RunNestedLoop([] { return !g_main_context_pending(nullptr); }, 500, false);
    WaitForPaint(widget);
    const int width = gtk_widget_get_width(widget);
    const int height = gtk_widget_get_height(widget);
    if (width <= 0 || height <= 0)
        return false;
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    if (GdkTexture* texture = RenderWidget(widget)) {
        if (cairo_surface_t* image = SurfaceOf(texture)) {
            cairo_set_source_surface(cr, image, 0, 0);
            cairo_paint(cr);
            cairo_surface_destroy(image);
        }
        g_object_unref(texture);
    }
    if (WEBKIT_IS_WEB_VIEW(widget)) {
        if (GdkTexture* texture = SnapshotWebView(WEBKIT_WEB_VIEW(widget))) {
            if (cairo_surface_t* image = SurfaceOf(texture)) {
                cairo_set_source_surface(cr, image, 0, 0);
                cairo_paint(cr);
                cairo_surface_destroy(image);
            }
            g_object_unref(texture);
        }
    } else {
        PaintWebViews(cr, widget, widget);
    }
    cairo_destroy(cr);
    const bool saved = cairo_surface_write_to_png(target, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(target);
    return saved;
}
