// The XML DOM document: parses XML text into a tree of nodes that is read through
// node names, typed node values, attribute maps and child lists.
//
// Parsing never loads a DTD or an external entity: a DOCTYPE is skipped, and text or an
// attribute value that holds a reference other than the five predefined ones and
// character references (of characters that exist) is not well-formed to this reader.
// Text made of white space alone between elements is dropped. Comments, CDATA sections
// and processing instructions inside the document element are nodes of their own; the
// XML declaration and anything outside the document element are not part of the tree.
//
// A document and its nodes belong to one thread at a time.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"
#include "platform/com/Variant.h"

enum class XmlNodeType {
    Element,
    Attribute,
    Text,
    CDataSection,
    ProcessingInstruction,
    Comment,
};

class XmlNode;
class XmlTreeBuilder;

// The attributes of an element or the children of a node, in document order.
class XmlNodeList {
public:
    LONG length() const { return static_cast<LONG>(nodes_.size()); }
    // Null when index is outside 0..length()-1.
    const XmlNode* item(LONG index) const;

private:
    friend class XmlTreeBuilder;
    std::vector<std::unique_ptr<XmlNode>> nodes_;
};

// A node of a parsed document; it lives as long as its document.
class XmlNode {
public:
    XmlNodeType nodeType() const { return type_; }
    // The tag of an element, the name of an attribute, the target of a processing
    // instruction; "#text", "#cdata-section" or "#comment" for the other kinds.
    const std::string& nodeName() const { return name_; }
    // VT_NULL for an element; otherwise VT_BSTR with the node's text (for a processing
    // instruction, its data after the target).
    VARIANT nodeValue() const;
    // The attributes of an element; null for every other kind.
    const XmlNodeList* attributes() const;
    // Empty for every kind but an element.
    const XmlNodeList& childNodes() const { return children_; }

private:
    friend class XmlTreeBuilder;
    XmlNodeType type_ = XmlNodeType::Element;
    std::string name_;
    std::string value_;
    XmlNodeList attributes_;
    XmlNodeList children_;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Parses text (UTF-8; UTF-16 or UTF-32 by byte-order mark; ISO-8859-1 when
    // declared) and replaces the document's tree. False, with no document element,
    // when the text is not one well-formed element: a syntax error, a second top-level
    // element, text outside the element, an attribute given twice, a reference this
    // reader cannot decode (see above), or elements nested deeper than kMaxElementDepth.
    // Never throws.
    bool loadXML(std::string_view text);
    // The same for the contents of a file, read through the file layer; false when
    // the file cannot be read.
    bool load(std::string_view path);

    // Null before a successful load.
    const XmlNode* documentElement() const { return documentElement_.get(); }

    static constexpr int kMaxElementDepth = 256;

private:
    std::unique_ptr<XmlNode> documentElement_;
};

// A new DOM document; null when the component cannot be created (only ever through
// the test hook below). Safe on any thread.
std::unique_ptr<XmlDocument> CreateXmlDocument();

// Tests only: called before every creation; when it returns false the creation fails.
// An empty hook restores the default. Safe on any thread.
void SetXmlDocumentCreationHook(std::function<bool()> hook);
