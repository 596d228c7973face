// Globally unique identifiers in the platform's shape: class, interface and any other
// identifiers of the COM layer, their registry text form and fresh random ones.
#pragma once

#include <compare>
#include <string>
#include <string_view>

#include "platform/base/Types.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];

    friend bool operator==(const GUID&, const GUID&) = default;
    // Field by field, Data1 first; gives identifiers an order for maps and sets.
    friend auto operator<=>(const GUID&, const GUID&) = default;
};

using CLSID = GUID;
using IID = GUID;
using REFGUID = const GUID&;
using REFCLSID = const CLSID&;
using REFIID = const IID&;

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// The text given to CLSIDFromString is not an identifier in the registry form.
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);

// A fresh random identifier (version 4, RFC 4122 variant) from the system's random
// source. E_POINTER for a null guid, E_FAIL when the random source fails.
HRESULT CoCreateGuid(GUID* guid);

// The registry form: 38 characters, braces and upper-case hexadecimal digits,
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string GuidToString(REFGUID guid);

// Reads the registry form, hexadecimal digits of either case. On any other text
// *clsid becomes GUID_NULL and the result is CO_E_CLASSSTRING; E_INVALIDARG for a
// null clsid.
HRESULT CLSIDFromString(std::string_view text, CLSID* clsid);
