// The dispatch table: names to dispids, Invoke's flags, argument order and
// conversions, and its refusals.
#include "platform/com/DispatchTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class Sample final : public DispatchImplementation<Sample, IDispatch> {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch)
            return *object = nullptr, E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }

    HRESULT get_count(int* value) { return *value = count_, S_OK; }
    HRESULT put_count(int value) { return count_ = value, S_OK; }
    HRESULT get_name(BSTR* value) {
        *value = Utf8ToBstr(name_);
        return S_OK;
    }
    HRESULT put_name(BSTR value) {
        name_ = BstrToUtf8(value);
        return S_OK;
    }
    HRESULT join(BSTR text, int times) noexcept {
        for (int i = 0; i < times; ++i)
            name_ += BstrToUtf8(text);
        return S_OK;
    }
    HRESULT get_label(BSTR* value) {
        *value = Utf8ToBstr("label");
        return S_OK;
    }
    HRESULT put_limit(int value) { return value < 0 ? E_INVALIDARG : (limit_ = value, S_OK); }

    static const DispatchTable<Sample>& DispatchMembers() {
        using Table = DispatchTable<Sample>;
        static const Table table{
            Table::PropertyGet<&Sample::get_count>("count", 1),
            Table::PropertyPut<&Sample::put_count>("count", 1),
            Table::PropertyGet<&Sample::get_name>("name", 2),
            Table::PropertyPut<&Sample::put_name>("name", 2),
            Table::Method<&Sample::join>("join", 3),
            Table::PropertyGet<&Sample::get_label>("label", 4),
            Table::PropertyPut<&Sample::put_limit>("limit", 5),
        };
        return table;
    }

    int count_ = 7;
    std::string name_ = "n";
    int limit_ = 0;
};

DISPID IdOf(IDispatch& object, const char16_t* name) {
    std::u16string text(name);
    OLECHAR* names[] = {text.data()};
    DISPID id = 12345;
    object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    return id;
}

// Invokes with the arguments in their natural order; a put names its one argument.
HRESULT Call(IDispatch& object, DISPID id, WORD flags, std::vector<VARIANT> arguments,
             VARIANT* result = nullptr, UINT* argumentError = nullptr, bool namedPut = true) {
    std::reverse(arguments.begin(), arguments.end());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params;
    params.rgvarg = arguments.data();
    params.cArgs = static_cast<UINT>(arguments.size());
    if ((flags & DISPATCH_PROPERTYPUT) && namedPut) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    return object.Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &params, result, nullptr,
                         argumentError);
}

constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

