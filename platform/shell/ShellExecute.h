// The shell's program starts by file: which program opens a kind of document, and
// opening a document or starting a program with a verb.
//
// The program that opens a document is the desktop's default program for the
// document's MIME type (the shell service's DefaultApplication, "xdg-mime query
// default" unless a test installed another service), read from its desktop entry's
// Exec line in the XDG data folders. Programs start through the shell service with an
// argument vector, never through a command interpreter; nothing waits for them.
//
// Results are the platform's: a value above 32 means success, else an error code.
// Any thread; none throws.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

constexpr INT_PTR SE_ERR_FNF = 2;
constexpr INT_PTR SE_ERR_ACCESSDENIED = 5;
constexpr INT_PTR SE_ERR_NOASSOC = 31;

// The MIME type the shell gives a file by its extension ("text/html" for ".htm" and
// ".html", ignoring case); "" for a type it does not know.
std::string MimeTypeOfFile(std::string_view path);

// The Exec line's program of the desktop entry with that id ("firefox.desktop") in
// $XDG_DATA_HOME/applications (else ~/.local/share/applications), then in each folder
// of $XDG_DATA_DIRS (else /usr/local/share:/usr/share) in order: the first word, its
// quoting and escapes undone. "" when no entry, no Exec line or a field code in its
// place.
std::string DesktopEntryProgram(std::string_view desktopId);

// The program that opens file (a system path; relative to directory when that is not
// empty): its absolute Linux path in *result. SE_ERR_FNF when the file is not there,
// SE_ERR_NOASSOC (*result "") when no program opens its type or the program cannot be
// found in PATH; else a value above 32.
INT_PTR FindExecutable(std::string_view file, std::string_view directory, std::string* result);

// Opens file with verb ("open" or "": the default verb; no other verb is known). A file
// that is an executable program (an absolute Linux path, or a name found in PATH) is
// started with parameters as its arguments (split at blanks, double quotes keeping
// blanks); any other file or URL goes to the desktop's opener (ShellOpen), and
// parameters are then ignored. owner, directory and show are accepted for the
// platform's sake: programs start in the current folder, shown as they choose.
// SE_ERR_FNF for an empty file or one that could not be started, SE_ERR_NOASSOC for an
// unknown verb; else a value above 32.
INT_PTR ShellExecute(HWND owner, std::string_view verb, std::string_view file,
                     std::string_view parameters, std::string_view directory, int show);
