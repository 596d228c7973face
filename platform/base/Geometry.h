// Points and rectangles in pixels, in the shape the window and drawing calls take them
// (POINT, SIZE and RECT are basic types), and a few helpers over them.
#pragma once

#include "platform/base/Types.h"

inline RECT MakeRect(LONG x, LONG y, LONG width, LONG height) {
    return RECT{x, y, x + width, y + height};
}
