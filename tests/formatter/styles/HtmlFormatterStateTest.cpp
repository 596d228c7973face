#include "formatter/styles/HtmlFormatterState.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/formatter/styles/PageTestSupport.h"
#include "tests/support/TestEnvironment.h"

namespace {

class HtmlFormatterStateTest : public ::testing::Test {
protected:
    std::string SaveAndRead(HtmlFormatterState& formatter) {
        const std::string path = folder_ + "/page" + std::to_string(++count_) + ".htm";
        EXPECT_TRUE(formatter.save(path));
        return FileText(path);
    }

    std::string folder_ = MakeTestFolder("formatter");
    int count_ = 0;
};

TEST_F(HtmlFormatterStateTest, FreshObjectWritesTheEmptyAllPageTitledAll) {
    HtmlFormatterState formatter;
    EXPECT_EQ(formatter.style(), "All");
    EXPECT_EQ(formatter.title(), "All");
    EXPECT_TRUE(formatter.images().empty());
    EXPECT_TRUE(formatter.comments().empty());
    EXPECT_TRUE(formatter.names().empty());
    EXPECT_EQ(formatter.cx(), 0);
    EXPECT_EQ(formatter.cy(), 0);
    EXPECT_EQ(formatter.zoomSize(), 0);
    EXPECT_EQ(SaveAndRead(formatter), GoldenPage("allEmpty.htm"));
}

TEST_F(HtmlFormatterStateTest, StylesJoinsTheOfferedNamesAndLeavesStyleAlone) {
    HtmlFormatterState formatter;
    formatter.setStyle("mp3");
    EXPECT_EQ(formatter.styles(), "All,Thumbs,SlideShow,Tile,TileMultipage,Multiview,Zoom");
    EXPECT_EQ(formatter.style(), "mp3");
}

TEST_F(HtmlFormatterStateTest, ListsSplitByTheirOwnSeparatorsAndAccumulate) {
    HtmlFormatterState formatter;
    const std::string text = "a.jpg,b c.jpg\r\nd.jpg";
    formatter.addImages(text);
    formatter.addComments(text);
    formatter.addNames("n1,,n2\n\n");
    EXPECT_EQ(formatter.images(), (StringArray{"a.jpg", "b c.jpg", "d.jpg"}));
    EXPECT_EQ(formatter.comments(), (StringArray{"a.jpg,b c.jpg", "d.jpg"}));
    EXPECT_EQ(formatter.names(), (StringArray{"n1", "n2"}));

    formatter.addImages("e.jpg");
    formatter.addImages("");
    formatter.addComments("one\ttwo");
    formatter.addNames("n3");
    EXPECT_EQ(formatter.images(), (StringArray{"a.jpg", "b c.jpg", "d.jpg", "e.jpg"}));
    EXPECT_EQ(formatter.comments(), (StringArray{"a.jpg,b c.jpg", "d.jpg", "one", "two"}));
    EXPECT_EQ(formatter.names(), (StringArray{"n1", "n2", "n3"}));
}

TEST_F(HtmlFormatterStateTest, SaveReplacesTheGivenHeightByTheZoomSize) {
    HtmlFormatterState formatter;
    formatter.size(640, 200);
    formatter.addImages("a.jpg");
    formatter.addComments("big/a.jpg");
    EXPECT_EQ(formatter.cx(), 640);
    EXPECT_EQ(formatter.cy(), 200);
    // zoomSize 0: no height, so the comment is a link again.
    EXPECT_NE(SaveAndRead(formatter).find(
                  "<a href=big/a.jpg><img border=\"0\" src=\"a.jpg\" name=\"\" \\></a>\r\n"),
              std::string::npos);
    EXPECT_EQ(formatter.cy(), 0);

    formatter.setZoomSize(150);
    EXPECT_NE(
        SaveAndRead(formatter).find("<img border=\"0\" src=\"a.jpg\" name=\"\" height=150 \\>\r\n"),
        std::string::npos);
    EXPECT_EQ(formatter.cy(), 150);
}

TEST_F(HtmlFormatterStateTest, EverySaveWritesTheWholePageAgain) {
    HtmlFormatterState formatter;
    formatter.setStyle("Thumbs");
    formatter.addImages("a.jpg");
    const std::string path = folder_ + "/again.htm";
    ASSERT_TRUE(formatter.save(path));
    formatter.addImages("b.jpg");
    ASSERT_TRUE(formatter.save(path));
    EXPECT_NE(FileText(path).find("src=\"a.jpg\" name=\"\" \\>\r\n"
                                  "<img border=\"0\" src=\"b.jpg\""),
              std::string::npos);
}

TEST_F(HtmlFormatterStateTest, SaveReportsAFailureWithoutThrowing) {
    HtmlFormatterState formatter;
    formatter.addImages("a.jpg");
    EXPECT_FALSE(formatter.save(folder_ + "/missing/page.htm"));
    formatter.setStyle("File");
    const std::string path = folder_ + "/files.htm";
    ASSERT_TRUE(CreateDirectory(path + ".txt"));
    EXPECT_FALSE(formatter.save(path));
    EXPECT_TRUE(FileIsReadable(path));
}

}  // namespace
