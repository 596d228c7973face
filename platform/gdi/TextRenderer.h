// Inside the graphics layer only: text laid out and drawn with the one typeface.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/GdiObjects.h"

namespace gdi {

// A line to draw: its text and the byte ranges to underline.
struct TextLine {
    std::string text;
    std::vector<std::pair<int, int>> underlined;  // [start, end) byte offsets
};

// The family name of the one typeface.
extern const char* const kTypefaceFamily;

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int emHeight = 0;
    int averageWidth = 0;
    int maxWidth = 0;
};

// All three take the font of a LOGFONT and run under the text machinery's lock. False
// when the typeface cannot be loaded. tabWidth 0 keeps the typeface's own tab stops.
bool MeasureFont(const LOGFONT& font, FontMetrics* metrics);
bool MeasureLine(const LOGFONT& font, const TextLine& line, int tabWidth, int* width);
// Draws a line with its baseline at (x, y) in colour, clipped to clip unless null.
bool DrawLine(const LOGFONT& font, const TextLine& line, int tabWidth, HBITMAP__* bitmap, int x,
              int y, COLORREF colour, const RECT* clip);

}  // namespace gdi
