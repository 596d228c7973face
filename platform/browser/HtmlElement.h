// One element of a parsed page, as the page's readers see it through the document.
//
// An element keeps its markup attributes (as the page wrote them) apart from the live
// state of a form control (value, checked, selected), which starts from the markup and
// changes only through the setters below; the markup attributes never follow it.
//
// Elements are handed out as std::shared_ptr that keep the whole parsed tree alive, so
// an element stays usable after its document moved on to other content.
//
// Every read and write can fail as a call on a browser object can: a failure throws
// ComError. A property that the element's kind does not have throws
// ComError(E_NOINTERFACE); an element made broken (SetBroken) throws ComError(E_FAIL)
// from every call.
//
// Threading: an element is used only on the thread that owns its document (the
// browser's UI thread). It takes no locks.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/Types.h"
#include "platform/browser/HtmlCollection.h"

class HtmlTree;

// What an element is, as the interface a browser element answers to. Form elements
// that are not input, select or text area (button, fieldset, object, output) have
// kinds of their own or Other, so a reader that skips them still counts them.
enum class HtmlElementKind {
    Other,
    Anchor,    // a
    Area,      // area
    Link,      // link
    Image,     // img
    Form,      // form
    Input,     // input, of every type
    Select,    // select
    TextArea,  // textarea
    Option,    // option
    Button,    // button
    FieldSet,  // fieldset
    Object,    // object
    Frame,     // frame
    IFrame,    // iframe
};

class HtmlElement {
public:
    // One child of an element: an element, a text run or a comment.
    struct Node {
        std::unique_ptr<HtmlElement> element;  // null for text and comments
        std::string text;
        bool comment = false;
    };

    // For the parser: an element named tag (lower case) of tree.
    HtmlElement(std::string tag, HtmlTree* tree);
    ~HtmlElement();
    HtmlElement(const HtmlElement&) = delete;
    HtmlElement& operator=(const HtmlElement&) = delete;

    // --- Every element ---
    HtmlElementKind Kind() const;
    // The tag name in upper case ("A", "IMG"), as a browser gives it.
    std::string TagName() const;
    // The markup attribute of that name (ignoring case); empty when absent.
    std::string GetAttribute(std::string_view name) const;
    bool HasAttribute(std::string_view name) const;
    // Sets a markup attribute (adds it when absent). Never touches live values.
    void SetAttribute(std::string_view name, std::string_view value);
    std::string Id() const;    // the "id" attribute
    std::string Name() const;  // the "name" attribute
    // The text a reader sees: blocks, line breaks and table rows end lines, table
    // cells are separated by tabs, other white space is folded to one blank;
    // scripts, styles and the head are left out. Lines end in CR LF.
    std::string InnerText() const;
    // Replaces the element's content with one text run.
    void SetInnerText(std::string_view text);
    // The element's markup, rebuilt from the tree (attributes as in the markup).
    std::string OuterHtml() const;
    // The markup of the element's content, rebuilt from the tree.
    std::string InnerHtml() const;
    // Replaces the element's content with html parsed as the content of a body (scripts
    // in it never run).
    void SetInnerHtml(std::string_view html);

    // --- Links and images ---
    // Anchor, Area, Link: the href made absolute (empty without one). Image: as Src().
    std::string Href() const;
    // Image: the src made absolute (empty without one).
    std::string Src() const;
    // Image: the width and height in pixels the page declares; where it declares none
    // (or a percentage), the picture's own when the loader fetched it (DLCTL_DLIMAGES)
    // and could read it, else 0.
    LONG Width() const;
    LONG Height() const;
    // Image: its size in bytes as text when it was downloaded, else "-1".
    std::string FileSize() const;

    // --- Forms ---
    // Form, Anchor, Area: the "target" attribute.
    std::string Target() const;
    // Form: the "action" attribute made absolute; the document's address without its
    // fragment when the form has none.
    std::string Action() const;
    // Form: its controls in document order: input (every type), select, textarea,
    // button, fieldset, object and output elements inside it.
    HtmlElementCollection Elements() const;

    // --- Form controls ---
    // Input: its type in lower case, "text" for a missing or unknown one; Select:
    // "select-one" or "select-multiple"; TextArea: "textarea"; Button: "submit",
    // "reset" or "button".
    std::string Type() const;
    // Input, TextArea, Button: the live value (from the markup until set). Select: the
    // value of its first selected option, empty when none. Option: its "value"
    // attribute, else its text.
    std::string Value() const;
    // Input, TextArea, Button: sets the live value. Select: selects the first option
    // with that value and deselects the others (none selected when none matches).
    void SetValue(std::string_view value);
    // Input: the live checked state (from the "checked" attribute until set).
    bool Checked() const;
    // Input: sets the checked state; checking a radio button unchecks the other radio
    // buttons of its name in the same form.
    void SetChecked(bool checked);
    // Select: the "multiple" attribute is present.
    bool Multiple() const;
    // Select: the index of the first selected option, -1 when none.
    LONG SelectedIndex() const;
    // Select: selects option index alone (none for an index out of range).
    void SetSelectedIndex(LONG index);
    // Select: its options in document order.
    HtmlElementCollection Options() const;
    // Option: its text, white space folded and trimmed.
    std::string Text() const;
    // Option: its live selected state.
    bool Selected() const;

    // --- Tests ---
    // A broken element throws ComError(E_FAIL) from every call but SetBroken.
    void SetBroken(bool broken) { broken_ = broken; }

    // --- For the platform's parser, loaders and serialiser (not for readers) ---
    const std::string& Tag() const { return tag_; }
    const std::vector<std::pair<std::string, std::string>>& Attributes() const {
        return attributes_;
    }
    void AddParsedAttribute(std::string name, std::string value);
    const std::vector<Node>& Children() const { return children_; }
    HtmlElement* Parent() const { return parent_; }
    HtmlElement* AppendElement(std::unique_ptr<HtmlElement> child);
    void AppendText(std::string text, bool comment);
    void SetFileSize(std::string size) { fileSize_ = std::move(size); }
    void SetNaturalSize(LONG width, LONG height) {
        naturalWidth_ = width;
        naturalHeight_ = height;
    }
    // Makes element, whose elements all belong to tree, part of this element's tree.
    void AdoptChildrenOf(HtmlElement& element);
    // The attribute value or null, without the failure checks.
    const std::string* FindAttribute(std::string_view name) const;

private:
    void CheckReadable() const;
    void Require(std::initializer_list<HtmlElementKind> kinds) const;
    std::vector<HtmlElement*> OptionElements() const;
    const HtmlElement* OwningSelect() const;
    void EnsureSelection() const;
    std::string OptionValue() const;
    std::string InputType() const;
    void DetachChildren();
    void NotifyContentChanged();
    void NotifyValueChanged();

    std::string tag_;
    HtmlTree* tree_;
    HtmlElementKind kind_;
    HtmlElement* parent_ = nullptr;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::vector<Node> children_;
    bool broken_ = false;
    std::string fileSize_ = "-1";
    LONG naturalWidth_ = 0;
    LONG naturalHeight_ = 0;
    // Live control state; empty until first set (or, for options, until their select
    // first works out which of them are selected).
    std::optional<std::string> value_;
    std::optional<bool> checked_;
    mutable std::optional<bool> selected_;
    mutable bool selectionReady_ = false;
};
