// Small pictures of image files, as the shell's thumbnail extractor hands them out.
#pragma once

#include <string_view>
#include <vector>

#include "platform/base/Types.h"

// A picture's pixels as a device-independent bitmap holds them: rows bottom-up, each
// padded to 4 bytes, pixels in blue, green, red (and, at 32 bits, one zero byte) order.
struct ThumbnailPixels {
    LONG width = 0;
    LONG height = 0;
    WORD bitCount = 0;
    LONG rowBytes = 0;
    std::vector<BYTE> rows;
};

// A picture of the image file at path (a system path) that fits boxWidth x boxHeight
// keeping the image's proportions; an image that fits already keeps its size (it is
// never enlarged). The file is taken for a picture from the web: its kind is found from
// its contents, and only the accepted kinds are decoded, within the bounds of
// ImageLibrary.h (platform/image/WebPicture.h). Transparent parts are laid over white.
// The picture has 32 bits per pixel when colourDepth is 32 or more and 24 bits
// otherwise (a 16-bit request gets 24 bits). False for an empty box, for files that are
// not regular files, empty, broken or cut short, no picture of an accepted kind, or
// beyond the bounds. Safe on any thread; never throws.
bool LoadThumbnailPixels(std::string_view path, LONG boxWidth, LONG boxHeight, DWORD colourDepth,
                         ThumbnailPixels* pixels);
