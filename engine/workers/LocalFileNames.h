// The local file names the download jobs give the files they fetch: names taken from
// URLs or chosen by a pipeline, made safe to join to the folder a job was given, so
// that no name can reach outside it. Plain text work; none of them throws.
#pragma once

#include <string>
#include <string_view>

// name made into one element of a path: "/" and "\" become "-"; ":", "*", "?", "\"",
// "<", ">", "|" and control bytes (NUL included) become "_". "" when the result is
// "", "." or "..": such a name is refused.
std::string SafeFileName(std::string_view name);

// The extension of the file a URL names: the text after the last "." of the URL's last
// path element, query and fragment left out, %-unescaped, made safe as SafeFileName does. "" when
// that element holds no "." or the URL has no path at all ("http://h.x" and
// "http://h.x/img" give "").
std::string UrlFileExtension(std::string_view url);

// name without the "." characters it starts with: a name that a site chose never makes
// a hidden file.
std::string WithoutLeadingDots(std::string_view name);

// A flat local name for a URL without extension: the URL without query and fragment,
// %-unescaped, through FileNameFromUrl skipping the scheme's part (which turns every "."
// into "_"), made safe. "" when refused.
std::string DerivedFileName(std::string_view url);

// The name a single download stores its URL under: the URL without query and
// fragment, %-unescaped, then its last element (after the last "/" or "\"), made safe,
// leading dots dropped. "..%2F..%2Fx.mp3" gives "x.mp3", "a%20b.mp3" "a b.mp3",
// ".bashrc.mp3" "bashrc.mp3"; "%2e%2e" and a URL ending in "/" give "".
std::string DownloadFileName(std::string_view url);

// The name (without extension) an extraction stores an image URL under: the last
// element as DownloadFileName takes it, cut before its last ".", made safe, leading dots
// dropped; "image" when nothing is left. "my%20pic.png" gives "my pic", ".png" "image".
std::string LocalBaseName(std::string_view url);

// The n-th name for a file when name is taken: "-n" before the extension (the text from
// the last "."), so "song.mp3" gives "song-2.mp3"; name itself for n below 2.
std::string NumberedFileName(std::string_view name, int n);
