// Inside the graphics layer only: the objects behind the handles, the table of live
// objects, and pixel access to device bitmaps. Code above platform/ never includes it.
//
// A device bitmap's pixels are a cairo image surface of 32 bits per pixel, each pixel
// 0x00RRGGBB, rows top-down.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/gdi/GdiText.h"

struct _cairo_surface;

struct GdiObject {
    virtual ~GdiObject() = default;
    // How many contexts have it selected; guarded by the table's lock.
    int selections = 0;
};

struct HBITMAP__ : GdiObject {
    ~HBITMAP__() override;
    LONG width = 0;
    LONG height = 0;
    WORD planes = 1;
    WORD bitsPixel = 0;
    LONG widthBytes = 0;
    std::vector<BYTE> rows;             // a DIB section's rows
    _cairo_surface* surface = nullptr;  // a device bitmap's pixels (owned)
};

struct HPALETTE__ : GdiObject {
    std::vector<PALETTEENTRY> entries;
};

struct HPEN__ : GdiObject {
    int style = PS_SOLID;
    int width = 1;
    COLORREF colour = 0;
};

struct HBRUSH__ : GdiObject {
    bool hollow = false;
    COLORREF colour = 0;
};

struct HFONT__ : GdiObject {
    LOGFONT font{};
};

struct HICON__ : GdiObject {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;  // 0xAARRGGBB, rows top-down, not premultiplied
    bool shared = false;        // a module's icon (LoadIcon): kept for the process
};

enum class DcKind { Screen, Memory, Surface };

struct HDC__ : GdiObject {
    DcKind kind = DcKind::Screen;
    HPALETTE palette = nullptr;
    HBITMAP bitmap = nullptr;              // what the context draws on; null for the screen
    std::unique_ptr<HBITMAP__> ownBitmap;  // a surface context's bitmap
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF textColour = 0;
    COLORREF backColour = 0xFFFFFF;
    int backMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    POINT position{};
};

namespace gdi {

// Adds an object to the table of live handles. Throws std::bad_alloc.
void Register(GdiObject* object);
// The live or stock object a handle names, null otherwise.
GdiObject* FindObject(const void* handle);
// Takes a live object out of the table when it is of the asked kind and selected
// nowhere; the object (the caller deletes it), or null.
GdiObject* UnregisterObject(const void* handle, bool (*isKind)(GdiObject*));
// Whether a handle names a stock object (never deleted).
bool IsStock(const void* handle);

template <typename Kind>
Kind* Find(const void* handle) {
    return dynamic_cast<Kind*>(FindObject(handle));
}

template <typename Kind>
Kind* Unregister(const void* handle) {
    return static_cast<Kind*>(UnregisterObject(
        handle, [](GdiObject* object) { return dynamic_cast<Kind*>(object) != nullptr; }));
}

// Counts a selection in or out (under the table's lock); false when the object is a
// bitmap already selected elsewhere.
bool AddSelection(GdiObject* object, bool exclusive);
void RemoveSelection(GdiObject* object);

HPALETTE DefaultPalette();
HBITMAP StockBitmap();  // 1 x 1, selected into every new memory context
HFONT StockFont(int which);
HPEN StockPen(int which);
HBRUSH StockBrush(int which);

// The brush a drawing call was given: a brush handle, or a system colour index + 1.
// False for a bad brush; hollow brushes give true with *hollow set.
bool BrushColour(HBRUSH brush, COLORREF* colour, bool* hollow);

// Pixel access to a context's bitmap. Valid while nothing else draws on it; End marks
// the pixels changed for cairo.
struct Pixels {
    std::uint32_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // in pixels
    std::uint32_t* Row(int y) const { return data + static_cast<std::ptrdiff_t>(y) * stride; }
};
bool BeginPixels(HDC__* dc, Pixels* pixels);
void EndPixels(HDC__* dc);
bool BeginBitmapPixels(HBITMAP__* bitmap, Pixels* pixels);
void EndBitmapPixels(HBITMAP__* bitmap);

// A new device bitmap (black); null when too large or out of memory.
HBITMAP__* MakeDeviceBitmap(int width, int height);

constexpr std::uint32_t ToPixel(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}
constexpr COLORREF ToColour(std::uint32_t pixel) {
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8),
               static_cast<BYTE>(pixel));
}

// Fills [left, right) x [top, bottom), clipped to the pixels.
void FillPixels(const Pixels& pixels, int left, int top, int right, int bottom,
                std::uint32_t value);

// Reads a whole device-independent bitmap (the formats StretchDIBits takes) into
// top-down 0x00RRGGBB pixels; *bottomUp tells the rows' order in bits. False for an
// unreadable format or too many pixels. Throws std::bad_alloc.
bool ReadDibPixels(const BITMAPINFO* info, const void* bits, int* width, int* height,
                   bool* bottomUp, std::vector<std::uint32_t>* out);

}  // namespace gdi
