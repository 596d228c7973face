#include "engine/thumbnail/BitmapFile.h"

#include <cstdint>

namespace {

DWORD ColourCount(WORD bitCount) {
    return bitCount <= 8 ? (1u << bitCount) : 0;
}

// The screen's device context with a palette realised in it, put back as it was when
// the scope ends.
class ScreenWithPalette {
public:
    explicit ScreenWithPalette(HPALETTE palette) : dc_(GetDC(nullptr)) {
        if (dc_ == nullptr)
            return;
        oldPalette_ = SelectPalette(dc_, palette, FALSE);
        RealizePalette(dc_);
    }
    ~ScreenWithPalette() {
        if (dc_ == nullptr)
            return;
        if (oldPalette_ != nullptr)
            SelectPalette(dc_, oldPalette_, FALSE);
        ReleaseDC(nullptr, dc_);
    }
    ScreenWithPalette(const ScreenWithPalette&) = delete;
    ScreenWithPalette& operator=(const ScreenWithPalette&) = delete;

    HDC Dc() const { return dc_; }

private:
    HDC dc_;
    HPALETTE oldPalette_ = nullptr;
};

}  // namespace

bool SaveBitmapFile(std::string_view path, HBITMAP bitmap) {
    FileWriter file;
    if (!file.Open(path, FileMode::Binary))
        return false;
    HGLOBAL dib = BitmapToDib(bitmap, BI_RGB, nullptr);
    if (dib == nullptr)
        return false;
    WriteDibFile(file, dib);
    GlobalFree(dib);
    return file.Close();
}

HGLOBAL BitmapToDib(HBITMAP bitmap, DWORD compression, HPALETTE palette) {
    if (compression == BI_BITFIELDS)
        return nullptr;
    if (palette == nullptr)
        palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));

    BITMAP description{};
    if (GetObject(bitmap, sizeof description, &description) == 0)
        return nullptr;
    WORD bitCount = static_cast<WORD>(description.bmPlanes * description.bmBitsPixel);
    if (bitCount == 16 || bitCount == 15)
        bitCount = 24;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = description.bmWidth;
    header.biHeight = description.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    const DWORD colourCount = ColourCount(bitCount);

    ScreenWithPalette screen(palette);
    if (screen.Dc() == nullptr)
        return nullptr;
    const std::size_t infoSize = header.biSize + 4 * colourCount;
    HGLOBAL dib = GlobalAlloc(GMEM_FIXED, infoSize);
    if (dib == nullptr)
        return nullptr;
    auto* info = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    *info = header;
    GetDIBits(screen.Dc(), bitmap, 0, static_cast<UINT>(header.biHeight), nullptr,
              reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS);
    header = *info;
    GlobalUnlock(dib);
    if (header.biSizeImage == 0) {
        std::uint64_t size = (static_cast<std::uint64_t>(header.biWidth) * header.biBitCount + 31) /
                             32 * 4 * static_cast<std::uint64_t>(header.biHeight);
        if (compression != BI_RGB)
            size = size * 3 / 2;
        if (size > UINT32_MAX) {
            GlobalFree(dib);
            return nullptr;
        }
        header.biSizeImage = static_cast<DWORD>(size);
    }

    HGLOBAL grown = GlobalReAlloc(dib, infoSize + header.biSizeImage, GMEM_MOVEABLE);
    if (grown == nullptr) {
        GlobalFree(dib);
        return nullptr;
    }
    dib = grown;
    info = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    const int lines = GetDIBits(screen.Dc(), bitmap, 0, static_cast<UINT>(header.biHeight),
                                reinterpret_cast<BYTE*>(info) + infoSize,
                                reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS);
    GlobalUnlock(dib);
    if (lines == 0) {
        GlobalFree(dib);
        return nullptr;
    }
    return dib;
}

void WriteDibFile(FileWriter& file, HGLOBAL dib) {
    if (dib == nullptr)
        return;
    const auto* info = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    const std::size_t dibSize = GlobalSize(dib);
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfSize = static_cast<DWORD>(dibSize + sizeof(BITMAPFILEHEADER));
    fileHeader.bfReserved1 = 0;
    fileHeader.bfReserved2 = 0;
    fileHeader.bfOffBits = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + info->biSize +
                                              4 * ColourCount(info->biBitCount));
    file.Write(std::string_view(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader));
    file.Write(std::string_view(reinterpret_cast<const char*>(info), dibSize));
    GlobalUnlock(dib);
}
