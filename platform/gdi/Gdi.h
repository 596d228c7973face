// The platform's graphics calls, as far as the system code uses them: graphic objects
// (bitmaps, palettes, pens, brushes, fonts), device contexts and colours. Drawing calls
// are in GdiDrawing.h, text in GdiText.h, icons in GdiIcons.h, and the pixel surfaces
// that windows draw on in DrawingSurface.h.
//
// A bitmap made by CreateDIBSection holds its pixels as a device-independent bitmap
// does: rows bottom-up, each padded to 4 bytes, pixels in blue, green, red (and one
// unused byte at 32 bits) order; it cannot be selected into a device context. A device
// bitmap (CreateCompatibleBitmap, CreateDIBitmap) is a true-colour pixel surface of 32
// bits per pixel that a memory device context draws on. GetDIBits hands out 24 and 32
// bits per pixel (BI_RGB) of either kind and fails cleanly for every other request.
//
// The display is a true-colour device with no palette: palettes are kept and can be
// selected, and colours are never mapped through them.
//
// Every call validates its handles (one that names no live object makes it fail; as on
// the platform, a deleted object's handle value may later name a new object) and is
// safe on any thread; one object or device context is used by one thread at a time.
// None throws.
#pragma once

#include <bit>
#include <cstddef>

#include "platform/base/Types.h"

// The file structures below are written to and read from .bmp files as they lie in
// memory, which is the files' little-endian layout.
static_assert(std::endian::native == std::endian::little);

using HANDLE = void*;
using HGDIOBJ = void*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HPALETTE__;
using HPALETTE = HPALETTE__*;
struct HDC__;
using HDC = HDC__*;
struct HPEN__;
using HPEN = HPEN__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HFONT__;
using HFONT = HFONT__*;

// A colour: red in the low byte, then green, then blue.
using COLORREF = DWORD;
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF colour) {
    return static_cast<BYTE>(colour & 0xFF);
}
constexpr BYTE GetGValue(COLORREF colour) {
    return static_cast<BYTE>((colour >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF colour) {
    return static_cast<BYTE>((colour >> 16) & 0xFF);
}
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;

// Stock objects (GetStockObject).
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_PALETTE = 15;
constexpr int DEFAULT_GUI_FONT = 17;

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};
static_assert(sizeof(RGBQUAD) == 4);

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: rows bottom-up
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;  // "BM" read as a little-endian word: 0x4D42
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(offsetof(BITMAPFILEHEADER, bfSize) == 2);
static_assert(offsetof(BITMAPFILEHEADER, bfOffBits) == 10);

// A bitmap's description, as GetObject gives it.
struct BITMAP {
    LONG bmType;  // 0
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;  // bytes per row, a multiple of 4
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;  // the rows, bottom-up; valid until the bitmap is deleted
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

// A logical palette: palNumEntries entries follow the header in one block.
struct LOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};

// Makes a bitmap of info's width and height, biBitCount 24 or 32, BI_RGB, one plane,
// positive height (bottom-up rows). *bits (when not null) receives its zeroed pixel
// rows, writable until the bitmap is deleted. dc and usage are not looked at; section
// must be null. Null for anything else, or for more than kMaxBitmapPixels pixels.
constexpr long long kMaxBitmapPixels = 64LL * 1024 * 1024;
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);

// A palette of the given entries (1 to 256). Null for anything else.
HPALETTE CreatePalette(const LOGPALETTE* palette);
// Copies up to count entries from start; the number copied (0 when none or on failure).
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);

// Deletes a bitmap, palette, pen, brush or font. Stock objects stay (TRUE all the
// same). FALSE for a handle that names no object, and for an object still selected into
// a device context (it stays usable).
BOOL DeleteObject(HGDIOBJ object);

// Fills a BITMAP for a bitmap (bufferSize at least sizeof(BITMAP); a device bitmap has 32
// bits per pixel and no bmBits) or a LOGFONT for a font (GdiText.h; bufferSize at least
// sizeof(LOGFONT)). The bytes written, 0 for anything else.
int GetObject(HGDIOBJ object, int bufferSize, void* buffer);

// The stock objects named above; DEFAULT_PALETTE is black and white (nothing reads its
// entries). Null for any other number.
HGDIOBJ GetStockObject(int which);

// Pens: PS_SOLID lines of width pixels (0 and 1 both mean one pixel) or PS_NULL (draws
// nothing). Null for other styles.
constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);

// System colours: one fixed table of the classic look (GetSysColor gives 0 for a number
// outside it). A brush of a system colour is a stock object; null outside the table.
// Where a call takes a brush, a "brush" of the value index + 1 stands for that colour.
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);

// Device contexts. A memory context (CreateCompatibleDC; any context or null as model)
// starts with a 1 x 1 stock bitmap selected and draws on the bitmap selected into it.
// Every context starts with BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT, the default palette,
// black text on a white, opaque background. DeleteDC ends a memory context (not the
// screen's, nor a surface's: DrawingSurface.h); the objects selected stay and become
// free to delete.
HDC CreateCompatibleDC(HDC model);
BOOL DeleteDC(HDC dc);

// Selects a bitmap, pen, brush or font into a context and returns the object of that
// kind selected before; null on failure. A bitmap must be a device bitmap, selected
// into no other context, and only a memory context takes one.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// A device bitmap of width x height pixels, black. Null for a bad context, a size
// below 1 or more than kMaxBitmapPixels pixels.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A device bitmap of header's width and height (either row order); with CBM_INIT its
// pixels come from bits and info as StretchDIBits reads them (GdiDrawing.h), else it is
// black. Null for a bad context, an unreadable format or too many pixels.
constexpr DWORD CBM_INIT = 4;
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);

// Text colours and the background mode of text (TRANSPARENT or OPAQUE); each returns
// the value before, CLR_INVALID (or 0 for the mode) for a bad context.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

// What a context's device is: 32 bits per pixel, one plane, no palette (RASTERCAPS
// never holds RC_PALETTE; SIZEPALETTE is 0). 0 for other indexes or a bad context.
constexpr int PLANES = 14;
constexpr int BITSPIXEL = 12;
constexpr int RASTERCAPS = 38;
constexpr int SIZEPALETTE = 104;
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_STRETCHDIB = 0x2000;
constexpr int RC_DIBTODEV = 0x0200;
int GetDeviceCaps(HDC dc, int index);

// The screen's device context (window null): a fresh context with the default palette
// selected and nothing to draw on (drawing calls on it fail). Released with ReleaseDC
// (1 when released, 0 otherwise). With a window: the context of the window's
// DrawingSurface (platform/ui/WindowSurface.h), on the window's thread only.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// Selects a palette into a context; the palette selected before, null on failure.
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
// The screen is a true-colour device: nothing is mapped (0); GDI_ERROR for a bad context.
constexpr UINT GDI_ERROR = 0xFFFFFFFFu;
UINT RealizePalette(HDC dc);

// Copies a bitmap's rows as a device-independent bitmap.
// With bits null: when info's biBitCount is 0 the header is filled from the bitmap
// (width, height, one plane, its bit count, BI_RGB, image size); otherwise biBitCount
// must be 24 or 32 with BI_RGB, and the width, height, plane count and image size of
// that format are filled in. Returns the bitmap's height, 0 on failure.
// With bits: info must describe the bitmap's width and height at 24 or 32 bits, BI_RGB
// (there is no colour table at those depths); rows start to start + lines - 1 (clipped
// to the bitmap) are written to bits, converted to the asked bit count. Returns the
// number of rows written, 0 on failure (also for 1, 4, 8 and 16 bits, other
// compressions and negative heights). dc may be any device context.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
