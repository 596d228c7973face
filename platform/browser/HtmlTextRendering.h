// Text forms of a parsed element: its markup and the text a reader sees.
#pragma once

#include <string>
#include <string_view>

class HtmlElement;

// The element's markup rebuilt from the tree: lower-case tags, attributes in markup
// order with double quotes, text escaped, raw-text elements (script, style) as they
// stand, no end tag for void elements.
std::string SerializeOuterHtml(const HtmlElement& element);
// The markup of the element's content alone, as SerializeOuterHtml writes it.
std::string SerializeInnerHtml(const HtmlElement& element);

// The rendered text (see HtmlElement::InnerText).
std::string RenderInnerText(const HtmlElement& element);

// All text below the element, as it stands in the tree (comments left out).
std::string CollectText(const HtmlElement& element);

// Runs of ASCII white space folded to one blank, trimmed at both ends.
std::string FoldWhiteSpace(std::string_view text);
