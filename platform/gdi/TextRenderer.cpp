#include "platform/gdi/TextRenderer.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

namespace {

constexpr const char* kRegularFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf";
constexpr const char* kBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
constexpr const char* kFamily = "DejaVu Sans Condensed";
constexpr int kLargestEm = 2000;  // pixels; larger requests are drawn at this size

// One font map that knows only the two typeface files, and one context over it that
// draws glyphs unsmoothed with whole-pixel metrics. Made once, kept for the process.
struct TextMachinery {
    PangoFontMap* fontMap = nullptr;
    PangoContext* context = nullptr;
    double cellPerEm = 0;                   // line height / character height of the typeface
    std::unordered_map<int, int> lineOfEm;  // the hinted line height at each em size met

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

PangoFontDescription* DescribeSize(int em) {
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, kFamily);
    pango_font_description_set_absolute_size(description, static_cast<double>(em) * PANGO_SCALE);
    return description;
}

// The height of a line (ascent and descent, whole pixels) of the typeface at em pixels.
int LineHeight(TextMachinery& machinery, int em) {
    const auto known = machinery.lineOfEm.find(em);
    if (known != machinery.lineOfEm.end())
        return known->second;
    PangoFontDescription* description = DescribeSize(em);
    PangoFontMetrics* metrics = pango_context_get_metrics(machinery.context, description, nullptr);
    const int line = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics)) +
                     PANGO_PIXELS(pango_font_metrics_get_descent(metrics));
    pango_font_metrics_unref(metrics);
    pango_font_description_free(description);
    machinery.lineOfEm.emplace(em, line);
    return line;
}

// The line a font asks for: its cell height, or for a character height that of the faces
// the code names, whose line is 6/5 of their characters (8 points at 96 dots an inch: 11
// pixels of character on a 13-pixel line, the line the dialog units are counted in).
int CellHeight(const LOGFONT& font) {
    if (font.lfHeight < 0)
        return static_cast<int>(std::lround(-static_cast<double>(font.lfHeight) * 6 / 5));
    return font.lfHeight == 0 ? 13 : static_cast<int>(font.lfHeight);
}

// The typeface is drawn at the largest size whose line fits the font's, so text laid
// out for the named faces (dialogs in dialog units) takes the room it was given.
int EmPixels(TextMachinery& machinery, const LOGFONT& font) {
    const int cell = std::clamp(CellHeight(font), 1, kLargestEm);
    int em = std::clamp(static_cast<int>(cell / machinery.cellPerEm) + 1, 1, kLargestEm);
    while (em > 1 && LineHeight(machinery, em) > cell)
        --em;
    while (em < kLargestEm && LineHeight(machinery, em + 1) <= cell)
        ++em;
    return em;
}

PangoFontDescription* Describe(TextMachinery& machinery, const LOGFONT& font) {
    PangoFontDescription* description = DescribeSize(EmPixels(machinery, font));
    pango_font_description_set_weight(
        description, font.lfWeight >= FW_SEMIBOLD ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description,
                                     font.lfItalic != 0 ? PANGO_STYLE_OBLIQUE : PANGO_STYLE_NORMAL);
    return description;
}

// A layout of one line in the font; the caller unrefs it.
PangoLayout* Layout(TextMachinery& machinery, const LOGFONT& font, const gdi::TextLine& line,
                    int tabWidth) {
    PangoLayout* layout = pango_layout_new(machinery.context);
    PangoFontDescription* description = Describe(machinery, font);
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

const char* const kTypefaceFamily = kFamily;

bool MeasureFont(const LOGFONT& font, FontMetrics* metrics) {
    std::lock_guard lock(TextMutex());
    TextMachinery& machinery = Machinery();
    if (!machinery.Ready())
        return false;
    PangoFontDescription* description = Describe(machinery, font);
    PangoFontMetrics* measured = pango_context_get_metrics(machinery.context, description, nullptr);
    metrics->ascent = PANGO_PIXELS(pango_font_metrics_get_ascent(measured));
    metrics->descent = PANGO_PIXELS(pango_font_metrics_get_descent(measured));
    metrics->emHeight = EmPixels(machinery, font);
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
