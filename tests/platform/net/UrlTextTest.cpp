#include "platform/net/UrlText.h"

#include <gtest/gtest.h>

TEST(UrlTextTest, PathIsUrlWantsASchemeOfTwoOrMoreCharacters) {
    struct Case {
        const char* text;
        bool url;
    } cases[] = {
        {"http://x", true},
        {"HTTPS://x/a.htm", true},
        {"mailto:x", true},
        {"file:///x", true},
        {"javascript:x", true},
        {"news:comp.lang", true},
        {"ms-its:a.chm", true},
        {"svn+ssh:x", true},
        {"ab:", true},
        {"page.htm", false},
        {"c:\\x", false},
        {"C:/x", false},
        {"", false},
        {":x", false},
        {"1http://x", false},
        {" http://x", false},
        {"http", false},
        {"dir/a:b", false},
        {"ht tp://x", false},
        {"#/panel/extract", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathIsURL(c.text) != FALSE, c.url) << c.text;
}

TEST(UrlTextTest, UnescapeDecodesEscapesAndKeepsMalformedOnes) {
    struct Case {
        const char* text;
        std::string plain;
    } cases[] = {
        {"song%20one.mp3", "song one.mp3"},
        {"%41%4a%4A", "AJJ"},
        {"a+b", "a+b"},
        {"%", "%"},
        {"100%", "100%"},
        {"%4", "%4"},
        {"%zz%4g", "%zz%4g"},
        {"%%41", "%A"},
        {"%2541", "%41"},
        {"x%00y", std::string("x\0y", 3)},
        {"%C3%A4%e2%82%ac", "\xC3\xA4\xE2\x82\xAC"},
        {"http://h/a%20b?q=%26#%23", "http://h/a b?q=&##"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UrlUnescape(c.text), c.plain) << c.text;
}

TEST(UrlTextTest, UnescapeHasNoLengthLimit) {
    std::string escaped, plain;
    for (int i = 0; i < 3000; ++i) {
        escaped += "%41b%";
        plain += "Ab%";
    }
    EXPECT_EQ(UrlUnescape(escaped), plain);
    EXPECT_EQ(UrlUnescape(std::string(100000, 'x')).size(), 100000u);
}
