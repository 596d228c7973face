#include "engine/model/aggCollection.h"

#include "engine/model/ModelVocabulary.h"
#include "platform/text/Text.h"

aggCollection::aggCollection() {
    setTagName(kCollectionTag);
    addAttribute(kContainedTypeAttribute, kUnknownValue);
}

aggCollection::aggCollection(const std::string& name, const std::string& containedType) {
    setTagName(kCollectionTag);
    addAttribute(kCountAttribute, kUnknownValue);
    addAttribute(kContainedTypeAttribute, containedType);
    setName(name);
}

bool aggCollection::add(aggObject* member) {
    if (member == nullptr)
        return false;
    aggObject::addChild(member);
    member->setParent(getParent());
    setIntAttribute(kCountAttribute, getChildCount());
    return true;
}

aggObject* aggCollection::getAt(int n) const {
    if (n < 0 || n >= getChildCount())
        return nullptr;
    return getChildAt(n);
}

aggObject* aggCollection::findByName(std::string_view text) const {
    for (int i = 0; i < getChildCount(); ++i) {
        aggObject* member = getChildAt(i);
        if (member != nullptr && EqualsNoCase(member->getName(), text))
            return member;
    }
    return nullptr;
}
