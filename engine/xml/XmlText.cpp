#include "engine/xml/XmlText.h"

#include <atomic>
#include <memory>

#include "engine/util/PageText.h"
#include "platform/file/FileLayer.h"
#include "platform/text/Text.h"
#include "platform/ui/MessageBox.h"
#include "platform/xml/XmlDocument.h"

namespace {

constexpr const char* kMissingComponentText =
    "ERROR: Could not create needed system component. Please install the latest Microsoft "
    "Internet Explorer.  The application will not work properly.";

// Cleared by the first ParseXmlText that cannot create the DOM document.
std::atomic<bool> missingComponentMessagePending{true};

ElementNode* NodeAt(const ObjectList& list, int index) {
    return dynamic_cast<ElementNode*>(list.GetAt(index));
}

bool IsCDataNode(const ElementNode& node) {
    return EqualsNoCase(node.GetName(), "#cdata-section");
}
bool IsCommentNode(const ElementNode& node) {
    return EqualsNoCase(node.GetName(), "#comment");
}
// Text and CDATA: content whose every byte counts, so nothing may be written around it.
bool IsTextContent(const ElementNode& node) {
    return node.IsText() || IsCDataNode(node);
}

// A reader drops a text of white space alone, so such a text is written as references.
bool WhiteSpaceOnly(const std::string& text) {
    return !text.empty() && text.find_first_not_of(" \t\r\n") == std::string::npos;
}
std::string AsCharacterReferences(const std::string& text) {
    std::string out;
    for (char c : text)
        out += "&#" + std::to_string(static_cast<int>(c)) + ";";
    return out;
}

// A CDATA section cannot hold "]]>", so such text is split over two sections.
std::string CDataText(const std::string& text) {
    return "<![CDATA[" + ReplaceAll(text, "]]>", "]]]]><![CDATA[>") + "]]>";
}

// Text that would end the comment or the instruction early is broken with a blank.
std::string CommentText(const std::string& text) {
    return "<!--" + ReplaceAll(text, "-->", "-- >") + "-->";
}

std::string ProcessingInstructionText(const ElementNode& node) {
    const std::string data = node.GetValue();
    std::string out = "<?" + node.GetName();
    if (!data.empty())
        out += " " + ReplaceAll(data, "?>", "? >");
    return out + "?>";
}

// inlineForm leaves out the indent before the node and the CR LF after it, for the
// children of an element that holds text.
void WriteNode(const ElementNode& node, const std::string& indent, bool inlineForm,
               std::string& out) {
    const std::string lead = inlineForm ? std::string() : indent;
    const char* lineEnd = inlineForm ? "" : "\r\n";
    if (node.IsText()) {
        out += WhiteSpaceOnly(node.GetValue()) ? AsCharacterReferences(node.GetValue())
                                               : EscapeText(node.GetValue());
        return;
    }
    if (IsCDataNode(node)) {
        out += CDataText(node.GetValue());
        return;
    }
    if (IsCommentNode(node)) {
        out += lead + CommentText(node.GetValue()) + lineEnd;
        return;
    }
    if (node.IsProcessingInstruction()) {
        out += lead + ProcessingInstructionText(node) + lineEnd;
        return;
    }

    out += lead + "<" + node.GetName();
    const ObjectList& attributes = node.GetAttributes();
    for (int i = 0; i < attributes.GetCount(); ++i) {
        const ElementNode* attribute = NodeAt(attributes, i);
        if (attribute == nullptr)
            continue;
        out +=
            " " + attribute->GetName() + "=\"" + EscapeAttributeValue(attribute->GetValue()) + "\"";
    }
    const ObjectList& children = node.GetChildren();
    if (children.GetCount() == 0) {
        out += "/>";
        out += lineEnd;
        return;
    }
    out += ">";

    bool holdsText = false;
    for (int i = 0; i < children.GetCount(); ++i) {
        const ElementNode* child = NodeAt(children, i);
        if (child != nullptr && IsTextContent(*child))
            holdsText = true;
    }
    const std::string childIndent = indent + " ";
    if (holdsText) {
        for (int i = 0; i < children.GetCount(); ++i) {
            if (const ElementNode* child = NodeAt(children, i)) {
                WriteNode(*child, childIndent, true, out);
            }
        }
        out += "</" + node.GetName() + ">" + lineEnd;
        return;
    }
    out += "\r\n";
    for (int i = 0; i < children.GetCount(); ++i) {
        if (const ElementNode* child = NodeAt(children, i)) {
            WriteNode(*child, childIndent, false, out);
        }
    }
    out += indent + "</" + node.GetName() + ">" + lineEnd;
}

// Copies the attributes and children of domNode into node.
void CopyDomContent(const XmlNode& domNode, ElementNode* node) {
    if (const XmlNodeList* attributes = domNode.attributes()) {
        for (LONG i = 0; i < attributes->length(); ++i) {
            const XmlNode* attribute = attributes->item(i);
            node->AddAttribute(attribute->nodeName(), VariantToString(attribute->nodeValue()));
        }
    }
    const XmlNodeList& children = domNode.childNodes();
    for (LONG i = 0; i < children.length(); ++i)
        DomToElementTree(children.item(i), node);
}

std::unique_ptr<XmlDocument> ParsedDocument(const std::string& text) {
    std::unique_ptr<XmlDocument> document = CreateXmlDocument();
    if (document)
        document->loadXML(text);
    return document;
}

std::string ListingLine(const char* indent, const XmlNode& node) {
    std::string line = indent + node.nodeName();
    const std::string value = VariantToString(node.nodeValue());
    if (!value.empty())
        line += " = " + value;
    return line + "\r\n";
}

}  // namespace

