// Bitmaps written as .bmp files: a bitmap becomes a packed device-independent bitmap
// (header, colour table, bits in one global memory block), which is written behind a
// file header. Safe on any thread for distinct bitmaps; none throws.
#pragma once

#include <string_view>

#include "platform/file/FileLayer.h"
#include "platform/gdi/Gdi.h"
#include "platform/memory/GlobalMemory.h"

// Writes bitmap to path as a .bmp file at its own bit count (16 and 15 bits as 24).
// True when the whole file was written; false, with nothing left at path, when the
// file cannot be created or written or the bitmap cannot be read. The bitmap stays
// the caller's.
bool SaveBitmapFile(std::string_view path, HBITMAP bitmap);

// The packed device-independent bitmap of bitmap, with the given compression, its
// colours realised through palette (the stock default palette when null): a block the
// caller frees with GlobalFree. Null for BI_BITFIELDS, for a handle that names no
// bitmap, for a format the bitmap calls cannot hand out, or when memory runs out.
HGLOBAL BitmapToDib(HBITMAP bitmap, DWORD compression, HPALETTE palette);

// Writes the .bmp file image of a packed DIB to file: a BITMAPFILEHEADER ("BM", the
// block's size + 14, the bits' offset 14 + header size + 4 x colour count) and the
// whole block. Nothing for a null DIB. A failed write shows in file.Close().
void WriteDibFile(FileWriter& file, HGLOBAL dib);
