// Whole files as text, and folders made on demand, through the file layer. Paths are
// system paths ("c:\store\x.htm"); none of these throws.
#pragma once

#include <string>
#include <string_view>

// True when path names a file that can be opened for reading; false for a folder or
// anything missing.
bool FileExists(std::string_view path);

// Makes the folder (one level) unless it exists. True when a folder of that path
// exists afterwards; false when it could not be made, also when a file of that name
// stands in its place.
bool CreateDirectoryIfMissing(std::string_view path);

// Creates or replaces the file with text in text mode: a lone LF is written as CR LF,
// a CR LF stays as it is. True when the whole file was written; a failed write leaves
// any earlier file as it was.
bool WriteTextFile(std::string_view path, std::string_view text);
// As WriteTextFile with the first count bytes of text; a count beyond the text writes
// the whole text, a count of 0 or below an empty file.
bool WriteTextFilePart(std::string_view path, std::string_view text, int count);

// Appends the file's bytes, as they are, up to its first NUL, to text. False (text
// unchanged) when the file cannot be read.
bool ReadTextFile(std::string_view path, std::string& text);