ElementNode* ParseXmlText(const std::string& text) {
    if (text.empty())
        return nullptr;
    std::unique_ptr<XmlDocument> document = CreateXmlDocument();
    if (!document) {
        if (missingComponentMessagePending.exchange(false)) {
            MessageBox(nullptr, kMissingComponentText, "", MB_ICONHAND);
        }
        return nullptr;
    }
    document->loadXML(text);
    return DomToElementTree(document->documentElement());
}

ElementNode* LoadXmlFile(const std::string& path) {
    std::unique_ptr<XmlDocument> document = CreateXmlDocument();
    if (!document)
        return nullptr;
    document->load(path);
    return DomToElementTree(document->documentElement());
}

ElementNode* DomToElementTree(const XmlNode* domNode) {
    if (domNode == nullptr)
        return nullptr;
    ElementNode* node = new ElementNode();
    node->SetName(domNode->nodeName());
    node->SetValue(VariantToString(domNode->nodeValue()));
    node->SetProcessingInstruction(domNode->nodeType() == XmlNodeType::ProcessingInstruction);
    CopyDomContent(*domNode, node);
    return node;
}

ElementNode* DomToElementTree(const XmlNode* domNode, ElementNode* parent) {
    if (domNode == nullptr || parent == nullptr)
        return nullptr;
    ElementNode* node =
        parent->AddChild(domNode->nodeName(), VariantToString(domNode->nodeValue()));
    node->SetProcessingInstruction(domNode->nodeType() == XmlNodeType::ProcessingInstruction);
    CopyDomContent(*domNode, node);
    return node;
}

std::string VariantToString(const VARIANT& value) {
    switch (value.vt) {
        case VT_I2:
        case VT_I4:
            return FormatText("%d", static_cast<int>(value.intVal));
        case VT_BSTR:
            return value.bstrVal;
        case VT_BOOL:
            return value.boolVal ? "true" : "false";
        default:
            return "";
    }
}

std::string BuildXmlText(const ElementNode* root, bool withHeader, const std::string& indent) {
    if (root == nullptr)
        return "";
    std::string text = withHeader ? "<?xml version=\"1.0\"?>\r\n" : "";
    return text + WriteXmlText(root, indent);
}

std::string WriteXmlText(const ElementNode* node, const std::string& indent) {
    std::string out;
    if (node != nullptr)
        WriteNode(*node, indent, false, out);
    return out;
}

ElementNode* ParseXmlTextInto(const std::string& text, ElementNode* parent) {
    if (text.empty())
        return nullptr;
    std::unique_ptr<XmlDocument> document = ParsedDocument(text);
    if (!document)
        return nullptr;
    return DomToElementTree(document->documentElement(), parent);
}

ElementNode* LoadXmlFileInto(const std::string& path, ElementNode* parent) {
    std::string contents;
    if (!ReadFileBytes(path, &contents))
        return nullptr;
    return ParseXmlTextInto(contents, parent);
}

std::string XmlTextToListing(const std::string& text, ElementNode* parent) {
    if (text.empty())
        return "";
    std::unique_ptr<XmlDocument> document = ParsedDocument(text);
    if (!document)
        return "";
    return DumpDomText(document->documentElement(), parent);
}

std::string DumpDomText(const XmlNode* domNode, ElementNode* parent) {
    if (domNode == nullptr)
        return "";
    ElementNode* node = nullptr;
    if (parent != nullptr) {
        node = parent->AddChild(domNode->nodeName(), VariantToString(domNode->nodeValue()));
        node->SetProcessingInstruction(domNode->nodeType() == XmlNodeType::ProcessingInstruction);
    }
    std::string text = ListingLine("   ", *domNode);
    if (const XmlNodeList* attributes = domNode->attributes()) {
        for (LONG i = 0; i < attributes->length(); ++i) {
            const XmlNode* attribute = attributes->item(i);
            text += ListingLine("      ", *attribute);
            if (node != nullptr) {
                node->AddAttribute(attribute->nodeName(), VariantToString(attribute->nodeValue()));
            }
        }
    }
    const XmlNodeList& children = domNode->childNodes();
    for (LONG i = 0; i < children.length(); ++i)
        text += DumpDomText(children.item(i), node);
    return text;
}
