// Turning a page's bytes into an element tree.
#pragma once

#include <memory>
#include <string>
#include <string_view>

class HtmlTree;

// Parses bytes as an HTML page served from documentUrl. Bytes that are not valid UTF-8
// are read as Windows-1252. Never fails: any input gives a tree with html, head and
// body (or frameset) elements. Nesting beyond a few thousand open elements is cut off
// at that point, so that hostile pages parse in bounded time. Safe on any thread.
std::shared_ptr<HtmlTree> ParseHtml(std::string_view bytes, const std::string& documentUrl);

// A tree that shows text as a plain-text page does: the text in one pre element.
std::shared_ptr<HtmlTree> MakeTextTree(std::string_view bytes, const std::string& documentUrl);

// bytes as UTF-8: unchanged when valid UTF-8 (less a byte-order mark), else read as
// Windows-1252.
std::string DecodePageBytes(std::string_view bytes);
