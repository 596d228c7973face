// Rectangles in the platform's shape live with the other basic types.
#pragma once

#include "platform/base/Types.h"
