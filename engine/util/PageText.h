// Writing generated pages and XML text: the one write call and the one set of escaping
// rules that every writer of HTML, XML and script text uses for values that come from
// outside (item URLs, local file names, names, comments, titles, element values).
//
// A value is written where a reader takes it in one of four ways, each with its own
// rule, so a crafted value can neither add markup or script nor break the page, and the
// reader gets the value back:
//   - text content (HTML or XML): EscapeText;
//   - a quoted attribute value that is no address (HTML or XML): EscapeAttributeValue;
//   - an address in src="..." or in an unquoted href=...: EncodeUrlForAttribute;
//   - an address inside a quoted script string: EncodeUrlForScriptString;
// and a local file is named by FilePathToAddress before it is written as an address.
// IsScriptUrl decides whether a value may become a link target at all.
// Every rule leaves ordinary values (plain URLs and paths, names and texts without the
// characters listed) byte for byte as they are.
#pragma once

#include <string>
#include <string_view>

#include "platform/file/FileLayer.h"

// Writes the text's bytes to an open file, without terminator. False when the write
// failed; the writer also remembers the failure, so its Close reports it too.
bool WriteText(FileWriter& file, std::string_view text);

// "&", "<" and ">" as character references, and CR as "&#13;" (a raw CR reads back as
// a line feed); every other byte as it is. For text content of HTML and XML.
std::string EscapeText(std::string_view text);

// "&", "<", ">" and the double quote as character references, and tab, line feed and
// CR as numeric references (raw, an XML reader turns them into blanks); every other
// byte as it is. For attribute values in double quotes, HTML and XML alike.
std::string EscapeAttributeValue(std::string_view value);

// A URL as a browser serialises it, made safe for an attribute value that is quoted
// or not: control characters, blank, DEL, the double and single quote, "<", ">" and
// "`" percent-encoded (upper-case hex), "&" as "&amp;" so that no character reference
// is decoded out of it. Escapes already in the URL ("%20") stay as they are.
std::string EncodeUrlForAttribute(std::string_view url);

// A URL made safe inside a script string quoted with either quote: the same bytes as
// EncodeUrlForAttribute percent-encoded (so neither quote nor "</script" can occur),
// and a backslash written as the script escape "\\" so the string keeps it; "&" stays.
std::string EncodeUrlForScriptString(std::string_view url);

// A local file's path (relative to the page, or whole) as the address that names it:
// "%", "#", "?", every byte above 127 and the bytes EncodeUrlForAttribute encodes are
// percent-encoded, so a browser that decodes the address gets the path's bytes back,
// whatever the file name holds; "\" stays (a browser reads it as "/"). A path of
// ordinary characters ("images\pic.jpg") stays as it is.
std::string FilePathToAddress(std::string_view path);

// True when a browser would run the URL as script if it were followed: it starts,
// ignoring case, with "javascript:" or "vbscript:" once leading control characters
// and blanks are skipped and tabs and line ends dropped, as a browser's URL parser
// does. Such a value is never written as a link target.
bool IsScriptUrl(std::string_view url);
