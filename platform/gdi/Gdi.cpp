#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

// The handle types are the objects themselves; every handle is checked against the
// table of live objects before use.
struct GdiObject {
    virtual ~GdiObject() = default;
};

struct HBITMAP__ : GdiObject {
    LONG width = 0;
    LONG height = 0;
    WORD planes = 1;
    WORD bitsPixel = 0;
    LONG widthBytes = 0;
    std::vector<BYTE> rows;
};

struct HPALETTE__ : GdiObject {
    std::vector<PALETTEENTRY> entries;
};

struct HDC__ : GdiObject {
    HPALETTE palette = nullptr;
};

namespace {

std::mutex& TableMutex() {
    static std::mutex mutex;
    return mutex;
}

// Handle value -> live object. Stock objects are not in it; they are never deleted.
std::unordered_map<const void*, GdiObject*>& LiveObjects() {
    static std::unordered_map<const void*, GdiObject*> objects;
    return objects;
}

HPALETTE DefaultPalette() {
    static HPALETTE__ palette = [] {
        HPALETTE__ made;
        made.entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        return made;
    }();
    return &palette;
}

// Throws std::bad_alloc when the table cannot grow.
template <typename Kind>
void Register(Kind* object) {
    std::lock_guard lock(TableMutex());
    LiveObjects().emplace(static_cast<const void*>(object), object);
}

// The object a handle names, when it is live and of the asked kind.
template <typename Kind>
Kind* Find(const void* handle) {
    if (handle == nullptr)
        return nullptr;
    if (handle == DefaultPalette())
        return dynamic_cast<Kind*>(static_cast<GdiObject*>(DefaultPalette()));
    std::lock_guard lock(TableMutex());
    const auto found = LiveObjects().find(handle);
    return found == LiveObjects().end() ? nullptr : dynamic_cast<Kind*>(found->second);
}

// Takes an object of the asked kind out of the table; the object, or null when the
// handle names none of that kind.
template <typename Kind>
Kind* Unregister(const void* handle) {
    std::lock_guard lock(TableMutex());
    const auto found = LiveObjects().find(handle);
    if (found == LiveObjects().end())
        return nullptr;
    Kind* object = dynamic_cast<Kind*>(found->second);
    if (object != nullptr)
        LiveObjects().erase(found);
    return object;
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
        Register(bitmap);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        return nullptr;
    }
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
        Register(made);
    } catch (const std::bad_alloc&) {
        delete made;
        return nullptr;
    }
    return made;
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
    if (object == DefaultPalette())
        return TRUE;
    if (HBITMAP__* bitmap = Unregister<HBITMAP__>(object)) {
        delete bitmap;
        return TRUE;
    }
    if (HPALETTE__* palette = Unregister<HPALETTE__>(object)) {
        delete palette;
        return TRUE;
    }
    return FALSE;
}

int GetObject(HGDIOBJ object, int bufferSize, void* buffer) {
    HBITMAP__* bitmap = Find<HBITMAP__>(object);
    if (bitmap == nullptr || buffer == nullptr || bufferSize < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = bitmap->width;
    description.bmHeight = bitmap->height;
    description.bmWidthBytes = bitmap->widthBytes;
    description.bmPlanes = bitmap->planes;
    description.bmBitsPixel = bitmap->bitsPixel;
    description.bmBits = bitmap->rows.data();
    std::memcpy(buffer, &description, sizeof description);
    return sizeof description;
}

HGDIOBJ GetStockObject(int which) {
    return which == DEFAULT_PALETTE ? DefaultPalette() : nullptr;
}

HDC GetDC(HWND window) {
    if (window != nullptr)
        return nullptr;
    auto* dc = new (std::nothrow) HDC__;
    if (dc == nullptr)
        return nullptr;
    dc->palette = DefaultPalette();
    try {
        Register(dc);
    } catch (const std::bad_alloc&) {
        delete dc;
        return nullptr;
    }
    return dc;
}

int ReleaseDC(HWND, HDC dc) {
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
    const HBITMAP__* source = Find<HBITMAP__>(bitmap);
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
