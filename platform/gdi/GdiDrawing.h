// Drawing on device contexts: rectangles, edges, lines, pixels and bitmap copies. Every
// call draws on the bitmap or surface of the context, clipped to it, in pixel units
// with the origin at the top left. Brushes and pens are used as selected or as given;
// a brush argument may also be a system colour index + 1 (Gdi.h).
//
// Safe on any thread; one device context is used by one thread at a time. None throws.
#pragma once

#include "platform/gdi/Gdi.h"

// Fills rect (its right and bottom edges excluded) with brush. FALSE for a bad context
// or brush; a hollow brush fills nothing.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// A one-pixel frame just inside rect in brush's colour.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
// Fills the rectangle with the selected brush and frames it with the selected pen.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// A dotted frame just inside rect, drawn by inverting every other pixel: drawing it
// twice restores the pixels.
BOOL DrawFocusRect(HDC dc, const RECT* rect);

// Three-dimensional edges in the system colours. Each border is one pixel: the outer
// one on rect's edge, the inner one inside it. A raised border has its lighter colour
// at the top and left, a sunken one at the bottom and right; the bottom and right
// colour takes the corners it shares with the other.
//   raised outer: 3-D light / dark shadow   raised inner: highlight / shadow
//   sunken outer: shadow / highlight        sunken inner: dark shadow / 3-D light
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
// Which sides get the edges; BF_MIDDLE also fills the inside with the 3-D face colour;
// BF_ADJUST shrinks rect by the borders drawn.
constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_ADJUST = 0x2000;
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);

// Lines with the selected pen from the current position; the end point itself is not
// drawn. MoveToEx stores the previous position in *previous when it is not null.
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);

// SetPixel returns the colour set, GetPixel the colour there; CLR_INVALID outside the
// bitmap or for a bad context.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);

// Raster operations: only copying is offered.
constexpr DWORD SRCCOPY = 0x00CC0020;
// Copies width x height pixels from source at (sourceX, sourceY) to dc at (x, y); the
// part outside either bitmap is left out. The two may be the same context. FALSE for a
// bad context, another operation, or a negative size.
BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD operation);

// How StretchDIBits scales: every mode takes the nearest source pixel.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
// The mode before; 0 for a bad context or mode.
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// Draws the source rectangle of a device-independent bitmap scaled into the destination
// rectangle. bits and info describe the bitmap: 1, 4 or 8 bits per pixel with a colour
// table of biClrUsed entries (or all of them when 0), or 24 or 32 bits, BI_RGB,
// positive height (rows bottom-up) or negative (top-down); bits must hold all its rows.
// Source coordinates count from the bitmap's first row in memory order reversed for a
// bottom-up bitmap, so (0, 0) is its lower left corner as the bitmap calls count it;
// the source rectangle is clipped to the bitmap. usage must be DIB_RGB_COLORS and
// operation SRCCOPY. Returns the number of source rows drawn, 0 on failure.
int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
                  int sourceWidth, int sourceHeight, const void* bits, const BITMAPINFO* info,
                  UINT usage, DWORD operation);
