// Pictures that come from the web, decoded in this process. Only the kinds the system
// takes for pictures are read (JPEG, PNG, GIF, TIFF and bitmap files), each by its own
// decoder, chosen by the picture's first bytes: the picture library's decoders of the
// first four, every other decoder of that library blocked, and this code's own for
// bitmaps (BitmapPicture.h). A picture's size is read from its header and checked
// against the bounds of ImageLibrary.h before its pixels are decoded.
//
// Internal to platform/image; not for system code. Safe on any thread; none throws.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

enum class PictureKind { Unknown, Jpeg, Png, Gif, Tiff, Bitmap };

// The kind a picture's first bytes name; Unknown for any other.
PictureKind PictureKindOf(std::string_view bytes);

// The picture's own size from its header, its pixels not decoded. False (both 0) for
// bytes that are no picture of an accepted kind, or whose size or length lies beyond
// the bounds.
bool ReadPictureSize(std::string_view bytes, long long* width, long long* height);

// A picture made to fit a box: 8-bit red, green and blue, rows top-down, no padding.
struct FittedPicture {
    long long width = 0;
    long long height = 0;
    std::vector<std::uint8_t> rgb;
};

// Decodes a picture and makes it fit boxWidth x boxHeight keeping its proportions; a
// picture that fits already keeps its size (it is never enlarged). The size comes from
// the picture's own, also when a JPEG at least twice the box along both sides is
// decoded at a reduced scale (1/2, 1/4 or 1/8, leaving at least twice the fitted size)
// before the exact resize. Transparent parts are laid over white, unless every pixel
// is opaque or every pixel fully transparent (an alpha channel nobody filled in).
// False for an empty box, for anything ReadPictureSize refuses, and for pixels that
// cannot be decoded, a cut picture among them.
bool DecodePictureToFit(std::string_view bytes, long long boxWidth, long long boxHeight,
                        FittedPicture* picture);
