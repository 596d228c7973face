// Writing generated pages: the one write call and the escaping rules for values that
// come from web pages (item URLs, names, comments).
//
// Items are written where a browser reads them in one of four ways, each with its own
// rule, so a crafted value can neither add markup or script nor break the page:
//   - text content and quoted attribute values that are not URLs: EscapeHtml;
//   - URLs in src="..." and in unquoted href=...: EncodeUrlForAttribute;
//   - URLs inside a quoted script string: EncodeUrlForScriptString;
//   - link targets: IsScriptUrl decides whether a value may become one at all.
// Every rule leaves ordinary values (plain URLs and paths, names without the
// characters listed) byte for byte as they are.
#pragma once

#include <string>
#include <string_view>

#include "platform/file/FileLayer.h"

// Writes the text's bytes to an open file, without terminator. False when the write
// failed; the writer also remembers the failure, so its Close reports it too.
bool WriteText(FileWriter& file, std::string_view text);

// "&", "<", ">" and the double quote as character references; every other byte as it
// is. Safe for text content and for attribute values in double quotes.
std::string EscapeHtml(std::string_view text);

// A URL as a browser serialises it, made safe for an attribute value that is quoted
// or not: control characters, blank, DEL, the double and single quote, "<", ">" and
// "`" percent-encoded (upper-case hex), "&" as "&amp;" so that no character reference
// is decoded out of it. Escapes already in the URL ("%20") stay as they are.
std::string EncodeUrlForAttribute(std::string_view url);

// A URL made safe inside a script string quoted with either quote: the same bytes as
// EncodeUrlForAttribute percent-encoded (so neither quote nor "</script" can occur),
// and a backslash written as the script escape "\\" so the string keeps it; "&" stays.
std::string EncodeUrlForScriptString(std::string_view url);

// True when a browser would run the URL as script if it were followed: it starts,
// ignoring case, with "javascript:" or "vbscript:" once leading control characters
// and blanks are skipped and tabs and line ends dropped, as a browser's URL parser
// does. Such a value is never written as a link target.
bool IsScriptUrl(std::string_view url);
