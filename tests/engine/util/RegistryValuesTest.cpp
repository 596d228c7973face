#include "engine/util/RegistryValues.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace std::string_literals;

namespace {

// A key of its own under HKEY_CURRENT_USER for each test, removed afterwards.
class RegistryValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        subKey_ = "Software\\Morvelle\\RegistryValuesTest\\"s +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, subKey_, &key_), ERROR_SUCCESS);
    }
    void TearDown() override {
        if (key_)
            RegCloseKey(key_);
        RegDeleteTree(HKEY_CURRENT_USER, subKey_);
    }

    // The value as stored: its type and its exact bytes.
    std::string Stored(const char* name, DWORD* type) const {
        std::string data;
        EXPECT_EQ(RegQueryValueBytes(key_, name, type, &data), ERROR_SUCCESS) << name;
        return data;
    }
    void SetRaw(const char* name, DWORD type, const std::string& bytes) const {
        ASSERT_EQ(RegSetValueEx(key_, name, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }

    std::string subKey_;
    HKEY key_ = nullptr;
};

}  // namespace

TEST_F(RegistryValuesTest, StringsAreStoredAsRegSzWithTheirNul) {
    for (const std::string& text : {""s, "c:\\store"s, " blanks kept "s, "caf\xC3\xA9"s}) {
        EXPECT_TRUE(RegWriteString(key_, "storage", text));
        DWORD type = REG_NONE;
        EXPECT_EQ(Stored("storage", &type), text + '\0');
        EXPECT_EQ(type, REG_SZ);
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueEx(key_, "storage", nullptr, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(size, text.size() + 1);
        EXPECT_EQ(RegReadString(key_, "STORAGE"), text) << "names ignore case";
    }
}

TEST_F(RegistryValuesTest, BoolsAndIntsAreStoredAsText) {
    const struct {
        bool b;
        const char* text;
    } bools[] = {{true, "true"}, {false, "false"}};
    for (const auto& c : bools) {
        EXPECT_TRUE(RegWriteBool(key_, "show", c.b));
        DWORD type = REG_NONE;
        EXPECT_EQ(Stored("show", &type), c.text + "\0"s);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(RegReadBool(key_, "show"), c.b);
    }
    const struct {
        int n;
        const char* text;
    } ints[] = {
        {0, "0"}, {15, "15"}, {-7, "-7"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& c : ints) {
        EXPECT_TRUE(RegWriteInt(key_, "depth", c.n));
        DWORD type = REG_NONE;
        EXPECT_EQ(Stored("depth", &type), c.text + "\0"s);
        EXPECT_EQ(RegReadInt(key_, "depth"), c.n);
        EXPECT_EQ(RegReadString(key_, "depth"), c.text);
    }
}

TEST_F(RegistryValuesTest, TextsReadAsBoolsAndInts) {
    const struct {
        const char* text;
        bool b;
        int n;
    } cases[] = {
        {"TRUE", true, 0},   {"True", true, 0},     {"yes", false, 0}, {"1", false, 1},
        {"true ", false, 0}, {" 42abc", false, 42}, {"-3", false, -3}, {"", false, 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(RegWriteString(key_, "value", c.text));
        EXPECT_EQ(RegReadBool(key_, "value"), c.b) << '"' << c.text << '"';
        EXPECT_EQ(RegReadInt(key_, "value"), c.n) << '"' << c.text << '"';
    }
}

TEST_F(RegistryValuesTest, MissingValuesReadEmpty) {
    EXPECT_EQ(RegReadString(key_, "missing"), "");
    EXPECT_FALSE(RegReadBool(key_, "missing"));
    EXPECT_EQ(RegReadInt(key_, "missing"), 0);
    BYTE buffer[4] = {1, 2, 3, 4};
    EXPECT_FALSE(RegReadBinary(key_, "missing", buffer, sizeof buffer));
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[3], 4);
}

TEST_F(RegistryValuesTest, KeysThatCannotServeGiveEmptyReadsAndFailedWrites) {
    ASSERT_TRUE(RegWriteString(key_, "name", "value"));
    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, subKey_, 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(RegReadString(readOnly, "name"), "value");
    EXPECT_FALSE(RegWriteString(readOnly, "name", "other"));
    EXPECT_FALSE(RegWriteInt(readOnly, "n", 1));
    EXPECT_FALSE(RegWriteBinary(readOnly, "b", nullptr, 0));
    EXPECT_EQ(RegReadString(key_, "name"), "value");
    RegCloseKey(readOnly);

    RegCloseKey(key_);
    EXPECT_EQ(RegReadString(key_, "name"), "") << "a closed key";
    EXPECT_FALSE(RegWriteBool(key_, "name", true));
    key_ = nullptr;
    EXPECT_EQ(RegReadInt(nullptr, "name"), 0);
}

TEST_F(RegistryValuesTest, LongStringsReadWholeUpToTheirFirstNul) {
    std::string longText;
    for (int i = 0; longText.size() < 5000; ++i)
        longText += "http://site" + std::to_string(i) + ".com/,";
    longText.resize(5000);
    ASSERT_TRUE(RegWriteString(key_, "sites", longText));
    EXPECT_EQ(RegReadString(key_, "sites"), longText);

    SetRaw("noNul", REG_SZ, "abcd");
    EXPECT_EQ(RegReadString(key_, "noNul"), "abcd");
    SetRaw("inner", REG_SZ, "before\0after\0"s);
    EXPECT_EQ(RegReadString(key_, "inner"), "before");
    SetRaw("long", REG_SZ, std::string(20000, 'x') + '\0' + "tail");
    EXPECT_EQ(RegReadString(key_, "long"), std::string(20000, 'x'));
}

TEST_F(RegistryValuesTest, BinaryValuesRoundTripWhenTheyFit) {
    const BYTE data[] = {0, 1, 0xFF, 0, 'x'};
    ASSERT_TRUE(RegWriteBinary(key_, "blob", data, sizeof data));
    DWORD type = REG_NONE;
    EXPECT_EQ(Stored("blob", &type), std::string(reinterpret_cast<const char*>(data), sizeof data));
    EXPECT_EQ(type, REG_BINARY);

    BYTE exact[5] = {};
    EXPECT_TRUE(RegReadBinary(key_, "blob", exact, sizeof exact));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(exact), 5),
              std::string(reinterpret_cast<const char*>(data), 5));

    BYTE small[4] = {9, 9, 9, 9};
    EXPECT_FALSE(RegReadBinary(key_, "blob", small, sizeof small)) << "does not fit";
    EXPECT_EQ(small[0], 9);

    ASSERT_TRUE(RegWriteBinary(key_, "empty", nullptr, 0));
    EXPECT_TRUE(RegReadBinary(key_, "empty", small, sizeof small));
    EXPECT_EQ(small[0], 9);
}
