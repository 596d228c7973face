#include "engine/util/PathHelpers.h"

#include <gtest/gtest.h>

#include <string>

TEST(PathHelpersTest, FileNameFromUrl) {
    const struct {
        std::string url;
        bool skipFirstPart;
        std::string name;
    } cases[] = {
        {"http://h.x/a/b.jpg?x=1", false, "--h_x-a-b_jpg"},
        {"http://h.x/a/b.jpg?x=1", true, "-h_x-a-b_jpg"},
        {"http://u@h.x/%20a&b*c|d.gif", false, "--uh_x-20abcd_gif"},
        {"c:\\dir\\Pic.JPG", false, "-dir-Pic_JPG"},
        {"a.b/c.d", true, "c_d"},
        {"pic.jpg", true, ""},
        {"http://h.x/" + std::string(300, 'a'), false, "--h_x-" + std::string(94, 'a')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameFromUrl(c.url, c.skipFirstPart), c.name) << c.url;
    }
}

TEST(PathHelpersTest, FileExtensionIsTheTailAfterTheLastDot) {
    EXPECT_EQ(FileExtension("c:\\dir.v2\\file"), "v2\\file");
    EXPECT_EQ(FileExtension("pic.tar.gz"), "gz");
    EXPECT_EQ(FileExtension("pic"), "");
    EXPECT_EQ(FileExtension("pic."), "");
}

TEST(PathHelpersTest, EnsureTrailingBackslash) {
    EXPECT_EQ(EnsureTrailingBackslash("c:\\a"), "c:\\a\\");
    EXPECT_EQ(EnsureTrailingBackslash("c:\\a\\"), "c:\\a\\");
    EXPECT_EQ(EnsureTrailingBackslash("c:/a/"), "c:/a/\\");
    EXPECT_EQ(EnsureTrailingBackslash(""), "");
}

TEST(PathHelpersTest, JoinPath) {
    const struct {
        const char* folder;
        const char* name;
        const char* extension;
        const char* path;
    } cases[] = {
        {"c:\\store", "pic", "jpg", "c:\\store\\pic.jpg"},
        {"c:\\store", "pic.gif", "jpg", "c:\\store\\pic.gif"},
        {"c:\\store\\", "pic", ".jpg", "c:\\store\\pic.jpg"},
        {"c:\\store", "pic", "", "c:\\store\\pic"},
        {"", "pic", "jpg", "pic.jpg"},
        {"c:\\store", "", "", "c:\\store\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinPath(c.folder, c.name, c.extension), c.path)
            << c.folder << " + " << c.name << " + " << c.extension;
    }
    EXPECT_EQ(JoinPath("c:\\store", "*.*"), "c:\\store\\*.*");
}

TEST(PathHelpersTest, EnsureExtensionLooksAnywhereIgnoringCase) {
    EXPECT_EQ(EnsureExtension("a\\page", "htm"), "a\\page.htm");
    EXPECT_EQ(EnsureExtension("a\\PAGE.HTM", "htm"), "a\\PAGE.HTM");
    EXPECT_EQ(EnsureExtension("a\\page.html", "htm"), "a\\page.html");
    EXPECT_EQ(EnsureExtension("a.htm\\page", "htm"), "a.htm\\page");
    EXPECT_EQ(EnsureExtension("page.txt", "htm"), "page.txt.htm");
}

TEST(PathHelpersTest, StripQueryAndFileNameOfPath) {
    EXPECT_EQ(StripQuery("a?b?c"), "a?b");
    EXPECT_EQ(StripQuery("abc"), "abc");
    EXPECT_EQ(FileNameOfPath("c:\\a/b\\c.jpg"), "c.jpg");
    EXPECT_EQ(FileNameOfPath("c:\\a\\b/c"), "b/c");  // a backslash wins over later slashes
    EXPECT_EQ(FileNameOfPath("http://h/a/b.htm"), "b.htm");
    EXPECT_EQ(FileNameOfPath("name"), "name");
    EXPECT_EQ(FileNameOfPath("dir\\"), "");
}
