// Making a page's addresses absolute, as a browser hands them out.
#pragma once

#include <string>
#include <string_view>

// href resolved against base (an absolute address) by the URL library, with leading
// and trailing white space dropped, tabs and line breaks removed, and blanks, double
// quotes and angle brackets percent-encoded; other bytes stay as the URL library gives
// them. An empty href or a bare "#fragment" refers to base itself. An href that does not
// resolve to an address of a known scheme ("javascript:x", "mailto:a@b") comes back as
// written, trimmed. Against a res: base the reference resolves inside its module
// (ResolveResourceReference); a res: href stays as written. Safe on any thread.
std::string ResolveLinkAddress(std::string_view base, std::string_view href);

// The scheme of an absolute address in lower case ("http"), empty when it has none.
std::string SchemeOfAddress(std::string_view address);
