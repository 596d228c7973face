// The class object of an in-process server: it makes the server's objects.
#pragma once

#include "platform/base/Types.h"
#include "platform/com/Unknown.h"

inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IClassFactory : IUnknown {
    static constexpr const IID& InterfaceId = IID_IClassFactory;

    // A new object, asked for iid; CLASS_E_NOAGGREGATION when outer is given and the
    // class cannot be aggregated. *object is null on failure.
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    // TRUE keeps the server loaded (its DllCanUnloadNow answers S_FALSE) until the
    // matching FALSE.
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};
