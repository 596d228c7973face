#include "engine/tree/ElementNode.h"

#include <locale.h>
#include <stdlib.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <utility>

#include "platform/text/Text.h"

namespace {

constexpr const char* kTextName = "#text";
// Written by SetAttributeFlag.
constexpr const char* kFlagTrue = "T";
constexpr const char* kFlagFalse = "F";

ElementNode* NodeAt(const ObjectList& list, int index) {
    return dynamic_cast<ElementNode*>(list.GetAt(index));
}

std::string TrimWhiteSpace(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsAsciiSpace(text[begin]))
        ++begin;
    while (end > begin && IsAsciiSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// strtod reads the decimal point of the current locale; "%g" values are always
// written with ".".
locale_t NumberLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

}  // namespace

ElementNode::ElementNode() : name_("unk") {}

ElementNode::ElementNode(std::string name, std::string value)
    : name_(std::move(name)), value_(std::move(value)) {}

ElementNode::ElementNode(std::string name, std::string value, ElementNode* parent)
    : name_(std::move(name)), value_(std::move(value)), parent_(parent) {}

ElementNode* ElementNode::Clone(bool attributesOnly) const {
    ElementNode* copy = new ElementNode(name_, value_);
    copy->processingInstruction_ = processingInstruction_;
    for (int i = 0; i < attributes_.GetCount(); ++i) {
        if (const ElementNode* attribute = NodeAt(attributes_, i)) {
            copy->AddAttribute(attribute->Clone(false));
        }
    }
    if (!attributesOnly) {
        for (int i = 0; i < children_.GetCount(); ++i) {
            const ElementNode* child = NodeAt(children_, i);
            if (child == nullptr)
                continue;
            // Attached directly: the copy keeps this node's value even when it differs
            // from the last text child.
            ElementNode* childCopy = child->Clone(false);
            childCopy->parent_ = copy;
            copy->children_.Add(childCopy);
        }
    }
    return copy;
}

ElementNode* ElementNode::AddAttribute(ElementNode* node) {
    if (node == nullptr)
        return nullptr;
    node->parent_ = this;
    attributes_.Add(node);
    return node;
}

ElementNode* ElementNode::AddAttribute(std::string name, std::string value) {
    return AddAttribute(new ElementNode(std::move(name), std::move(value), this));
}

ElementNode* ElementNode::AddChild(ElementNode* node) {
    if (node == nullptr)
        return nullptr;
    if (node->name_ == kTextName)
        value_ = node->value_;
    node->parent_ = this;
    children_.Add(node);
    return node;
}

ElementNode* ElementNode::AddChild(std::string name, std::string value) {
    return AddChild(new ElementNode(std::move(name), std::move(value), this));
}

bool ElementNode::IsText() const {
    return EqualsNoCase(name_, kTextName);
}

std::string ElementNode::GetText() const {
    if (IsText())
        return value_;
    for (int i = 0; i < children_.GetCount(); ++i) {
        const ElementNode* child = NodeAt(children_, i);
        if (child != nullptr && child->IsText())
            return child->value_;
    }
    return "";
}

void ElementNode::SetText(const std::string& text) {
    if (name_ == kTextName) {
        value_ = text;
        return;
    }
    for (int i = 0; i < children_.GetCount(); ++i) {
        ElementNode* child = NodeAt(children_, i);
        if (child != nullptr && child->IsText()) {
            child->value_ = text;
            value_ = text;
            return;
        }
    }
    if (!text.empty())
        AddChild(kTextName, text);
}

std::string ElementNode::ToString() const {
    if (value_.empty())
        return name_;
    return name_ + ": " + TrimWhiteSpace(value_);
}

std::string ElementNode::AttributesToString() const {
    std::string text;
    for (int i = 0; i < attributes_.GetCount(); ++i) {
        const ElementNode* attribute = NodeAt(attributes_, i);
        if (attribute == nullptr)
            continue;
        if (!text.empty())
            text += ' ';
        text += attribute->ToString();
    }
    return text;
}

std::string ElementNode::DumpText(int level) const {
    std::string text = "   " + ToString() + "\r\n";
    for (int i = 0; i < attributes_.GetCount(); ++i) {
        if (const ElementNode* attribute = NodeAt(attributes_, i)) {
            text += "      " + attribute->ToString() + "\r\n";
        }
    }
    for (int i = 0; i < children_.GetCount(); ++i) {
        if (const ElementNode* child = NodeAt(children_, i))
            text += child->DumpText(level);
    }
    return text;
}

bool ElementNode::ContainsInDisplay(const std::string& text) const {
    if (ToString().find(text) != std::string::npos)
        return true;
    for (int i = 0; i < attributes_.GetCount(); ++i) {
        const ElementNode* attribute = NodeAt(attributes_, i);
        if (attribute != nullptr && attribute->ContainsInDisplay(text))
            return true;
    }
    for (int i = 0; i < children_.GetCount(); ++i) {
        const ElementNode* child = NodeAt(children_, i);
        if (child != nullptr && child->ContainsInDisplay(text))
            return true;
    }
    return false;
}

bool ElementNode::HasError() const {
    return ContainsInDisplay("error");
}

bool ElementNode::Contains(const std::string& text) const {
    return ContainsInDisplay(text);
}

ElementNode* ElementNode::FindChild(const std::string& name) {
    if (name_ == name)
        return this;
    for (int i = 0; i < children_.GetCount(); ++i) {
        ElementNode* child = NodeAt(children_, i);
        if (child == nullptr)
            continue;
        if (ElementNode* found = child->FindChild(name))
            return found;
    }
    return nullptr;
}

ElementNode* ElementNode::FindAttribute(const std::string& name, bool recursive) {
    if (name_ == name)
        return this;
    for (int i = 0; i < attributes_.GetCount(); ++i) {
        ElementNode* attribute = NodeAt(attributes_, i);
        if (attribute != nullptr && EqualsNoCase(attribute->name_, name))
            return attribute;
    }
    if (recursive) {
        for (int i = 0; i < children_.GetCount(); ++i) {
            ElementNode* child = NodeAt(children_, i);
            if (child == nullptr)
                continue;
            if (ElementNode* found = child->FindAttribute(name, true))
                return found;
        }
    }
    return nullptr;
}

ElementNode* ElementNode::FindNamedValue(const std::string& key, bool recursive) {
    if (name_ == key)
        return this;
    bool keySeen = false;
    for (int i = 0; i < attributes_.GetCount(); ++i) {
        ElementNode* attribute = NodeAt(attributes_, i);
        if (attribute == nullptr)
            continue;
        if (EqualsNoCase(attribute->value_, key))
            keySeen = true;
        if (keySeen && EqualsNoCase(attribute->name_, "value"))
            return attribute;
    }
    if (recursive) {
        for (int i = 0; i < children_.GetCount(); ++i) {
            ElementNode* child = NodeAt(children_, i);
            if (child == nullptr)
                continue;
            if (ElementNode* found = child->FindNamedValue(key, true))
                return found;
        }
    }
    return nullptr;
}

std::string ElementNode::GetAttributeValue(const std::string& name) const {
    for (int i = 0; i < attributes_.GetCount(); ++i) {
        const ElementNode* attribute = NodeAt(attributes_, i);
        if (attribute != nullptr && attribute->name_ == name)
            return attribute->value_;
    }
    return "";
}

std::string ElementNode::GetAttributeString(const std::string& name) {
    const ElementNode* found = FindAttribute(name, false);
    return found != nullptr ? found->value_ : "";
}

int ElementNode::GetAttributeInt(const std::string& name) {
    const ElementNode* found = FindAttribute(name, false);
    return found != nullptr ? found->GetInt() : 0;
}

bool ElementNode::GetAttributeBool(const std::string& name) {
    const ElementNode* found = FindAttribute(name, false);
    return found != nullptr && found->GetBool();
}

int ElementNode::GetInt() const {
    std::size_t i = 0;
    while (i < value_.size() && IsAsciiSpace(value_[i]))
        ++i;
    bool negative = false;
    if (i < value_.size() && (value_[i] == '+' || value_[i] == '-')) {
        negative = value_[i] == '-';
        ++i;
    }
    // Accumulated as a negative number, whose range holds INT_MIN.
    long long number = 0;
    for (; i < value_.size() && value_[i] >= '0' && value_[i] <= '9'; ++i) {
        number = number * 10 - (value_[i] - '0');
        if (number < INT_MIN) {
            number = INT_MIN - 1LL;  // saturated; the remaining digits change nothing
        }
    }
    if (negative)
        return number < INT_MIN ? INT_MIN : static_cast<int>(number);
    return -number > INT_MAX ? INT_MAX : static_cast<int>(-number);
}

float ElementNode::GetFloat() const {
    if (value_.empty())
        return 0.0f;
    const double number = strtod_l(value_.c_str(), nullptr, NumberLocale());
    if (std::isnan(number))
        return 0.0f;
    if (number > FLT_MAX)
        return FLT_MAX;
    if (number < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(number);
}

bool ElementNode::GetBool() const {
    if (EqualsNoCase(value_, "true") || EqualsNoCase(value_, "t"))
        return true;
    if (EqualsNoCase(value_, "false") || EqualsNoCase(value_, "f"))
        return false;
    return GetInt() == 1;
}

bool ElementNode::SetAttribute(const std::string& name, const std::string& text) {
    ElementNode* found = FindAttribute(name, false);
    if (found == nullptr)
        return false;
    found->value_ = text;
    return true;
}

bool ElementNode::SetAttributeInt(const std::string& name, int n) {
    return SetAttribute(name, FormatText("%d", n));
}

bool ElementNode::SetAttributeBool(const std::string& name, bool b) {
    return SetAttribute(name, b ? "true" : "false");
}

bool ElementNode::SetAttributeFlag(const std::string& name, bool b) {
    return SetAttribute(name, b ? kFlagTrue : kFlagFalse);
}

void ElementNode::SetAttributes(const ObjectList& list) {
    for (int i = 0; i < list.GetCount(); ++i) {
        if (const ElementNode* node = NodeAt(list, i))
            SetAttribute(node->name_, node->value_);
    }
}

void ElementNode::CollectByName(const std::string& name, ObjectList& list) {
    list.SetOwning(false);
    if (name_ == name || (name == "rawBytes" && name_ == "unknownBytes")) {
        list.Add(this);
        return;
    }
    for (int i = 0; i < children_.GetCount(); ++i) {
        if (ElementNode* child = NodeAt(children_, i))
            child->CollectByName(name, list);
    }
}
