// A tagged value in the shape of the platform's VARIANT, for the types the system
// reads and passes. Strings are UTF-8 here and owned by the value (they become BSTRs
// only where an interface slot takes one); a dispatch value holds a counted
// reference. A VARIANT is an ordinary C++ value: copying copies the text and adds a
// reference, destruction frees both, so there is nothing to clear by hand.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Unknown.h"

using VARTYPE = unsigned short;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_BOOL = 11;

// Only the member named by vt is meaningful.
struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    LONG intVal = 0;                 // VT_I2 (16-bit range) and VT_I4
    double dblVal = 0.0;             // VT_R8
    bool boolVal = false;            // VT_BOOL
    std::string bstrVal;             // VT_BSTR
    ComPointer<IDispatch> pdispVal;  // VT_DISPATCH
};

inline VARIANT VariantFromInteger(LONG value) {
    VARIANT variant;
    variant.vt = VT_I4;
    variant.intVal = value;
    return variant;
}

inline VARIANT VariantFromText(std::string_view text) {
    VARIANT variant;
    variant.vt = VT_BSTR;
    variant.bstrVal = text;
    return variant;
}

inline VARIANT VariantFromDispatch(IDispatch* object) {
    VARIANT variant;
    variant.vt = VT_DISPATCH;
    variant.pdispVal = ComPointer<IDispatch>(object);
    return variant;
}
