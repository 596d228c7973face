#include "platform/gdi/GdiIcons.h"

#include <new>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SystemMetrics.h"

using gdi::Find;

namespace {

constexpr int kMaxIconSide = 256;

std::uint32_t Blend(std::uint32_t under, std::uint32_t over, unsigned alpha) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned a = (over >> shift) & 0xFF;
        const unsigned b = (under >> shift) & 0xFF;
        out |= ((a * alpha + b * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

// Calls paint(x, y, sourcePixel) for every target pixel of the icon scaled to
// width x height at (x, y) that lies on the context's pixels.
template <typename Paint>
bool Walk(HDC dc, const HICON__* icon, int x, int y, int width, int height, Paint paint) {
    HDC__* context = Find<HDC__>(dc);
    gdi::Pixels pixels;
    if (icon == nullptr || width <= 0 || height <= 0 || !gdi::BeginPixels(context, &pixels))
        return false;
    for (int row = 0; row < height; ++row) {
        const int sy = static_cast<int>((2LL * row + 1) * icon->height / (2LL * height));
        for (int column = 0; column < width; ++column) {
            const int sx = static_cast<int>((2LL * column + 1) * icon->width / (2LL * width));
            paint(pixels, x + column, y + row,
                  icon->pixels[static_cast<std::size_t>(sy) * icon->width + sx]);
        }
    }
    gdi::EndPixels(context);
    return true;
}

void Over(const gdi::Pixels& pixels, int x, int y, std::uint32_t source) {
    if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height)
        return;
    const unsigned alpha = source >> 24;
    std::uint32_t& target = pixels.Row(y)[x];
    target = alpha == 255 ? (source & 0xFFFFFF) : Blend(target, source & 0xFFFFFF, alpha);
}

}  // namespace

HICON CreateIconFromPixels(int width, int height, const DWORD* pixels) {
    if (pixels == nullptr || width < 1 || height < 1 || width > kMaxIconSide ||
        height > kMaxIconSide)
        return nullptr;
    auto* icon = new (std::nothrow) HICON__;
    if (icon == nullptr)
        return nullptr;
    try {
        icon->width = width;
        icon->height = height;
        icon->pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
        gdi::Register(icon);
    } catch (const std::bad_alloc&) {
        delete icon;
        return nullptr;
    }
    return icon;
}

BOOL DestroyIcon(HICON icon) {
    if (const HICON__* known = Find<HICON__>(icon); known != nullptr && known->shared)
        return TRUE;  // a shared icon outlives every user
    HICON__* found = gdi::Unregister<HICON__>(icon);
    delete found;
    return found != nullptr ? TRUE : FALSE;
}

BOOL GetIconPixels(HICON icon, int* width, int* height, std::vector<DWORD>* pixels) {
    const HICON__* found = Find<HICON__>(icon);
    if (found == nullptr || width == nullptr || height == nullptr || pixels == nullptr)
        return FALSE;
    try {
        *pixels = found->pixels;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    *width = found->width;
    *height = found->height;
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    const HICON__* found = Find<HICON__>(icon);
    if (found == nullptr)
        return FALSE;
    return Walk(dc, found, x, y, found->width, found->height, Over) ? TRUE : FALSE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH, UINT flags) {
    const HICON__* found = Find<HICON__>(icon);
    if (found == nullptr)
        return FALSE;
    if (width == 0)
        width = (flags & DI_DEFAULTSIZE) != 0 ? GetSystemMetrics(SM_CXICON) : found->width;
    if (height == 0)
        height = (flags & DI_DEFAULTSIZE) != 0 ? GetSystemMetrics(SM_CYICON) : found->height;
    return Walk(dc, found, x, y, width, height, Over) ? TRUE : FALSE;
}

BOOL DrawState(HDC dc, HBRUSH, DRAWSTATEPROC, LPARAM data, WPARAM, int x, int y, int width,
               int height, UINT flags) {
    if ((flags & 0x000F) != DST_ICON)
        return FALSE;
    const HICON__* icon = Find<HICON__>(reinterpret_cast<const void*>(data));
    if (icon == nullptr)
        return FALSE;
    if (width == 0)
        width = icon->width;
    if (height == 0)
        height = icon->height;
    if ((flags & DSS_DISABLED) == 0)
        return Walk(dc, icon, x, y, width, height, Over) ? TRUE : FALSE;

    // The darker opaque pixels, embossed: light one pixel down and right, shadow on top.
    auto shape = [](std::uint32_t source) {
        if ((source >> 24) < 128)
            return false;
        const unsigned brightness =
            (((source >> 16) & 0xFF) * 30 + ((source >> 8) & 0xFF) * 59 + (source & 0xFF) * 11) /
            100;
        return brightness < 192;
    };
    const std::uint32_t light = gdi::ToPixel(GetSysColor(COLOR_BTNHIGHLIGHT));
    const std::uint32_t shadow = gdi::ToPixel(GetSysColor(COLOR_BTNSHADOW));
    auto paintIn = [&](std::uint32_t value) {
        return [&shape, value](const gdi::Pixels& pixels, int px, int py, std::uint32_t source) {
            if (shape(source) && px >= 0 && py >= 0 && px < pixels.width && py < pixels.height)
                pixels.Row(py)[px] = value;
        };
    };
    if (!Walk(dc, icon, x + 1, y + 1, width, height, paintIn(light)))
        return FALSE;
    return Walk(dc, icon, x, y, width, height, paintIn(shadow)) ? TRUE : FALSE;
}
