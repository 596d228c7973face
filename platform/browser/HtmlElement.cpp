#include "platform/browser/HtmlElement.h"

#include <algorithm>
#include <limits>

#include "platform/browser/HtmlDocumentObserver.h"
#include "platform/browser/HtmlParser.h"
#include "platform/browser/HtmlTextRendering.h"
#include "platform/browser/HtmlTree.h"
#include "platform/com/ComError.h"
#include "platform/text/Text.h"

namespace {

HtmlElementKind KindOfTag(const std::string& tag) {
    static const std::pair<const char*, HtmlElementKind> kinds[] = {
        {"a", HtmlElementKind::Anchor},          {"area", HtmlElementKind::Area},
        {"link", HtmlElementKind::Link},         {"img", HtmlElementKind::Image},
        {"form", HtmlElementKind::Form},         {"input", HtmlElementKind::Input},
        {"select", HtmlElementKind::Select},     {"textarea", HtmlElementKind::TextArea},
        {"option", HtmlElementKind::Option},     {"button", HtmlElementKind::Button},
        {"fieldset", HtmlElementKind::FieldSet}, {"object", HtmlElementKind::Object},
        {"frame", HtmlElementKind::Frame},       {"iframe", HtmlElementKind::IFrame},
    };
    for (const auto& [name, kind] : kinds) {
        if (tag == name)
            return kind;
    }
    return HtmlElementKind::Other;
}

bool IsListedControl(const HtmlElement& element) {
    static const char* const tags[] = {"input",    "select", "textarea", "button",
                                       "fieldset", "object", "output"};
    for (const char* tag : tags) {
        if (element.Tag() == tag)
            return true;
    }
    return false;
}

// A declared pixel size: leading digits after white space; a percentage, or no
// digits at all, declares no pixel size.
LONG ParseDeclaredSize(const std::string* text) {
    if (text == nullptr)
        return 0;
    size_t i = 0;
    while (i < text->size() && IsAsciiSpace((*text)[i]))
        ++i;
    long long value = 0;
    size_t digits = 0;
    for (; i < text->size() && (*text)[i] >= '0' && (*text)[i] <= '9'; ++i, ++digits) {
        value =
            std::min<long long>(value * 10 + ((*text)[i] - '0'), std::numeric_limits<LONG>::max());
    }
    if (digits == 0)
        return 0;
    while (i < text->size() && ((*text)[i] == '.' || ((*text)[i] >= '0' && (*text)[i] <= '9'))) {
        ++i;
    }
    if (i < text->size() && (*text)[i] == '%')
        return 0;
    return static_cast<LONG>(value);
}

}  // namespace

HtmlElement::HtmlElement(std::string tag, HtmlTree* tree)
    : tag_(std::move(tag)), tree_(tree), kind_(KindOfTag(tag_)) {}

HtmlElement::~HtmlElement() = default;

void HtmlElement::CheckReadable() const {
    if (broken_)
        throw ComError(E_FAIL);
}

void HtmlElement::Require(std::initializer_list<HtmlElementKind> kinds) const {
    CheckReadable();
    if (std::find(kinds.begin(), kinds.end(), kind_) == kinds.end()) {
        throw ComError(E_NOINTERFACE);
    }
}

const std::string* HtmlElement::FindAttribute(std::string_view name) const {
    for (const auto& [key, value] : attributes_) {
        if (EqualsNoCase(key, name))
            return &value;
    }
    return nullptr;
}

void HtmlElement::AddParsedAttribute(std::string name, std::string value) {
    attributes_.emplace_back(std::move(name), std::move(value));
}

HtmlElement* HtmlElement::AppendElement(std::unique_ptr<HtmlElement> child) {
    child->parent_ = this;
    HtmlElement* raw = child.get();
    children_.push_back(Node{std::move(child), {}, false});
    return raw;
}

void HtmlElement::AppendText(std::string text, bool comment) {
    if (!comment && !children_.empty() && !children_.back().element && !children_.back().comment) {
        children_.back().text += text;
        return;
    }
    children_.push_back(Node{nullptr, std::move(text), comment});
}

