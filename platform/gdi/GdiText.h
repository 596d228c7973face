// Fonts and text on device contexts. Every font is drawn with one typeface, DejaVu Sans
// Condensed (regular, and bold for weights from FW_SEMIBOLD), whatever face a LOGFONT
// names, so that text measures the same on every machine; glyphs are drawn without
// smoothing, in the text colour only. A font is drawn at the largest size whose line
// fits the line the font asks for, so the dialog font (8 points: 11 pixels of
// character, a 13-pixel line) has the metrics the dialog units are counted in. Text is
// UTF-8; the W forms take wide text (one code point per wchar_t).
//
// Safe on any thread (the text machinery is used by one thread at a time inside); one
// device context is used by one thread at a time. None throws.
#pragma once

#include <cwchar>

#include "platform/gdi/Gdi.h"

constexpr int LF_FACESIZE = 32;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE ANSI_CHARSET = 0;

struct LOGFONT {
    // Below 0: the characters' height in pixels, on a line of 6/5 of it; above 0: the
    // cell height (ascent and descent); 0: the default of 13 pixels of cell.
    LONG lfHeight;
    LONG lfWidth;  // not looked at
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;  // 0 counts as FW_NORMAL
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];  // kept and handed back; not used to choose glyphs
};

struct TEXTMETRIC {
    LONG tmHeight;  // tmAscent + tmDescent: the height of a line
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    char tmFirstChar;
    char tmLastChar;
    char tmDefaultChar;
    char tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

// A font of the LOGFONT (face name cut to 31 bytes). Null for a null pointer.
HFONT CreateFontIndirect(const LOGFONT* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName);

// The family name of the typeface, for a screen that shows text in widgets of its own.
const char* TypefaceFamily();

// The metrics of the context's font (tmHeight - tmInternalLeading: the size it is drawn
// at, in pixels of em). FALSE for a bad context or when the typeface
// cannot be loaded.
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);

// The width and height (the line height) of the first count bytes of text in the
// context's font. FALSE for a bad context, a negative count or a missing typeface.
BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size);
BOOL GetTextExtentPoint32W(HDC dc, const wchar_t* text, int count, SIZE* size);

// DrawText formats.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;

// Draws count bytes of text (-1: up to its NUL) in rect with the context's font, text
// colour and background (filled behind each line's text when the mode is OPAQUE).
// Lines end at line feeds (a carriage return before one goes with it) unless
// DT_SINGLELINE; with DT_WORDBREAK a line also breaks at the last blank that keeps it
// inside the rect's width (a word wider than the rect stays whole). Lines are placed
// left, centred or right; DT_VCENTER and DT_BOTTOM place a single line in the rect's
// height. Tabs advance to the next multiple of 8 average character widths with
// DT_EXPANDTABS and are dropped otherwise. Unless DT_NOPREFIX, "&" underlines the
// character after it and "&&" shows one "&". Drawing is clipped to rect unless
// DT_NOCLIP.
// DT_CALCRECT draws nothing: it sets rect's right to left + the widest line and its
// bottom to top + the height of all lines.
// Returns the height of the text (lines x line height), 0 on failure.
int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format);
int DrawTextW(HDC dc, const wchar_t* text, int count, RECT* rect, UINT format);
