// QueryInterface, reference counting and ComPointer on a small object.
#include "platform/com/Unknown.h"

#include <gtest/gtest.h>

#include "platform/com/ClassFactory.h"
#include "platform/com/Dispatch.h"

namespace {

// {0F6B2D3C-1A2B-4C5D-8E9F-A0B1C2D3E4F5}
constexpr IID IID_ITestValue = {
    0x0F6B2D3C, 0x1A2B, 0x4C5D, {0x8E, 0x9F, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}};

struct ITestValue : IUnknown {
    static constexpr const IID& InterfaceId = IID_ITestValue;
    virtual int Value() = 0;

protected:
    ~ITestValue() = default;
};

class TestValue final : public ITestValue {
public:
    explicit TestValue(bool* destroyed) : destroyed_(destroyed) {}
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ITestValue) {
            *object = static_cast<ITestValue*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            *destroyed_ = true;
            delete this;
        }
        return left;
    }
    int Value() override { return 42; }

private:
    ~TestValue() = default;
    ULONG references_ = 1;
    bool* destroyed_;
};

TEST(UnknownTest, QueryInterfaceAddsAReferenceOrAnswersNoInterface) {
    bool destroyed = false;
    ITestValue* value = new TestValue(&destroyed);
    void* asked = nullptr;
    ASSERT_EQ(value->QueryInterface(IID_IUnknown, &asked), S_OK);
    EXPECT_EQ(asked, static_cast<void*>(value));
    EXPECT_EQ(value->Release(), 1u);

    asked = reinterpret_cast<void*>(1);
    EXPECT_EQ(value->QueryInterface(IID_IDispatch, &asked), E_NOINTERFACE);
    EXPECT_EQ(asked, nullptr);
    EXPECT_EQ(value->QueryInterface(IID_ITestValue, nullptr), E_POINTER);

    EXPECT_EQ(value->AddRef(), 2u);
    EXPECT_EQ(value->Release(), 1u);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(value->Release(), 0u);
    EXPECT_TRUE(destroyed);
}

TEST(UnknownTest, ComPointerCountsItsReferences) {
    bool destroyed = false;
    ComPointer<ITestValue> first = ComPointer<ITestValue>::adopt(new TestValue(&destroyed));
    {
        ComPointer<ITestValue> copy = first;
        EXPECT_EQ(copy->Value(), 42);
        ComPointer<IUnknown> unknown = first.query<IUnknown>();
        ASSERT_TRUE(unknown);
        EXPECT_FALSE(first.query<IClassFactory>());
        ComPointer<ITestValue> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_TRUE(moved);
    }
    EXPECT_FALSE(destroyed);
    ComPointer<ITestValue> shared(first.get());  // adds its own reference
    first.reset();
    EXPECT_FALSE(destroyed);
    ITestValue* raw = shared.detach();
    EXPECT_FALSE(destroyed);
    ComPointer<ITestValue> again = ComPointer<ITestValue>::adopt(raw);
    *again.put() = nullptr;  // put releases what it held
    EXPECT_TRUE(destroyed);
}

}  // namespace
