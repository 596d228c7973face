#include "platform/gdi/GdiText.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/TextRenderer.h"
#include "platform/text/Text.h"

using gdi::Find;

namespace {

const LOGFONT* FontOf(const HDC__* dc) {
    const HFONT__* font = Find<HFONT__>(dc->font);
    return font != nullptr ? &font->font : nullptr;
}

std::string WideToUtf8(const wchar_t* text, int count) {
    std::string out;
    if (text == nullptr)
        return out;
    const std::size_t length = count < 0 ? std::wcslen(text) : static_cast<std::size_t>(count);
    for (std::size_t i = 0; i < length; ++i) {
        auto code = static_cast<std::uint32_t>(text[i]);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            code = 0xFFFD;
        AppendUtf8(out, code);
    }
    return out;
}

// One line as shown: "&" prefixes taken out (the next character underlined, "&&" shown
// as "&") unless noPrefix; tabs dropped unless kept.
gdi::TextLine Shown(std::string_view raw, bool noPrefix, bool keepTabs) {
    gdi::TextLine line;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\t' && !keepTabs)
            continue;
        if (c == '&' && !noPrefix) {
            if (i + 1 >= raw.size())
                break;
            ++i;
            if (raw[i] == '&') {
                line.text += '&';
                continue;
            }
            // The whole UTF-8 character after the prefix is underlined.
            std::size_t end = i + 1;
            while (end < raw.size() && (static_cast<unsigned char>(raw[end]) & 0xC0) == 0x80)
                ++end;
            const int start = static_cast<int>(line.text.size());
            line.text.append(raw.substr(i, end - i));
            line.underlined.emplace_back(start, static_cast<int>(line.text.size()));
            i = end - 1;
            continue;
        }
        line.text += c;
    }
    return line;
}

struct Laid {
    gdi::TextLine line;
    int width = 0;
};

// Cuts text into the lines DrawText shows, each measured. False when measuring fails.
bool LayOut(const LOGFONT& font, std::string_view text, UINT format, int tabWidth, int maxWidth,
            std::vector<Laid>* lines) {
    const bool noPrefix = (format & DT_NOPREFIX) != 0;
    const bool keepTabs = (format & DT_EXPANDTABS) != 0;
    auto add = [&](std::string_view raw) {
        Laid laid{Shown(raw, noPrefix, keepTabs), 0};
        if (!gdi::MeasureLine(font, laid.line, tabWidth, &laid.width))
            return false;
        lines->push_back(std::move(laid));
        return true;
    };

    std::vector<std::string> paragraphs;
    if ((format & DT_SINGLELINE) != 0) {
        std::string joined;
        for (char c : text)
            if (c != '\r' && c != '\n')
                joined += c;
        paragraphs.push_back(std::move(joined));
    } else {
        std::size_t start = 0;
        while (true) {
            const std::size_t end = text.find('\n', start);
            std::string_view piece = text.substr(
                start, end == std::string_view::npos ? std::string_view::npos : end - start);
            if (!piece.empty() && piece.back() == '\r')
                piece.remove_suffix(1);
            paragraphs.emplace_back(piece);
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
    }

    const bool wrap = (format & DT_WORDBREAK) != 0 && (format & DT_SINGLELINE) == 0;
    for (const std::string& paragraph : paragraphs) {
        if (!wrap) {
            if (!add(paragraph))
                return false;
            continue;
        }
        // Greedy: words join the line while it stays within maxWidth.
        std::string current;
        std::size_t at = 0;
        bool any = false;
        while (at <= paragraph.size()) {
            std::size_t space = paragraph.find(' ', at);
            if (space == std::string::npos)
                space = paragraph.size();
            const std::string word = paragraph.substr(at, space - at);
            const std::string candidate = current.empty() && !any ? word : current + " " + word;
            int width = 0;
            if (!gdi::MeasureLine(font, Shown(candidate, noPrefix, keepTabs), tabWidth, &width))
                return false;
            if (width > maxWidth && any) {
                if (!add(current))
                    return false;
                current = word;
            } else {
                current = candidate;
            }
            any = true;
            at = space + 1;
        }
        if (!add(current))
            return false;
    }
    return true;
}

int DrawUtf8(HDC dc, std::string_view text, RECT* rect, UINT format) {
    HDC__* context = Find<HDC__>(dc);
    if (context == nullptr || rect == nullptr)
        return 0;
    const LOGFONT* font = FontOf(context);
    gdi::FontMetrics metrics;
    if (font == nullptr || !gdi::MeasureFont(*font, &metrics))
        return 0;
    const int lineHeight = metrics.ascent + metrics.descent;
    const int tabWidth = (format & DT_EXPANDTABS) != 0 ? 8 * metrics.averageWidth : 0;
    std::vector<Laid> lines;
    try {
        if (!LayOut(*font, text, format, tabWidth, rect->right - rect->left, &lines))
            return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const int height = lineHeight * static_cast<int>(lines.size());
    if ((format & DT_CALCRECT) != 0) {
        int widest = 0;
        for (const Laid& laid : lines)
            widest = std::max(widest, laid.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
        return height;
    }

    int top = rect->top;
    if ((format & DT_SINGLELINE) != 0) {
        if ((format & DT_VCENTER) != 0)
            top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if ((format & DT_BOTTOM) != 0)
            top = rect->bottom - lineHeight;
    }
    const RECT* clip = (format & DT_NOCLIP) != 0 ? nullptr : rect;
    for (const Laid& laid : lines) {
        int left = rect->left;
        if ((format & DT_CENTER) != 0)
            left = rect->left + (rect->right - rect->left - laid.width) / 2;
        else if ((format & DT_RIGHT) != 0)
            left = rect->right - laid.width;
        if (context->backMode == OPAQUE) {
            gdi::Pixels pixels;
            if (gdi::BeginPixels(context, &pixels)) {
                RECT back{left, top, left + laid.width, top + lineHeight};
                if (clip != nullptr)
                    back = RECT{std::max(back.left, clip->left), std::max(back.top, clip->top),
                                std::min(back.right, clip->right),
                                std::min(back.bottom, clip->bottom)};
                gdi::FillPixels(pixels, back.left, back.top, back.right, back.bottom,
                                gdi::ToPixel(context->backColour));
                gdi::EndPixels(context);
            }
        }
        if (!gdi::DrawLine(*font, laid.line, tabWidth, context->bitmap, left, top + metrics.ascent,
                           context->textColour, clip))
            return 0;
        top += lineHeight;
    }
    return height;
}

BOOL ExtentUtf8(HDC dc, std::string_view text, SIZE* size) {
    const HDC__* context = Find<HDC__>(dc);
    if (context == nullptr || size == nullptr)
        return FALSE;
    const LOGFONT* font = FontOf(context);
    gdi::FontMetrics metrics;
    if (font == nullptr || !gdi::MeasureFont(*font, &metrics))
        return FALSE;
    int width = 0;
    try {
        if (!gdi::MeasureLine(*font, gdi::TextLine{std::string(text), {}}, 0, &width))
            return FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    size->cx = width;
    size->cy = metrics.ascent + metrics.descent;
    return TRUE;
}

}  // namespace

HFONT CreateFontIndirect(const LOGFONT* font) {
    if (font == nullptr)
        return nullptr;
    auto* made = new (std::nothrow) HFONT__;
    if (made == nullptr)
        return nullptr;
    made->font = *font;
    made->font.lfFaceName[LF_FACESIZE - 1] = '\0';
    try {
        gdi::Register(made);
    } catch (const std::bad_alloc&) {
        delete made;
        return nullptr;
    }
    return made;
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName) {
    LOGFONT font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic != 0);
    font.lfUnderline = static_cast<BYTE>(underline != 0);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName != nullptr)
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&font);
}

