// View names: taken views, the first free name, and the Open View list.
#include "band/ViewNames.h"

#include <gtest/gtest.h>

#include <atomic>

#include "engine/util/FileHelpers.h"
#include "platform/file/FileLayer.h"
#include "platform/timing/Clock.h"

namespace {

class ViewNamesTest : public ::testing::Test {
protected:
    ViewNamesTest() {
        static std::atomic<int> count{0};
        storage_ = "c:\\viewnames\\storage" + std::to_string(++count);
        for (const std::string& folder :
             {std::string("c:"), std::string("c:\\viewnames"), storage_})
            CreateDirectory(folder);
    }
    // A stored view: its folders and its marker page.
    void Store(const std::string& site, const std::string& view,
               const std::string& page = "allImages.htm") {
        CreateDirectory(storage_ + "\\" + site);
        CreateDirectory(storage_ + "\\" + site + "\\" + view);
        ASSERT_TRUE(WriteTextFile(storage_ + "\\" + site + "\\" + view + "\\" + page, "x"));
    }
    std::string storage_;
};

TEST_F(ViewNamesTest, AViewExistsWhenItsMarkerPageDoes) {
    Store("h.example", "default");
    Store("h.example", "files", "allFiles.htm");
    EXPECT_TRUE(ViewExists(storage_, "http://h.example/a/b.htm", "default", "allImages.htm"));
    EXPECT_FALSE(ViewExists(storage_, "http://h.example/", "files", "allImages.htm"));
    EXPECT_TRUE(ViewExists(storage_, "http://h.example/", "files", "allFiles.htm"));
    EXPECT_FALSE(ViewExists(storage_, "http://other.example/", "default", "allImages.htm"));
    // An empty name is the default view; names never leave the storage folder.
    EXPECT_TRUE(ViewExists(storage_, "http://h.example/", "", "allImages.htm"));
    EXPECT_FALSE(ViewExists(storage_, "http://h.example/", "..\\..", "allImages.htm"));
}

TEST_F(ViewNamesTest, TheFirstFreeNameComesFromTheSitesLastPartOrTodaysDate) {
    ScopedClock clock(1078660800);  // 7 March 2004, noon
    const std::string site = "http://h.example/gallery/index.html?x=1";
    EXPECT_EQ(MakeViewName(storage_, site, "default", "allImages.htm"), "default");
    Store("h.example", "default");
    EXPECT_EQ(MakeViewName(storage_, site, "default", "allImages.htm"), "index");
    Store("h.example", "index");
    Store("h.example", "index (2)");
    EXPECT_EQ(MakeViewName(storage_, site, "default", "allImages.htm"), "index (3)");
    EXPECT_EQ(MakeViewName(storage_, "http://h.example/", "", "allImages.htm"), "view_03-07-04");
    Store("h.example", "view_03-07-04");
    EXPECT_EQ(MakeViewName(storage_, "http://h.example/", "", "allImages.htm"),
              "view_03-07-04 (2)");
}

TEST_F(ViewNamesTest, TheOpenViewListHoldsSitesWithTheirViewsAndAChoiceNamesBoth) {
    Store("h.example", "default");
    Store("h.example", "second");
    CreateDirectory(storage_ + "\\temp");
    CreateDirectory(storage_ + "\\.hidden");
    const std::vector<ViewListRow> rows = ListStoredViews(storage_);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].text, "h.example");
    EXPECT_EQ(rows[0].data, 0);
    EXPECT_EQ(rows[1].text, "   default");
    EXPECT_EQ(rows[2].data, 0);

    const ChosenView view = ChooseStoredView(rows, 2);
    EXPECT_EQ(view.siteName, "h.example");
    EXPECT_EQ(view.viewName, "second");
    EXPECT_EQ(ChooseStoredView(rows, 0).viewName, "default");
    // No selection chooses nothing.
    EXPECT_EQ(ChooseStoredView(rows, -1).siteName, "");
    EXPECT_EQ(ChooseStoredView(rows, 9).viewName, "");
}

}  // namespace
