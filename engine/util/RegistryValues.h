// Settings values in an open registry key, stored as text: booleans as "true" or
// "false", numbers as decimal text. Opening and closing the key is the caller's
// business. None of these throws; a missing value reads as "", false or 0.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/registry/Registry.h"

// The whole value, whatever its length, up to its first NUL; "" when it is missing.
std::string RegReadString(HKEY key, std::string_view name);
// True when the value's text equals "true" ignoring case.
bool RegReadBool(HKEY key, std::string_view name);
// The value's text read as a decimal number; 0 when it is empty or missing.
int RegReadInt(HKEY key, std::string_view name);
// Copies the value's bytes into buffer. False (buffer untouched) when the value is
// missing or longer than size bytes.
bool RegReadBinary(HKEY key, std::string_view name, BYTE* buffer, DWORD size);

// Stores text as REG_SZ, its terminating NUL counted in the stored length. True when
// it was stored.
bool RegWriteString(HKEY key, std::string_view name, std::string_view text);
// "true" or "false" as a string value.
bool RegWriteBool(HKEY key, std::string_view name, bool b);
// n as "%d" text in a string value.
bool RegWriteInt(HKEY key, std::string_view name, int n);
// size bytes of data as REG_BINARY.
bool RegWriteBinary(HKEY key, std::string_view name, const BYTE* data, DWORD size);

#if defined(MORVELLE_CORVANE_UTILITIES)
// The value's text read as the C library's atof reads it; 0 when empty or missing.
double RegReadNumber(HKEY key, std::string_view name);
// x as "%g" text in a string value.
bool RegWriteNumber(HKEY key, std::string_view name, double x);
#endif
