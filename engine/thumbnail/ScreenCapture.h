// Pictures of what a device context shows: its pixels copied into a bitmap of their
// own, and written as a .bmp file. A window's picture is the capture of its drawing
// surface's context. Used by one thread at a time per context; none throws.
#pragma once

#include <string_view>

#include "platform/gdi/Gdi.h"

// A device bitmap holding a copy of area of source (clipped to what source draws on,
// the rest black). The caller deletes it with DeleteObject. Null for a bad context or
// an empty area.
HBITMAP CaptureDcBitmap(HDC source, const RECT& area);

// Writes the capture of area as a .bmp file at path (32 bits per pixel). True when the
// whole file was written; false, with nothing left at path, otherwise.
bool SaveDcImage(HDC source, const RECT& area, std::string_view path);
