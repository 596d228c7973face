#include "engine/util/StringArrays.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(StringArraysTest, SplitTextCutsAtTheDelimitersOfEachMode) {
    const std::string text = "a b\tc\nd\re,f|g~h.i\\j"s + '\0' + "k";
    const struct {
        int mode;
        StringArray pieces;
    } cases[] = {
        {0, {"a", "b", "c", "d", "e", "f|g~h.i\\j"s + '\0' + "k"}},
        {1, {"a b", "c", "d", "e,f|g~h.i\\j"s + '\0' + "k"}},
        {2, {"a b\tc", "d", "e", "f|g~h.i\\j"s + '\0' + "k"}},
        {3, {"a b\tc", "d", "e,f|g~h.i\\j"s + '\0' + "k"}},
        {4, {"a b\tc", "d", "e,f", "g~h.i\\j"s + '\0' + "k"}},
        {5, {"a b\tc", "d", "e,f|g", "h.i\\j"s + '\0' + "k"}},
        {6, {"a b\tc\nd\re,f|g~h.i\\j", "k"}},
        // Host labels and path elements are Corvane's modes; here they split nothing.
        {7, {text}},
        {8, {text}},
        {-1, {text}},
    };
    for (const auto& c : cases) {
        StringArray pieces;
        SplitText(text, pieces, c.mode);
        EXPECT_EQ(pieces, c.pieces) << "mode " << c.mode;
    }
}

TEST(StringArraysTest, SplitTextDropsEmptyPiecesAndAppends) {
    StringArray pieces{"kept"};
    SplitText(",,a,,b,,", pieces, 2);
    EXPECT_EQ(pieces, (StringArray{"kept", "a", "b"}));

    StringArray words;
    SplitText("two words", words, 2);
    EXPECT_EQ(words, StringArray{"two words"});
    words.clear();
    SplitText("two words", words, 0);
    EXPECT_EQ(words, (StringArray{"two", "words"}));

    StringArray none;
    SplitText("", none, 0);
    SplitText("\r\n\r\n", none, 3);
    EXPECT_TRUE(none.empty());
}

TEST(StringArraysTest, BytesAbove127AreNeverDelimiters) {
    StringArray pieces;
    SplitText("\xE2\x80\xA8x\xC2\xA0y", pieces, 0);
    EXPECT_EQ(pieces, StringArray{"\xE2\x80\xA8x\xC2\xA0y"});
}

TEST(StringArraysTest, Joins) {
    const StringArray items{"a", "", "b c"};
    EXPECT_EQ(JoinWithCommas(items), "a,,b c");
    EXPECT_EQ(JoinWithTabs(items), "a\t\tb c");
    EXPECT_EQ(JoinWithBars(items), "a||b c");
    EXPECT_EQ(JoinWithCommas({}), "");
    EXPECT_EQ(JoinWithBars({"x"}), "x");
}

TEST(StringArraysTest, SearchesIgnoreCase) {
    const StringArray items{"http://H.x/a.htm", "Page.HTML", "other"};
    EXPECT_TRUE(ArrayContains(items, "page.html"));
    EXPECT_FALSE(ArrayContains(items, "page"));
    EXPECT_FALSE(ArrayContains({}, ""));
    EXPECT_EQ(FindContaining(items, ".HTM"), "http://H.x/a.htm");
    EXPECT_EQ(FindContaining(items, "zzz"), "");
    EXPECT_EQ(FindContaining({}, ""), "");
}
