#include "engine/util/DispatchProperties.h"

#include <new>
#include <utility>

#include "platform/com/Bstr.h"
#include "platform/text/Text.h"

namespace {

bool FindMember(IDispatch* object, std::string_view name, DISPID* dispid) {
    std::u16string wide = Utf8ToUtf16(name);
    OLECHAR* names[] = {wide.data()};
    return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, dispid));
}

}  // namespace

bool GetProperty(IDispatch* object, std::string_view name, VARIANT* result) {
    VARIANT ignored;
    VARIANT& value = result ? *result : ignored;
    value = VARIANT{};
    if (!object)
        return false;
    try {
        DISPID dispid = DISPID_UNKNOWN;
        if (!FindMember(object, name, &dispid))
            return false;
        DISPPARAMS none;
        if (SUCCEEDED(object->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT,
                                     DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, &value, nullptr,
                                     nullptr)))
            return true;
    } catch (const std::bad_alloc&) {
    }
    value = VARIANT{};
    return false;
}

bool PutProperty(IDispatch* object, std::string_view name, const VARIANT& value) {
    if (!object)
        return false;
    try {
        DISPID dispid = DISPID_UNKNOWN;
        if (!FindMember(object, name, &dispid))
            return false;
        VARIANT argument = value;
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params;
        params.rgvarg = &argument;
        params.rgdispidNamedArgs = &named;
        params.cArgs = 1;
        params.cNamedArgs = 1;
        return SUCCEEDED(object->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT,
                                        DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool PutProperty(IDispatch* object, std::string_view name, int value) {
    return PutProperty(object, name, VariantFromInteger(value));
}

bool PutProperty(IDispatch* object, std::string_view name, std::string_view text) {
    try {
        return PutProperty(object, name, VariantFromText(text));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool PutProperty(IDispatch* object, std::string_view name, IDispatch* value) {
    return PutProperty(object, name, VariantFromDispatch(value));
}

bool HasProperty(IDispatch* object, std::string_view name) {
    return GetProperty(object, name, nullptr);
}

double GetNumberProperty(IDispatch* object, std::string_view name) {
    VARIANT value;
    if (!GetProperty(object, name, &value))
        return 0;
    if (value.vt == VT_I4)
        return value.intVal;
    if (value.vt == VT_R8)
        return value.dblVal;
    return 0;
}

bool GetBoolProperty(IDispatch* object, std::string_view name) {
    VARIANT value;
    return GetProperty(object, name, &value) && value.vt == VT_BOOL && value.boolVal;
}

std::string GetStringProperty(IDispatch* object, std::string_view name) {
    VARIANT value;
    if (!GetProperty(object, name, &value) || value.vt != VT_BSTR)
        return {};
    return std::move(value.bstrVal);
}
