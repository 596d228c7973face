#include "engine/model/aggObject.h"

#include "engine/model/ModelFactory.h"
#include "engine/model/ModelVocabulary.h"
#include "engine/model/aggCollection.h"
#include "engine/xml/XmlText.h"
#include "platform/text/Text.h"

aggObject::aggObject() {
    reset();
}

aggObject::~aggObject() = default;

std::string aggObject::getDisplayText() {
    return getName() + " (" + getTagName() + ")";
}

bool aggObject::isShown() {
    return true;
}

void aggObject::addChild(aggObject* child) {
    if (child == nullptr)
        return;
    child->parent_ = this;
    children_.Add(child);
}

bool aggObject::add(aggObject* child) {
    if (child == nullptr)
        return false;
    return addToCollection(child, child->getTagName());
}

bool aggObject::addToCollection(aggObject* child, const std::string& key) {
    if (child == nullptr)
        return false;
    child->parent_ = this;
    // Only a real collection may take the child; anything else found under that name
    // would hand it back here by its own add.
    auto* collection = dynamic_cast<aggCollection*>(findChild(kCollectionTag, key, true));
    if (collection != nullptr && collection->add(child))
        return true;
    child->parent_ = nullptr;
    return false;
}

void aggObject::releaseDom() {
    for (int i = 0; i < children_.GetCount(); ++i) {
        if (aggObject* child = getChildAt(i))
            child->releaseDom();
    }
}

void aggObject::loadFromElement(ElementNode* element) {
    if (element == nullptr)
        return;
    const ObjectList& attributes = element->GetAttributes();
    for (int i = 0; i < attributes.GetCount(); ++i) {
        const auto* attribute = dynamic_cast<const ElementNode*>(attributes.GetAt(i));
        if (attribute == nullptr)
            continue;
        if (ElementNode* declared = findDeclared(attribute->GetName()))
            declared->SetValue(attribute->GetValue());
    }
    ObjectList& children = element->GetChildren();
    for (int i = 0; i < children.GetCount(); ++i) {
        auto* childElement = dynamic_cast<ElementNode*>(children.GetAt(i));
        if (std::unique_ptr<aggObject> child = CreateModelFromElement(childElement))
            addChild(child.release());
    }
}

void aggObject::loadFromText(const std::string& text) {
    std::unique_ptr<ElementNode> tree(ParseXmlText(text));
    loadFromElement(tree.get());
}

bool aggObject::isFormElement() {
    return false;
}

bool aggObject::isForm() {
    return false;
}

std::string aggObject::getTagName() const {
    return node_.GetName();
}

void aggObject::setTagName(const std::string& tag) {
    node_.SetName(tag);
}

std::string aggObject::getAttribute(const std::string& name) const {
    const ElementNode* declared = findDeclared(name);
    return declared != nullptr ? declared->GetValue() : "";
}

bool aggObject::setAttribute(const std::string& name, const std::string& text) {
    ElementNode* declared = findDeclared(name);
    if (declared == nullptr)
        return false;
    declared->SetValue(text);
    return true;
}

bool aggObject::setIntAttribute(const std::string& name, int number) {
    return setAttribute(name, FormatText("%d", number));
}

void aggObject::addAttribute(const std::string& name, const std::string& value) {
    node_.AddAttribute(name, value);
}

std::string aggObject::getName() const {
    return getAttribute(kNameAttribute);
}

void aggObject::setName(const std::string& text) {
    setAttribute(kNameAttribute, text);
}

void aggObject::setIndex(int n) {
    setIntAttribute(kIndexAttribute, n);
}

aggObject* aggObject::getChildAt(int index) const {
    return dynamic_cast<aggObject*>(children_.GetAt(index));
}

aggCollection* aggObject::findCollection(const std::string& type) const {
    for (int i = 0; i < children_.GetCount(); ++i) {
        auto* collection = dynamic_cast<aggCollection*>(children_.GetAt(i));
        if (collection != nullptr && EqualsNoCase(collection->getTagName(), kCollectionTag) &&
            EqualsNoCase(collection->getAttribute(kContainedTypeAttribute), type)) {
            return collection;
        }
    }
    return nullptr;
}

aggObject* aggObject::findChild(const std::string& tag, const std::string& key, bool deep) const {
    if (EqualsNoCase(getTagName(), tag) && EqualsNoCase(getName(), key))
        return const_cast<aggObject*>(this);
    for (int i = 0; i < children_.GetCount(); ++i) {
        aggObject* child = getChildAt(i);
        if (child == nullptr)
            continue;
        if (EqualsNoCase(child->getTagName(), tag) && EqualsNoCase(child->getName(), key))
            return child;
        if (EqualsNoCase(child->getTagName(), kCollectionTag) &&
            EqualsNoCase(child->getAttribute(kContainedTypeAttribute), key)) {
            return child;
        }
    }
    if (deep) {
        for (int i = 0; i < children_.GetCount(); ++i) {
            aggObject* child = getChildAt(i);
            if (child == nullptr)
                continue;
            if (aggObject* found = child->findChild(tag, key, true))
                return found;
        }
    }
    return nullptr;
}

void aggObject::clearChildren() {
    children_.DeleteAll();
}

void aggObject::reset() {
    parent_ = nullptr;
    node_.SetName(kUnknownValue);
    node_.GetAttributes().DeleteAll();
    node_.AddAttribute(kNameAttribute, kUnknownValue);
    node_.AddAttribute(kIdAttribute, kUnknownValue);
    node_.AddAttribute(kIndexAttribute, kUnknownValue);
}

std::unique_ptr<ElementNode> aggObject::toElementTree(bool deep) const {
    std::unique_ptr<ElementNode> tree(node_.Clone(false));
    if (deep) {
        for (int i = 0; i < children_.GetCount(); ++i) {
            if (const aggObject* child = getChildAt(i))
                tree->AddChild(child->toElementTree(true).release());
        }
    }
    return tree;
}

std::string aggObject::toXmlText(bool deep) const {
    std::unique_ptr<ElementNode> tree = toElementTree(deep);
    if (!tree)
        return "";
    return BuildXmlText(tree.get(), true, kModelXmlIndent);
}

std::unique_ptr<aggObject> aggObject::clone(bool deep) const {
    return LoadModelText(toXmlText(deep));
}

void aggObject::addCollection(const std::string& name, const std::string& containedType) {
    addChild(new aggCollection(name, containedType));
}

ElementNode* aggObject::findDeclared(const std::string& name) const {
    const ObjectList& attributes = node_.GetAttributes();
    for (int i = 0; i < attributes.GetCount(); ++i) {
        auto* attribute = dynamic_cast<ElementNode*>(attributes.GetAt(i));
        if (attribute != nullptr && EqualsNoCase(attribute->GetName(), name))
            return attribute;
    }
    return nullptr;
}