HtmlElementKind HtmlElement::Kind() const {
    CheckReadable();
    return kind_;
}

std::string HtmlElement::TagName() const {
    CheckReadable();
    return ToUpperAscii(tag_);
}

std::string HtmlElement::GetAttribute(std::string_view name) const {
    CheckReadable();
    const std::string* value = FindAttribute(name);
    return value ? *value : std::string();
}

bool HtmlElement::HasAttribute(std::string_view name) const {
    CheckReadable();
    return FindAttribute(name) != nullptr;
}

void HtmlElement::SetAttribute(std::string_view name, std::string_view value) {
    CheckReadable();
    std::string* stored = nullptr;
    for (auto& [key, current] : attributes_) {
        if (EqualsNoCase(key, name)) {
            current = std::string(value);
            stored = &current;
            break;
        }
    }
    if (stored == nullptr)
        stored = &attributes_.emplace_back(ToLowerAscii(name), std::string(value)).second;
    if (const auto observer = tree_->Observer())
        observer->OnAttributeSet(*this, ToLowerAscii(name), *stored);
}

std::string HtmlElement::Id() const {
    return GetAttribute("id");
}

std::string HtmlElement::Name() const {
    return GetAttribute("name");
}

std::string HtmlElement::InnerText() const {
    CheckReadable();
    return RenderInnerText(*this);
}

void HtmlElement::DetachChildren() {
    for (Node& child : children_) {
        if (child.element) {
            child.element->parent_ = nullptr;
            tree_->KeepDetached(std::move(child.element));
        }
    }
    children_.clear();
}

void HtmlElement::NotifyValueChanged() {
    if (const auto observer = tree_->Observer())
        observer->OnValueChanged(*this);
}

void HtmlElement::NotifyContentChanged() {
    if (const auto observer = tree_->Observer())
        observer->OnContentChanged(*this);
}

void HtmlElement::SetInnerText(std::string_view text) {
    CheckReadable();
    DetachChildren();
    if (!text.empty())
        children_.push_back(Node{nullptr, std::string(text), false});
    NotifyContentChanged();
}

std::string HtmlElement::OuterHtml() const {
    CheckReadable();
    return SerializeOuterHtml(*this);
}

std::string HtmlElement::InnerHtml() const {
    CheckReadable();
    return SerializeInnerHtml(*this);
}

void HtmlElement::SetInnerHtml(std::string_view html) {
    CheckReadable();
    DetachChildren();
    const std::shared_ptr<HtmlTree> parsed = ParseHtml(html, tree_->DocumentUrl());
    for (const Node& child : parsed->Root()->Children()) {
        if (child.element && child.element->tag_ == "body")
            AdoptChildrenOf(*child.element);
    }
    NotifyContentChanged();
}

void HtmlElement::AdoptChildrenOf(HtmlElement& element) {
    for (Node& child : element.children_) {
        if (child.element) {
            std::vector<HtmlElement*> pending{child.element.get()};
            while (!pending.empty()) {
                HtmlElement* moved = pending.back();
                pending.pop_back();
                moved->tree_ = tree_;
                for (Node& inner : moved->children_) {
                    if (inner.element)
                        pending.push_back(inner.element.get());
                }
            }
            child.element->parent_ = this;
        }
        children_.push_back(std::move(child));
    }
    element.children_.clear();
}

std::string HtmlElement::Href() const {
    Require({HtmlElementKind::Anchor, HtmlElementKind::Area, HtmlElementKind::Link,
             HtmlElementKind::Image});
    if (kind_ == HtmlElementKind::Image)
        return Src();
    const std::string* href = FindAttribute("href");
    return href ? tree_->Resolve(*href) : std::string();
}

std::string HtmlElement::Src() const {
    Require({HtmlElementKind::Image});
    const std::string* src = FindAttribute("src");
    return src ? tree_->Resolve(*src) : std::string();
}

LONG HtmlElement::Width() const {
    Require({HtmlElementKind::Image});
    const LONG declared = ParseDeclaredSize(FindAttribute("width"));
    return declared > 0 ? declared : naturalWidth_;
}

