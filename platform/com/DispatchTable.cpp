#include "platform/com/DispatchTable.h"

#include <cmath>
#include <limits>

#include "platform/text/Text.h"

HRESULT VariantToInteger(const VARIANT& value, int* result) {
    switch (value.vt) {
        case VT_EMPTY:
            *result = 0;
            return S_OK;
        case VT_I2:
        case VT_I4:
            *result = value.intVal;
            return S_OK;
        case VT_BOOL:
            *result = value.boolVal ? -1 : 0;
            return S_OK;
        case VT_R8: {
            const double rounded = std::nearbyint(value.dblVal);
            if (!std::isfinite(rounded) || rounded < std::numeric_limits<int>::min() ||
                rounded > std::numeric_limits<int>::max())
                return DISP_E_TYPEMISMATCH;
            *result = static_cast<int>(rounded);
            return S_OK;
        }
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT VariantToText(const VARIANT& value, std::string* result) {
    switch (value.vt) {
        case VT_EMPTY:
            result->clear();
            return S_OK;
        case VT_BSTR:
            *result = value.bstrVal;
            return S_OK;
        case VT_I2:
        case VT_I4:
            *result = std::to_string(value.intVal);
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

bool DispatchNameMatches(const OLECHAR* name, const char* entryName) {
    return EqualsNoCase(Utf16ToUtf8(name), entryName);
}
