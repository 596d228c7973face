// Each product's page test: which links its crawl offers as pages. Only the MP3 finder
// band's lets through a link that also names a non-page file.
#include "engine/crawl/PageJobValues.h"

#include <gtest/gtest.h>

namespace {

TEST(PageJobValuesTest, EachProductsPageTest) {
    struct Case {
        const char* url;
        bool imageBand, fileBand, mp3Band, siteMp3Finder;
    };
    const Case cases[] = {
        {"http://h.x/a.htm", true, true, true, true},
        {"http://h.x/mp3s/", true, true, true, true},
        {"http://h.x/report.pdf.html", false, false, true, false},
        {"http://h.x/files.zip/", false, false, true, false},
        {"http://h.x/docs.pdf/index.htm", false, false, true, false},
        {"http://h.x/setup.exe", false, false, false, false},
        {"http://h.x/song.mp3", false, false, false, false},
        {"http://h.x/page.html#top", false, false, false, false},
        {"mailto:a@h.x", false, false, false, false},
        {"javascript:go('a.htm')", false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ImageFinderBandPageJobValues.IsPageUrl(c.url), c.imageBand) << c.url;
        EXPECT_EQ(FileFinderBandPageJobValues.IsPageUrl(c.url), c.fileBand) << c.url;
        EXPECT_EQ(Mp3FinderBandPageJobValues.IsPageUrl(c.url), c.mp3Band) << c.url;
        EXPECT_EQ(SiteMp3FinderPageJobValues.IsPageUrl(c.url), c.siteMp3Finder) << c.url;
    }
}

}  // namespace