LONG HtmlElement::Height() const {
    Require({HtmlElementKind::Image});
    const LONG declared = ParseDeclaredSize(FindAttribute("height"));
    return declared > 0 ? declared : naturalHeight_;
}

std::string HtmlElement::FileSize() const {
    Require({HtmlElementKind::Image});
    return fileSize_;
}

std::string HtmlElement::Target() const {
    Require({HtmlElementKind::Form, HtmlElementKind::Anchor, HtmlElementKind::Area});
    return GetAttribute("target");
}

std::string HtmlElement::Action() const {
    Require({HtmlElementKind::Form});
    return tree_->Resolve(GetAttribute("action"));
}

HtmlElementCollection HtmlElement::Elements() const {
    Require({HtmlElementKind::Form});
    std::vector<std::shared_ptr<HtmlElement>> items;
    for (HtmlElement* control : tree_->FindElements(IsListedControl)) {
        for (const HtmlElement* up = control->parent_; up != nullptr; up = up->parent_) {
            if (up == this) {
                items.push_back(tree_->Share(control));
                break;
            }
        }
    }
    return HtmlElementCollection(std::move(items));
}

std::string HtmlElement::InputType() const {
    static const char* const known[] = {
        "text",  "password", "checkbox",       "radio", "submit", "reset",  "file",   "hidden",
        "image", "button",   "email",          "url",   "tel",    "search", "number", "range",
        "date",  "time",     "datetime-local", "month", "week",   "color"};
    const std::string type = ToLowerAscii(GetAttribute("type"));
    for (const char* name : known) {
        if (type == name)
            return type;
    }
    return "text";
}

std::string HtmlElement::Type() const {
    Require({HtmlElementKind::Input, HtmlElementKind::Select, HtmlElementKind::TextArea,
             HtmlElementKind::Button});
    switch (kind_) {
        case HtmlElementKind::Input:
            return InputType();
        case HtmlElementKind::Select:
            return FindAttribute("multiple") ? "select-multiple" : "select-one";
        case HtmlElementKind::TextArea:
            return "textarea";
        default: {
            const std::string type = ToLowerAscii(GetAttribute("type"));
            return (type == "reset" || type == "button") ? type : "submit";
        }
    }
}

std::string HtmlElement::OptionValue() const {
    const std::string* value = FindAttribute("value");
    return value ? *value : FoldWhiteSpace(CollectText(*this));
}

std::string HtmlElement::Value() const {
    Require({HtmlElementKind::Input, HtmlElementKind::TextArea, HtmlElementKind::Select,
             HtmlElementKind::Option, HtmlElementKind::Button});
    switch (kind_) {
        case HtmlElementKind::Input: {
            if (value_)
                return *value_;
            if (const std::string* value = FindAttribute("value"))
                return *value;
            const std::string type = InputType();
            return (type == "checkbox" || type == "radio") ? "on" : "";
        }
        case HtmlElementKind::TextArea:
            return value_ ? *value_ : CollectText(*this);
        case HtmlElementKind::Select: {
            EnsureSelection();
            for (const HtmlElement* option : OptionElements()) {
                if (*option->selected_)
                    return option->OptionValue();
            }
            return {};
        }
        case HtmlElementKind::Option:
            return OptionValue();
        default:
            return value_ ? *value_ : GetAttribute("value");
    }
}

void HtmlElement::SetValue(std::string_view value) {
    Require({HtmlElementKind::Input, HtmlElementKind::TextArea, HtmlElementKind::Select,
             HtmlElementKind::Button});
    if (kind_ != HtmlElementKind::Select) {
        value_ = std::string(value);
        NotifyValueChanged();
        return;
    }
    EnsureSelection();
    bool found = false;
    for (const HtmlElement* option : OptionElements()) {
        const bool match = !found && option->OptionValue() == value;
        option->selected_ = match;
        found = found || match;
    }
    NotifyValueChanged();
}

bool HtmlElement::Checked() const {
    Require({HtmlElementKind::Input});
    return checked_ ? *checked_ : FindAttribute("checked") != nullptr;
}

