// Rectangles and points in the platform's shape (pixels; right and bottom exclusive).
#pragma once

#include "platform/base/Types.h"

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
