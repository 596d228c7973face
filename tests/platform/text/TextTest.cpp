#include "platform/text/Text.h"

#include <gtest/gtest.h>

TEST(TextTest, CaseFoldingIsAsciiOnly) {
    EXPECT_EQ(ToLowerAscii("AbC-\xC3\x84"), "abc-\xC3\x84");
    EXPECT_TRUE(EqualsNoCase("Depth", "dEPTH"));
    EXPECT_FALSE(EqualsNoCase("\xC3\x84", "\xC3\xA4"));
    EXPECT_LT(CompareNoCase("a", "B"), 0);
    EXPECT_GT(CompareNoCase("ab", "A"), 0);
    EXPECT_TRUE(ContainsNoCase("page.HTML", ".htm"));
    EXPECT_FALSE(ContainsNoCase("pa", "page"));
}

TEST(TextTest, ReplaceAllAndFormat) {
    EXPECT_EQ(ReplaceAll("a\\b\\c", "\\", "/"), "a/b/c");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(FormatText("%d) %s", 3, "x"), "3) x");
    EXPECT_EQ(FormatText("%s", std::string(5000, 'y').c_str()).size(), 5000u);
}

TEST(TextTest, Utf16RoundTripAndMalformedBytes) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf8ToUtf16(text).size(), 5u);
    EXPECT_EQ(Utf8ToUtf16("\xFF"
                          "a"),
              std::u16string(u"\uFFFDa"));
}

TEST(TextTest, CrLfWriterEndsLinesWithCrLf) {
    CrLfWriter w;
    w.Text("<p>").Line("x").Line();
    EXPECT_EQ(w.str(), "<p>x\r\n\r\n");
}
