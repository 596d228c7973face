#include "programs/sollet/GalleryPage.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlElement.h"
#include "platform/browser/HtmlParser.h"
#include "platform/file/FileLayer.h"
#include "platform/timing/Clock.h"
#include "tests/support/TestEnvironment.h"

namespace {

const StringArray kImages = {"http://a.test/one.jpg", "http://a.test/x y.png",
                             "http://a.test/a&b.gif", "http://a.test/\"><script>.jpg"};

}  // namespace

TEST(GalleryPageTest, ThePageMatchesItsGoldenBytes) {
    std::string golden;
    ASSERT_TRUE(ReadFileBytes(FixturePath("sollet/gallery.htm"), &golden));
    EXPECT_EQ(GalleryPageText(kImages), golden);
    EXPECT_EQ(GalleryPageText({}), "<html><body>\r\n");
}

TEST(GalleryPageTest, EveryAddressReadsBackAsTheImageItWasFound) {
    // Quoting and escaping must not change which pictures a browser shows.
    auto document = std::make_shared<HtmlDocument>(
        "file:///g.htm", ParseHtml(GalleryPageText(kImages), "file:///g.htm"), "complete");
    const HtmlElementCollection images = document->Images();
    ASSERT_EQ(images.Length(), static_cast<LONG>(kImages.size()));
    for (LONG i = 0; i < images.Length(); ++i)
        EXPECT_EQ(images.Item(i)->GetAttribute("src"), kImages[static_cast<size_t>(i)]);
    EXPECT_EQ(document->GetElementsByTagName("script").Length(), 0);
}

TEST(GalleryPageTest, TwoShowsInOneSecondWriteTwoPages) {
    ScopedClock clock(1710497700);  // 2024-03-15 10:15:00 UTC
    const std::time_t now = 1710497700;
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%m%d%y_%H%M%S", &local);
    const std::string first = WriteGalleryPage({"http://a.test/1.jpg"}, ClockNow());
    const std::string second = WriteGalleryPage({"http://a.test/2.jpg"}, ClockNow());
    EXPECT_EQ(first, "c:\\tmp\\" + std::string(stamp) + ".htm");
    EXPECT_EQ(second, "c:\\tmp\\" + std::string(stamp) + "_2.htm");
    std::string page;
    ASSERT_TRUE(ReadFileBytes(first, &page));
    EXPECT_EQ(page, GalleryPageText({"http://a.test/1.jpg"})) << "the first page is kept";
    ASSERT_TRUE(ReadFileBytes(second, &page));
    EXPECT_EQ(page, GalleryPageText({"http://a.test/2.jpg"}));
    EXPECT_TRUE(FolderExists(MapToLinuxPath("c:\\tmp")));
}
