#include "engine/util/ListControlHelpers.h"

#include <gtest/gtest.h>

namespace {

class ListControlHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        list = CreateWindowEx(0, "SysListView32", "", WS_POPUP | LVS_REPORT, 0, 0, 400, 200,
                              nullptr, nullptr);
        tree = CreateWindowEx(0, "SysTreeView32", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(list);
        DestroyWindow(tree);
    }
    HWND list = nullptr;
    HWND tree = nullptr;
};

TEST_F(ListControlHelpersTest, ListRowsAreAddedFoundAndSelected) {
    EXPECT_EQ(0, AddListColumn(list, "filename", 300));
    EXPECT_EQ(1, AddListColumn(list, "url", 300));
    EXPECT_EQ(0, InsertListItem(list, 0, 0, "Song.MP3", -1, 7));
    EXPECT_EQ(0, InsertListItem(list, 0, 1, "http://h/song.mp3", -1, 0));
    EXPECT_EQ(1, InsertListItem(list, 1, 0, "other.mp3", 2, 8));
    EXPECT_EQ(-1, InsertListItem(list, 5, 1, "nowhere", -1, 0));
    EXPECT_EQ(0, FindListItem(list, "song.mp3", 0));
    EXPECT_EQ(0, FindListItem(list, "HTTP://H/SONG.MP3", 1));
    EXPECT_EQ(-1, FindListItem(list, "song", 0));
    EXPECT_EQ(-1, GetSelectedListItem(list));
    SelectListItem(list, 1);
    EXPECT_EQ(1, GetSelectedListItem(list));
    AutoSizeColumns(list, false);
    EXPECT_LT(ListView_GetColumnWidth(list, 0), 300);
}

TEST_F(ListControlHelpersTest, TreeItemsAreFoundDepthFirstAndSelectedOneAtATime) {
    HTREEITEM top = InsertTreeItem(tree, "top", 1, nullptr, 1, true);
    HTREEITEM inner = InsertTreeItem(tree, "inner", 2, top, 0, false);
    HTREEITEM second = InsertTreeItem(tree, "second", 3, nullptr, 0, false);
    TVITEM read;
    read.mask = TVIF_STATE;
    read.hItem = top;
    read.stateMask = TVIS_BOLD;
    TreeView_GetItem(tree, &read);
    EXPECT_EQ(TVIS_BOLD, read.state);

    EXPECT_EQ(inner, FindTreeItem(tree, "inner", 0, nullptr));
    EXPECT_EQ(second, FindTreeItem(tree, "", 3, nullptr));
    EXPECT_EQ(nullptr, FindTreeItem(tree, "", 0, nullptr));
    EXPECT_EQ(nullptr, FindTreeItem(tree, "second", 0, top));  // not below top
    EXPECT_EQ(nullptr, FindSelectedTreeItem(tree, nullptr));
    EXPECT_EQ(inner, SelectTreeItem(tree, "inner", 0, nullptr));
    EXPECT_EQ(inner, FindSelectedTreeItem(tree, nullptr));
    EXPECT_EQ(second, SelectTreeItem(tree, "", 3, nullptr));
    EXPECT_EQ(second, FindSelectedTreeItem(tree, nullptr));  // the old one was cleared
    EXPECT_EQ(nullptr, FindSelectedTreeItem(tree, top));
}

}  // namespace
