#include "platform/com/Bstr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

DWORD LengthPrefix(BSTR text) {
    DWORD bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof(DWORD), sizeof bytes);
    return bytes;
}

}  // namespace

TEST(BstrTest, AllocationKeepsTheLengthPrefixAndATerminatingNul) {
    BSTR text = SysAllocString(u"ab\u00E9");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(LengthPrefix(text), 6u);
    EXPECT_EQ(text[3], u'\0');
    EXPECT_EQ(std::u16string(text), u"ab\u00E9");
    SysFreeString(text);

    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    EXPECT_EQ(empty[0], u'\0');
    SysFreeString(empty);
}

TEST(BstrTest, NullTextsAreEmptyEverywhere) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(BstrToUtf8(nullptr), "");

    BSTR zeroed = SysAllocStringLen(nullptr, 4);
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(SysStringLen(zeroed), 4u);
    EXPECT_EQ(std::u16string(zeroed, 5), std::u16string(5, u'\0'));
    SysFreeString(zeroed);
}

TEST(BstrTest, TheLengthNotTheNulEndsTheText) {
    const char16_t source[] = {u'a', u'\0', u'b', u'\0', u'c'};
    BSTR text = SysAllocStringLen(source, 5);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 5u);
    EXPECT_EQ(BstrToUtf8(text), std::string("a\0b\0c", 5));
    SysFreeString(text);

    BSTR back = Utf8ToBstr(std::string("x\0y", 3));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(SysStringLen(back), 3u);
    EXPECT_EQ(back[1], u'\0');
    SysFreeString(back);
}

TEST(BstrTest, ConversionsRoundTripNonAsciiText) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"", u""},
        {"plain", u"plain"},
        {"caf\xC3\xA9", u"caf\u00E9"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", u"\u65E5\u672C"},
        {"\xF0\x9F\x98\x80!", u"\U0001F600!"},  // a surrogate pair
    };
    for (const Case& c : cases) {
        BSTR text = Utf8ToBstr(c.utf8);
        ASSERT_NE(text, nullptr) << c.utf8;
        EXPECT_EQ(std::u16string(text, SysStringLen(text)), c.utf16) << c.utf8;
        EXPECT_EQ(BstrToUtf8(text), c.utf8);
        SysFreeString(text);
    }
}

TEST(BstrTest, MalformedTextBecomesReplacementCharacters) {
    BSTR text = Utf8ToBstr(
        "a\xFF"
        "b\xC3");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, SysStringLen(text)), u"a\uFFFDb\uFFFD");
    SysFreeString(text);

    const char16_t lone[] = {u'x', 0xD800, u'y'};
    BSTR unpaired = SysAllocStringLen(lone, 3);
    EXPECT_EQ(BstrToUtf8(unpaired), "x\xEF\xBF\xBDy");
    SysFreeString(unpaired);
}

TEST(BstrTest, ScopedBstrOwnsWhatItReceives) {
    ScopedBstr text("first");
    EXPECT_EQ(text.utf8(), "first");
    BSTR* slot = text.receive();  // frees "first"
    EXPECT_EQ(*slot, nullptr);
    *slot = Utf8ToBstr("second");
    ScopedBstr moved(std::move(text));
    EXPECT_EQ(text.get(), nullptr);
    EXPECT_EQ(moved.utf8(), "second");
}
