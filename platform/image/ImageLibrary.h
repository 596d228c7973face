// The checked image loading shared by platform/image/*.cpp; not for system code.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/image/ImageConversion.h"

// Bounds of the images read: files beyond them are refused before decoding.
constexpr std::uint64_t kMaxImageFileBytes = 256ull * 1024 * 1024;
constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

// Sends the library's own messages to the "image" trace channel; the first call
// installs the handler, later calls do nothing. Safe on any thread.
void PrepareImageLibrary();

// Reads an image file (a system path) of the given format; IMAGE_FORMAT_UNKNOWN finds
// the format from the contents, then from the file name. The image's size is checked
// before its pixels are decoded; formats whose size cannot be read first (other than
// GIF, whose header this code reads) are refused. Null on any failure; one trace line
// on the "image" channel for a refused image.
ImageHandle LoadCheckedImage(std::string_view path, ImageFormat format, int flags);

// Chooses the load flags of an image from its format and its own size, read from the
// file's header before its pixels are decoded.
using LoadFlagsChooser = std::function<int(ImageFormat format, long long width, long long height)>;

// LoadCheckedImage with the format found from the contents, the flags chosen by
// chooseFlags (asked once, only for formats whose size is read before decoding; the
// others load with flags 0). *width and *height receive the image's own size, which a
// reduced decode does not change; they are those of the loaded image when the header
// gave none.
ImageHandle LoadCheckedImageChoosingFlags(std::string_view path,
                                          const LoadFlagsChooser& chooseFlags, long long* width,
                                          long long* height);
