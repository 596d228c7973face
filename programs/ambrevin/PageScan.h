// What the page image finder reads out of a page: the links that lead to further pages
// (frames first, then the page's links) and the pictures large enough to keep (img
// elements first, then links that name picture or movie files). Every reader keeps what
// it had read when the document fails a call.
#pragma once

#include <string>

#include "platform/text/Text.h"

class HtmlDocument;
class HtmlElement;

// The href of an anchor, area or link element; "" for any other element or a failure.
std::string ElementUrl(const HtmlElement& element);

// The img elements whose width and height are both strictly greater than the minimums
// (an image of unknown size counts as 0 wide and high). A failure on one image skips
// that image only.
void CollectImageUrls(const HtmlDocument& document, StringArray& output, int minimumWidth,
                      int minimumHeight);
// The addresses of the documents the page's frames show (not the frames' own frames);
// empty ones are left out.
void CollectFrameLinks(const HtmlDocument& document, StringArray& output);
// ElementUrl of each of the page's links, empty ones included.
void CollectElementUrls(const HtmlDocument& document, StringArray& output);

// Frame and link addresses that pass the page test, in order.
void CollectPageLinks(const HtmlDocument& document, StringArray& output);
// The large enough img elements, then the links to picture and movie files (whatever
// their size), in document order, duplicates included.
void CollectPageImages(const HtmlDocument& document, StringArray& output, int minimumWidth,
                       int minimumHeight);
