// The MP3 finder band (Harrowby) end to end, and what both list bands share: the panel's
// body scroll threshold.
#include <gtest/gtest.h>

#include "platform/text/Text.h"
#include "tests/band/lists/ListBandFixture.h"
#include "tests/support/FolderTree.h"

using namespace std::chrono_literals;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class Mp3BandTest : public ListBandTest {
protected:
    Mp3BandTest() : ListBandTest(kMp3Band) {}
};

TEST_F(Mp3BandTest, TheFirstStartStoresTheMp3BandsValuesOnly) {
    OpenBand(/*keepSettings=*/true);
    EXPECT_TRUE(Contains(StoredSetting("storage"), "mp3Storage")) << StoredSetting("storage");
    EXPECT_EQ(StoredSetting("depth"), "1");
    EXPECT_EQ(StoredSetting("maximages"), "0");
    for (const char* name : {"filter", "sites", "style", "minwidth", "removecache"})
        EXPECT_EQ(StoredSetting(name), "<none>") << name;
    EXPECT_EQ(PanelField("maximages"), "20");
    EXPECT_EQ(PanelField("sites"), "<none>");

    ComPointer<IDeskBand> desk = bandObject_.query<IDeskBand>();
    DESKBANDINFO info;
    info.dwMask = DBIM_TITLE;
    ASSERT_EQ(desk->GetBandInfo(1, DBIF_VIEWMODE_VERTICAL, &info), S_OK);
    EXPECT_EQ(std::u16string(info.wszTitle), u"Harrowby");
    EXPECT_EQ(GetWindowText(panelWindow_), "bandy3");
    EXPECT_EQ(GetDlgCtrlID(panelWindow_), 12345);
}

TEST_F(Mp3BandTest, MP3LinksOfEveryPageAreListedOnceAndTheFormIsSaved) {
    // The same MP3 on two pages, in two letter cases; links that only look like MP3s.
    site_.SetBody("/start.htm",
                  "<a href='/music/song.mp3'>song</a><a href='/tune.mp3?x=1'>query</a>"
                  "<a href='/mp3s/'>folder</a>");
    site_.SetBody("/mp3s/", "<a href='/music/song.mp3'>again</a><a href='/mp3s/LOUD.MP3'>b</a>");
    Browse(site_.Url("/start.htm"));
    OpenBand();
    ASSERT_EQ(panel_->TypeIntoField("extract", "depth", "1"), S_OK);
    // The MP3 band has no site list: add and clear do nothing.
    Command("/panel/add");
    Command("/panel/clear");
    EXPECT_TRUE(PanelShows("/216"));
    Extract();
    const std::string list = FileTextOf(ListPage());
    EXPECT_EQ(Count(list, site_.Url("/music/song.mp3")), 1u) << list;
    EXPECT_TRUE(Contains(list, site_.Url("/mp3s/LOUD.MP3"))) << list;
    EXPECT_FALSE(Contains(list, "tune.mp3")) << list;
    EXPECT_EQ(FileNamesIn(ViewFolder()), std::vector<std::string>{"allMP3s.htm"});
    EXPECT_EQ(StoredSetting("depth"), "1");
    EXPECT_EQ(StoredSetting("sites"), "<none>");
}

// The main page's body scrolls up to 350 pixels of panel height, in both list bands.
class ScrollThresholdTest : public ListBandTest,
                            public ::testing::WithParamInterface<const ListBandUnderTest*> {
protected:
    ScrollThresholdTest() : ListBandTest(*GetParam()) {}

    // The main page's body scroll once the panel is that high and has heard of it.
    std::string BodyScrollAt(int height) {
        SetWindowPos(panelWindow_, nullptr, 0, 0, 250, height, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_TRUE(PumpUntil([&] {
            RECT client{};
            GetClientRect(panelWindow_, &client);
            return client.bottom - client.top == height;
        }));
        ServePostedMessages();
        return panel_->GetHtmlDocument()->Body()->GetAttribute("scroll");
    }
};

TEST_P(ScrollThresholdTest, TheBodyScrollsUpTo350Pixels) {
    OpenBand();
    const std::pair<int, const char*> cases[] = {
        {351, "no"}, {350, "yes"}, {200, "yes"}, {600, "no"}, {351, "no"}};
    for (const auto& [height, scroll] : cases)
        EXPECT_EQ(BodyScrollAt(height), scroll) << GetParam()->title << " at " << height;
}

INSTANTIATE_TEST_SUITE_P(ListBands, ScrollThresholdTest, ::testing::Values(&kFileBand, &kMp3Band),
                         [](const auto& info) { return std::string(info.param->title); });

}  // namespace
