#include "engine/writers/PageWriters.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file/FileLayer.h"
#include "tests/support/TestEnvironment.h"

namespace {

std::string FileText(const std::string& path) {
    std::string text;
    return ReadFileBytes(path, &text) ? text : std::string("<missing>");
}

std::string Golden(const std::string& name) {
    return FileText(FixturePath("engine/writers/" + name));
}

class PageWritersTest : public ::testing::Test {
protected:
    std::string folder_ = MakeTestFolder("writers");
};

TEST_F(PageWritersTest, ImageListPages) {
    const std::string path = folder_ + "/list.htm";
    ASSERT_TRUE(WriteImageListPage(path, "Found images",
                                   {"http://h.x/a.jpg", "http://h.x/b.gif?size=2"}, false));
    EXPECT_EQ(FileText(path), Golden("imageList.htm"));
    // Local paths follow "file:///" with their backslashes.
    ASSERT_TRUE(
        WriteImageListPage(path, "Found images", {"c:\\store\\a.jpg", "c:\\store\\b.gif"}, true));
    EXPECT_EQ(FileText(path), Golden("imageListFileUrls.htm"));
    ASSERT_TRUE(WriteImageListPage(path, "", {}, true));
    EXPECT_EQ(FileText(path), Golden("imageListEmpty.htm"));
}

TEST_F(PageWritersTest, SlideshowPage) {
    const std::string path = folder_ + "/show.htm";
    ASSERT_TRUE(WriteSlideshowPage(
        path, "Show", {"c:\\store\\a.jpg", "c:\\store\\b.gif", "c:\\store\\c d.png"}, true));
    EXPECT_EQ(FileText(path), Golden("slideshow.htm"));
    EXPECT_EQ(FileText(path).find('\t'), std::string::npos);
}

TEST_F(PageWritersTest, EmptySlideshowHasHeadAndTailOnly) {
    const std::string path = folder_ + "/show.htm";
    ASSERT_TRUE(WriteSlideshowPage(path, "Show", {}, false));
    const std::string page = FileText(path);
    EXPECT_TRUE(page.starts_with("<html><head><title>Show</title></head>\r\n<script"));
    EXPECT_EQ(page.find("newImage(\""), std::string::npos);
    EXPECT_EQ(page.find("imageCnt++;"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</body></html>\r\n"));
}

TEST_F(PageWritersTest, HttpSlideshowLinesTakeTheLocationAsItIs) {
    const std::string path = folder_ + "/show.htm";
    ASSERT_TRUE(WriteSlideshowPage(path, "Show", {"http://h.x/a.jpg"}, false));
    EXPECT_NE(
        FileText(path).find("document.images[imageStart+imageCnt]=newImage(\"http://h.x/a.jpg\");"
                            "\r\nimageCnt++;\r\n"),
        std::string::npos);
}

TEST_F(PageWritersTest, HostileLocationsAndTitlesAreEscaped) {
    const std::string path = folder_ + "/list.htm";
    ASSERT_TRUE(WriteImageListPage(path, "<script>", {"x\" onerror=\"alert(1)"}, false));
    const std::string list = FileText(path);
    EXPECT_NE(list.find("<title>&lt;script&gt;</title>"), std::string::npos);
    EXPECT_NE(list.find("src=\"x%22%20onerror=%22alert(1)\">"), std::string::npos);
    ASSERT_TRUE(WriteSlideshowPage(path, "t", {"a\");alert(\"1</script>"}, false));
    EXPECT_NE(FileText(path).find("newImage(\"a%22);alert(%221%3C/script%3E\");"),
              std::string::npos);
}

TEST_F(PageWritersTest, TargetThatCannotBeCreatedWritesNothing) {
    const std::string path = folder_ + "/missing/page.htm";
    EXPECT_FALSE(WriteImageListPage(path, "t", {"a.jpg"}, false));
    EXPECT_FALSE(WriteSlideshowPage(path, "t", {"a.jpg"}, false));
    EXPECT_FALSE(FolderExists(folder_ + "/missing"));
}

}  // namespace
