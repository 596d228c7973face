// Bitmap files (.bmp) that come from the web, read by this code alone: the picture
// decoders of the image library take them only through loaders that are not made for
// bytes from anywhere. Internal to platform/image; not for system code.
//
// Read: the core and the info headers (12, 40, 52, 56, 108 and 124 bytes), 1, 4 and 8
// bits with a colour table, 16, 24 and 32 bits, uncompressed, with bit fields, or run-
// length coded (8 and 4 bits). Anything else is refused. Safe on any thread.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// True when bytes start as a bitmap file does ("BM").
bool LooksLikeBitmapPicture(std::string_view bytes);

// The picture's size from its headers; false for a file that is no bitmap of a kind
// read here. Its pixels are not looked at.
bool ReadBitmapPictureSize(std::string_view bytes, long long* width, long long* height);

struct BitmapPicturePixels {
    long long width = 0;
    long long height = 0;
    int bands = 0;  // 3 (red, green, blue) or 4 (and alpha, for 32 bits with alpha)
    std::vector<std::uint8_t> pixels;  // rows top-down, no padding
};

// Decodes a bitmap file of at most maxPixels pixels. False, with nothing allocated
// beyond the headers, for a file that is no bitmap of a kind read here, one larger than
// maxPixels, or one whose pixels end before the picture does.
bool DecodeBitmapPicture(std::string_view bytes, long long maxPixels, BitmapPicturePixels* out);
