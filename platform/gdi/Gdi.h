// Device-independent bitmaps in the shape of the platform's graphics calls, as far as
// the thumbnail code uses them. There is no display: the screen device context is a
// stand-in that only holds a selected palette, and bitmaps live in memory.
//
// A bitmap holds its pixels as a device-independent bitmap does: rows bottom-up, each
// padded to 4 bytes, pixels in blue, green, red (and one unused byte at 32 bits) order.
// Bitmaps are made with 24 or 32 bits per pixel only; GetDIBits hands out 24 and 32
// bits per pixel (BI_RGB) and fails cleanly for every other request.
//
// Every call validates its handle (a deleted or foreign handle makes it fail) and is
// safe on any thread; one bitmap is used by one thread at a time. None throws.
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

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr int DEFAULT_PALETTE = 15;

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

// Deletes a bitmap or a palette. Stock objects stay (TRUE all the same); FALSE for a
// handle that names no object.
BOOL DeleteObject(HGDIOBJ object);

// Fills a BITMAP for a bitmap handle (bufferSize at least sizeof(BITMAP)); the bytes
// written, 0 for anything else.
int GetObject(HGDIOBJ object, int bufferSize, void* buffer);

// DEFAULT_PALETTE gives the stock default palette (black and white here; nothing reads
// its entries). Other stock objects do not exist here (null).
HGDIOBJ GetStockObject(int which);

// The screen's device context (window must be null): a fresh context with the default
// palette selected. Released with ReleaseDC (1 when released, 0 otherwise).
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
// compressions and negative heights). dc must be a context from GetDC.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
