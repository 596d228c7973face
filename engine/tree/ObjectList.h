// An array of object pointers that may own its elements, with one read cursor.
#pragma once

#include <vector>

#include "platform/base/CObject.h"

// A walk is Reset, then Next while HasNext. The cursor belongs to the list, so two
// walks of one list must not be nested.
//
// Not synchronised: a list shared between threads is guarded by its holder with the
// process lock.
class ObjectList : public CObject {
public:
    // An owning list deletes its elements when it is destroyed.
    explicit ObjectList(bool owning);
    ~ObjectList() override;
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    void SetOwning(bool owning) { owning_ = owning; }

    // Deletes every non-null element through its virtual destructor, in index order,
    // then empties the list, whether the list owns its elements or not.
    void DeleteAll();

    int GetCount() const { return static_cast<int>(elements_.size()); }
    // The element at index; null when index is outside 0..GetCount()-1.
    CObject* GetAt(int index) const;
    // Appends element (null is allowed) and returns its index.
    int Add(CObject* element);
    // Takes the element at index out of the list without deleting it; the caller owns
    // it from then on. An index outside the list changes nothing. A walk in progress
    // goes on with the element that followed the removed one.
    void RemoveAt(int index);

    // Cursor to the first element.
    void Reset();
    // Whether Next has an element; elements added during a walk are seen by it.
    bool HasNext();
    // The element at the cursor, and the cursor moves on; null (cursor unchanged) after
    // the last element.
    CObject* Next();

private:
    std::vector<CObject*> elements_;
    bool owning_;
    int cursor_ = 0;
    int cursorLimit_ = 0;
};
