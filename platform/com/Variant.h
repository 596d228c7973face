// A tagged value in the shape of the platform's VARIANT, for the types the system
// reads. Strings are UTF-8 here; they become BSTRs only at a COM boundary.
#pragma once

#include <string>

#include "platform/base/Types.h"

using VARTYPE = unsigned short;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_BOOL = 11;

// Only the member named by vt is meaningful.
struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    LONG intVal = 0;       // VT_I2 (16-bit range) and VT_I4
    double dblVal = 0.0;   // VT_R8
    bool boolVal = false;  // VT_BOOL
    std::string bstrVal;   // VT_BSTR
};