const char* TypefaceFamily() {
    return gdi::kTypefaceFamily;
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics) {
    const HDC__* context = Find<HDC__>(dc);
    if (context == nullptr || metrics == nullptr)
        return FALSE;
    const LOGFONT* font = FontOf(context);
    gdi::FontMetrics measured;
    if (font == nullptr || !gdi::MeasureFont(*font, &measured))
        return FALSE;
    TEXTMETRIC result{};
    result.tmAscent = measured.ascent;
    result.tmDescent = measured.descent;
    result.tmHeight = measured.ascent + measured.descent;
    result.tmInternalLeading = std::max(0, result.tmHeight - measured.emHeight);
    result.tmAveCharWidth = measured.averageWidth;
    result.tmMaxCharWidth = measured.maxWidth;
    result.tmWeight = font->lfWeight >= FW_SEMIBOLD ? FW_BOLD : FW_NORMAL;
    result.tmDigitizedAspectX = 96;
    result.tmDigitizedAspectY = 96;
    result.tmFirstChar = ' ';
    result.tmLastChar = '~';
    result.tmDefaultChar = '?';
    result.tmBreakChar = ' ';
    result.tmItalic = font->lfItalic;
    result.tmUnderlined = font->lfUnderline;
    result.tmStruckOut = font->lfStrikeOut;
    result.tmPitchAndFamily = font->lfPitchAndFamily;
    result.tmCharSet = font->lfCharSet;
    *metrics = result;
    return TRUE;
}

BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size) {
    if (count < 0 || (text == nullptr && count > 0))
        return FALSE;
    return ExtentUtf8(dc, std::string_view(text == nullptr ? "" : text, count), size);
}

BOOL GetTextExtentPoint32W(HDC dc, const wchar_t* text, int count, SIZE* size) {
    if (count < 0 || (text == nullptr && count > 0))
        return FALSE;
    try {
        return ExtentUtf8(dc, WideToUtf8(text, count), size);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format) {
    if (text == nullptr)
        return 0;
    const std::size_t length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
    return DrawUtf8(dc, std::string_view(text, length), rect, format);
}

int DrawTextW(HDC dc, const wchar_t* text, int count, RECT* rect, UINT format) {
    if (text == nullptr)
        return 0;
    try {
        return DrawUtf8(dc, WideToUtf8(text, count), rect, format);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
