// The root interface of the COM layer and a counted reference to any interface.
//
// Interfaces are abstract structs of pure virtual functions, declared in the
// platform's slot order; their first slots are IUnknown's. They have no virtual
// destructor (it would add vtable slots): an object is freed by its own last Release.
// Each interface names its identifier as InterfaceId, which ComPointer's query uses.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/base/Types.h"
#include "platform/com/Guid.h"

inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
    static constexpr const IID& InterfaceId = IID_IUnknown;

    // On success *object holds an added reference to the asked interface; otherwise
    // *object is null and the result E_NOINTERFACE (E_POINTER for a null object).
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    // The new reference count; meant for tests and traces, not for decisions.
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// One counted reference to an interface: copying adds a reference, destruction
// releases it. Not safe to share between threads without a lock; the object it names
// may be (that is the object's own business).
template <class Interface>
class ComPointer {
public:
    ComPointer() = default;
    ComPointer(std::nullptr_t) {}
    // Shares the caller's reference: adds one of its own.
    explicit ComPointer(Interface* object) : object_(object) {
        if (object_)
            object_->AddRef();
    }
    ComPointer(const ComPointer& other) : ComPointer(other.object_) {}
    ComPointer(ComPointer&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPointer& operator=(ComPointer other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~ComPointer() { reset(); }

    // Takes over a reference the caller owns (one a creation or query returned).
    static ComPointer adopt(Interface* object) {
        ComPointer pointer;
        pointer.object_ = object;
        return pointer;
    }

    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    void reset() {
        if (Interface* object = std::exchange(object_, nullptr))
            object->Release();
    }
    // Gives up the reference without releasing it.
    Interface* detach() { return std::exchange(object_, nullptr); }

    // For an out-parameter that receives an owned reference: releases the current one
    // first. putVoid is the same for calls that take void**.
    Interface** put() {
        reset();
        return &object_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    // Asks the object for another interface; an empty pointer when it has none.
    template <class Other>
    ComPointer<Other> query() const {
        ComPointer<Other> other;
        if (object_)
            object_->QueryInterface(Other::InterfaceId, other.putVoid());
        return other;
    }

private:
    Interface* object_ = nullptr;
};
