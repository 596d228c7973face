#include "platform/com/Guid.h"

#include <gtest/gtest.h>

#include <set>

TEST(GuidTest, CoCreateGuidGivesDistinctVersion4Guids) {
    std::set<GUID> seen;
    for (int i = 0; i < 500; ++i) {
        GUID guid;
        ASSERT_EQ(CoCreateGuid(&guid), S_OK);
        EXPECT_EQ(guid.Data3 >> 12, 4);
        EXPECT_EQ(guid.Data4[0] & 0xC0, 0x80);
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 500u);
    EXPECT_EQ(CoCreateGuid(nullptr), E_POINTER);
}

TEST(GuidTest, RegistryFormRoundTrip) {
    const GUID guid = {
        0xDEADBEEF, 0x0102, 0xA0B0, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}};
    const std::string text = GuidToString(guid);
    EXPECT_EQ(text, "{DEADBEEF-0102-A0B0-0011-223344556677}");
    CLSID parsed = GUID_NULL;
    EXPECT_EQ(CLSIDFromString(text, &parsed), S_OK);
    EXPECT_EQ(parsed, guid);
    EXPECT_EQ(CLSIDFromString("{deadbeef-0102-a0b0-0011-223344556677}", &parsed), S_OK);
    EXPECT_EQ(parsed, guid);
    EXPECT_EQ(GuidToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
}

TEST(GuidTest, MalformedTextGivesGuidNull) {
    const char* const texts[] = {
        "",
        "{DEADBEEF-0102-A0B0-0011-223344556677",
        "DEADBEEF-0102-A0B0-0011-223344556677",
        "{DEADBEEF-0102-A0B0-0011-22334455667}",
        "{DEADBEEF-0102-A0B0-0011-2233445566777}",
        "{DEADBEEF+0102-A0B0-0011-223344556677}",
        "{DEADBEEG-0102-A0B0-0011-223344556677}",
        "{ DEADBEEF-0102-A0B0-0011-22334455667}",
        "{DEADBEEF-0102-A0B0-00110-22334455667}",
    };
    for (const char* text : texts) {
        CLSID parsed = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
        EXPECT_EQ(CLSIDFromString(text, &parsed), CO_E_CLASSSTRING) << text;
        EXPECT_EQ(parsed, GUID_NULL) << text;
    }
    EXPECT_EQ(CLSIDFromString("{DEADBEEF-0102-A0B0-0011-223344556677}", nullptr), E_INVALIDARG);
}

TEST(GuidTest, OrderIsFieldByField) {
    const GUID a = {1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 9}};
    const GUID b = {1, 0, 0, {0, 0, 0, 0, 0, 0, 1, 0}};
    const GUID c = {2, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_NE(a, b);
}
