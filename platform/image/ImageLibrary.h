// The checked image loading shared by platform/image/*.cpp; not for system code.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/image/ImageConversion.h"

// Bounds of the images read: files beyond them are refused before decoding.
constexpr std::uint64_t kMaxImageFileBytes = 256ull * 1024 * 1024;
constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

// Sends the image library's own messages to the "image" trace channel; the first call
// installs the handler, later calls do nothing. Safe on any thread.
void PrepareImageLibrary();

// Reads a bitmap file (a system path) through the image library, which is given only
// the bitmaps this system writes itself (its thumbnails' .bmp files): any other format,
// and a file whose contents are no bitmap, is refused. The size is checked before the
// pixels are decoded. Null on any failure; one trace line on the "image" channel for a
// refused image. Pictures that come from the web go through WebPicture.h instead.
ImageHandle LoadCheckedImage(std::string_view path, ImageFormat format, int flags);
