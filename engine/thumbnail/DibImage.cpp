#include "engine/thumbnail/DibImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
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
