// Icons made from pixels, drawn on device contexts: alpha-blended, scaled to the size
// asked, or greyed for a disabled look. Safe on any thread; an icon may be drawn by
// several threads at once, and is destroyed by one when no other uses it. None throws.
#pragma once

#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/resource/Resource.h"

struct HICON__;
using HICON = HICON__*;

// An icon of width x height pixels: rows top-down, each pixel 0xAARRGGBB with alpha 255
// opaque and 0 transparent (not premultiplied). Null for a size below 1 or above 256 or
// null pixels.
HICON CreateIconFromPixels(int width, int height, const DWORD* pixels);
// FALSE for a handle that names no icon. A shared icon (LoadIcon's) stays: TRUE.
BOOL DestroyIcon(HICON icon);
// The icon's size and pixels (as CreateIconFromPixels takes them). FALSE for a handle
// that names no icon.
BOOL GetIconPixels(HICON icon, int* width, int* height, std::vector<DWORD>* pixels);

// The resource type of icons ("ICON" in a resource manifest): a PNG image of 1 to 256
// pixels a side.
constexpr int RT_GROUP_ICON = 14;
// The icon resource id of the module, read once and shared for the process: every call
// gives the same handle (the module's path and the id name it), and DestroyIcon leaves
// it alone. Null when the module has no such icon or its image cannot be read.
HICON LoadIcon(HMODULE module, int id);

// Draws the icon at its own size with its top left corner at (x, y).
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

// Draws the icon scaled to width x height (0 for both: its own size; with
// DI_DEFAULTSIZE, the system icon size). DI_NORMAL draws it; step and brush are not
// looked at (there is no off-screen flicker here).
constexpr UINT DI_MASK = 0x0001;
constexpr UINT DI_IMAGE = 0x0002;
constexpr UINT DI_NORMAL = 0x0003;
constexpr UINT DI_DEFAULTSIZE = 0x0008;
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH brush,
                UINT flags);

// DrawState for icons: DST_ICON with the icon in data, drawn at (x, y) at width x
// height (0: its own size). DSS_NORMAL draws it as DrawIconEx does; DSS_DISABLED draws
// its dark pixels (alpha from 128, brightness below 192) embossed: once in the 3-D highlight
// colour one pixel down and right, then in the button shadow colour in place. brush,
// callback and wData are not looked at. FALSE for other kinds.
constexpr UINT DST_ICON = 0x0003;
constexpr UINT DSS_NORMAL = 0x0000;
constexpr UINT DSS_DISABLED = 0x0020;
using DRAWSTATEPROC = BOOL (*)(HDC dc, LPARAM data, WPARAM wData, int width, int height);
BOOL DrawState(HDC dc, HBRUSH brush, DRAWSTATEPROC callback, LPARAM data, WPARAM wData, int x,
               int y, int width, int height, UINT flags);
