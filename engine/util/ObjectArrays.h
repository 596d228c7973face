// Emptying lists of objects that are owned by whoever holds the list.
#pragma once

#include <list>

#include "engine/tree/ObjectList.h"
#include "platform/base/CObject.h"

// Deletes every element of array through its virtual destructor, then empties it,
// whether the array owns its elements or not.
inline void DeleteAllObjects(ObjectList& array) {
    array.DeleteAll();
}

// The same for a linked list of objects.
inline void DeleteAllListObjects(std::list<CObject*>& list) {
    for (CObject* element : list)
        delete element;
    list.clear();
}
