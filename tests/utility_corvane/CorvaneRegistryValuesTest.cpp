#include <gtest/gtest.h>

#include <string>

#include "engine/util/RegistryValues.h"

using namespace std::string_literals;

namespace {

class CorvaneRegistryValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        subKey_ = "Software\\Morvelle\\CorvaneRegistryValuesTest\\"s +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, subKey_, &key_), ERROR_SUCCESS);
    }
    void TearDown() override {
        if (key_)
            RegCloseKey(key_);
        RegDeleteTree(HKEY_CURRENT_USER, subKey_);
    }

    std::string subKey_;
    HKEY key_ = nullptr;
};

}  // namespace

TEST_F(CorvaneRegistryValuesTest, NumbersAreStoredAsGText) {
    const struct {
        double x;
        const char* text;
    } cases[] = {{0.5, "0.5"}, {-2, "-2"}, {1e20, "1e+20"}, {123456789, "1.23457e+08"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(RegWriteNumber(key_, "zoom", c.x));
        DWORD type = REG_NONE;
        std::string stored;
        ASSERT_EQ(RegQueryValueBytes(key_, "zoom", &type, &stored), ERROR_SUCCESS);
        EXPECT_EQ(stored, c.text + "\0"s);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_DOUBLE_EQ(RegReadNumber(key_, "zoom"), std::stod(c.text));
    }
    ASSERT_TRUE(RegWriteInt(key_, "size", 150));
    EXPECT_EQ(RegReadString(key_, "size"), "150");
}

TEST_F(CorvaneRegistryValuesTest, NumbersReadAsAtofDoes) {
    EXPECT_EQ(RegReadNumber(key_, "missing"), 0.0);
    const struct {
        const char* text;
        double x;
    } cases[] = {{"", 0}, {"abc", 0}, {" 2.5px", 2.5}, {"1e3", 1000}, {"0x10", 16}};
    for (const auto& c : cases) {
        ASSERT_TRUE(RegWriteString(key_, "value", c.text));
        EXPECT_DOUBLE_EQ(RegReadNumber(key_, "value"), c.x) << '"' << c.text << '"';
    }
}
