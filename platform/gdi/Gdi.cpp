#include "platform/gdi/Gdi.h"

#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

using gdi::Find;
using gdi::Register;
using gdi::Unregister;

namespace {

// Registers a new object; false (object deleted) when the table cannot grow.
template <typename Kind>
bool Keep(Kind* object) {
    try {
        Register(object);
        return true;
    } catch (const std::bad_alloc&) {
        delete object;
        return false;
    }
}

LONG RowBytes(LONG width, int bitCount) {
    return static_cast<LONG>(((static_cast<long long>(width) * bitCount + 31) / 32) * 4);
}

bool IsHandedOutFormat(const BITMAPINFOHEADER& header) {
    return (header.biBitCount == 24 || header.biBitCount == 32) && header.biCompression == BI_RGB;
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE section, DWORD) {
    if (bits != nullptr)
        *bits = nullptr;
    if (info == nullptr || section != nullptr)
        return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        !IsHandedOutFormat(header) || header.biWidth <= 0 || header.biHeight <= 0 ||
        static_cast<long long>(header.biWidth) * header.biHeight > kMaxBitmapPixels)
        return nullptr;
    auto* bitmap = new (std::nothrow) HBITMAP__;
    if (bitmap == nullptr)
        return nullptr;
    bitmap->width = header.biWidth;
    bitmap->height = header.biHeight;
    bitmap->bitsPixel = header.biBitCount;
    bitmap->widthBytes = RowBytes(header.biWidth, header.biBitCount);
    try {
        bitmap->rows.assign(static_cast<size_t>(bitmap->widthBytes) * bitmap->height, 0);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        return nullptr;
    }
    if (!Keep(bitmap))
        return nullptr;
    if (bits != nullptr)
        *bits = bitmap->rows.data();
    return bitmap;
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
    if (palette == nullptr || palette->palNumEntries == 0 || palette->palNumEntries > 256)
        return nullptr;
    auto* made = new (std::nothrow) HPALETTE__;
    if (made == nullptr)
        return nullptr;
    try {
        const auto* first = reinterpret_cast<const PALETTEENTRY*>(
            reinterpret_cast<const BYTE*>(palette) + offsetof(LOGPALETTE, palPalEntry));
        made->entries.assign(first, first + palette->palNumEntries);
    } catch (const std::bad_alloc&) {
        delete made;
        return nullptr;
    }
    return Keep(made) ? made : nullptr;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
    const HPALETTE__* found = Find<HPALETTE__>(palette);
    if (found == nullptr || entries == nullptr || start >= found->entries.size())
        return 0;
    const UINT copied = std::min<UINT>(count, static_cast<UINT>(found->entries.size()) - start);
    std::copy_n(found->entries.begin() + start, copied, entries);
    return copied;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (object == nullptr)
        return FALSE;
    if (gdi::IsStock(object))
        return TRUE;
    GdiObject* found = gdi::UnregisterObject(object, [](GdiObject* candidate) {
        return dynamic_cast<HBITMAP__*>(candidate) != nullptr ||
               dynamic_cast<HPALETTE__*>(candidate) != nullptr ||
               dynamic_cast<HPEN__*>(candidate) != nullptr ||
               dynamic_cast<HBRUSH__*>(candidate) != nullptr ||
               dynamic_cast<HFONT__*>(candidate) != nullptr;
    });
    delete found;
    return found != nullptr ? TRUE : FALSE;
}

