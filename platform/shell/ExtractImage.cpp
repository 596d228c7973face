#include "platform/shell/ExtractImage.h"

#include <cstring>
#include <new>

#include "platform/image/ImageThumbnail.h"

namespace {

HBITMAP ToBitmap(const ThumbnailPixels& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = pixels.bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr)
        std::memcpy(bits, pixels.rows.data(), pixels.rows.size());
    return bitmap;
}

}  // namespace

HRESULT ExtractImage::GetLocation(std::string* pathBuffer, DWORD*, const SIZE& size,
                                  DWORD colourDepth, DWORD*) {
    if (pathBuffer == nullptr || size.cx <= 0 || size.cy <= 0)
        return E_INVALIDARG;
    try {
        *pathBuffer = path_;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    size_ = size;
    colourDepth_ = colourDepth;
    located_ = true;
    return S_OK;
}

HRESULT ExtractImage::Extract(HBITMAP* bitmap) {
    if (bitmap == nullptr)
        return E_POINTER;
    *bitmap = nullptr;
    if (!located_)
        return E_UNEXPECTED;
    ThumbnailPixels pixels;
    if (!LoadThumbnailPixels(path_, size_.cx, size_.cy, colourDepth_, &pixels))
        return E_FAIL;
    *bitmap = ToBitmap(pixels);
    return *bitmap != nullptr ? S_OK : E_OUTOFMEMORY;
}
