// What a piece of text found in a web page is: a link that may be followed, a page
// worth loading, an image, a file that is no page; and the host that decides which
// pages belong to one site.
//
// The tests look at a lower-cased copy of their argument and never change it. They
// are substring tests: "contains" means anywhere in the text, not only at its end, so
// ".htm" also matches "x.html" and ".edu" a host name ending in that label. None of
// them throws or reads beyond its text, however short.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/Text.h"

// text with its %-escapes decoded by the platform, up to an escaped NUL; of any length.
std::string UnescapeUrl(std::string_view text);

// True only when the platform's URL syntax test accepts the text and a response to it
// arrives within the reachability probe's time-out (any HTTP status counts; a file://
// URL must name an existing file). Blocks for up to twice that time-out; never call it
// with the process lock held.
bool UrlExists(std::string_view text);

// True when text contains "http:" or "https:".
bool IsHttpUrl(std::string_view text);

// An image or movie file: false for any URL with a "?"; else true when it contains
// ".jpg", ".jpeg", ".gif", ".mov", ".gz", ".bmp", ".png", ".tif" or ".tiff".
bool IsImageExtension(std::string_view url);

// A file that is no web page: the URL cut before its last "?" contains ".tar", ".gz",
// ".exe", ".pdf", ".doc", ".txt", ".zip", ".pqa", ".pdb", ".prc", ".reg", ".wsdl",
// ".pd", ".xml" or ".ram".
bool IsNonPageFile(std::string_view url);

// Whether a link may be followed at all. The trimmed copy, cut before its last "*"
// and then its last "?", is refused when it is a non-page file (unless allowFiles)
// or contains "javascript:", "mailto:" or "news:", and taken when it contains "http:"
// or "https:"; any other text is followable when the platform's URL syntax test
// accepts the text as given.
bool IsFollowableLink(std::string_view url, bool allowFiles);

// Whether a URL names a web page the crawl should load: no longer than 500
// characters and followable (IsFollowableLink with allowFiles: the MP3 finder band's
// test lets through texts that also name a non-page file); then a folder URL (last
// character "/" or "\") is a page, a URL with "#" is not, and the URL cut before its
// last "*" and its last "?" is a page when it contains one of the page extensions or
// its last path element holds no ".".
bool IsPageExtension(std::string_view url, bool allowFiles = false);

// Append to out, in order, every item of list that passes IsPageExtension,
// respectively IsImageExtension.
void FilterPageUrls(const StringArray& list, StringArray& out);
void FilterImageUrls(const StringArray& list, StringArray& out);

// The host part of a URL with its port, its case unchanged, without user
// information: the text after the scheme's "://" up to the first "/" (else the first
// "\"); "h.x" for http://h.x/dir/x.htm, "h.x:8080" for http://h.x:8080/x. A host with
// a "\" left in it comes out as a flat name (FileNameFromUrl: http://h.x\dir/a.htm
// gives "h_x-dir"), its port kept ("h_x:8080-dir"). Sites are the same when their
// hosts are equal ignoring case, so another port is another site.
std::string HostOfUrl(std::string_view url);

#if defined(MORVELLE_CORVANE_UTILITIES)
// The last two labels of a host ("a.b.c" gives "b.c"); a host of fewer labels whole.
std::string DomainOfHost(std::string_view host);
#endif
