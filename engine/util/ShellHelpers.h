// Folders, web pages and mail opened with the desktop's own programs, and Internet
// shortcut files. Starting never waits for the program started; none of these throws.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

// Opens the folder (a system path, mapped by the file layer) in the desktop's file
// manager. True when the opener was started.
bool ExploreFolder(std::string_view path);

// Opens the URL in the desktop's web browser. True when the opener was started.
bool OpenUrlInBrowser(std::string_view url);

// Opens a new mail in the desktop's mail program: "mailto:<to>?subject=<subject>&body=
// <body>", the recipient as given, subject and body percent-encoded as mail URLs want
// them (letters, digits and "-._~" stay; every other byte, UTF-8 included, becomes %XX;
// each line end, CR LF or a lone CR or LF, becomes %0D%0A). True when the opener was
// started.
bool SendMailTo(std::string_view to, std::string_view subject, std::string_view body);
// The same with the body prefixed by the line <!DOCTYPE HTML PUBLIC"-//IETF//DTD HTML//EN">.
bool SendHtmlMailTo(std::string_view to, std::string_view subject, std::string_view body);

// Writes an Internet shortcut file at path (a system path): the lines "[InternetShortcut]",
// "URL=<url>", "IconFile=<iconFile>", "IconIndex=<iconIndex>", each ended by CR LF. S_OK
// when written; E_FAIL when the file cannot be written, and when the URL or icon file
// holds a line end or a NUL (it would break the file's lines).
HRESULT CreateInternetShortcut(std::string_view url, std::string_view path,
                               std::string_view iconFile, int iconIndex);
