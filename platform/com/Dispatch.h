// Late binding in the platform's shape: IDispatch finds members by name (GetIDsOfNames)
// and calls them by dispatch id (Invoke) with a list of VARIANT arguments. Dual
// interfaces derive from IDispatch, so their own slots follow its seven.
//
// Objects of this platform offer no type information (GetTypeInfoCount gives 0) and
// never fill an EXCEPINFO; callers pass null for it.
#pragma once

#include "platform/base/Types.h"
#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

using DISPID = LONG;
using LCID = DWORD;

constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

constexpr DISPID DISPID_UNKNOWN = -1;
// The name of the one named argument of a property put: the new value.
constexpr DISPID DISPID_PROPERTYPUT = -3;

// Invoke's flags.
constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

constexpr HRESULT DISP_E_UNKNOWNINTERFACE = static_cast<HRESULT>(0x80020001u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<HRESULT>(0x80020004u);
constexpr HRESULT DISP_E_NONAMEDARGS = static_cast<HRESULT>(0x80020007u);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);

inline constexpr IID IID_NULL = GUID_NULL;
inline constexpr IID IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct VARIANT;    // platform/com/Variant.h
struct EXCEPINFO;  // never filled here
struct ITypeInfo;  // never offered here

// The arguments of one Invoke, in the platform's order: rgvarg holds the last
// argument first. A property put has one argument, named DISPID_PROPERTYPUT.
struct DISPPARAMS {
    VARIANT* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
};

struct IDispatch : IUnknown {
    static constexpr const IID& InterfaceId = IID_IDispatch;

    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    // Names compare ignoring ASCII case. iid must be IID_NULL. ids receives one
    // dispatch id per name (DISPID_UNKNOWN for a name not found, with the result
    // DISP_E_UNKNOWNNAME); the names after the first would be parameter names.
    virtual HRESULT GetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, LCID locale,
                                  DISPID* ids) = 0;
    // result may be null when the caller wants no result; argumentError (may be null)
    // receives the index in rgvarg of an argument of the wrong type.
    virtual HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};
