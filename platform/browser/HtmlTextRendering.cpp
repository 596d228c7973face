#include "platform/browser/HtmlTextRendering.h"

#include "platform/browser/HtmlElement.h"
#include "platform/text/Text.h"

namespace {

bool TagIn(const std::string& tag, std::initializer_list<const char*> tags) {
    for (const char* name : tags) {
        if (tag == name)
            return true;
    }
    return false;
}

bool IsVoid(const std::string& tag) {
    return TagIn(tag,
                 {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img",
                  "input", "keygen", "link", "meta", "param", "source", "track", "wbr"});
}

bool IsRawText(const std::string& tag) {
    return TagIn(tag, {"script", "style", "xmp", "iframe", "noembed", "noframes", "plaintext"});
}

void EscapeInto(std::string& out, std::string_view text, bool attribute) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&') {
            out += "&amp;";
        } else if (c == '"' && attribute) {
            out += "&quot;";
        } else if ((c == '<' || c == '>') && !attribute) {
            out += c == '<' ? "&lt;" : "&gt;";
        } else if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
            out += "&nbsp;";
            ++i;
        } else {
            out += c;
        }
    }
}

void Serialize(const HtmlElement& element, std::string& out);

void SerializeContent(const HtmlElement& element, std::string& out) {
    const bool raw = IsRawText(element.Tag());
    for (const HtmlElement::Node& child : element.Children()) {
        if (child.element) {
            Serialize(*child.element, out);
        } else if (child.comment) {
            out += "<!--";
            out += child.text;
            out += "-->";
        } else if (raw) {
            out += child.text;
        } else {
            EscapeInto(out, child.text, false);
        }
    }
}

void Serialize(const HtmlElement& element, std::string& out) {
    out += '<';
    out += element.Tag();
    for (const auto& [name, value] : element.Attributes()) {
        out += ' ';
        out += name;
        out += "=\"";
        EscapeInto(out, value, true);
        out += '"';
    }
    out += '>';
    if (IsVoid(element.Tag()))
        return;
    SerializeContent(element, out);
    out += "</";
    out += element.Tag();
    out += '>';
}

// Builds rendered text: separators asked for between pieces of text are kept only
// between two pieces, the strongest one wins.
class TextBuilder {
public:
    enum Separator { None, Blank, Tab, Line };

    void Separate(Separator separator) {
        if (separator > pending_)
            pending_ = separator;
    }

    void Add(std::string_view text) {
        if (text.empty())
            return;
        if (!out_.empty()) {
            switch (pending_) {
                case Line:
                    out_ += "\r\n";
                    break;
                case Tab:
                    out_ += '\t';
                    break;
                case Blank:
                    out_ += ' ';
                    break;
                case None:
                    break;
            }
        }
        pending_ = None;
        out_ += text;
    }

    // Text with white space folded; blanks at its ends become separators.
    void AddFolded(std::string_view text) {
        size_t i = 0;
        while (i < text.size()) {
            if (IsAsciiSpace(text[i])) {
                Separate(Blank);
                while (i < text.size() && IsAsciiSpace(text[i]))
                    ++i;
                continue;
            }
            size_t end = i;
            while (end < text.size() && !IsAsciiSpace(text[end]))
                ++end;
            Add(text.substr(i, end - i));
            i = end;
        }
    }

    // Preformatted text: line ends become CR LF, other white space stays.
    void AddPreformatted(std::string_view text) {
        std::string converted;
        for (const char c : text) {
            if (c == '\r')
                continue;
            if (c == '\n') {
                converted += "\r\n";
            } else {
                converted += c;
            }
        }
        Add(converted);
    }

    std::string Take() { return std::move(out_); }

private:
    std::string out_;
    Separator pending_ = None;
};

bool IsBlock(const std::string& tag) {
    return TagIn(
        tag, {"address",  "article",    "aside",    "blockquote", "body",    "caption",  "center",
              "dd",       "details",    "dialog",   "dir",        "div",     "dl",       "dt",
              "fieldset", "figcaption", "figure",   "footer",     "form",    "frameset", "h1",
              "h2",       "h3",         "h4",       "h5",         "h6",      "header",   "hgroup",
              "hr",       "html",       "legend",   "li",         "listing", "main",     "menu",
              "nav",      "ol",         "optgroup", "option",     "p",       "pre",      "section",
              "summary",  "table",      "tbody",    "tfoot",      "thead",   "tr",       "ul",
              "xmp"});
}

bool IsHidden(const std::string& tag) {
    return TagIn(tag, {"head", "script", "style", "template", "title", "noframes", "iframe",
                       "textarea", "frame"});
}

void Render(const HtmlElement& element, TextBuilder& text, bool preformatted) {
    const std::string& tag = element.Tag();
    if (IsHidden(tag))
        return;
    if (tag == "br") {
        text.Separate(TextBuilder::Line);
        return;
    }
    const bool block = IsBlock(tag);
    const bool cell = tag == "td" || tag == "th";
    if (block)
        text.Separate(TextBuilder::Line);
    if (cell)
        text.Separate(TextBuilder::Tab);
    const bool pre =
        preformatted || tag == "pre" || tag == "listing" || tag == "xmp" || tag == "plaintext";
    for (const HtmlElement::Node& child : element.Children()) {
        if (child.element) {
            Render(*child.element, text, pre);
        } else if (!child.comment) {
            if (pre) {
                text.AddPreformatted(child.text);
            } else {
                text.AddFolded(child.text);
            }
        }
    }
    if (block)
        text.Separate(TextBuilder::Line);
    if (cell)
        text.Separate(TextBuilder::Tab);
}

void Collect(const HtmlElement& element, std::string& out) {
    for (const HtmlElement::Node& child : element.Children()) {
        if (child.element) {
            Collect(*child.element, out);
        } else if (!child.comment) {
            out += child.text;
        }
    }
}

}  // namespace

std::string SerializeOuterHtml(const HtmlElement& element) {
    std::string out;
    Serialize(element, out);
    return out;
}

std::string SerializeInnerHtml(const HtmlElement& element) {
    std::string out;
    if (!IsVoid(element.Tag()))
        SerializeContent(element, out);
    return out;
}

std::string RenderInnerText(const HtmlElement& element) {
    TextBuilder text;
    // The element asked for is rendered even when its kind is one that is hidden
    // inside others (a text area's own text, say).
    const bool pre = element.Tag() == "pre" || element.Tag() == "textarea";
    for (const HtmlElement::Node& child : element.Children()) {
        if (child.element) {
            Render(*child.element, text, pre);
        } else if (!child.comment) {
            if (pre) {
                text.AddPreformatted(child.text);
            } else {
                text.AddFolded(child.text);
            }
        }
    }
    return text.Take();
}

std::string CollectText(const HtmlElement& element) {
    std::string out;
    Collect(element, out);
    return out;
}

std::string FoldWhiteSpace(std::string_view text) {
    std::string out;
    bool blank = false;
    for (const char c : text) {
        if (IsAsciiSpace(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}
