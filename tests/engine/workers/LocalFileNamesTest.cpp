// The local names of downloaded files: one path element, always inside the folder.
#include "engine/workers/LocalFileNames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    std::string input;
    std::string expected;
};

TEST(LocalFileNamesTest, SafeFileNameReplacesWhatANameCannotHoldAndRefusesDotNames) {
    const NameCase cases[] = {
        {"pic", "pic"},
        {"a b.c", "a b.c"},
        {"../../x", "..-..-x"},
        {"..\\..\\x", "..-..-x"},
        {"c:evil", "c_evil"},
        {"a?b*c|d\"e<f>g", "a_b_c_d_e_f_g"},
        {std::string("a\0b", 3), "a_b"},
        {"tab\there\x1F\x7F", "tab_here__"},
        {"", ""},
        {".", ""},
        {"..", ""},
        {"...", "..."},
        {".hidden", ".hidden"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(SafeFileName(c.input), c.expected) << c.input;
}

TEST(LocalFileNamesTest, ExtensionComesFromTheLastPathElementOnly) {
    const NameCase cases[] = {
        {"http://h.x/a/pic.jpg", "jpg"},
        {"http://h.x/a/pic.JPEG", "JPEG"},
        {"http://h.x/a/pic.tar.gz", "gz"},
        {"http://h.x/a/pic.gif?size=2.5", "gif"},
        {"http://h.x/a/pic.png#part.1", "png"},
        {"http://h.x/a/pic.png?x=1#y.z", "png"},
        {"http://h.x/a.b/img", ""},
        {"http://h.x/img", ""},
        {"http://h.x", ""},
        {"http://h.x:8080", ""},
        {"http://h.x/", ""},
        {"http://h.x/show.php?file=a.jpg", "php"},
        {"http://h.x/a.jp:g", "jp_g"},
        {"http://h.x/pic.", ""},
        {"http://h.x/my%20pic.p%6Eg", "png"},
        {"http://h.x/a.b%2Fc", ""},
        {"file:///c:/store/pic.bmp", "bmp"},
        {"pic.jpg", "jpg"},
        {"", ""},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(UrlFileExtension(c.input), c.expected) << c.input;
}

TEST(LocalFileNamesTest, DerivedNamesAreFlatAndSafe) {
    const NameCase cases[] = {
        {"http://h.x/a/b.jpg?x=1", "-h_x-a-b_jpg"},
        {"http://h.x:8080/a/b.jpg", "-h_x_8080-a-b_jpg"},
        {"http://h.x/a/b.jpg#frag", "-h_x-a-b_jpg"},
        {"http://h.x/a%2F..%2Fb", "-h_x-a-__-b"},
        {"http://h.x/my%20pic.png?x=%2F", "-h_x-my pic_png"},
        {"http://h.x/a%3Fb.png", "-h_x-a_b_png"},
        {"http://h.x/a\"<b>", "-h_x-a__b_"},
        {"nothing", ""},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(DerivedFileName(c.input), c.expected) << c.input;
}

TEST(LocalFileNamesTest, DownloadFileNameIsTheUnescapedLastElement) {
    const NameCase cases[] = {
        {"http://h.x/music/song%20one.mp3", "song one.mp3"},
        {"http://h.x/music/..%2F..%2Fx.mp3", "x.mp3"},
        {"http://h.x/music/..%5C..%5Cx.mp3", "x.mp3"},
        {"http://h.x/music/a%2Fb%5Cc.mp3", "c.mp3"},
        {"http://h.x/music/%2e%2e", ""},
        {"http://h.x/music/%2E", ""},
        {"http://h.x/music/a%00b.mp3", "a"},
        {"http://h.x/music/a%3Ab.mp3", "a_b.mp3"},
        {"http://h.x/music/a%01b%1F.mp3", "a_b_.mp3"},
        {"http://h.x/music/x.mp3?name=../../y.mp3", "x.mp3"},
        {"http://h.x/music/x.mp3#../../y.mp3", "x.mp3"},
        {"http://h.x/music/what%3F.mp3", "what_.mp3"},
        {"http://h.x/music/", ""},
        {"", ""},
        // A site never chooses a hidden name.
        {"http://h.x/x/.bashrc?.mp3", "bashrc"},
        {"http://h.x/x/.hidden.mp3", "hidden.mp3"},
        {"http://h.x/x/...mp3", "mp3"},
        {"http://h.x/x/%2E%2Eprofile.mp3", "profile.mp3"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(DownloadFileName(c.input), c.expected) << c.input;
}

TEST(LocalFileNamesTest, PictureNamesKeepNoLeadingDot) {
    const NameCase cases[] = {
        {"http://h.x/a/my%20pic.png", "my pic"}, {"http://h.x/a/.htaccess.png", "htaccess"},
        {"http://h.x/a/.png", "image"},          {"http://h.x/a/..x.y.png", "x.y"},
        {"http://h.x/a/.bashrc?.png", "image"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(LocalBaseName(c.input), c.expected) << c.input;
}

TEST(LocalFileNamesTest, NumberedNamesKeepTheExtension) {
    struct Case {
        const char* name;
        int n;
        const char* expected;
    };
    const Case cases[] = {
        {"song.mp3", 1, "song.mp3"},
        {"song.mp3", 2, "song-2.mp3"},
        {"a.b.mp3", 3, "a.b-3.mp3"},
        {"noext", 2, "noext-2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NumberedFileName(c.name, c.n), c.expected) << c.name << " " << c.n;
}

}  // namespace
