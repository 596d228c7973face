// The platform's light-weight URL text calls.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

// TRUE when the text starts with a scheme of two or more characters (a letter, then
// letters, digits, "+", "-" or ".") followed by ":": "http://x", "mailto:x",
// "file:///x" and "javascript:x" are URLs; "page.htm", "c:\x" (a one-letter scheme is
// a drive) and "" are not. Nothing else is checked.
BOOL PathIsURL(std::string_view text);

// The text with every %XX escape decoded, of any length; a "%" that is not followed
// by two hexadecimal digits stays as it is. "+" stays "+".
std::string UrlUnescape(std::string_view text);
