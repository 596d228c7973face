#include "formatter/styles/PageStyles.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/formatter/styles/PageTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

struct GoldenCase {
    std::string label;
    std::string style;
    StringArray images;
    StringArray comments;
    StringArray names;
    std::string title;
    PageSize size;
    std::string golden;           // under tests/fixtures/formatter
    std::string goldenText = "";  // the ".txt" file beside the page, "" when none is written
};

const StringArray kGalleryImages = {"thumbs\\a.jpg", "http://h.x/b-small.gif", "thumbs\\c.png"};
const StringArray kGalleryLinks = {"images\\a.jpg", "http://h.x/b.gif"};
const StringArray kGalleryNames = {"first", "second", "third"};
const StringArray kFileItems = {"mailto:a@b.c",  "http://h.x/archive.zip", "http://h.x/pic.JPG",
                                "MAILTO:up@c.d", "http://h.x/photo.jpeg",  "mailto:e@f.g",
                                "mailto:h@i.j"};

void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << c.label;
}

class SavePageInStyleGoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(SavePageInStyleGoldenTest, WritesTheGoldenPage) {
    const GoldenCase& c = GetParam();
    const std::string path = MakeTestFolder("golden") + "/page.htm";
    ASSERT_TRUE(SavePageInStyle(c.images, c.comments, c.names, c.title, c.style, path, c.size));
    EXPECT_EQ(FileText(path), GoldenPage(c.golden));
    if (c.goldenText.empty()) {
        EXPECT_FALSE(FileIsReadable(path + ".txt"));
    } else {
        EXPECT_EQ(FileText(path + ".txt"), GoldenPage(c.goldenText));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, SavePageInStyleGoldenTest,
    ::testing::Values(
        // Links wrap the first two images; the third has no link.
        GoldenCase{
            "All", "All", kGalleryImages, kGalleryLinks, kGalleryNames, "All", {}, "all.htm"},
        GoldenCase{"ZoomIsAll",
                   "Zoom",
                   kGalleryImages,
                   kGalleryLinks,
                   kGalleryNames,
                   "All",
                   {},
                   "all.htm"},
        // A height drops every link.
        GoldenCase{"AllWithHeight",
                   "All",
                   kGalleryImages,
                   kGalleryLinks,
                   kGalleryNames,
                   "All",
                   {300, 120},
                   "allHeight.htm"},
        // No links even with comments; a names list one short is ignored whole.
        GoldenCase{"Thumbs",
                   "thumbs",
                   {"thumbs\\a.jpg", "thumbs\\b.jpg"},
                   {"images\\a.jpg", "images\\b.jpg"},
                   {"only one"},
                   "Gallery",
                   {},
                   "thumbs.htm"},
        GoldenCase{"Data",
                   "DATA",
                   {"images\\a.jpg", "images\\b.jpg"},
                   {"A sunset"},
                   {},
                   "All",
                   {},
                   "data.htm"},
        // Display names are unescaped; hrefs keep their escapes.
        GoldenCase{
            "Mp3",
            "mp3",
            {"http://h.x/music/My%20Song.mp3", "c:\\store\\mp3s\\track%2001.mp3", "song.mp3"},
            {},
            {},
            "All",
            {},
            "mp3.htm"},
        // Only the exact lower-case prefix is removed.
        GoldenCase{"Email",
                   "Email",
                   {"mailto:a@b.c", "x@y.z", "MAILTO:Up@Case.com"},
                   {},
                   {},
                   "All",
                   {},
                   "email.htm"},
        // Four addresses in columns of two, the ".jpeg" picture among the files, the
        // upper-case ".JPG" an image.
        GoldenCase{"File", "File", kFileItems, {}, {}, "All", {}, "file.htm", "file.htm.txt"},
        // Backslashes of local paths become slashes in the preload lines.
        GoldenCase{"SlideShow",
                   "SlideShow",
                   {"images\\a.jpg", "http://h.x/b.gif", "c:\\store\\images\\c.png"},
                   {},
                   {},
                   "All",
                   {},
                   "slideShow.htm"},
        GoldenCase{"AllEmpty", "All", {}, {"x"}, {}, "All", {}, "allEmpty.htm"},
        GoldenCase{"ThumbsEmpty", "Thumbs", {}, {}, {}, "All", {}, "allEmpty.htm"},
        GoldenCase{"ZoomEmpty", "Zoom", {}, {}, {}, "All", {0, 90}, "allEmpty.htm"},
        GoldenCase{"DataEmpty", "Data", {}, {}, {}, "All", {}, "dataEmpty.htm"},
        GoldenCase{"Mp3Empty", "MP3", {}, {}, {}, "All", {}, "mp3Empty.htm"},
        GoldenCase{"EmailEmpty", "Email", {}, {}, {}, "All", {}, "emailEmpty.htm"},
        GoldenCase{
            "FileEmpty", "file", {}, {}, {}, "All", {}, "fileEmpty.htm", "fileEmpty.htm.txt"},
        GoldenCase{"SlideShowEmpty", "slideshow", {}, {}, {}, "All", {}, "slideShowEmpty.htm"}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) { return info.param.label; });

class SavePageInStyleTest : public ::testing::Test {
protected:
    std::string Save(const std::string& style, const StringArray& images,
                     const StringArray& comments = {}, const StringArray& names = {},
                     PageSize size = {}, const std::string& title = "All") {
        const std::string path = folder_ + "/page" + std::to_string(++count_) + ".htm";
        EXPECT_TRUE(SavePageInStyle(images, comments, names, title, style, path, size));
        return FileText(path);
    }

