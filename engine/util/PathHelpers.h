// Local paths and file names as the system builds them: folders joined with "\",
// flat file names derived from URLs. Plain text work: nothing here touches the file
// system, and none of them throws or reads beyond its text, however short.
#pragma once

#include <string>
#include <string_view>

// A flat local file name for a URL, at most 100 characters: the text after the first
// ":" (when that lies beyond position 0), cut before the first "?" (likewise), then
// "%", "&", "*", "@" and "|" dropped, "." turned into "_", "/" and "\" into "-".
// With skipFirstPart, everything up to and including the first "/" or "\" is
// dropped first. http://h.x/a/b.jpg?x=1 gives "--h_x-a-b_jpg", or "-h_x-a-b_jpg"
// with skipFirstPart.
std::string FileNameFromUrl(std::string_view url, bool skipFirstPart);

// The text after the last "." of the whole path; "" without a ".".
std::string FileExtension(std::string_view path);

// path with a "\" appended, unless it is empty or ends with "\" already.
std::string EnsureTrailingBackslash(std::string_view path);
#if defined(MORVELLE_CORVANE_UTILITIES)
// text with a "/" appended, unless it is empty or ends with "/" already.
std::string EnsureTrailingSlash(std::string_view text);
#endif

// folder (with a trailing "\" when not empty) followed by name. When extension is
// not empty and name holds no ".", name gets the extension: as it stands when it
// holds a ".", else after a ".". ("c:\store", "pic", "jpg") gives "c:\store\pic.jpg".
std::string JoinPath(std::string_view folder, std::string_view name,
                     std::string_view extension = {});

// path with "." and extension appended, unless the path already holds "." followed
// by the extension anywhere, ignoring case.
std::string EnsureExtension(std::string_view path, std::string_view extension);

// text cut before its last "?"; unchanged without one.
std::string StripQuery(std::string_view text);

// What follows the last "\" of text or, when it holds none, its last "/"; text
// unchanged when it holds neither.
std::string FileNameOfPath(std::string_view text);
