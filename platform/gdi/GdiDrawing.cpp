#include "platform/gdi/GdiDrawing.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "platform/gdi/GdiObjects.h"

using gdi::Find;
using gdi::Pixels;

namespace {

// The pixels of a context for the length of one drawing call.
class DrawScope {
public:
    explicit DrawScope(HDC dc) : dc_(Find<HDC__>(dc)) { ok_ = gdi::BeginPixels(dc_, &pixels_); }
    ~DrawScope() {
        if (ok_)
            gdi::EndPixels(dc_);
    }
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;

    bool Ok() const { return ok_; }
    HDC__* Dc() const { return dc_; }
    const Pixels& Px() const { return pixels_; }

private:
    HDC__* dc_;
    Pixels pixels_;
    bool ok_ = false;
};

void Put(const Pixels& pixels, int x, int y, std::uint32_t value) {
    if (x >= 0 && y >= 0 && x < pixels.width && y < pixels.height)
        pixels.Row(y)[x] = value;
}

void Frame(const Pixels& pixels, const RECT& rect, std::uint32_t value) {
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    gdi::FillPixels(pixels, rect.left, rect.top, rect.right, rect.top + 1, value);
    gdi::FillPixels(pixels, rect.left, rect.bottom - 1, rect.right, rect.bottom, value);
    gdi::FillPixels(pixels, rect.left, rect.top, rect.left + 1, rect.bottom, value);
    gdi::FillPixels(pixels, rect.right - 1, rect.top, rect.right, rect.bottom, value);
}

// One border of an edge: the top-left colour on the top row and left column, the
// bottom-right colour on the bottom row and right column (with the shared corners).
void Border(const Pixels& pixels, const RECT& r, UINT flags, COLORREF topLeft,
            COLORREF bottomRight) {
    const std::uint32_t light = gdi::ToPixel(topLeft);
    const std::uint32_t dark = gdi::ToPixel(bottomRight);
    const int right = (flags & BF_RIGHT) != 0 ? r.right - 1 : r.right;
    const int bottom = (flags & BF_BOTTOM) != 0 ? r.bottom - 1 : r.bottom;
    if ((flags & BF_TOP) != 0)
        gdi::FillPixels(pixels, r.left, r.top, right, r.top + 1, light);
    if ((flags & BF_LEFT) != 0)
        gdi::FillPixels(pixels, r.left, r.top, r.left + 1, bottom, light);
    if ((flags & BF_BOTTOM) != 0)
        gdi::FillPixels(pixels, r.left, r.bottom - 1, r.right, r.bottom, dark);
    if ((flags & BF_RIGHT) != 0)
        gdi::FillPixels(pixels, r.right - 1, r.top, r.right, r.bottom, dark);
}

void Shrink(RECT* r, UINT flags) {
    if ((flags & BF_LEFT) != 0)
        ++r->left;
    if ((flags & BF_TOP) != 0)
        ++r->top;
    if ((flags & BF_RIGHT) != 0)
        --r->right;
    if ((flags & BF_BOTTOM) != 0)
        --r->bottom;
}

}  // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    COLORREF colour = 0;
    bool hollow = false;
    DrawScope scope(dc);
    if (!scope.Ok() || rect == nullptr || !gdi::BrushColour(brush, &colour, &hollow))
        return FALSE;
    if (!hollow)
        gdi::FillPixels(scope.Px(), rect->left, rect->top, rect->right, rect->bottom,
                        gdi::ToPixel(colour));
    return TRUE;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    COLORREF colour = 0;
    bool hollow = false;
    DrawScope scope(dc);
    if (!scope.Ok() || rect == nullptr || !gdi::BrushColour(brush, &colour, &hollow))
        return FALSE;
    if (!hollow)
        Frame(scope.Px(), *rect, gdi::ToPixel(colour));
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    DrawScope scope(dc);
    if (!scope.Ok())
        return FALSE;
    COLORREF colour = 0;
    bool hollow = false;
    if (gdi::BrushColour(scope.Dc()->brush, &colour, &hollow) && !hollow)
        gdi::FillPixels(scope.Px(), left, top, right, bottom, gdi::ToPixel(colour));
    const HPEN__* pen = Find<HPEN__>(scope.Dc()->pen);
    if (pen != nullptr && pen->style != PS_NULL) {
        RECT frame{left, top, right, bottom};
        for (int i = 0; i < pen->width && frame.right > frame.left; ++i) {
            Frame(scope.Px(), frame, gdi::ToPixel(pen->colour));
            frame = RECT{frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
        }
    }
    return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    DrawScope scope(dc);
    if (!scope.Ok() || rect == nullptr)
        return FALSE;
    const RECT& r = *rect;
    if (r.right <= r.left || r.bottom <= r.top)
        return TRUE;
    // The dots follow the frame's outline, every second pixel inverted.
    auto invert = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < scope.Px().width && y < scope.Px().height && (x + y) % 2 == 0)
            scope.Px().Row(y)[x] ^= 0xFFFFFF;
    };
    for (int x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 != r.top)
            invert(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 != r.left)
            invert(r.right - 1, y);
    }
    return TRUE;
}

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
    DrawScope scope(dc);
    if (!scope.Ok() || rect == nullptr)
        return FALSE;
    RECT r = *rect;
    const UINT outer = edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER);
    const UINT inner = edge & (BDR_RAISEDINNER | BDR_SUNKENINNER);
    if (outer == BDR_RAISEDOUTER)
        Border(scope.Px(), r, flags, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    else if (outer == BDR_SUNKENOUTER)
        Border(scope.Px(), r, flags, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    if (outer != 0)
        Shrink(&r, flags);
    if (inner == BDR_RAISEDINNER)
        Border(scope.Px(), r, flags, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    else if (inner == BDR_SUNKENINNER)
        Border(scope.Px(), r, flags, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
    if (inner != 0)
        Shrink(&r, flags);
    if ((flags & BF_MIDDLE) != 0)
        gdi::FillPixels(scope.Px(), r.left, r.top, r.right, r.bottom,
                        gdi::ToPixel(GetSysColor(COLOR_3DFACE)));
    if ((flags & BF_ADJUST) != 0)
        *rect = r;
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    HDC__* context = Find<HDC__>(dc);
    if (context == nullptr)
        return FALSE;
    if (previous != nullptr)
        *previous = context->position;
    context->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    DrawScope scope(dc);
    if (!scope.Ok())
        return FALSE;
    HDC__* context = scope.Dc();
    const HPEN__* pen = Find<HPEN__>(context->pen);
    const POINT from = context->position;
    context->position = POINT{x, y};
    if (pen == nullptr || pen->style == PS_NULL)
        return TRUE;
    const std::uint32_t value = gdi::ToPixel(pen->colour);
    const int half = (pen->width - 1) / 2;
    // Bresenham's walk from the start to just before the end point; a wide pen stamps a
    // square of its width at each point.
    int cx = from.x, cy = from.y;
    const int dx = std::abs(x - cx), sx = cx < x ? 1 : -1;
    const int dy = -std::abs(y - cy), sy = cy < y ? 1 : -1;
    int error = dx + dy;
    while (cx != x || cy != y) {
        if (pen->width <= 1)
            Put(scope.Px(), cx, cy, value);
        else
            gdi::FillPixels(scope.Px(), cx - half, cy - half, cx - half + pen->width,
                            cy - half + pen->width, value);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            cx += sx;
        }
        if (twice <= dx) {
            error += dx;
            cy += sy;
        }
    }
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
    DrawScope scope(dc);
    if (!scope.Ok() || x < 0 || y < 0 || x >= scope.Px().width || y >= scope.Px().height)
        return CLR_INVALID;
    scope.Px().Row(y)[x] = gdi::ToPixel(colour);
    return colour & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DrawScope scope(dc);
    if (!scope.Ok() || x < 0 || y < 0 || x >= scope.Px().width || y >= scope.Px().height)
        return CLR_INVALID;
    return gdi::ToColour(scope.Px().Row(y)[x]);
}

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD operation) {
    if (operation != SRCCOPY || width < 0 || height < 0)
        return FALSE;
    HDC__* target = Find<HDC__>(dc);
    HDC__* from = Find<HDC__>(source);
    Pixels to, read;
    if (target == nullptr || from == nullptr || !gdi::BeginPixels(from, &read))
        return FALSE;
    // Copied through a buffer so that a context may copy onto itself.
    std::vector<std::uint32_t> buffer;
    try {
        buffer.assign(static_cast<std::size_t>(width) * height, 0);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    std::vector<bool> inside(buffer.size(), false);
    for (int row = 0; row < height; ++row) {
        const int sy = sourceY + row;
        if (sy < 0 || sy >= read.height)
            continue;
        for (int column = 0; column < width; ++column) {
            const int sx = sourceX + column;
            if (sx < 0 || sx >= read.width)
                continue;
            buffer[static_cast<std::size_t>(row) * width + column] = read.Row(sy)[sx];
            inside[static_cast<std::size_t>(row) * width + column] = true;
        }
    }
    if (!gdi::BeginPixels(target, &to))
        return FALSE;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const std::size_t at = static_cast<std::size_t>(row) * width + column;
            if (inside[at])
                Put(to, x + column, y + row, buffer[at]);
        }
    }
    gdi::EndPixels(target);
    return TRUE;
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
                  int sourceWidth, int sourceHeight, const void* bits, const BITMAPINFO* info,
                  UINT usage, DWORD operation) {
    if (usage != DIB_RGB_COLORS || operation != SRCCOPY || width <= 0 || height <= 0 ||
        sourceWidth <= 0 || sourceHeight <= 0)
        return 0;
    DrawScope scope(dc);
    if (!scope.Ok())
        return 0;
    std::vector<std::uint32_t> image;
    int imageWidth = 0, imageHeight = 0;
    bool bottomUp = true;
    try {
        if (!gdi::ReadDibPixels(info, bits, &imageWidth, &imageHeight, &bottomUp, &image))
            return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const Pixels& to = scope.Px();
    for (int row = 0; row < height; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= to.height)
            continue;
        // The nearest source row, counted from the source rectangle's top.
        const long long down = (2LL * row + 1) * sourceHeight / (2LL * height);
        const long long imageRow =
            bottomUp ? imageHeight - 1 - (sourceY + sourceHeight - 1 - down) : sourceY + down;
        if (imageRow < 0 || imageRow >= imageHeight)
            continue;
        const std::uint32_t* line = image.data() + imageRow * imageWidth;
        for (int column = 0; column < width; ++column) {
            const int tx = x + column;
            const long long imageColumn =
                sourceX + (2LL * column + 1) * sourceWidth / (2LL * width);
            if (tx < 0 || tx >= to.width || imageColumn < 0 || imageColumn >= imageWidth)
                continue;
            to.Row(ty)[tx] = line[imageColumn];
        }
    }
    return sourceHeight;
}
