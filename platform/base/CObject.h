// The root class of the application framework: anything an owning list may hold
// and delete through its virtual destructor.
#pragma once

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;
};
