#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

#include "platform/gdi/GdiObjects.h"

HBITMAP__::~HBITMAP__() {
    if (surface != nullptr)
        cairo_surface_destroy(surface);
}

namespace {

// The classic look's colours, by system colour index.
constexpr COLORREF kSystemColours[] = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3-D dark shadow
    RGB(223, 223, 223),  // 3-D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
    RGB(180, 180, 180),  // (unused)
    RGB(0, 0, 255),      // hot-tracked item
    RGB(16, 132, 208),   // active caption gradient
    RGB(181, 181, 181),  // inactive caption gradient
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};
constexpr int kSystemColourCount = sizeof kSystemColours / sizeof kSystemColours[0];

LOGFONT Font(LONG height, LONG weight, const char* face) {
    LOGFONT font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

struct StockObjects {
    HPALETTE__ palette;
    HBITMAP__ bitmap;
    HPEN__ whitePen, blackPen, nullPen;
    HBRUSH__ brushes[NULL_BRUSH + 1];
    HFONT__ systemFont, guiFont;
    HBRUSH__ systemBrushes[kSystemColourCount];
    std::unordered_map<const void*, GdiObject*> byHandle;

    StockObjects() {
        palette.entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        bitmap.width = 1;
        bitmap.height = 1;
        bitmap.bitsPixel = 32;
        bitmap.widthBytes = 4;
        bitmap.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        whitePen.colour = RGB(255, 255, 255);
        nullPen.style = PS_NULL;
        const COLORREF greys[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                  RGB(64, 64, 64),    RGB(0, 0, 0),       0};
        for (int i = 0; i <= NULL_BRUSH; ++i)
            brushes[i].colour = greys[i];
        brushes[NULL_BRUSH].hollow = true;
        systemFont.font = Font(16, FW_BOLD, "System");
        guiFont.font = Font(-11, FW_NORMAL, "MS Shell Dlg");
        for (int i = 0; i < kSystemColourCount; ++i)
            systemBrushes[i].colour = kSystemColours[i];

        GdiObject* all[] = {&palette,    &bitmap,     &whitePen,   &blackPen,   &nullPen,
                            &systemFont, &guiFont,    &brushes[0], &brushes[1], &brushes[2],
                            &brushes[3], &brushes[4], &brushes[5]};
        for (GdiObject* object : all)
            byHandle.emplace(object, object);
        for (HBRUSH__& brush : systemBrushes)
            byHandle.emplace(&brush, &brush);
    }
};

StockObjects& Stock() {
    static StockObjects stock;
    return stock;
}

std::mutex& TableMutex() {
    static std::mutex mutex;
    return mutex;
}

// Handle value -> live object. Stock objects are not in it; they are never deleted.
std::unordered_map<const void*, GdiObject*>& LiveObjects() {
    static std::unordered_map<const void*, GdiObject*> objects;
    return objects;
}

}  // namespace

