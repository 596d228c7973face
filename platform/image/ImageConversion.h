// Image files read and written by the image library, in the shape of its own calls.
// Formats are the library's format numbers. Paths are system paths (the file layer
// maps them); every file is read and written through the file layer.
//
// Safe on any thread for distinct images; one image is used by one thread at a time.
// None throws.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

using ImageFormat = int;
constexpr ImageFormat IMAGE_FORMAT_UNKNOWN = -1;
constexpr ImageFormat IMAGE_FORMAT_JPEG = 2;

// An image in memory; opaque.
struct ImageBitmap;
using ImageHandle = ImageBitmap*;

// The format a file name's extension names (any case); IMAGE_FORMAT_UNKNOWN when none.
ImageFormat ImageFormatFromFileName(std::string_view path);

// Reads an image file of the given format; null when the file is missing, not a regular
// file, not an image of that format, larger than 256 MiB or larger than 64 Mi pixels.
// Only bitmap files are read: the library is given the bitmaps this system writes
// itself, never pictures from the web (those go through ReadImageSize and the
// thumbnail extractor, platform/image/ImageThumbnail.h). Released with UnloadImage.
ImageHandle LoadImageFile(ImageFormat format, std::string_view path, int flags);

// Writes an image in the given format, replacing any file at path (a failed write
// leaves no file behind and an earlier file as it was). FALSE when the format cannot
// hold the image (a JPEG holds 8 and 24 bits per pixel) or the file cannot be written.
BOOL SaveImageFile(ImageFormat format, ImageHandle image, std::string_view path, int flags);

// The width and height of a picture held in memory (a downloaded picture), read from its
// header without decoding its pixels, by the decoders of pictures from the web
// (platform/image/WebPicture.h). False (both 0) for bytes that are no JPEG, PNG, GIF,
// TIFF or bitmap, or of a size beyond the bounds of LoadImageFile.
bool ReadImageSize(const std::string& bytes, int* width, int* height);

// Frees an image; nothing for null.
void UnloadImage(ImageHandle image);
