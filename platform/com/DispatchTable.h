// Implementing IDispatch from a table: each entry gives a member's name, its dispatch
// id and one typed handler, a member function of the object such as
//     HRESULT get_title(BSTR* value);   HRESULT put_title(BSTR value);
//     HRESULT size(int cx, int cy);
// The table converts the VARIANT arguments to the handler's parameter types, calls it
// and converts what a property get returns. Parameter types: BSTR (the table owns the
// BSTR it makes and frees it after the call) and int; a get returns through BSTR*
// (the table frees the BSTR the handler gave) or int*.
//
// Usage, in the object's class:
//     class CThing : public DispatchImplementation<CThing, IThing> {
//         static const DispatchTable<CThing>& DispatchMembers();
//     };
//     const DispatchTable<CThing>& CThing::DispatchMembers() {
//         static const DispatchTable<CThing> table{
//             DispatchTable<CThing>::PropertyGet<&CThing::get_title>("title", 5),
//             DispatchTable<CThing>::PropertyPut<&CThing::put_title>("title", 5),
//             DispatchTable<CThing>::Method<&CThing::size>("size", 7)};
//         return table;
//     }
#pragma once

#include <initializer_list>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/com/Bstr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"

// The conversions the table uses. Integer: VT_EMPTY (0), VT_I2, VT_I4, VT_BOOL (-1 or
// 0) and a finite VT_R8 in range (rounded to the nearest). Text: VT_EMPTY (""),
// VT_BSTR and VT_I2/VT_I4 (decimal). Any other type gives DISP_E_TYPEMISMATCH.
HRESULT VariantToInteger(const VARIANT& value, int* result);
HRESULT VariantToText(const VARIANT& value, std::string* result);
// Whether a UTF-16 member name names the entry name, ignoring ASCII case.
bool DispatchNameMatches(const OLECHAR* name, const char* entryName);

// One argument of a handler, held for the length of the call.
template <class Type>
struct DispatchArgument;

template <>
struct DispatchArgument<int> {
    int value = 0;
    HRESULT load(const VARIANT& variant) { return VariantToInteger(variant, &value); }
    int get() const { return value; }
};

template <>
struct DispatchArgument<BSTR> {
    ScopedBstr value;
    HRESULT load(const VARIANT& variant) {
        std::string text;
        const HRESULT hr = VariantToText(variant, &text);
        if (SUCCEEDED(hr))
            value = ScopedBstr(text);
        return hr;
    }
    BSTR get() const { return value.get(); }
};

// What a property get handler returns, turned into the VARIANT result.
template <class Type>
struct DispatchResult;

template <>
struct DispatchResult<int> {
    int value = 0;
    int* out() { return &value; }
    void store(VARIANT* result) {
        if (result)
            *result = VariantFromInteger(value);
    }
};

template <>
struct DispatchResult<BSTR> {
    ScopedBstr value;
    BSTR* out() { return value.receive(); }
    void store(VARIANT* result) {
        if (result)
            *result = VariantFromText(value.utf8());
    }
};

template <class Object>
class DispatchTable {
public:
    using Thunk = HRESULT (*)(Object& object, const DISPPARAMS& params, VARIANT* result,
                              UINT* argumentError);

    struct Entry {
        const char* name;
        DISPID dispid;
        WORD kind;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
        Thunk thunk;
    };

    template <auto Handler>
    static constexpr Entry Method(const char* name, DISPID dispid) {
        return {name, dispid, DISPATCH_METHOD, &CallMethod<Handler>};
    }
    template <auto Handler>
    static constexpr Entry PropertyGet(const char* name, DISPID dispid) {
        return {name, dispid, DISPATCH_PROPERTYGET, &CallGet<Handler>};
    }
    template <auto Handler>
    static constexpr Entry PropertyPut(const char* name, DISPID dispid) {
        return {name, dispid, DISPATCH_PROPERTYPUT, &CallPut<Handler>};
    }

    DispatchTable(std::initializer_list<Entry> entries) : entries_(entries) {}

