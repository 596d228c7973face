#include "engine/thumbnail/DibImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/ui/MessageBox.h"

DibImage::~DibImage() {
    Clear();
}

void DibImage::Clear() {
    if (block_ != nullptr) {
        GlobalUnlock(block_);
        GlobalFree(block_);
    }
    block_ = nullptr;
    header_ = nullptr;
    colours_ = nullptr;
    bits_ = nullptr;
    colourCount_ = 0;
    imageSize_ = 0;
}

bool DibImage::Load(std::string_view path) {
    Clear();
    try {
        std::string contents;
        if (!ReadFileBytes(path, &contents))
            return false;
        if (contents.size() < 2 || contents.compare(0, 2, "BM") != 0)
            return true;
        if (contents.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
            return false;

        const std::size_t blockSize = contents.size() - sizeof(BITMAPFILEHEADER);
        BITMAPINFOHEADER header;
        std::memcpy(&header, contents.data() + sizeof(BITMAPFILEHEADER), sizeof header);
        const DWORD colourCount = header.biClrUsed != 0   ? header.biClrUsed
                                  : header.biBitCount < 9 ? (1u << header.biBitCount)
                                                          : 0;
        const std::uint64_t tableEnd =
            static_cast<std::uint64_t>(header.biSize) + 4ull * colourCount;
        if (header.biSize < sizeof(BITMAPINFOHEADER) || tableEnd > blockSize)
            return false;
        const DWORD remaining = static_cast<DWORD>(blockSize - tableEnd);
        if (header.biSizeImage > remaining)
            return false;

        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, blockSize);
        if (block == nullptr)
            return false;
        auto* bytes = static_cast<BYTE*>(GlobalLock(block));
        std::memcpy(bytes, contents.data() + sizeof(BITMAPFILEHEADER), blockSize);
        block_ = block;
        header_ = reinterpret_cast<BITMAPINFOHEADER*>(bytes);
        colours_ = reinterpret_cast<RGBQUAD*>(bytes + header.biSize);
        bits_ = bytes + tableEnd;
        colourCount_ = colourCount;
        imageSize_ = header.biSizeImage != 0 ? header.biSizeImage : remaining;
        return true;
    } catch (const std::exception&) {
        Clear();
        MessageBox(nullptr, "Problem in LoadBitMapFile", "", MB_OK);
        return false;
    }
}

HPALETTE DibImage::MakePalette() const {
    if (IsEmpty())
        return nullptr;
    constexpr int kEntries = 256;
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + (kEntries - 1) * sizeof(PALETTEENTRY), 0);
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = kEntries;
    auto* entries =
        reinterpret_cast<PALETTEENTRY*>(storage.data() + offsetof(LOGPALETTE, palPalEntry));
    const DWORD copied = std::min<DWORD>(colourCount_, kEntries);
    for (DWORD i = 0; i < copied; ++i) {
        entries[i].peRed = colours_[i].rgbRed;
        entries[i].peGreen = colours_[i].rgbGreen;
        entries[i].peBlue = colours_[i].rgbBlue;
        entries[i].peFlags = 0;
    }
    return CreatePalette(palette);
}

bool DibImage::BitsCoverImage() const {
    if (IsEmpty() || header_->biWidth <= 0 || header_->biHeight == 0 ||
        header_->biHeight == INT32_MIN)
        return false;
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(header_->biWidth) * header_->biBitCount + 31) / 32 * 4;
    const std::uint64_t rows = header_->biHeight < 0
                                   ? -static_cast<std::int64_t>(header_->biHeight)
                                   : static_cast<std::uint64_t>(header_->biHeight);
    return rowBytes * rows <= imageSize_;
}

bool DibImage::Paint(HDC dc, const RECT& target, const RECT& source) const {
    if (IsEmpty())
        return false;
    const LONG width = header_->biWidth;
    const LONG height = header_->biHeight < 0 ? -header_->biHeight : header_->biHeight;

    HPALETTE palette = MakePalette();
    HPALETTE previous = palette != nullptr ? SelectPalette(dc, palette, FALSE) : nullptr;
    RealizePalette(dc);
    SetStretchBltMode(dc, COLORONCOLOR);
    bool painted = false;
    if (source.left < 0 || source.top < 0 || source.left >= width || source.top >= height) {
        MessageBox(nullptr, "startingPt is not in the image rectangle", "", MB_OK);
    } else if (source.right < 0 || source.bottom < 0 || source.right > width ||
               source.bottom > height) {
        MessageBox(nullptr, "endingPt is not in the image rectangle", "", MB_OK);
    } else if (BitsCoverImage()) {
        // The drawing call counts a bottom-up image's rows from its last row.
        const int sourceHeight = source.bottom - source.top;
        const int sourceY = header_->biHeight > 0 ? height - source.bottom : source.top;
        painted = StretchDIBits(dc, target.left, target.top, target.right - target.left,
                                target.bottom - target.top, source.left, sourceY,
                                source.right - source.left, sourceHeight, bits_,
                                reinterpret_cast<const BITMAPINFO*>(header_), DIB_RGB_COLORS,
                                SRCCOPY) != 0;
    }
    if (previous != nullptr)
        SelectPalette(dc, previous, FALSE);
    if (palette != nullptr)
        DeleteObject(palette);
    return painted;
}

HBITMAP DibImage::MakeDeviceBitmap(HDC dc, SIZE* size, HGDIOBJ* previous) const {
    if (!BitsCoverImage())
        return nullptr;
    HBITMAP bitmap = CreateDIBitmap(dc, header_, CBM_INIT, bits_,
                                    reinterpret_cast<const BITMAPINFO*>(header_), DIB_RGB_COLORS);
    if (bitmap == nullptr)
        return nullptr;
    HGDIOBJ selected = SelectObject(dc, bitmap);
    if (selected == nullptr) {
        DeleteObject(bitmap);
        return nullptr;
    }
    if (previous != nullptr)
        *previous = selected;
    if (size != nullptr) {
        BITMAP description{};
        GetObject(bitmap, sizeof description, &description);
        *size = SIZE{description.bmWidth, description.bmHeight};
    }
    return bitmap;
}
