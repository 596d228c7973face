// Text as the system keeps it: UTF-8 bytes in std::string. "Ignoring case" folds
// ASCII letters only; every other byte compares as itself.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>
#include <vector>

using StringArray = std::vector<std::string>;

char ToLowerAscii(char c);
char ToUpperAscii(char c);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// Whole-text comparison ignoring ASCII case: <0, 0 or >0 as strcmp.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Whether piece occurs in text, ignoring ASCII case. An empty piece always occurs.
bool ContainsNoCase(std::string_view text, std::string_view piece);

// White space as the C locale counts it: blank, tab, LF, VT, FF, CR.
bool IsAsciiSpace(char c);

// The value of a hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(char c);

// Every %XX escape decoded; a "%" not followed by two hexadecimal digits stays as it is.
std::string PercentDecode(std::string_view text);

// Every occurrence of from replaced by to, left to right; an empty from changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// printf-style formatting into a string, of any length.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatTextV(const char* format, va_list args);

// Appends the UTF-8 bytes of one code point (at most U+10FFFF; callers replace surrogates).
void AppendUtf8(std::string& out, char32_t cp);

// UTF-8 <-> UTF-16 for the COM boundary. Malformed input bytes become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Builds generated HTML and XML text, whose lines end in CR LF.
class CrLfWriter {
public:
    // Appends text as it stands.
    CrLfWriter& Text(std::string_view text);
    // Appends text and a CR LF.
    CrLfWriter& Line(std::string_view text = {});
    const std::string& str() const { return text_; }

private:
    std::string text_;
};
