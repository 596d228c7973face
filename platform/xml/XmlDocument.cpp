#include "platform/xml/XmlDocument.h"

#include <algorithm>
#include <mutex>
#include <pugixml.hpp>

#include "platform/file/FileLayer.h"

namespace {

// Parsed as a fragment so that text, CDATA and extra elements outside the document
// element are seen (and refused) rather than skipped. DOCTYPEs are skipped unread and
// no entity is ever expanded beyond the predefined ones.
constexpr unsigned int kParseOptions =
    pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_fragment;

std::mutex& HookMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<bool()>& CreationHook() {
    static std::function<bool()> hook;
    return hook;
}

bool HasRepeatedAttribute(const pugi::xml_node& element) {
    std::vector<std::string_view> names;
    for (const pugi::xml_attribute& attribute : element.attributes()) {
        names.emplace_back(attribute.name());
    }
    std::sort(names.begin(), names.end());
    return std::adjacent_find(names.begin(), names.end()) != names.end();
}

}  // namespace

// Copies a parsed tree into our own nodes.
class XmlTreeBuilder {
public:
    // The document element of a parsed fragment; null when the fragment is not one
    // well-formed element.
    static std::unique_ptr<XmlNode> DocumentElement(const pugi::xml_document& parsed) {
        pugi::xml_node element;
        for (const pugi::xml_node& node : parsed.children()) {
            switch (node.type()) {
                case pugi::node_element:
                    if (element)
                        return nullptr;  // a second top-level element
                    element = node;
                    break;
                case pugi::node_pcdata:
                case pugi::node_cdata:
                    return nullptr;  // text outside the document element
                default:
                    break;  // comments and processing instructions around it
            }
        }
        if (!element)
            return nullptr;
        return Copy(element, 1);
    }

private:
    // Null when the subtree is refused.
    static std::unique_ptr<XmlNode> Copy(const pugi::xml_node& source, int depth) {
        auto node = std::make_unique<XmlNode>();
        switch (source.type()) {
            case pugi::node_element:
                node->type_ = XmlNodeType::Element;
                node->name_ = source.name();
                break;
            case pugi::node_pcdata:
                node->type_ = XmlNodeType::Text;
                node->name_ = "#text";
                node->value_ = source.value();
                return node;
            case pugi::node_cdata:
                node->type_ = XmlNodeType::CDataSection;
                node->name_ = "#cdata-section";
                node->value_ = source.value();
                return node;
            case pugi::node_comment:
                node->type_ = XmlNodeType::Comment;
                node->name_ = "#comment";
                node->value_ = source.value();
                return node;
            case pugi::node_pi:
                node->type_ = XmlNodeType::ProcessingInstruction;
                node->name_ = source.name();
                node->value_ = source.value();
                return node;
            default:
                return nullptr;  // not produced with the options used
        }
        if (depth > XmlDocument::kMaxElementDepth || HasRepeatedAttribute(source))
            return nullptr;
        for (const pugi::xml_attribute& attribute : source.attributes()) {
            auto item = std::make_unique<XmlNode>();
            item->type_ = XmlNodeType::Attribute;
            item->name_ = attribute.name();
            item->value_ = attribute.value();
            node->attributes_.nodes_.push_back(std::move(item));
        }
        for (const pugi::xml_node& child : source.children()) {
            // A value ends at its first NUL (a "&#0;"): a text made only of those is
            // no text, as the same text written back would read.
            if (child.type() == pugi::node_pcdata && *child.value() == '\0')
                continue;
            std::unique_ptr<XmlNode> copy = Copy(child, depth + 1);
            if (!copy)
                return nullptr;
            node->children_.nodes_.push_back(std::move(copy));
        }
        return node;
    }
};

const XmlNode* XmlNodeList::item(LONG index) const {
    if (index < 0 || index >= length())
        return nullptr;
    return nodes_[static_cast<std::size_t>(index)].get();
}

VARIANT XmlNode::nodeValue() const {
    VARIANT value;
    if (type_ == XmlNodeType::Element) {
        value.vt = VT_NULL;
    } else {
        value.vt = VT_BSTR;
        value.bstrVal = value_;
    }
    return value;
}

const XmlNodeList* XmlNode::attributes() const {
    return type_ == XmlNodeType::Element ? &attributes_ : nullptr;
}

XmlDocument::XmlDocument() = default;
XmlDocument::~XmlDocument() = default;

bool XmlDocument::loadXML(std::string_view text) {
    documentElement_.reset();
    pugi::xml_document parsed;
    const pugi::xml_parse_result result =
        parsed.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_auto);
    if (!result)
        return false;
    documentElement_ = XmlTreeBuilder::DocumentElement(parsed);
    return documentElement_ != nullptr;
}

bool XmlDocument::load(std::string_view path) {
    documentElement_.reset();
    std::string contents;
    if (!ReadFileBytes(path, &contents))
        return false;
    return loadXML(contents);
}

std::unique_ptr<XmlDocument> CreateXmlDocument() {
    std::function<bool()> hook;
    {
        std::lock_guard<std::mutex> guard(HookMutex());
        hook = CreationHook();
    }
    if (hook && !hook())
        return nullptr;
    return std::make_unique<XmlDocument>();
}

void SetXmlDocumentCreationHook(std::function<bool()> hook) {
    std::lock_guard<std::mutex> guard(HookMutex());
    CreationHook() = std::move(hook);
}
