// The run-time class of a dynamically creatable class: its name and a way to make a new
// object of it, so that a frame or a thread can create an object whose class it is given.
#pragma once

#include <memory>

#include "platform/base/CObject.h"

struct CRuntimeClass {
    const char* className;
    // A new object of the class, owned by the caller.
    std::unique_ptr<CObject> (*createObject)();

    std::unique_ptr<CObject> CreateObject() const {
        return createObject != nullptr ? createObject() : nullptr;
    }
};
