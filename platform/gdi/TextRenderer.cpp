#include "platform/gdi/TextRenderer.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <cmath>
#include <mutex>

namespace {

constexpr const char* kRegularFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kFamily = "DejaVu Sans";

// One font map that knows only the DejaVu Sans files, and one context over it that
// draws glyphs unsmoothed with whole-pixel metrics. Made once, kept for the process.
struct TextMachinery {
    PangoFontMap* fontMap = nullptr;
    PangoContext* context = nullptr;
    double cellPerEm = 0;  // line height / character height of the typeface

    TextMachinery() {
        FcConfig* config = FcConfigCreate();
        if (config == nullptr)
            return;
        const bool regular =
            FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(kRegularFile));
        FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(kBoldFile));
        if (!regular) {
            FcConfigDestroy(config);
            return;
        }
        fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        if (fontMap == nullptr) {
            FcConfigDestroy(config);
            return;
        }
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fontMap), config);
        FcConfigDestroy(config);  // the font map holds its own reference
        context = pango_font_map_create_context(fontMap);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(context, TRUE);

        PangoFontDescription* probe = pango_font_description_new();
        pango_font_description_set_family(probe, kFamily);
        pango_font_description_set_absolute_size(probe, 100.0 * PANGO_SCALE);
        PangoFontMetrics* metrics = pango_context_get_metrics(context, probe, nullptr);
        cellPerEm =
            (pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics)) /
            (100.0 * PANGO_SCALE);
        pango_font_metrics_unref(metrics);
        pango_font_description_free(probe);
    }

    bool Ready() const { return context != nullptr && cellPerEm > 0; }
};

std::mutex& TextMutex() {
    static std::mutex mutex;
    return mutex;
}

// Call with the text lock held.
TextMachinery& Machinery() {
    static TextMachinery machinery;
    return machinery;
}

int EmPixels(const LOGFONT& font, double cellPerEm) {
    if (font.lfHeight < 0)
        return -font.lfHeight;
    const LONG cell = font.lfHeight == 0 ? 13 : font.lfHeight;
    return std::max(1, static_cast<int>(std::lround(cell / cellPerEm)));
}

PangoFontDescription* Describe(const LOGFONT& font, double cellPerEm) {
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, kFamily);
    pango_font_description_set_weight(
        description, font.lfWeight >= FW_SEMIBOLD ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description,
                                     font.lfItalic != 0 ? PANGO_STYLE_OBLIQUE : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(
        description, static_cast<double>(EmPixels(font, cellPerEm)) * PANGO_SCALE);
    return description;
}

// A layout of one line in the font; the caller unrefs it.
PangoLayout* Layout(TextMachinery& machinery, const LOGFONT& font, const gdi::TextLine& line,
                    int tabWidth) {
    PangoLayout* layout = pango_layout_new(machinery.context);
    PangoFontDescription* description = Describe(font, machinery.cellPerEm);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    gchar* valid = g_utf8_make_valid(line.text.data(), static_cast<gssize>(line.text.size()));
    pango_layout_set_text(layout, valid, -1);
    g_free(valid);
    PangoAttrList* attributes = pango_attr_list_new();
    auto underline = [&](int start, int end) {
        PangoAttribute* attribute = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
        attribute->start_index = static_cast<guint>(start);
        attribute->end_index = static_cast<guint>(end);
        pango_attr_list_insert(attributes, attribute);
    };
    if (font.lfUnderline != 0)
        underline(0, static_cast<int>(line.text.size()));
    for (const auto& [start, end] : line.underlined)
        underline(start, end);
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
    if (tabWidth > 0) {
        PangoTabArray* tabs = pango_tab_array_new(1, TRUE);
        pango_tab_array_set_tab(tabs, 0, PANGO_TAB_LEFT, tabWidth);
        pango_layout_set_tabs(layout, tabs);
        pango_tab_array_free(tabs);
    }
    return layout;
}

}  // namespace

namespace gdi {

bool MeasureFont(const LOGFONT& font, FontMetrics* metrics) {
    std::lock_guard lock(TextMutex());
    TextMachinery& machinery = Machinery();
    if (!machinery.Ready())
        return false;
    PangoFontDescription* description = Describe(font, machinery.cellPerEm);
    PangoFontMetrics* measured = pango_context_get_metrics(machinery.context, description, nullptr);
    metrics->ascent = PANGO_PIXELS(pango_font_metrics_get_ascent(measured));
    metrics->descent = PANGO_PIXELS(pango_font_metrics_get_descent(measured));
    metrics->emHeight = EmPixels(font, machinery.cellPerEm);
    metrics->averageWidth = PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(measured));
    pango_font_metrics_unref(measured);
    pango_font_description_free(description);

    // The widest capital gives the widest character of ordinary text.
    PangoLayout* layout = Layout(machinery, font, TextLine{"W", {}}, 0);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    metrics->maxWidth = logical.width;
    g_object_unref(layout);
    return true;
}

bool MeasureLine(const LOGFONT& font, const TextLine& line, int tabWidth, int* width) {
    std::lock_guard lock(TextMutex());
    TextMachinery& machinery = Machinery();
    if (!machinery.Ready())
        return false;
    PangoLayout* layout = Layout(machinery, font, line, tabWidth);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    *width = logical.width;
    g_object_unref(layout);
    return true;
}

bool DrawLine(const LOGFONT& font, const TextLine& line, int tabWidth, HBITMAP__* bitmap, int x,
              int y, COLORREF colour, const RECT* clip) {
    if (bitmap == nullptr || bitmap->surface == nullptr)
        return false;
    std::lock_guard lock(TextMutex());
    TextMachinery& machinery = Machinery();
    if (!machinery.Ready())
        return false;
    cairo_t* cairo = cairo_create(bitmap->surface);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    if (clip != nullptr) {
        cairo_rectangle(cairo, clip->left, clip->top, clip->right - clip->left,
                        clip->bottom - clip->top);
        cairo_clip(cairo);
    }
    cairo_set_source_rgb(cairo, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0,
                         GetBValue(colour) / 255.0);
    pango_cairo_update_context(cairo, machinery.context);
    PangoLayout* layout = Layout(machinery, font, line, tabWidth);
    cairo_move_to(cairo, x, y);
    pango_cairo_show_layout_line(cairo, pango_layout_get_line_readonly(layout, 0));
    g_object_unref(layout);
    cairo_destroy(cairo);
    cairo_surface_flush(bitmap->surface);
    return true;
}

}  // namespace gdi
