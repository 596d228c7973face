#include "engine/tree/ObjectList.h"

ObjectList::ObjectList(bool owning) : owning_(owning) {}

ObjectList::~ObjectList() {
    if (owning_)
        DeleteAll();
}

void ObjectList::DeleteAll() {
    // The array is emptied first, so an element whose destructor reaches this list
    // again never finds a deleted pointer in it.
    std::vector<CObject*> doomed;
    doomed.swap(elements_);
    for (CObject* element : doomed)
        delete element;
}

CObject* ObjectList::GetAt(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return elements_[static_cast<std::size_t>(index)];
}

int ObjectList::Add(CObject* element) {
    elements_.push_back(element);
    return GetCount() - 1;
}

void ObjectList::RemoveAt(int index) {
    if (index < 0 || index >= GetCount())
        return;
    elements_.erase(elements_.begin() + index);
    if (index < cursor_)
        --cursor_;
}

void ObjectList::Reset() {
    cursor_ = 0;
    cursorLimit_ = GetCount();
}

bool ObjectList::HasNext() {
    cursorLimit_ = GetCount();
    return cursor_ < cursorLimit_;
}

CObject* ObjectList::Next() {
    if (!HasNext())
        return nullptr;
    return elements_[static_cast<std::size_t>(cursor_++)];
}