namespace gdi {

void Register(GdiObject* object) {
    std::lock_guard lock(TableMutex());
    LiveObjects().emplace(static_cast<const void*>(object), object);
}

bool IsStock(const void* handle) {
    return Stock().byHandle.contains(handle);
}

GdiObject* FindObject(const void* handle) {
    if (handle == nullptr)
        return nullptr;
    const auto stock = Stock().byHandle.find(handle);
    if (stock != Stock().byHandle.end())
        return stock->second;
    std::lock_guard lock(TableMutex());
    const auto found = LiveObjects().find(handle);
    return found == LiveObjects().end() ? nullptr : found->second;
}

GdiObject* UnregisterObject(const void* handle, bool (*isKind)(GdiObject*)) {
    std::lock_guard lock(TableMutex());
    const auto found = LiveObjects().find(handle);
    if (found == LiveObjects().end() || !isKind(found->second) || found->second->selections > 0)
        return nullptr;
    GdiObject* object = found->second;
    LiveObjects().erase(found);
    return object;
}

bool AddSelection(GdiObject* object, bool exclusive) {
    if (IsStock(object))
        return true;
    std::lock_guard lock(TableMutex());
    if (exclusive && object->selections > 0)
        return false;
    ++object->selections;
    return true;
}

void RemoveSelection(GdiObject* object) {
    if (object == nullptr || IsStock(object))
        return;
    std::lock_guard lock(TableMutex());
    if (object->selections > 0)
        --object->selections;
}

HPALETTE DefaultPalette() {
    return &Stock().palette;
}

HBITMAP StockBitmap() {
    return &Stock().bitmap;
}

HFONT StockFont(int which) {
    return which == SYSTEM_FONT ? &Stock().systemFont : &Stock().guiFont;
}

HPEN StockPen(int which) {
    return which == WHITE_PEN  ? &Stock().whitePen
           : which == NULL_PEN ? &Stock().nullPen
                               : &Stock().blackPen;
}

HBRUSH StockBrush(int which) {
    return which >= WHITE_BRUSH && which <= NULL_BRUSH ? &Stock().brushes[which] : nullptr;
}

bool BrushColour(HBRUSH brush, COLORREF* colour, bool* hollow) {
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= kSystemColourCount) {
        *colour = kSystemColours[value - 1];
        *hollow = false;
        return true;
    }
    const HBRUSH__* found = Find<HBRUSH__>(brush);
    if (found == nullptr)
        return false;
    *colour = found->colour;
    *hollow = found->hollow;
    return true;
}

bool BeginBitmapPixels(HBITMAP__* bitmap, Pixels* pixels) {
    if (bitmap == nullptr || bitmap->surface == nullptr)
        return false;
    cairo_surface_flush(bitmap->surface);
    pixels->data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(bitmap->surface));
    pixels->width = cairo_image_surface_get_width(bitmap->surface);
    pixels->height = cairo_image_surface_get_height(bitmap->surface);
    pixels->stride = cairo_image_surface_get_stride(bitmap->surface) / 4;
    return pixels->data != nullptr;
}

void EndBitmapPixels(HBITMAP__* bitmap) {
    if (bitmap != nullptr && bitmap->surface != nullptr)
        cairo_surface_mark_dirty(bitmap->surface);
}

bool BeginPixels(HDC__* dc, Pixels* pixels) {
    return dc != nullptr && BeginBitmapPixels(dc->bitmap, pixels);
}

void EndPixels(HDC__* dc) {
    if (dc != nullptr)
        EndBitmapPixels(dc->bitmap);
}

HBITMAP__* MakeDeviceBitmap(int width, int height) {
    if (width < 1 || height < 1 || static_cast<long long>(width) * height > kMaxBitmapPixels)
        return nullptr;
    auto* bitmap = new (std::nothrow) HBITMAP__;
    if (bitmap == nullptr)
        return nullptr;
    bitmap->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(bitmap->surface) != CAIRO_STATUS_SUCCESS) {
        delete bitmap;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPixel = 32;
    bitmap->widthBytes = width * 4;
    Pixels pixels;
    if (BeginBitmapPixels(bitmap, &pixels)) {
        FillPixels(pixels, 0, 0, width, height, 0);
        EndBitmapPixels(bitmap);
    }
    return bitmap;
}

void FillPixels(const Pixels& pixels, int left, int top, int right, int bottom,
                std::uint32_t value) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, pixels.width);
    bottom = std::min(bottom, pixels.height);
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = pixels.Row(y);
        for (int x = left; x < right; ++x)
            row[x] = value;
    }
}

}  // namespace gdi

DWORD GetSysColor(int index) {
    return index >= 0 && index < kSystemColourCount ? kSystemColours[index] : 0;
}

HBRUSH GetSysColorBrush(int index) {
    return index >= 0 && index < kSystemColourCount ? &Stock().systemBrushes[index] : nullptr;
}