int GetObject(HGDIOBJ object, int bufferSize, void* buffer) {
    if (buffer == nullptr)
        return 0;
    if (const HFONT__* font = Find<HFONT__>(object)) {
        if (bufferSize < static_cast<int>(sizeof(LOGFONT)))
            return 0;
        std::memcpy(buffer, &font->font, sizeof(LOGFONT));
        return sizeof(LOGFONT);
    }
    HBITMAP__* bitmap = Find<HBITMAP__>(object);
    if (bitmap == nullptr || bufferSize < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = bitmap->width;
    description.bmHeight = bitmap->height;
    description.bmWidthBytes = bitmap->widthBytes;
    description.bmPlanes = bitmap->planes;
    description.bmBitsPixel = bitmap->bitsPixel;
    description.bmBits = bitmap->surface == nullptr ? bitmap->rows.data() : nullptr;
    std::memcpy(buffer, &description, sizeof description);
    return sizeof description;
}

HGDIOBJ GetStockObject(int which) {
    switch (which) {
        case DEFAULT_PALETTE:
            return gdi::DefaultPalette();
        case WHITE_PEN:
        case BLACK_PEN:
        case NULL_PEN:
            return gdi::StockPen(which);
        case SYSTEM_FONT:
        case DEFAULT_GUI_FONT:
            return gdi::StockFont(which);
        default:
            return gdi::StockBrush(which);
    }
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    if (style != PS_SOLID && style != PS_NULL)
        return nullptr;
    auto* pen = new (std::nothrow) HPEN__;
    if (pen == nullptr)
        return nullptr;
    pen->style = style;
    pen->width = std::max(width, 1);
    pen->colour = colour & 0xFFFFFF;
    return Keep(pen) ? pen : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    auto* brush = new (std::nothrow) HBRUSH__;
    if (brush == nullptr)
        return nullptr;
    brush->colour = colour & 0xFFFFFF;
    return Keep(brush) ? brush : nullptr;
}

// A window's surface context; defined by the window surfaces (platform/ui).
HDC WindowSurfaceDc(HWND window);
int ReleaseWindowSurfaceDc(HWND window, HDC dc);

HDC GetDC(HWND window) {
    if (window != nullptr)
        return WindowSurfaceDc(window);
    auto* dc = new (std::nothrow) HDC__;
    if (dc == nullptr)
        return nullptr;
    dc->kind = DcKind::Screen;
    dc->palette = gdi::DefaultPalette();
    dc->pen = gdi::StockPen(BLACK_PEN);
    dc->brush = gdi::StockBrush(WHITE_BRUSH);
    dc->font = gdi::StockFont(SYSTEM_FONT);
    return Keep(dc) ? dc : nullptr;
}

int ReleaseDC(HWND window, HDC dc) {
    if (window != nullptr)
        return ReleaseWindowSurfaceDc(window, dc);
    const HDC__* screen = Find<HDC__>(dc);
    if (screen == nullptr || screen->kind != DcKind::Screen)
        return 0;
    HDC__* found = Unregister<HDC__>(dc);
    delete found;
    return found != nullptr ? 1 : 0;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    HDC__* found = Find<HDC__>(dc);
    if (found == nullptr || Find<HPALETTE__>(palette) == nullptr)
        return nullptr;
    HPALETTE previous = found->palette;
    found->palette = palette;
    return previous;
}

UINT RealizePalette(HDC dc) {
    return Find<HDC__>(dc) != nullptr ? 0 : GDI_ERROR;
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT) {
    HBITMAP__* source = Find<HBITMAP__>(bitmap);
    if (Find<HDC__>(dc) == nullptr || source == nullptr || info == nullptr)
        return 0;
    BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER))
        return 0;

    if (bits == nullptr) {
        if (header.biBitCount == 0) {
            header.biBitCount = source->bitsPixel;
            header.biCompression = BI_RGB;
        } else if (!IsHandedOutFormat(header)) {
            return 0;
        }
        header.biWidth = source->width;
        header.biHeight = source->height;
        header.biPlanes = 1;
        header.biSizeImage =
            static_cast<DWORD>(RowBytes(source->width, header.biBitCount) * source->height);
        return source->height;
    }

    if (!IsHandedOutFormat(header) || header.biWidth != source->width ||
        header.biHeight != source->height)
        return 0;
    if (start >= static_cast<UINT>(source->height))
        return 0;
    const UINT end = start + std::min(lines, static_cast<UINT>(source->height) - start);
    const int sourceStep = source->bitsPixel / 8;
    const int targetStep = header.biBitCount / 8;
    const LONG targetRowBytes = RowBytes(source->width, header.biBitCount);
    auto* target = static_cast<BYTE*>(bits);
    if (source->surface != nullptr) {
        gdi::Pixels pixels;
        if (!gdi::BeginBitmapPixels(source, &pixels))
            return 0;
        for (UINT row = start; row < end; ++row) {
            const std::uint32_t* from = pixels.Row(source->height - 1 - static_cast<int>(row));
            BYTE* to = target + static_cast<size_t>(row - start) * targetRowBytes;
            std::memset(to, 0, targetRowBytes);
            for (LONG x = 0; x < source->width; ++x) {
                to[x * targetStep] = static_cast<BYTE>(from[x]);
                to[x * targetStep + 1] = static_cast<BYTE>(from[x] >> 8);
                to[x * targetStep + 2] = static_cast<BYTE>(from[x] >> 16);
            }
        }
        return static_cast<int>(end - start);
    }
    for (UINT row = start; row < end; ++row) {
        const BYTE* from = source->rows.data() + static_cast<size_t>(row) * source->widthBytes;
        BYTE* to = target + static_cast<size_t>(row - start) * targetRowBytes;
        std::memset(to, 0, targetRowBytes);
        for (LONG x = 0; x < source->width; ++x) {
            std::memcpy(to + x * targetStep, from + x * sourceStep, 3);
        }
    }
    return static_cast<int>(end - start);
}
