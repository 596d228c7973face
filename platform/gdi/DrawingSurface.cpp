#include "platform/gdi/DrawingSurface.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "platform/file/FileLayer.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiObjects.h"

namespace {

HDC__* Context(HDC dc) {
    return gdi::Find<HDC__>(dc);
}

// A white device bitmap of the size (each side at least 1); null when it cannot be had.
HBITMAP__* WhiteBitmap(int width, int height) {
    HBITMAP__* bitmap = gdi::MakeDeviceBitmap(std::max(width, 1), std::max(height, 1));
    gdi::Pixels pixels;
    if (bitmap != nullptr && gdi::BeginBitmapPixels(bitmap, &pixels)) {
        gdi::FillPixels(pixels, 0, 0, pixels.width, pixels.height, 0xFFFFFF);
        gdi::EndBitmapPixels(bitmap);
    }
    return bitmap;
}

}  // namespace

DrawingSurface::DrawingSurface(int width, int height) {
    HBITMAP__* bitmap = WhiteBitmap(width, height);
    if (bitmap == nullptr)
        return;
    auto* dc = new (std::nothrow) HDC__;
    if (dc == nullptr) {
        delete bitmap;
        return;
    }
    dc->kind = DcKind::Surface;
    dc->palette = gdi::DefaultPalette();
    dc->ownBitmap.reset(bitmap);
    dc->bitmap = bitmap;
    dc->pen = gdi::StockPen(BLACK_PEN);
    dc->brush = gdi::StockBrush(WHITE_BRUSH);
    dc->font = gdi::StockFont(SYSTEM_FONT);
    try {
        gdi::Register(dc);
    } catch (const std::bad_alloc&) {
        delete dc;
        return;
    }
    dc_ = dc;
}

DrawingSurface::~DrawingSurface() {
    if (dc_ == nullptr)
        return;
    HDC__* dc = gdi::Unregister<HDC__>(dc_);
    if (dc == nullptr)
        return;
    gdi::RemoveSelection(dc->pen);
    gdi::RemoveSelection(dc->brush);
    gdi::RemoveSelection(dc->font);
    delete dc;
}

int DrawingSurface::Width() const {
    const HDC__* dc = Context(dc_);
    return dc != nullptr ? dc->bitmap->width : 0;
}

int DrawingSurface::Height() const {
    const HDC__* dc = Context(dc_);
    return dc != nullptr ? dc->bitmap->height : 0;
}

bool DrawingSurface::Resize(int width, int height) {
    HDC__* dc = Context(dc_);
    if (dc == nullptr)
        return false;
    HBITMAP__* bitmap = WhiteBitmap(width, height);
    if (bitmap == nullptr)
        return false;
    gdi::Pixels from, to;
    if (gdi::BeginBitmapPixels(dc->ownBitmap.get(), &from) && gdi::BeginBitmapPixels(bitmap, &to)) {
        const int columns = std::min(from.width, to.width);
        for (int y = 0; y < std::min(from.height, to.height); ++y)
            std::memcpy(to.Row(y), from.Row(y), static_cast<std::size_t>(columns) * 4);
        gdi::EndBitmapPixels(bitmap);
    }
    dc->ownBitmap.reset(bitmap);
    dc->bitmap = bitmap;
    return true;
}

COLORREF DrawingSurface::Pixel(int x, int y) const {
    return GetPixel(dc_, x, y);
}

std::vector<std::uint32_t> DrawingSurface::PixelRows() const {
    std::vector<std::uint32_t> rows;
    HDC__* dc = Context(dc_);
    gdi::Pixels pixels;
    if (dc == nullptr || !gdi::BeginPixels(dc, &pixels))
        return rows;
    try {
        rows.reserve(static_cast<std::size_t>(pixels.width) *
                     static_cast<std::size_t>(pixels.height));
        for (int y = 0; y < pixels.height; ++y) {
            const std::uint32_t* row = pixels.Row(y);
            for (int x = 0; x < pixels.width; ++x)
                rows.push_back(row[x] & 0xFFFFFFu);
        }
    } catch (const std::bad_alloc&) {
        rows.clear();
    }
    gdi::EndPixels(dc);
    return rows;
}

bool DrawingSurface::SavePng(std::string_view path) const {
    const HDC__* dc = Context(dc_);
    if (dc == nullptr)
        return false;
    std::string png;
    auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        try {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
            return CAIRO_STATUS_SUCCESS;
        } catch (const std::bad_alloc&) {
            return CAIRO_STATUS_NO_MEMORY;
        }
    };
    cairo_surface_flush(dc->bitmap->surface);
    if (cairo_surface_write_to_png_stream(dc->bitmap->surface, append, &png) !=
        CAIRO_STATUS_SUCCESS)
        return false;
    FileWriter file;
    return file.Open(path, FileMode::Binary) && file.Write(png) && file.Close();
}
