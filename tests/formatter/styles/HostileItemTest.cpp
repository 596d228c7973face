// Items, names and comments come from web pages: none of them may add markup or
// script to a generated page, or become a script link.
#include <gtest/gtest.h>

#include <string>

#include "formatter/styles/PageStyles.h"
#include "tests/formatter/styles/PageTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

class HostileItemTest : public ::testing::Test {
protected:
    std::string Save(const std::string& style, const StringArray& images,
                     const StringArray& comments = {}, const StringArray& names = {},
                     const std::string& title = "All") {
        const std::string path = folder_ + "/page" + std::to_string(++count_) + ".htm";
        EXPECT_TRUE(SavePageInStyle(images, comments, names, title, style, path, {}));
        return FileText(path);
    }

    std::string folder_ = MakeTestFolder("hostile");
    int count_ = 0;
};

bool Holds(const std::string& page, const std::string& piece) {
    return page.find(piece) != std::string::npos;
}

TEST_F(HostileItemTest, ImageAttributesCannotBeBrokenOutOf) {
    const std::string page =
        Save("All", {"x.jpg\" onerror=\"alert(1)"}, {}, {"<b>\"n\"&"}, "</title><script>");
    EXPECT_TRUE(Holds(page, "<title>&lt;/title&gt;&lt;script&gt;</title>"));
    EXPECT_TRUE(Holds(page,
                      "<img border=\"0\" src=\"x.jpg%22%20onerror=%22alert(1)\" "
                      "name=\"&lt;b&gt;&quot;n&quot;&amp;\" \\>\r\n"));
}

TEST_F(HostileItemTest, UnquotedHrefsEndAtTheirTag) {
    const std::string page = Save("All", {"a.jpg"}, {"http://h.x/a b>c<d'e"});
    EXPECT_TRUE(
        Holds(page, "<a href=http://h.x/a%20b%3Ec%3Cd%27e><img border=\"0\" src=\"a.jpg\""));
    const std::string files = Save("File", {"http://h.x/r e.zip?a=1&b=<2>"});
    EXPECT_TRUE(Holds(files,
                      "<a href=http://h.x/r%20e.zip?a=1&amp;b=%3C2%3E>"
                      "http://h.x/r e.zip?a=1&amp;b=&lt;2&gt;</a><br>"));
}

TEST_F(HostileItemTest, ScriptAddressesNeverBecomeLinks) {
    // All: the image stands without its link.
    const std::string all =
        Save("All", {"a.jpg", "b.jpg"}, {" JavaScript:alert(1)", "java\tscript:x"});
    EXPECT_FALSE(Holds(all, "<a "));
    EXPECT_TRUE(Holds(all,
                      "<img border=\"0\" src=\"a.jpg\" name=\"\" \\>\r\n"
                      "<img border=\"0\" src=\"b.jpg\" name=\"\" \\>\r\n"));
    // File and MP3: the text stands without a link.
    const std::string files = Save("File", {"javascript:alert(document.cookie)"});
    EXPECT_TRUE(Holds(files, "<hr><br>javascript:alert(document.cookie)<br></td>"));
    EXPECT_FALSE(Holds(files, "href=javascript"));
    const std::string mp3 = Save("MP3", {"vbscript:msgbox(1)/x.mp3"});
    EXPECT_TRUE(Holds(mp3, "<td nowrap='true'>x.mp3<br></td>"));
    // A character reference cannot spell the scheme once the href is written.
    const std::string encoded = Save("File", {"&#106;avascript:alert(1)"});
    EXPECT_TRUE(Holds(encoded, "<a href=&amp;#106;avascript:alert(1)>"));
    // E-mail links always carry "mailto:" in front.
    const std::string mails = Save("Email", {"mailto:javascript:alert(1)"});
    EXPECT_TRUE(Holds(mails, "<a href=mailto:javascript:alert(1)>javascript:alert(1)</a><br>"));
}

TEST_F(HostileItemTest, UnescapedMp3NamesAreEscapedAsText) {
    const std::string page = Save("MP3", {"http://h.x/%3Cscript%3Ealert(1)%3C%2Fscript%3E.mp3"});
    EXPECT_TRUE(Holds(page,
                      "<a href=http://h.x/%3Cscript%3Ealert(1)%3C%2Fscript%3E.mp3>"
                      "&lt;script&gt;alert(1)&lt;/script&gt;.mp3</a><br>"));
}

TEST_F(HostileItemTest, CommentsAndAddressesAreText) {
    const std::string data = Save("Data", {"a.jpg"}, {"<script>alert(1)</script>"});
    EXPECT_TRUE(Holds(data, "\\>\r\n&lt;script&gt;alert(1)&lt;/script&gt;\r\n</p>"));
    const std::string mails = Save("Email", {"mailto:a@b.c><script>x</script>"});
    EXPECT_TRUE(Holds(mails,
                      "<a href=mailto:a@b.c%3E%3Cscript%3Ex%3C/script%3E>"
                      "a@b.c&gt;&lt;script&gt;x&lt;/script&gt;</a><br>"));
}

TEST_F(HostileItemTest, SlideShowAddressesStayInsideTheirScriptString) {
    const std::string page = Save("SlideShow", {"a.jpg');alert('x", "</script><b>\\x.jpg"});
    EXPECT_TRUE(
        Holds(page, "   theimages[imageStart+imageCnt]=newImage('a.jpg%27);alert(%27x');\r\n"));
    EXPECT_TRUE(Holds(
        page, "   theimages[imageStart+imageCnt]=newImage('%3C/script%3E%3Cb%3E/x.jpg');\r\n"));
    EXPECT_EQ(page.find("</script>"), page.rfind("</script>"));
}

}  // namespace