void HtmlElement::SetChecked(bool checked) {
    Require({HtmlElementKind::Input});
    if (checked && InputType() == "radio") {
        const std::string* name = FindAttribute("name");
        const HtmlElement* scope = parent_;
        while (scope != nullptr && scope->tag_ != "form")
            scope = scope->parent_;
        for (HtmlElement* other : tree_->FindElements([&](const HtmlElement& e) {
                 return &e != this && e.kind_ == HtmlElementKind::Input && e.InputType() == "radio";
             })) {
            const std::string* otherName = other->FindAttribute("name");
            if (name == nullptr || otherName == nullptr || *name != *otherName)
                continue;
            const HtmlElement* otherScope = other->parent_;
            while (otherScope != nullptr && otherScope->tag_ != "form") {
                otherScope = otherScope->parent_;
            }
            if (otherScope == scope)
                other->checked_ = false;
        }
    }
    checked_ = checked;
    NotifyValueChanged();
}

bool HtmlElement::Multiple() const {
    Require({HtmlElementKind::Select});
    return FindAttribute("multiple") != nullptr;
}

std::vector<HtmlElement*> HtmlElement::OptionElements() const {
    std::vector<HtmlElement*> options;
    // Options sit directly in the select or in an optgroup of it.
    for (const HtmlElement::Node& child : children_) {
        if (!child.element)
            continue;
        if (child.element->kind_ == HtmlElementKind::Option) {
            options.push_back(child.element.get());
        } else if (child.element->tag_ == "optgroup") {
            for (const HtmlElement::Node& inner : child.element->children_) {
                if (inner.element && inner.element->kind_ == HtmlElementKind::Option) {
                    options.push_back(inner.element.get());
                }
            }
        }
    }
    return options;
}

const HtmlElement* HtmlElement::OwningSelect() const {
    const HtmlElement* up = parent_;
    if (up != nullptr && up->tag_ == "optgroup")
        up = up->parent_;
    return (up != nullptr && up->kind_ == HtmlElementKind::Select) ? up : nullptr;
}

// Works out, once, which options start selected: those with the "selected" attribute;
// in a single select the last of them, or the first option when none has it.
void HtmlElement::EnsureSelection() const {
    if (selectionReady_)
        return;
    selectionReady_ = true;
    const std::vector<HtmlElement*> options = OptionElements();
    for (HtmlElement* option : options) {
        if (!option->selected_)
            option->selected_ = option->FindAttribute("selected") != nullptr;
    }
    if (FindAttribute("multiple") != nullptr || options.empty())
        return;
    HtmlElement* chosen = nullptr;
    for (HtmlElement* option : options) {
        if (*option->selected_)
            chosen = option;
    }
    if (chosen == nullptr)
        chosen = options.front();
    for (HtmlElement* option : options)
        option->selected_ = (option == chosen);
}

LONG HtmlElement::SelectedIndex() const {
    Require({HtmlElementKind::Select});
    EnsureSelection();
    const std::vector<HtmlElement*> options = OptionElements();
    for (size_t i = 0; i < options.size(); ++i) {
        if (*options[i]->selected_)
            return static_cast<LONG>(i);
    }
    return -1;
}

void HtmlElement::SetSelectedIndex(LONG index) {
    Require({HtmlElementKind::Select});
    EnsureSelection();
    const std::vector<HtmlElement*> options = OptionElements();
    for (size_t i = 0; i < options.size(); ++i) {
        options[i]->selected_ = (index >= 0 && static_cast<size_t>(index) == i);
    }
    NotifyValueChanged();
}

HtmlElementCollection HtmlElement::Options() const {
    Require({HtmlElementKind::Select});
    std::vector<std::shared_ptr<HtmlElement>> items;
    for (HtmlElement* option : OptionElements())
        items.push_back(tree_->Share(option));
    return HtmlElementCollection(std::move(items));
}

std::string HtmlElement::Text() const {
    Require({HtmlElementKind::Option});
    return FoldWhiteSpace(CollectText(*this));
}

bool HtmlElement::Selected() const {
    Require({HtmlElementKind::Option});
    if (const HtmlElement* select = OwningSelect())
        select->EnsureSelection();
    return selected_ ? *selected_ : FindAttribute("selected") != nullptr;
}