    HRESULT GetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, DISPID* ids) const {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        if (!names || !ids || count == 0)
            return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        for (const Entry& entry : entries_) {
            if (names[0] && DispatchNameMatches(names[0], entry.name)) {
                ids[0] = entry.dispid;
                // The members take no named arguments, so no parameter name is known.
                return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }

    // A put goes to the member's put handler; a get, or a get-or-call as late-bound
    // callers ask, to its get handler when it has one, else to its method.
    HRESULT Invoke(Object& object, DISPID dispid, REFIID iid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, UINT* argumentError) const noexcept {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        if (!params)
            return E_INVALIDARG;
        const Entry* found = nullptr;
        for (const Entry& entry : entries_) {
            if (entry.dispid != dispid)
                continue;
            if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
                if (entry.kind == DISPATCH_PROPERTYPUT)
                    found = &entry;
            } else if ((flags & DISPATCH_PROPERTYGET) && entry.kind == DISPATCH_PROPERTYGET) {
                found = &entry;
            } else if ((flags & DISPATCH_METHOD) && entry.kind == DISPATCH_METHOD && !found) {
                found = &entry;
            }
        }
        if (!found)
            return DISP_E_MEMBERNOTFOUND;
        if (params->cArgs > 0 && !params->rgvarg)
            return E_INVALIDARG;
        try {
            return found->thunk(object, *params, result, argumentError);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

private:
    // Deduction also takes noexcept handlers (a function pointer conversion).
    template <auto Handler, class Class, class... Arguments, size_t... Index>
    static HRESULT CallWith(Object& object, const DISPPARAMS& params, UINT* argumentError,
                            HRESULT (Class::*)(Arguments...), std::index_sequence<Index...>) {
        if (params.cArgs != sizeof...(Arguments))
            return DISP_E_BADPARAMCOUNT;
        std::tuple<DispatchArgument<Arguments>...> held;
        HRESULT hr = S_OK;
        const auto load = [&](auto& argument, size_t index) {
            if (FAILED(hr))
                return;
            // The platform's order: rgvarg[0] is the last argument.
            const UINT position = static_cast<UINT>(sizeof...(Arguments) - 1 - index);
            hr = argument.load(params.rgvarg[position]);
            if (FAILED(hr) && argumentError)
                *argumentError = position;
        };
        (load(std::get<Index>(held), Index), ...);
        if (FAILED(hr))
            return hr;
        return (object.*Handler)(std::get<Index>(held).get()...);
    }

    template <class Class, class... Arguments>
    static constexpr size_t ArgumentCount(HRESULT (Class::*)(Arguments...)) {
        return sizeof...(Arguments);
    }

    template <auto Handler>
    static HRESULT CallMethod(Object& object, const DISPPARAMS& params, VARIANT* result,
                              UINT* argumentError) {
        if (params.cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
        if (result)
            *result = VARIANT{};
        return CallWith<Handler>(object, params, argumentError, Handler,
                                 std::make_index_sequence<ArgumentCount(Handler)>());
    }

    template <class Class, class Value>
    static Value GetValueType(HRESULT (Class::*)(Value*));

    template <auto Handler>
    static HRESULT CallGet(Object& object, const DISPPARAMS& params, VARIANT* result, UINT*) {
        if (params.cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        DispatchResult<decltype(GetValueType(Handler))> value;
        const HRESULT hr = (object.*Handler)(value.out());
        if (SUCCEEDED(hr))
            value.store(result);
        return hr;
    }

    template <auto Handler>
    static HRESULT CallPut(Object& object, const DISPPARAMS& params, VARIANT*,
                           UINT* argumentError) {
        if (params.cArgs != 1)
            return DISP_E_BADPARAMCOUNT;
        static_assert(ArgumentCount(Handler) == 1, "a put handler takes the new value");
        if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs ||
            params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTFOUND;
        return CallWith<Handler>(object, params, argumentError, Handler,
                                 std::make_index_sequence<1>());
    }

    std::vector<Entry> entries_;
};

// IDispatch's four slots for an object whose class gives its table through a static
// DispatchMembers(); Interface is the dual interface the object implements.
template <class Object, class Interface>
class DispatchImplementation : public Interface {
public:
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT GetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
        try {
            return Object::DispatchMembers().GetIDsOfNames(iid, names, count, ids);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT* argumentError) override {
        try {
            return Object::DispatchMembers().Invoke(static_cast<Object&>(*this), member, iid, flags,
                                                    params, result, argumentError);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

protected:
    ~DispatchImplementation() = default;
};
