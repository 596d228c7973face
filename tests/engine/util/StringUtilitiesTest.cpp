#include "engine/util/StringUtilities.h"

#include <gtest/gtest.h>

TEST(StringUtilitiesTest, StringMatchWholeOrContainedWithOrWithoutCase) {
    const struct {
        const char* text;
        const char* pattern;
        bool ignoreCase;
        bool substring;
        bool match;
    } cases[] = {
        {"Depth", "depth", true, false, true},
        {"Depth", "depth", false, false, false},
        {"Depth", "Depth", false, false, true},
        {"page.html", ".htm", false, true, true},
        {"PAGE.HTML", ".htm", true, true, true},
        {"PAGE.HTML", ".htm", false, true, false},
        {"page", "page.html", true, true, false},
        {"abc", "", false, true, true},
        {"", "", true, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StringMatch(c.text, c.pattern, c.ignoreCase, c.substring), c.match)
            << c.text << " / " << c.pattern << " ignoreCase " << c.ignoreCase << " substring "
            << c.substring;
    }
}

TEST(StringUtilitiesTest, TrimAndTabs) {
    EXPECT_EQ(TrimString(" \t\r\n a b \v\f"), "a b");
    EXPECT_EQ(TrimString("   "), "");
    EXPECT_EQ(TrimString(""), "");
    EXPECT_EQ(TrimString("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");
    std::string text = "\ta\t\tb";
    TabsToBlanks(text);
    EXPECT_EQ(text, " a  b");
}

TEST(StringUtilitiesTest, LastIndexOfStopsAtAHitOnPositionZero) {
    const struct {
        const char* text;
        const char* piece;
        int position;
    } cases[] = {
        {"abcabc", "bc", 4}, {"abab", "ab", 0}, {"xabab", "ab", 3}, {"abc", "x", -1},
        {"ab", "abc", -1},   {"", "a", -1},     {"baaa", "aa", 2},  {"abc", "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LastIndexOf(c.text, c.piece), c.position) << c.text << " / " << c.piece;
    }
}

TEST(StringUtilitiesTest, Cuts) {
    EXPECT_EQ(TruncateAt("site.com?x.y", "."), "site");
    EXPECT_EQ(TruncateAt("site", "?"), "site");
    EXPECT_EQ(TruncateAt("", "?"), "");
    EXPECT_EQ(TruncateAtLast("pic.tar.gz", '.'), "pic.tar");
    EXPECT_EQ(TruncateAtLast("pic", '.'), "pic");
    EXPECT_EQ(TruncateAtLast(".", '.'), "");
}

TEST(StringUtilitiesTest, StripFileNameFormsDifferOnSlashes) {
    const struct {
        const char* path;
        const char* backslashOnly;
        const char* anySeparator;
    } cases[] = {
        {"c:\\store\\pic.jpg", "c:\\store", "c:\\store"},
        {"c:\\a/b\\c/d", "c:\\a/b", "c:\\a/b"},
        {"http://h.x/dir/a.htm", "http://h.x/dir/a.htm", "http://h.x/dir"},
        {"pic.jpg", "pic.jpg", "pic.jpg"},
        {"\\", "", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StripFileName(c.path), c.backslashOnly) << c.path;
        EXPECT_EQ(StripFileNameAnySeparator(c.path), c.anySeparator) << c.path;
    }
}
