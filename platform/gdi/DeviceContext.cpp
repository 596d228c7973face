#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiObjects.h"

using gdi::Find;

namespace {

HDC__* Context(HDC dc) {
    return Find<HDC__>(dc);
}

}  // namespace

HDC CreateCompatibleDC(HDC model) {
    if (model != nullptr && Context(model) == nullptr)
        return nullptr;
    auto* dc = new (std::nothrow) HDC__;
    if (dc == nullptr)
        return nullptr;
    dc->kind = DcKind::Memory;
    dc->palette = gdi::DefaultPalette();
    dc->bitmap = gdi::StockBitmap();
    dc->pen = gdi::StockPen(BLACK_PEN);
    dc->brush = gdi::StockBrush(WHITE_BRUSH);
    dc->font = gdi::StockFont(SYSTEM_FONT);
    try {
        gdi::Register(dc);
    } catch (const std::bad_alloc&) {
        delete dc;
        return nullptr;
    }
    return dc;
}

BOOL DeleteDC(HDC dc) {
    const HDC__* found = Context(dc);
    if (found == nullptr || found->kind != DcKind::Memory)
        return FALSE;
    HDC__* context = gdi::Unregister<HDC__>(dc);
    if (context == nullptr)
        return FALSE;
    gdi::RemoveSelection(context->bitmap);
    gdi::RemoveSelection(context->pen);
    gdi::RemoveSelection(context->brush);
    gdi::RemoveSelection(context->font);
    delete context;
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    HDC__* context = Context(dc);
    GdiObject* found = gdi::FindObject(object);
    if (context == nullptr || found == nullptr)
        return nullptr;
    // Swaps the selection of one kind: the new object is counted in, the old one out.
    auto swap = [found](auto& slot, bool exclusive) -> HGDIOBJ {
        using Handle = std::remove_reference_t<decltype(slot)>;
        if (slot == static_cast<Handle>(found))
            return slot;
        if (!gdi::AddSelection(found, exclusive))
            return nullptr;
        Handle previous = slot;
        gdi::RemoveSelection(previous);
        slot = static_cast<Handle>(found);
        return previous;
    };
    if (auto* bitmap = dynamic_cast<HBITMAP__*>(found)) {
        if (context->kind != DcKind::Memory || bitmap->surface == nullptr)
            return nullptr;
        return swap(context->bitmap, true);
    }
    if (dynamic_cast<HPEN__*>(found) != nullptr)
        return swap(context->pen, false);
    if (dynamic_cast<HBRUSH__*>(found) != nullptr)
        return swap(context->brush, false);
    if (dynamic_cast<HFONT__*>(found) != nullptr)
        return swap(context->font, false);
    return nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (Context(dc) == nullptr)
        return nullptr;
    HBITMAP__* bitmap = gdi::MakeDeviceBitmap(width, height);
    if (bitmap == nullptr)
        return nullptr;
    try {
        gdi::Register(bitmap);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if (Context(dc) == nullptr || header == nullptr || header->biWidth <= 0 ||
        header->biHeight == 0)
        return nullptr;
    const int width = header->biWidth;
    const int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    std::vector<std::uint32_t> read;
    if ((init & CBM_INIT) != 0) {
        int w = 0, h = 0;
        bool bottomUp = true;
        if (usage != DIB_RGB_COLORS || info == nullptr || bits == nullptr)
            return nullptr;
        try {
            if (!gdi::ReadDibPixels(info, bits, &w, &h, &bottomUp, &read) || w != width ||
                h != height)
                return nullptr;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    HBITMAP__* bitmap = gdi::MakeDeviceBitmap(width, height);
    if (bitmap == nullptr)
        return nullptr;
    gdi::Pixels pixels;
    if (!read.empty() && gdi::BeginBitmapPixels(bitmap, &pixels)) {
        for (int row = 0; row < height; ++row)
            std::memcpy(pixels.Row(row), read.data() + static_cast<std::size_t>(row) * width,
                        static_cast<std::size_t>(width) * 4);
        gdi::EndBitmapPixels(bitmap);
    }
    try {
        gdi::Register(bitmap);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    HDC__* context = Context(dc);
    if (context == nullptr)
        return CLR_INVALID;
    const COLORREF previous = context->textColour;
    context->textColour = colour & 0xFFFFFF;
    return previous;
}

COLORREF GetTextColor(HDC dc) {
    const HDC__* context = Context(dc);
    return context != nullptr ? context->textColour : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    HDC__* context = Context(dc);
    if (context == nullptr)
        return CLR_INVALID;
    const COLORREF previous = context->backColour;
    context->backColour = colour & 0xFFFFFF;
    return previous;
}

COLORREF GetBkColor(HDC dc) {
    const HDC__* context = Context(dc);
    return context != nullptr ? context->backColour : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
    HDC__* context = Context(dc);
    if (context == nullptr || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    const int previous = context->backMode;
    context->backMode = mode;
    return previous;
}

int GetBkMode(HDC dc) {
    const HDC__* context = Context(dc);
    return context != nullptr ? context->backMode : 0;
}

int SetStretchBltMode(HDC dc, int mode) {
    HDC__* context = Context(dc);
    if (context == nullptr || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    const int previous = context->stretchMode;
    context->stretchMode = mode;
    return previous;
}

int GetStretchBltMode(HDC dc) {
    const HDC__* context = Context(dc);
    return context != nullptr ? context->stretchMode : 0;
}

int GetDeviceCaps(HDC dc, int index) {
    if (Context(dc) == nullptr)
        return 0;
    switch (index) {
        case PLANES:
            return 1;
        case BITSPIXEL:
            return 32;
        case RASTERCAPS:
            return RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB | RC_DIBTODEV;
        default:
            return 0;
    }
}
