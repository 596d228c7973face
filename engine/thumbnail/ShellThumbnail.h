// Thumbnails of image files from the shell's thumbnail extractor.
#pragma once

#include <string_view>

#include "platform/gdi/Gdi.h"

// A picture of the file fileName of folder (the first item of the folder whose name
// equals fileName ignoring case, and whose picture can be made) that fits size, asked
// at colourDepth bits per pixel: a bitmap the caller deletes with DeleteObject. Null
// when the folder cannot be bound, no item matches or no picture can be made.
// Runs on any thread; may throw std::bad_alloc.
HBITMAP ShellThumbnailToBitmap(std::string_view folder, std::string_view fileName, SIZE size,
                               int colourDepth);

// Writes bitmap as a .bmp file at path through SaveBitmapFile. False, with nothing
// written, for a null bitmap or when the file cannot be written.
bool SaveShellThumbnail(HBITMAP bitmap, std::string_view path);
