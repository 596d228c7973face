// XML text to element trees and back.
//
// Reading goes through the DOM document (platform/xml): the document element is
// copied node by node into a new tree. Elements become nodes named by their tag;
// text becomes "#text" children (the element also takes the text as its value, the
// last text child winning); comments, CDATA sections and processing instructions
// become nodes named "#comment", "#cdata-section" and the target, valued with their
// text. Writing builds the text by hand, with a fixed layout and CR LF line ends.
//
// Every function is safe on any thread, for trees that the calling thread holds;
// none takes a lock or throws.
#pragma once

#include <string>

#include "engine/tree/ElementNode.h"
#include "platform/com/Variant.h"

class XmlNode;

// A new tree for XML text, owned by the caller; null for empty text (no DOM document
// is created then) and for text that is not well-formed. When the DOM document cannot
// be created, the first such failure of the process shows a message box; every
// failure gives null.
ElementNode* ParseXmlText(const std::string& text);

// ParseXmlText for the contents of a file, read through the file layer; null when the
// file cannot be read or parsed. Shows no message.
ElementNode* LoadXmlFile(const std::string& path);

// A new root node for a DOM node and its subtree, owned by the caller; null for a
// null node.
ElementNode* DomToElementTree(const XmlNode* domNode);
// The same, added as the last child of parent with ElementNode::AddChild (so a text
// node also sets parent's value); returns the added node. Null when either is null.
ElementNode* DomToElementTree(const XmlNode* domNode, ElementNode* parent);

// The text of a value: VT_I2 and VT_I4 as "%d", VT_BSTR as it stands, VT_BOOL as
// "true" or "false"; "" for every other type.
std::string VariantToString(const VARIANT& value);

// The XML text of a tree: "" for a null root; with the header, the declaration
// "<?xml version=\"1.0\"?>" and a CR LF come first; then WriteXmlText (root, indent).
std::string BuildXmlText(const ElementNode* root, bool withHeader, const std::string& indent);

// The XML text of one node and its subtree ("" for null). An element is its start tag
// at indent with its attributes, then "/>" and CR LF when it has no children; else ">"
// and its children with one more blank of indent, then its end tag. An element whose
// children are all elements (or comments or processing instructions) starts them on a
// new line and ends with its end tag at indent; an element with text (or CDATA) among
// its children has every child written inline, without indent or line breaks, so the
// text reads back unchanged, and its end tag follows at once. A "#text" node is its
// text alone; comments, CDATA and processing instructions are written as themselves.
// Text escapes "&", "<", ">" and CR; attribute values escape "&", "<", ">", the double
// quote, tab, LF and CR; everything else is copied byte for byte.
std::string WriteXmlText(const ElementNode* node, const std::string& indent);

// Parses text like ParseXmlText (silently null when the DOM document cannot be
// created) and adds the document element under parent; returns the added node, null
// when nothing was added.
ElementNode* ParseXmlTextInto(const std::string& text, ElementNode* parent);
// ParseXmlTextInto for the contents of a file read through the file layer.
ElementNode* LoadXmlFileInto(const std::string& path, ElementNode* parent);

// A listing of parsed XML text for inspection, from DumpDomText on the document
// element; "" when the text does not parse or the DOM document cannot be created.
std::string XmlTextToListing(const std::string& text, ElementNode* parent);
// A listing of a DOM subtree: per node three blanks and the name (" = " and the value
// when it is not empty) and a CR LF; then six blanks and the same for each attribute;
// then the listing of each child, with the same indent at every depth. With a parent,
// the nodes are also added under it as DomToElementTree (domNode, parent) adds them.
std::string DumpDomText(const XmlNode* domNode, ElementNode* parent);
