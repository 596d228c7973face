#include "platform/browser/HtmlParser.h"

#include <gumbo.h>

#include <vector>

#include "platform/browser/HtmlTree.h"
#include "platform/text/Text.h"

namespace {

// The parser's time grows with the square of the nesting depth; real pages stay far
// below this many open elements.
constexpr int kMaxOpenElements = 4096;
// Deeper elements are attached to their ancestor at this depth (as its children, one
// level below it), so that walks over the tree stay shallow.
constexpr int kMaxTreeDepth = 512;

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        unsigned minimum = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, minimum = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, minimum = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, minimum = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string FromWindows1252(std::string_view bytes) {
    // 0x80-0x9F of Windows-1252; unassigned bytes map to themselves.
    static const unsigned short high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c >= 0x80 && c < 0xA0) {
            AppendUtf8(out, high[c - 0x80]);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Elements that never stay open around what follows them, so they do not add depth.
bool ClosesItself(std::string_view tag) {
    static const char* const tags[] = {
        "area",  "base",   "basefont", "bgsound", "br",    "col",    "colgroup", "dd", "dt",
        "embed", "frame",  "hr",       "image",   "img",   "input",  "keygen",   "li", "link",
        "meta",  "option", "optgroup", "p",       "param", "source", "tbody",    "td", "tfoot",
        "th",    "thead",  "tr",       "track",   "wbr",   "rp",     "rt"};
    for (const char* name : tags) {
        if (EqualsNoCase(tag, name))
            return true;
    }
    return false;
}

// The text cut where the count of open elements (start tags less end tags) first
// passes the limit.
std::string_view LimitNesting(std::string_view text) {
    int open = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '<')
            continue;
        if (text[i + 1] == '/') {
            if (open > 0)
                --open;
            continue;
        }
        if (!IsLetter(text[i + 1]))
            continue;
        size_t end = i + 1;
        while (end < text.size() &&
               (IsLetter(text[end]) || (text[end] >= '0' && text[end] <= '9'))) {
            ++end;
        }
        if (ClosesItself(text.substr(i + 1, end - i - 1)))
            continue;
        if (++open > kMaxOpenElements)
            return text.substr(0, i);
    }
    return text;
}

std::string TagNameOf(const GumboElement& element) {
    if (element.tag != GUMBO_TAG_UNKNOWN)
        return gumbo_normalized_tagname(element.tag);
    GumboStringPiece piece = element.original_tag;
    gumbo_tag_from_original_text(&piece);
    if (piece.data == nullptr || piece.length == 0)
        return "unknown";
    return ToLowerAscii(std::string_view(piece.data, piece.length));
}

std::unique_ptr<HtmlElement> MakeElement(const GumboElement& source, HtmlTree* tree) {
    auto element = std::make_unique<HtmlElement>(TagNameOf(source), tree);
    for (unsigned i = 0; i < source.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(source.attributes.data[i]);
        element->AddParsedAttribute(attribute->name ? attribute->name : "",
                                    attribute->value ? attribute->value : "");
    }
    return element;
}

std::unique_ptr<HtmlElement> ConvertTree(const GumboNode* root, HtmlTree* tree) {
    auto top = MakeElement(root->v.element, tree);
    struct Pending {
        const GumboNode* source;
        // Where the source's child elements go, and that element's depth.
        HtmlElement* target;
        int depth;
        // Where the source's own text goes: the source's element itself.
        HtmlElement* own;
    };
    std::vector<Pending> pending{{root, top.get(), 1, top.get()}};
    while (!pending.empty()) {
        const Pending current = pending.back();
        pending.pop_back();
        const GumboVector& children = current.source->v.element.children;
        // Children are taken in order; their own children are queued in reverse so
        // that the stack hands them out in document order.
        std::vector<Pending> queued;
        for (unsigned i = 0; i < children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(children.data[i]);
            switch (child->type) {
                case GUMBO_NODE_ELEMENT:
                case GUMBO_NODE_TEMPLATE: {
                    HtmlElement* added =
                        current.target->AppendElement(MakeElement(child->v.element, tree));
                    // Below the limit an element's children are attached to the ancestor at
                    // the limit, after what it already has, so the tree stays shallow; its
                    // text stays its own.
                    if (current.depth >= kMaxTreeDepth)
                        queued.push_back({child, current.target, current.depth, added});
                    else
                        queued.push_back({child, added, current.depth + 1, added});
                    break;
                }
                case GUMBO_NODE_TEXT:
                case GUMBO_NODE_CDATA:
                case GUMBO_NODE_WHITESPACE:
                    current.own->AppendText(child->v.text.text ? child->v.text.text : "", false);
                    break;
                case GUMBO_NODE_COMMENT:
                    current.own->AppendText(child->v.text.text ? child->v.text.text : "", true);
                    break;
                default:
                    break;
            }
        }
        for (auto it = queued.rbegin(); it != queued.rend(); ++it)
            pending.push_back(*it);
    }
    return top;
}

}  // namespace

std::string DecodePageBytes(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return FromWindows1252(bytes);
}

std::shared_ptr<HtmlTree> ParseHtml(std::string_view bytes, const std::string& documentUrl) {
    const std::string text = DecodePageBytes(bytes);
    const std::string_view limited = LimitNesting(text);
    auto tree = std::make_shared<HtmlTree>(documentUrl);
    GumboOutput* output =
        gumbo_parse_with_options(&kGumboDefaultOptions, limited.data(), limited.size());
    std::unique_ptr<HtmlElement> root;
    if (output != nullptr && output->root != nullptr && output->root->type == GUMBO_NODE_ELEMENT) {
        root = ConvertTree(output->root, tree.get());
    } else {
        root = std::make_unique<HtmlElement>("html", tree.get());
        root->AppendElement(std::make_unique<HtmlElement>("head", tree.get()));
        root->AppendElement(std::make_unique<HtmlElement>("body", tree.get()));
    }
    if (output != nullptr)
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    tree->Finish(std::move(root));
    return tree;
}

std::shared_ptr<HtmlTree> MakeTextTree(std::string_view bytes, const std::string& documentUrl) {
    auto tree = std::make_shared<HtmlTree>(documentUrl);
    auto root = std::make_unique<HtmlElement>("html", tree.get());
    root->AppendElement(std::make_unique<HtmlElement>("head", tree.get()));
    HtmlElement* body = root->AppendElement(std::make_unique<HtmlElement>("body", tree.get()));
    HtmlElement* pre = body->AppendElement(std::make_unique<HtmlElement>("pre", tree.get()));
    pre->AppendText(DecodePageBytes(bytes), false);
    tree->Finish(std::move(root));
    return tree;
}
