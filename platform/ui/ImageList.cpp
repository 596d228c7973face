#include "platform/ui/ImageList.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <set>
#include <vector>

#include "platform/gdi/GdiObjects.h"

struct HIMAGELIST__ {
    int width = 0;
    int height = 0;
    std::vector<std::vector<DWORD>> images;  // 0xAARRGGBB, rows top-down
};

namespace {

constexpr int kMaxSide = 256;

struct ListTable {
    std::mutex mutex;
    std::set<HIMAGELIST> lists;
};

ListTable& Lists() {
    static auto* table = new ListTable;  // lives for the process, as the objects' table
    return *table;
}

bool IsList(HIMAGELIST list) {
    ListTable& table = Lists();
    std::lock_guard<std::mutex> guard(table.mutex);
    return table.lists.count(list) != 0;
}

// The bitmap's pixels as 0x00RRGGBB rows top-down; false for a bitmap GetDIBits refuses.
bool ReadBitmap(HBITMAP bitmap, int* width, int* height, std::vector<DWORD>* pixels) {
    BITMAP info{};
    if (bitmap == nullptr || GetObject(bitmap, sizeof info, &info) != sizeof info)
        return false;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> rows(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    const int read = GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), rows.data(),
                               &header, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (read != info.bmHeight)
        return false;
    *width = info.bmWidth;
    *height = info.bmHeight;
    pixels->resize(rows.size());
    for (int y = 0; y < info.bmHeight; ++y) {  // GetDIBits hands rows bottom-up
        const DWORD* from =
            rows.data() + static_cast<std::size_t>(info.bmHeight - 1 - y) * info.bmWidth;
        for (int x = 0; x < info.bmWidth; ++x)
            (*pixels)[static_cast<std::size_t>(y) * info.bmWidth + x] = from[x] & 0xFFFFFF;
    }
    return true;
}

// Cuts a strip into images of the list's size; transparent(x, y) says which strip pixels
// are left out. Answers the first new index.
template <typename Transparent>
int AddStrip(HIMAGELIST list, int stripWidth, int stripHeight, const std::vector<DWORD>& strip,
             Transparent transparent) {
    const int count = std::max(1, stripWidth / list->width);
    std::vector<std::vector<DWORD>> added;
    for (int n = 0; n < count; ++n) {
        std::vector<DWORD> image(static_cast<std::size_t>(list->width) * list->height, 0);
        for (int y = 0; y < list->height && y < stripHeight; ++y) {
            for (int x = 0; x < list->width; ++x) {
                const int sx = n * list->width + x;
                if (sx >= stripWidth || transparent(sx, y))
                    continue;
                const DWORD colour = strip[static_cast<std::size_t>(y) * stripWidth + sx];
                image[static_cast<std::size_t>(y) * list->width + x] = 0xFF000000u | colour;
            }
        }
        added.push_back(std::move(image));
    }
    const int first = static_cast<int>(list->images.size());
    for (auto& image : added)
        list->images.push_back(std::move(image));
    return first;
}

// COLORREF (0x00BBGGRR) as a pixel (0x00RRGGBB).
DWORD PixelOf(COLORREF colour) {
    return (static_cast<DWORD>(GetRValue(colour)) << 16) |
           (static_cast<DWORD>(GetGValue(colour)) << 8) | GetBValue(colour);
}

}  // namespace

HIMAGELIST ImageList_Create(int width, int height, UINT, int, int) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return nullptr;
    auto* list = new (std::nothrow) HIMAGELIST__;
    if (list == nullptr)
        return nullptr;
    list->width = width;
    list->height = height;
    try {
        ListTable& table = Lists();
        std::lock_guard<std::mutex> guard(table.mutex);
        table.lists.insert(list);
    } catch (const std::bad_alloc&) {
        delete list;
        return nullptr;
    }
    return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    {
        ListTable& table = Lists();
        std::lock_guard<std::mutex> guard(table.mutex);
        if (table.lists.erase(list) == 0)
            return FALSE;
    }
    delete list;
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    return IsList(list) ? static_cast<int>(list->images.size()) : -1;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height) {
    if (!IsList(list) || width == nullptr || height == nullptr)
        return FALSE;
    *width = list->width;
    *height = list->height;
    return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    int width = 0, height = 0, maskWidth = 0, maskHeight = 0;
    std::vector<DWORD> pixels, maskPixels;
    if (!IsList(list) || !ReadBitmap(image, &width, &height, &pixels))
        return -1;
    if (mask != nullptr && !ReadBitmap(mask, &maskWidth, &maskHeight, &maskPixels))
        return -1;
    try {
        return AddStrip(list, width, height, pixels, [&](int x, int y) {
            return x < maskWidth && y < maskHeight &&
                   maskPixels[static_cast<std::size_t>(y) * maskWidth + x] != 0;
        });
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    if (!IsList(list) || !ReadBitmap(image, &width, &height, &pixels))
        return -1;
    const DWORD transparent = PixelOf(mask);
    try {
        return AddStrip(list, width, height, pixels, [&](int x, int y) {
            return pixels[static_cast<std::size_t>(y) * width + x] == transparent;
        });
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
    if (!IsList(list) || index < -1 || index >= static_cast<int>(list->images.size()))
        return -1;
    std::vector<DWORD> image;
    {
        const HICON__* found = gdi::Find<HICON__>(icon);
        if (found == nullptr)
            return -1;
        try {
            image.resize(static_cast<std::size_t>(list->width) * list->height);
        } catch (const std::bad_alloc&) {
            return -1;
        }
        for (int y = 0; y < list->height; ++y) {
            const int sy = static_cast<int>((2LL * y + 1) * found->height / (2LL * list->height));
            for (int x = 0; x < list->width; ++x) {
                const int sx = static_cast<int>((2LL * x + 1) * found->width / (2LL * list->width));
                image[static_cast<std::size_t>(y) * list->width + x] =
                    found->pixels[static_cast<std::size_t>(sy) * found->width + sx];
            }
        }
    }
    try {
        if (index == -1) {
            list->images.push_back(std::move(image));
            return static_cast<int>(list->images.size()) - 1;
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    list->images[static_cast<std::size_t>(index)] = std::move(image);
    return index;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT) {
    if (!IsList(list) || index < 0 || index >= static_cast<int>(list->images.size()))
        return FALSE;
    HICON icon = CreateIconFromPixels(list->width, list->height,
                                      list->images[static_cast<std::size_t>(index)].data());
    if (icon == nullptr)
        return FALSE;
    const BOOL drawn = DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    return drawn;
}
