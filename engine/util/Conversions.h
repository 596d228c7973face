// Conversions between text and values as the settings store and the generated pages
// write them: booleans as "true"/"false", integers as decimal text, numbers as "%g".
// None of them throws; text that holds no number reads as 0.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

// True when text equals "true" ignoring case.
bool IsTrueString(std::string_view text);
// "true" or "false".
std::string BoolToString(bool b);
// n != 0.
bool ToBool(int n);
// n as "%d".
std::string IntToString(int n);
// x as "%g".
std::string FloatToString(double x);

// The decimal number at the start of text (leading white space and a sign allowed,
// as "%d" reads it); 0 when there is none. A number beyond the range of int gives
// the nearest end of that range.
int StringToInt(std::string_view text);
// The hexadecimal number at the start of text, as "%x" reads it (white space, a sign
// and "0x" allowed), taken as 32 bits; 0 when there is none. Beyond 32 bits it gives
// 0xFFFFFFFF, that is -1.
int HexStringToInt(std::string_view text);

#if defined(MORVELLE_CORVANE_UTILITIES)
// The number at the start of text as the C library's atof reads it; 0 when none.
double StringToFloat(std::string_view text);
#else
// The number at the start of text as "%f" reads it into a float; 0 when none.
float StringToFloat(std::string_view text);
#endif

// Splits text at tabs, line ends, blanks and "," and reads each piece as hexadecimal
// bytes: a value from 32 to 255 becomes that byte, any other value, and a piece that
// holds no number, becomes ".".
std::string HexBytesToText(std::string_view text);

// Reads "month/day/year hour:minute:second", the year counted from 2000 (25 is
// 2025), as local time with daylight saving as the system decides it. Time numbers
// that are missing count as 0; without the three date numbers the result is -1.
std::time_t ParseDate(std::string_view text);
