// A pixel surface with its own device context: what a window paints on (WM_PAINT,
// WM_DRAWITEM, GetDC), and what tests read back. The context draws on the surface
// like a memory context on its bitmap; it is not deleted by DeleteDC, only with the
// surface, and its handle stays the same across Resize.
//
// One surface is used by one thread at a time. None throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gdi/Gdi.h"

class DrawingSurface {
public:
    // A surface of width x height pixels (each at least 1; smaller sizes count as 1),
    // white. Dc() is null when the surface could not be made (too large, no memory).
    DrawingSurface(int width, int height);
    ~DrawingSurface();
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const;
    int Height() const;

    // Gives the surface a new size; what was drawn stays where it fits, the rest is
    // white. The context keeps its handle and its selected objects. False (unchanged)
    // when the new size cannot be had.
    bool Resize(int width, int height);

    // The colour of a pixel; CLR_INVALID outside the surface.
    COLORREF Pixel(int x, int y) const;

    // Every pixel, row after row, as 0x00RRGGBB words (Width() x Height()); empty when
    // the surface could not be made. For a screen that shows the surface.
    std::vector<std::uint32_t> PixelRows() const;

    // Writes the surface as a PNG file at a system path; false when it cannot be written.
    bool SavePng(std::string_view path) const;

private:
    HDC dc_ = nullptr;
};
