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

    // Paints the source rectangle of the image (image pixels, top row 0) scaled into the
    // target rectangle of dc, with the image's palette selected and realised and the
    // stretch mode COLORONCOLOR. The source's top left corner must lie in the image, else
    // the message "startingPt is not in the image rectangle" is shown; its bottom right
    // corner may lie on the image's right and bottom edges but not beyond, else
    // "endingPt is not in the image rectangle". False then, for an empty object or
    // rectangle, when the file's bits do not cover the image, or when drawing fails.
    // The palette selected before is selected again.
    bool Paint(HDC dc, const RECT& target, const RECT& source) const;

    // A device bitmap of the image (CreateDIBitmap with CBM_INIT), selected into the
    // memory context dc; *size receives its width and height and *previous the bitmap
    // dc had selected (to select back before the new bitmap is deleted). Null, with dc
    // unchanged, for an empty object, a format the drawing calls cannot read, or bits
    // that do not cover the image.
    HBITMAP MakeDeviceBitmap(HDC dc, SIZE* size, HGDIOBJ* previous) const;

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
    // Whether the bits hold every row the header promises.
    bool BitsCoverImage() const;

    HGLOBAL block_ = nullptr;  // locked while the object holds an image
    BITMAPINFOHEADER* header_ = nullptr;
    RGBQUAD* colours_ = nullptr;
    BYTE* bits_ = nullptr;
    DWORD colourCount_ = 0;
    DWORD imageSize_ = 0;
};
