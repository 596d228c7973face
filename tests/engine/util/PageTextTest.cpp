#include "engine/util/PageText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PageTextTest, OrdinaryValuesStayAsTheyAre) {
    for (const char* plain : {"http://h.x/dir/a.jpg", "images\\a.jpg", "c:\\store\\track%2001.mp3",
                              "a@b.c", "name_1-2", "\xC3\xA9t\xC3\xA9.jpg"}) {
        SCOPED_TRACE(plain);
        EXPECT_EQ(EscapeHtml(plain), plain);
        EXPECT_EQ(EncodeUrlForAttribute(plain), plain);
        EXPECT_FALSE(IsScriptUrl(plain));
    }
    EXPECT_EQ(EncodeUrlForScriptString("http://h.x/a.jpg?x=1&y=2"), "http://h.x/a.jpg?x=1&y=2");
}

TEST(PageTextTest, EscapingPerPlace) {
    EXPECT_EQ(EscapeHtml("<a href=\"x\">&amp;'"), "&lt;a href=&quot;x&quot;&gt;&amp;amp;'");
    EXPECT_EQ(EncodeUrlForAttribute("a b\"c'd<e>f`g&h\ti\x7F"),
              "a%20b%22c%27d%3Ce%3Ef%60g&amp;h%09i%7F");
    EXPECT_EQ(EncodeUrlForScriptString("c:\\a b\\x'y\".jpg</script>&"),
              "c:\\\\a%20b\\\\x%27y%22.jpg%3C/script%3E&");
}

TEST(PageTextTest, ScriptUrlsAsABrowserReadsThem) {
    for (const char* script : {"javascript:alert(1)", "JavaScript:x", "  javascript:x",
                               "\x01\x1Fjavascript:x", "java\tscr\nipt:x", "VBScript:msgbox(1)"}) {
        EXPECT_TRUE(IsScriptUrl(script)) << script;
    }
    for (const char* other : {"", "javascript", "javascripts:x", "java script:x",
                              "http://h.x/javascript:", "%6Aavascript:x", "mailto:javascript:x"}) {
        EXPECT_FALSE(IsScriptUrl(other)) << other;
    }
}

}  // namespace
