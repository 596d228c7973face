#include "engine/util/Conversions.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <optional>
#include <string>

TEST(ConversionsTest, BooleansAsSettingsText) {
    EXPECT_TRUE(IsTrueString("true"));
    EXPECT_TRUE(IsTrueString("TRUE"));
    EXPECT_FALSE(IsTrueString("yes"));
    EXPECT_FALSE(IsTrueString("true "));
    EXPECT_FALSE(IsTrueString(""));
    EXPECT_EQ(BoolToString(true), "true");
    EXPECT_EQ(BoolToString(false), "false");
    EXPECT_TRUE(ToBool(-3));
    EXPECT_FALSE(ToBool(0));
}

TEST(ConversionsTest, NumbersToText) {
    EXPECT_EQ(IntToString(-12), "-12");
    EXPECT_EQ(IntToString(INT_MIN), "-2147483648");
    EXPECT_EQ(FloatToString(0.5), "0.5");
    EXPECT_EQ(FloatToString(1e20), "1e+20");
    EXPECT_EQ(FloatToString(3), "3");
}

TEST(ConversionsTest, StringToIntReadsTheLeadingDecimal) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {"  -7x", -7},
        {"+5", 5},
        {"12.9", 12},
        {"abc", 0},
        {"", 0},
        {"- 3", 0},
        {"\t\n8", 8},
        {"2147483647", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(ConversionsTest, HexStringToIntReadsTheLeadingHexadecimal) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"ff", 255}, {"0x1A", 26},   {"7F", 127},      {" 10g", 16},
        {"zz", 0},   {"", 0},        {"ffffffff", -1}, {"123456789", -1},
        {"-1", -1},  {"-0x10", -16}, {"0x", 0},        {"7fffffff", INT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexStringToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(ConversionsTest, StringToFloatReadsASinglePrecisionNumber) {
    EXPECT_EQ(StringToFloat("1.5"), 1.5f);
    EXPECT_EQ(StringToFloat(" 2.5e1xyz"), 25.0f);
    EXPECT_EQ(StringToFloat("0.1"), 0.1f);
    EXPECT_EQ(StringToFloat("abc"), 0.0f);
    EXPECT_EQ(StringToFloat(""), 0.0f);
}

TEST(ConversionsTest, HexBytesToTextKeepsPrintableBytesOnly) {
    EXPECT_EQ(HexBytesToText("41 42,0A\t7f"), "AB.\x7f");
    EXPECT_EQ(HexBytesToText("20 1f ff 100 zz"), " .\xff..");
    EXPECT_EQ(HexBytesToText(",, \r\n"), "");
}

// Runs each test in a fixed time zone with daylight saving (Central European rules),
// given inline so no zone database is needed.
class ParseDateTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* zone = getenv("TZ"))
            savedZone_ = zone;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (savedZone_) {
            setenv("TZ", savedZone_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> savedZone_;
};

TEST_F(ParseDateTest, ReadsLocalTimeWithTheYearCountedFrom2000) {
    // 2003-12-31 23:59:58 in winter time is 22:59:58 UTC.
    EXPECT_EQ(ParseDate("12/31/03 23:59:58"), 1072911598);
    EXPECT_EQ(ParseDate("1/1/04 0:0:0") - ParseDate("12/31/03 23:59:58"), 2);
}

TEST_F(ParseDateTest, SummerDatesGetDaylightSaving) {
    // 2025-07-01 12:00 in summer time is 10:00 UTC.
    EXPECT_EQ(ParseDate("7/1/25 12:00:00"), 1751364000);
}

TEST_F(ParseDateTest, MissingTimeIsMidnightAndMissingDateIsAnError) {
    // 2003-12-31 00:00 winter time is 2003-12-30 23:00 UTC.
    EXPECT_EQ(ParseDate("12/31/03"), 1072825200);
    EXPECT_EQ(ParseDate("12/31/03 23"), 1072825200 + 23 * 3600);
    EXPECT_EQ(ParseDate("12/31"), -1);
    EXPECT_EQ(ParseDate("yesterday"), -1);
    EXPECT_EQ(ParseDate(""), -1);
}

TEST_F(ParseDateTest, HugeNumbersDoNotOverflow) {
    // The arithmetic stays defined (the undefined-behaviour sanitizer build checks
    // that); every build checks that such a date, whose year no calendar time can
    // hold, gives -1.
    EXPECT_EQ(ParseDate("2147483647/2147483647/2147483647 2147483647:2147483647:2147483647"), -1);
    EXPECT_EQ(ParseDate("-2147483648/-2147483648/-2147483648 -1:-1:-1"), -1);
}