    std::string folder_ = MakeTestFolder("styles");
    int count_ = 0;
};

TEST_F(SavePageInStyleTest, StylesThatWriteNothingLeaveTheFileCreatedAndEmpty) {
    for (const char* style : {"Tile", "TileMultipage", "multiview", "Gallery", "", "All "}) {
        SCOPED_TRACE(style);
        const std::string path = folder_ + "/old.htm";
        ASSERT_TRUE(WriteFileBytes(path, "an earlier page"));
        EXPECT_TRUE(SavePageInStyle({"a.jpg"}, {}, {}, "All", style, path, {}));
        EXPECT_EQ(FileText(path), "");
        EXPECT_FALSE(FileIsReadable(path + ".txt"));
    }
}

TEST_F(SavePageInStyleTest, TargetThatCannotBeCreatedWritesNothing) {
    const std::string path = folder_ + "/missing/page.htm";
    EXPECT_FALSE(SavePageInStyle({"mailto:a@b.c"}, {}, {}, "All", "File", path, {}));
    EXPECT_FALSE(FileIsReadable(path));
    EXPECT_FALSE(FileIsReadable(path + ".txt"));
    EXPECT_FALSE(FolderExists(folder_ + "/missing"));
}

TEST_F(SavePageInStyleTest, TextFileThatCannotBeWrittenLeavesThePageWritten) {
    const std::string path = folder_ + "/files.htm";
    ASSERT_TRUE(CreateDirectory(path + ".txt"));  // a folder stands where the text file goes
    EXPECT_FALSE(SavePageInStyle(kFileItems, {}, {}, "All", "File", path, {}));
    EXPECT_EQ(FileText(path), GoldenPage("file.htm"));
    EXPECT_TRUE(FolderExists(path + ".txt"));
}

TEST_F(SavePageInStyleTest, NamesAreUsedOnlyWhenThereIsOnePerImage) {
    const StringArray images = {"a.jpg", "b.jpg"};
    const std::string matched =
        "<img border=\"0\" src=\"a.jpg\" name=\"n1\" \\>\r\n"
        "<img border=\"0\" src=\"b.jpg\" name=\"n2\" \\>\r\n";
    const std::string unnamed =
        "<img border=\"0\" src=\"a.jpg\" name=\"\" \\>\r\n"
        "<img border=\"0\" src=\"b.jpg\" name=\"\" \\>\r\n";
    EXPECT_NE(Save("All", images, {}, {"n1", "n2"}).find(matched), std::string::npos);
    EXPECT_NE(Save("All", images, {}, {"n1"}).find(unnamed), std::string::npos);
    EXPECT_NE(Save("All", images, {}, {"n1", "n2", "n3"}).find(unnamed), std::string::npos);
    EXPECT_NE(Save("Data", images, {}, {"n1", "n2", "n3"}).find(unnamed), std::string::npos);
}

TEST_F(SavePageInStyleTest, AllWithTwoImagesOneNameAndTwoCommentsLinksBoth) {
    const std::string page = Save("All", {"a.jpg", "b.jpg"}, {"big/a.jpg", "big/b.jpg"}, {"n1"});
    EXPECT_NE(page.find("<a href=big/a.jpg><img border=\"0\" src=\"a.jpg\" name=\"\" \\></a>\r\n"
                        "<a href=big/b.jpg><img border=\"0\" src=\"b.jpg\" name=\"\" \\></a>\r\n"),
              std::string::npos);
}

TEST_F(SavePageInStyleTest, TitleIsWrittenInTheHeadOnly) {
    for (const char* style :
         {"All", "Thumbs", "Zoom", "Data", "MP3", "Email", "File", "SlideShow"}) {
        SCOPED_TRACE(style);
        const std::string page = Save(style, {"mailto:a@b.c", "x.jpg"}, {}, {}, {}, "My Title");
        EXPECT_NE(page.find("<title>My Title</title>"), std::string::npos);
        EXPECT_EQ(page.find("My Title"), page.rfind("My Title"));
        const std::string empty = Save(style, {}, {}, {}, {}, "");
        EXPECT_NE(empty.find("<title></title>"), std::string::npos);
    }
}

TEST_F(SavePageInStyleTest, FileColumnsStartEveryRowsAddresses) {
    const std::string column = "<td valign='top'>";
    struct ColumnCase {
        int addresses;
        int columns;
    };
    // rows = (count + 3) / 3
    for (const ColumnCase c : {ColumnCase{1, 1}, {2, 2}, {3, 2}, {4, 2}, {6, 2}, {7, 3}, {9, 3}}) {
        SCOPED_TRACE(c.addresses);
        StringArray items;
        for (int i = 0; i < c.addresses; ++i)
            items.push_back("mailto:p" + std::to_string(i) + "@q.r");
        const std::string page = Save("File", items);
        int found = 0;
        for (size_t at = page.find(column); at != std::string::npos;
             at = page.find(column, at + 1)) {
            ++found;
        }
        EXPECT_EQ(found, c.columns);
    }
}

TEST(IsGalleryImageTest, FourExtensionsInAnyCase) {
    for (const char* yes : {"jpg", "JPG", "gif", "Png", "bmp"})
        EXPECT_TRUE(IsGalleryImage(yes)) << yes;
    for (const char* no : {"jpeg", "", ".jpg", "jpg ", "tif", "htm"}) {
        EXPECT_FALSE(IsGalleryImage(no)) << no;
    }
}

TEST(OfferedStylesTest, SevenNamesInOrder) {
    EXPECT_EQ(OfferedStyles(), (StringArray{"All", "Thumbs", "SlideShow", "Tile", "TileMultipage",
                                            "Multiview", "Zoom"}));
}

}  // namespace
