// A .bmp file held in memory: the file's contents after its 14-byte file header in one
// moveable global memory block, with pointers to the info header, the colour table and
// the bits. Used by one thread at a time.
#pragma once

#include <string_view>

#include "platform/base/CObject.h"
#include "platform/gdi/Gdi.h"
#include "platform/memory/GlobalMemory.h"

class DibImage : public CObject {
public:
    DibImage() = default;
    ~DibImage() override;
    DibImage(const DibImage&) = delete;
    DibImage& operator=(const DibImage&) = delete;

    // Reads a .bmp file, replacing what the object held. A file that does not start
    // with "BM" leaves the object empty and still gives true. False (object empty) when
    // the file cannot be read, is shorter than its headers say or its colour table and
    // bits do not fit in it; for any other failure the message "Problem in
    // LoadBitMapFile" is shown and the result is false. Never throws.
    bool Load(std::string_view path);

    // A logical palette of 256 entries: the colour table's first entries, the rest
    // black. The caller deletes it with DeleteObject; null when the object is empty.
    HPALETTE MakePalette() const;

    void Clear();
    bool IsEmpty() const { return header_ == nullptr; }

    // Valid while the object holds an image.
    const BITMAPINFOHEADER* Header() const { return header_; }
    const RGBQUAD* Colours() const { return colours_; }
    const BYTE* Bits() const { return bits_; }
    DWORD ColourCount() const { return colourCount_; }
    // The header's image size, or what follows the colour table when that is 0.
    DWORD ImageSize() const { return imageSize_; }

private:
    HGLOBAL block_ = nullptr;  // locked while the object holds an image
    BITMAPINFOHEADER* header_ = nullptr;
    RGBQUAD* colours_ = nullptr;
    BYTE* bits_ = nullptr;
    DWORD colourCount_ = 0;
    DWORD imageSize_ = 0;
};
