// Late-bound property reads and writes, on an object that records how it was called.
#include "engine/util/DispatchProperties.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/text/Text.h"

namespace {

// Properties by name; its Invoke keeps what a well-behaved caller must send.
class PropertyBag final : public IDispatch {
public:
    HRESULT QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, LCID locale,
                          DISPID* ids) override {
        lastLocale = locale;
        if (iid != IID_NULL || count != 1)
            return E_INVALIDARG;
        int id = 1;
        for (const auto& [name, value] : values) {
            if (EqualsNoCase(name, Utf16ToUtf8(names[0])))
                return ids[0] = id, S_OK;
            ++id;
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT*) override {
        lastFlags = flags;
        auto it = values.begin();
        for (DISPID id = 1; id < member && it != values.end(); ++id)
            ++it;
        if (it == values.end())
            return DISP_E_MEMBERNOTFOUND;
        if (flags == DISPATCH_PROPERTYPUT) {
            if (params->cArgs != 1 || params->cNamedArgs != 1 ||
                params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTFOUND;
            it->second = params->rgvarg[0];
            return S_OK;
        }
        if (params->cArgs != 0 || it->second.vt == VT_NULL)
            return DISP_E_MEMBERNOTFOUND;  // VT_NULL stands for a failing property
        *result = it->second;
        return S_OK;
    }

    std::map<std::string, VARIANT> values;
    WORD lastFlags = 0;
    LCID lastLocale = 0;
};

VARIANT Make(VARTYPE type) {
    VARIANT value;
    value.vt = type;
    return value;
}

TEST(DispatchPropertiesTest, GetPropertyAsksForAGetOrCallByName) {
    PropertyBag bag;
    bag.values["width"] = VariantFromInteger(640);
    VARIANT value;
    ASSERT_TRUE(GetProperty(&bag, "WIDTH", &value));
    EXPECT_EQ(bag.lastFlags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(bag.lastLocale, LOCALE_SYSTEM_DEFAULT);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.intVal, 640);

    value = VariantFromText("stale");
    EXPECT_FALSE(GetProperty(&bag, "height", &value));
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_FALSE(GetProperty(nullptr, "width", &value));
    EXPECT_FALSE(HasProperty(&bag, "height"));
    EXPECT_TRUE(HasProperty(&bag, "width"));
}

TEST(DispatchPropertiesTest, PutPropertySendsOneNamedValue) {
    PropertyBag other;  // outlives the bag, which ends up holding a reference to it
    PropertyBag bag;
    bag.values["title"] = VARIANT{};
    bag.values["count"] = VARIANT{};
    bag.values["parent"] = VARIANT{};
    ASSERT_TRUE(PutProperty(&bag, "title", "caf\xC3\xA9"));
    EXPECT_EQ(bag.lastFlags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(bag.values["title"].bstrVal, "caf\xC3\xA9");
    ASSERT_TRUE(PutProperty(&bag, "count", 12));
    EXPECT_EQ(bag.values["count"].vt, VT_I4);
    EXPECT_EQ(bag.values["count"].intVal, 12);
    ASSERT_TRUE(PutProperty(&bag, "parent", &other));
    EXPECT_EQ(bag.values["parent"].vt, VT_DISPATCH);
    EXPECT_EQ(bag.values["parent"].pdispVal.get(), &other);

    EXPECT_FALSE(PutProperty(&bag, "missing", 1));
    EXPECT_FALSE(PutProperty(nullptr, "count", 1));
}

TEST(DispatchPropertiesTest, TypedReadsTakeOnlyTheirOwnTypes) {
    PropertyBag bag;
    VARIANT real = Make(VT_R8);
    real.dblVal = 2.5;
    VARIANT yes = Make(VT_BOOL);
    yes.boolVal = true;
    VARIANT shortValue = Make(VT_I2);
    shortValue.intVal = 3;
    bag.values["int"] = VariantFromInteger(-7);
    bag.values["real"] = real;
    bag.values["short"] = shortValue;
    bag.values["yes"] = yes;
    bag.values["text"] = VariantFromText("words");
    bag.values["failing"] = Make(VT_NULL);

    EXPECT_EQ(GetNumberProperty(&bag, "int"), -7);
    EXPECT_EQ(GetNumberProperty(&bag, "real"), 2.5);
    EXPECT_EQ(GetNumberProperty(&bag, "short"), 0);  // not a 32-bit integer
    EXPECT_EQ(GetNumberProperty(&bag, "text"), 0);
    EXPECT_TRUE(GetBoolProperty(&bag, "yes"));
    EXPECT_FALSE(GetBoolProperty(&bag, "int"));
    EXPECT_EQ(GetStringProperty(&bag, "text"), "words");
    EXPECT_EQ(GetStringProperty(&bag, "int"), "");
    EXPECT_EQ(GetStringProperty(&bag, "failing"), "");
    EXPECT_FALSE(HasProperty(&bag, "failing"));
    EXPECT_EQ(GetStringProperty(nullptr, "text"), "");
}

}  // namespace
