// Points and rectangles in pixels, in the shape the window and drawing calls take them.
#pragma once

#include "platform/base/Types.h"

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

// Right and bottom are one past the last pixel.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;

    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
    friend bool operator==(const RECT&, const RECT&) = default;
};

inline RECT MakeRect(LONG x, LONG y, LONG width, LONG height) {
    return RECT{x, y, x + width, y + height};
}
