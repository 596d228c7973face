// Identifiers as text: class identifiers in their registry form and fresh unique
// names for mutexes and files.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/Guid.h"

// The registry form with braces, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string ClsidToString(REFCLSID clsid);
// The identifier the registry form names; GUID_NULL for any other text.
CLSID StringToClsid(std::string_view text);

// A fresh random identifier in the registry form: 38 characters, braces, upper-case
// hexadecimal digits; "" only when the system's random source fails.
std::string NewGuidString();
// NewGuidString without its braces and dashes: 32 hexadecimal digits.
std::string NewGuidName();
