// Reading a browser document into a page model, and the text tests the readers use.
// Run on the thread that owns the document; nothing here throws.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/model/htmlPage.h"

class HtmlDocument;

// A new page model (owned by the caller) read from document with htmlPage::load; an
// empty page for a null document. A failed read leaves the page as far as it was read.
// The page still holds the document: call releaseDom before it leaves this thread.
std::unique_ptr<htmlPage> LoadPageModel(const std::shared_ptr<HtmlDocument>& document,
                                        bool readForms, bool readEmailAddresses);

// The markup of the document's root element; "" when it cannot be read.
std::string GetDocumentHtml(const std::shared_ptr<HtmlDocument>& document);
// The text of the document's root element as a reader sees it; "" when it cannot be
// read.
std::string GetDocumentText(const std::shared_ptr<HtmlDocument>& document);

// False when text holds "/", "?" or "&"; else whether its first "@" stands after the
// first character. A mailto address passes; any address with a path or query fails.
bool IsEmailUrl(std::string_view text);

// word with every character that is not an ASCII letter or digit blanked from the start
// up to the first letter or digit and from the end back to the last one, then trimmed
// of blanks; the characters between stay as they are.
std::string CleanEmailWord(std::string_view word);