TEST(DispatchTableTest, NamesGiveTheirDispidsIgnoringCase) {
    Sample sample;
    EXPECT_EQ(IdOf(sample, u"count"), 1);
    EXPECT_EQ(IdOf(sample, u"NAME"), 2);
    EXPECT_EQ(IdOf(sample, u"Join"), 3);
    EXPECT_EQ(IdOf(sample, u"missing"), DISPID_UNKNOWN);

    std::u16string name = u"join", parameter = u"times", unknown = u"nope";
    OLECHAR* names[] = {name.data(), parameter.data()};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(sample.GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 3);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    OLECHAR* missing[] = {unknown.data()};
    EXPECT_EQ(sample.GetIDsOfNames(IID_NULL, missing, 1, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(sample.GetIDsOfNames(IID_IDispatch, names, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(sample.GetIDsOfNames(IID_NULL, nullptr, 1, 0, ids), E_INVALIDARG);

    UINT count = 9;
    EXPECT_EQ(sample.GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

TEST(DispatchTableTest, GetsAndPutsGoToTheirHandlers) {
    Sample sample;
    VARIANT result;
    ASSERT_EQ(Call(sample, 1, kGet, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.intVal, 7);

    ASSERT_EQ(Call(sample, 2, DISPATCH_PROPERTYPUT, {VariantFromText("caf\xC3\xA9")}), S_OK);
    EXPECT_EQ(sample.name_, "caf\xC3\xA9");
    ASSERT_EQ(Call(sample, 2, DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(result.bstrVal, "caf\xC3\xA9");

    // A get with no place for the result still runs (and frees what it returned).
    EXPECT_EQ(Call(sample, 4, kGet, {}, nullptr), S_OK);
}

TEST(DispatchTableTest, MethodArgumentsArriveInTheirOwnOrder) {
    Sample sample;
    VARIANT result = VariantFromInteger(5);
    ASSERT_EQ(
        Call(sample, 3, DISPATCH_METHOD, {VariantFromText("ab"), VariantFromInteger(2)}, &result),
        S_OK);
    EXPECT_EQ(sample.name_, "nabab");
    EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST(DispatchTableTest, ArgumentsAreConvertedOrRefused) {
    struct Case {
        const char* what;
        VARIANT value;
        HRESULT expected;
        int count;
    };
    VARIANT real = VARIANT{};
    real.vt = VT_R8;
    real.dblVal = 2.5;  // rounds to even
    VARIANT huge = real;
    huge.dblVal = 1e12;
    VARIANT yes = VARIANT{};
    yes.vt = VT_BOOL;
    yes.boolVal = true;
    VARIANT shortValue = VariantFromInteger(-3);
    shortValue.vt = VT_I2;
    const Case cases[] = {
        {"I4", VariantFromInteger(11), S_OK, 11},
        {"I2", shortValue, S_OK, -3},
        {"R8", real, S_OK, 2},
        {"BOOL", yes, S_OK, -1},
        {"EMPTY", VARIANT{}, S_OK, 0},
        {"R8 out of range", huge, DISP_E_TYPEMISMATCH, 99},
        {"BSTR", VariantFromText("12"), DISP_E_TYPEMISMATCH, 99},
    };
    for (const Case& c : cases) {
        Sample sample;
        sample.count_ = 99;
        UINT argumentError = 77;
        EXPECT_EQ(Call(sample, 1, DISPATCH_PROPERTYPUT, {c.value}, nullptr, &argumentError),
                  c.expected)
            << c.what;
        EXPECT_EQ(sample.count_, c.count) << c.what;
        if (FAILED(c.expected)) {
            EXPECT_EQ(argumentError, 0u) << c.what;
        }
    }

    // Text takes numbers as decimal text; the wrong type names its argument's place.
    Sample sample;
    ASSERT_EQ(Call(sample, 2, DISPATCH_PROPERTYPUT, {VariantFromInteger(-40)}), S_OK);
    EXPECT_EQ(sample.name_, "-40");
    UINT argumentError = 77;
    EXPECT_EQ(Call(sample, 3, DISPATCH_METHOD, {VariantFromText("x"), VariantFromText("y")},
                   nullptr, &argumentError),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argumentError, 0u);  // rgvarg[0]: the last argument
    EXPECT_EQ(sample.name_, "-40");
}

TEST(DispatchTableTest, WrongCallsAreRefusedWithoutRunningAHandler) {
    Sample sample;
    struct Case {
        const char* what;
        DISPID id;
        WORD flags;
        std::vector<VARIANT> arguments;
        bool namedPut;
        HRESULT expected;
    };
    const Case cases[] = {
        {"unknown dispid", 40, kGet, {}, true, DISP_E_MEMBERNOTFOUND},
        {"put of a read-only property",
         4,
         DISPATCH_PROPERTYPUT,
         {VariantFromText("x")},
         true,
         DISP_E_MEMBERNOTFOUND},
        {"get of a write-only property", 5, kGet, {}, true, DISP_E_MEMBERNOTFOUND},
        {"method with too few arguments",
         3,
         DISPATCH_METHOD,
         {VariantFromText("x")},
         true,
         DISP_E_BADPARAMCOUNT},
        {"get with an argument", 1, kGet, {VariantFromInteger(1)}, true, DISP_E_BADPARAMCOUNT},
        {"put without its named argument",
         1,
         DISPATCH_PROPERTYPUT,
         {VariantFromInteger(1)},
         false,
         DISP_E_PARAMNOTFOUND},
        {"put with two values",
         1,
         DISPATCH_PROPERTYPUT,
         {VariantFromInteger(1), VariantFromInteger(2)},
         true,
         DISP_E_BADPARAMCOUNT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Call(sample, c.id, c.flags, c.arguments, nullptr, nullptr, c.namedPut),
                  c.expected)
            << c.what;
    }
    EXPECT_EQ(sample.count_, 7);
    EXPECT_EQ(sample.name_, "n");

    DISPID named = 0;
    VARIANT argument = VariantFromText("x");
    DISPPARAMS withName{&argument, &named, 1, 1};
    EXPECT_EQ(sample.Invoke(2, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &withName,
                            nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    DISPPARAMS twoArguments{&argument, &named, 1, 1};
    EXPECT_EQ(
        sample.Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &twoArguments, nullptr, nullptr, nullptr),
        DISP_E_NONAMEDARGS);
    EXPECT_EQ(sample.Invoke(1, IID_NULL, 0, kGet, nullptr, nullptr, nullptr, nullptr),
              E_INVALIDARG);
    DISPPARAMS none;
    EXPECT_EQ(sample.Invoke(1, IID_IDispatch, 0, kGet, &none, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);

    // A handler's own failure is the call's result.
    EXPECT_EQ(Call(sample, 5, DISPATCH_PROPERTYPUT, {VariantFromInteger(-1)}), E_INVALIDARG);
}

}  // namespace
