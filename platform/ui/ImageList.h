// Image lists: numbered images of one size, drawn on device contexts. Each image keeps
// its own pixels with their transparency: an icon's alpha, the masked colour of
// ImageList_AddMasked or the mask bitmap of ImageList_Add made transparent.
//
// Safe on any thread; one list is used by one thread at a time. None throws.
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiIcons.h"

struct HIMAGELIST__;
using HIMAGELIST = HIMAGELIST__*;

// Colour depths are taken and ignored (every image keeps 32 bits with alpha); ILC_MASK
// is taken and ignored too (transparency is always kept).
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

// A list of width x height images (1 to 256 each). initial and grow are hints; the list
// takes as many images as are added. Null for a bad size.
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
// FALSE for a handle that names no list.
BOOL ImageList_Destroy(HIMAGELIST list);
// -1 for a bad handle.
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);

// Adds the images of a device bitmap: a strip of bitmap width / image width images side
// by side (at least one; a bitmap narrower or lower than an image fills its top left
// corner, the rest transparent). A mask bitmap (may be null) makes its non-black pixels
// transparent. Answers the index of the first image added, -1 on failure.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The same with every pixel of the colour mask made transparent.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
// Replaces image index with a copy of the icon, scaled to the image size; index -1
// appends. Answers the index, -1 on failure (bad list, icon or index).
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) {
    return ImageList_ReplaceIcon(list, -1, icon);
}

// Draws image index with its top left corner at (x, y), blended over what is there.
// style ILD_NORMAL or ILD_TRANSPARENT (the same here). FALSE for a bad list, index or
// context.
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
