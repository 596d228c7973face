#include "engine/util/Guids.h"

#include <gtest/gtest.h>

#include <set>

namespace {

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

}  // namespace

TEST(GuidsTest, NewGuidStringIsARandomVersion4GuidInRegistryForm) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const std::string text = NewGuidString();
        ASSERT_EQ(text.size(), 38u) << text;
        EXPECT_EQ(text.front(), '{');
        EXPECT_EQ(text.back(), '}');
        for (size_t k = 1; k < 37; ++k) {
            if (k == 9 || k == 14 || k == 19 || k == 24) {
                EXPECT_EQ(text[k], '-') << text;
            } else {
                EXPECT_TRUE(IsUpperHex(text[k])) << text;
            }
        }
        EXPECT_EQ(text[15], '4') << text;
        EXPECT_NE(std::string("89AB").find(text[20]), std::string::npos) << text;
        seen.insert(text);
        EXPECT_EQ(StringToClsid(text), StringToClsid(ClsidToString(StringToClsid(text))));
    }
    EXPECT_EQ(seen.size(), 200u);
}

TEST(GuidsTest, NewGuidNameIs32HexDigits) {
    for (int i = 0; i < 20; ++i) {
        const std::string name = NewGuidName();
        ASSERT_EQ(name.size(), 32u) << name;
        for (char c : name)
            EXPECT_TRUE(IsUpperHex(c)) << name;
    }
    EXPECT_NE(NewGuidName(), NewGuidName());
}

TEST(GuidsTest, ClsidTextRoundTrip) {
    const CLSID clsid = {
        0x0123ABCD, 0x4567, 0x89EF, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};
    EXPECT_EQ(ClsidToString(clsid), "{0123ABCD-4567-89EF-FEDC-BA9876543210}");
    EXPECT_EQ(StringToClsid("{0123abcd-4567-89ef-fedc-ba9876543210}"), clsid);
    EXPECT_EQ(StringToClsid("0123ABCD-4567-89EF-FEDC-BA9876543210"), GUID_NULL);
    EXPECT_EQ(StringToClsid(""), GUID_NULL);
}
