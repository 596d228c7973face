#include "platform/ui/ListView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/ControlInput.h"
#include "tests/platform/ui/ControlParent.h"

namespace {

constexpr int kListId = 1000;

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override { list = parent.MakeChild("SysListView32", LVS_REPORT, kListId); }

    void AddColumns(const std::vector<std::string>& headings) {
        for (std::size_t i = 0; i < headings.size(); ++i) {
            std::string text = headings[i];
            LVCOLUMN column;
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = text.data();
            column.cx = 300;
            ASSERT_EQ(static_cast<int>(i),
                      ListView_InsertColumn(list, static_cast<int>(i), &column));
        }
    }

    // Appends a row of sub-item texts with its index as item data.
    int AddRow(const std::vector<std::string>& texts) {
        std::string first = texts[0];
        LVITEM item;
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = first.data();
        item.lParam = item.iItem;
        const int row = ListView_InsertItem(list, &item);
        for (std::size_t sub = 1; sub < texts.size(); ++sub)
            ListView_SetItemText(list, row, static_cast<int>(sub), texts[sub].c_str());
        return row;
    }

    std::vector<std::string> Column(int subItem) {
        std::vector<std::string> texts;
        for (int row = 0; row < ListView_GetItemCount(list); ++row)
            texts.push_back(ListViewText(list, row, subItem));
        return texts;
    }

    ControlParent parent;
    HWND list = nullptr;
};

// What the site MP3 finder does on a column click: its comparison finds both rows by
// their item data, compares the lower-cased texts of the sort column, and afterwards
// every row's item data becomes its new index.
struct ColumnSort {
    HWND list;
    int column = 0;
    int descending = 0;

    static int Compare(LPARAM first, LPARAM second, LPARAM self) {
        auto* sort = reinterpret_cast<ColumnSort*>(self);
        auto textOf = [sort](LPARAM data) {
            LVFINDINFO find;
            find.flags = LVFI_PARAM;
            find.lParam = data;
            std::string text =
                ListViewText(sort->list, ListView_FindItem(sort->list, -1, &find), sort->column);
            for (char& c : text)
                c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            return text;
        };
        const int order = textOf(first).compare(textOf(second));
        return sort->descending ? -order : order;
    }

    void Click(int clicked) {
        column = clicked;
        ListView_SortItems(list, &ColumnSort::Compare, reinterpret_cast<LPARAM>(this));
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            LVITEM item;
            item.mask = LVIF_PARAM;
            item.iItem = row;
            item.lParam = row;
            ListView_SetItem(list, &item);
        }
        descending = !descending;
    }
};

TEST_F(ListViewTest, ColumnClicksSortAscendingThenDescendingKeepingEqualRowsInOrder) {
    AddColumns({"filename", "state", "url"});
    AddRow({"b.mp3", "new / exists", "http://h/1"});
    AddRow({"A.mp3", "downloaded", "http://h/2"});
    AddRow({"c.mp3", "new / exists", "http://h/3"});
    AddRow({"a.MP3", "cannot locate", "http://h/4"});
    ColumnSort sort{list};
    parent.onNotify = [&](NMHDR* header) {
        if (header->code == LVN_COLUMNCLICK)
            sort.Click(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return LRESULT{0};
    };

    struct Step {
        int column;
        std::vector<std::string> urls;
    };
    const Step steps[] = {
        {0, {"http://h/2", "http://h/4", "http://h/1", "http://h/3"}},  // equal names keep order
        {0, {"http://h/3", "http://h/1", "http://h/2", "http://h/4"}},  // descending
        {1,
         {"http://h/4", "http://h/2", "http://h/3",
          "http://h/1"}},  // "cannot", "downloaded", "new" x2
        {1, {"http://h/3", "http://h/1", "http://h/2", "http://h/4"}},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(ControlInput::ClickListColumn(list, step.column));
        EXPECT_EQ(step.urls, Column(2)) << "column " << step.column;
    }
    // The sub-items moved with their rows.
    EXPECT_EQ(ListViewText(list, 0, 0), "c.mp3");
}

TEST_F(ListViewTest, ASortThatTheCallbackDisturbsIsDropped) {
    AddColumns({"name"});
    for (const char* name : {"b", "a", "c"})
        AddRow({name});
    struct Disturb {
        HWND list;
        static int Compare(LPARAM a, LPARAM b, LPARAM self) {
            ListView_DeleteItem(reinterpret_cast<Disturb*>(self)->list, 0);
            return static_cast<int>(a - b);
        }
    } disturb{list};
    EXPECT_FALSE(ListView_SortItems(list, &Disturb::Compare, reinterpret_cast<LPARAM>(&disturb)));
    EXPECT_LE(ListView_GetItemCount(list), 2);
}

TEST_F(ListViewTest, AClickMovesTheSelectionAndTellsTheParentInOrder) {
    AddColumns({"url"});
    for (const char* url : {"one", "two", "three"})
        AddRow({url});
    ASSERT_TRUE(ControlInput::SelectListViewRow(list, 0));
    parent.notices.clear();

    ASSERT_TRUE(ControlInput::DoubleClickListViewRow(list, 2));

    const std::vector<UINT> expected = {LVN_ITEMCHANGING, LVN_ITEMCHANGED,  LVN_ITEMCHANGING,
                                        LVN_ITEMCHANGED,  LVN_ITEMCHANGING, LVN_ITEMCHANGED,
                                        NM_CLICK,         NM_DBLCLK};
    ASSERT_EQ(expected, parent.Codes());
    // Row 0 loses the selection, then the focus; row 2 gets both; the clicks name row 2.
    EXPECT_EQ(0, parent.notices[1].item);
    EXPECT_EQ(LVIS_SELECTED | LVIS_FOCUSED, parent.notices[1].oldState);
    EXPECT_EQ(LVIS_FOCUSED, parent.notices[1].newState);
    EXPECT_EQ(0, parent.notices[3].item);
    EXPECT_EQ(0u, parent.notices[3].newState);
    EXPECT_EQ(2, parent.notices[5].item);
    EXPECT_EQ(LVIS_SELECTED | LVIS_FOCUSED, parent.notices[5].newState);
    EXPECT_EQ(2, parent.notices[6].item);
    EXPECT_EQ(2, parent.notices[7].item);
    for (const Notice& notice : parent.notices) {
        EXPECT_EQ(kListId, notice.id);
        EXPECT_EQ(list, notice.from);
    }
    EXPECT_EQ(2, ListView_GetNextItem(list, -1, LVNI_SELECTED));
    EXPECT_EQ(-1, ListView_GetNextItem(list, 2, LVNI_SELECTED));
    EXPECT_EQ(2, ListView_GetNextItem(list, -1, LVNI_FOCUSED));
    EXPECT_EQ(1, SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0));
}

TEST_F(ListViewTest, APersonCannotReachRowsThatAreNotThereOrAHiddenOrDisabledList) {
    AddColumns({"url"});
    AddRow({"one"});
    parent.notices.clear();
    EXPECT_FALSE(ControlInput::SelectListViewRow(list, 1));
    EXPECT_FALSE(ControlInput::SelectListViewRow(list, -1));
    EXPECT_FALSE(ControlInput::ClickListColumn(list, 1));
    EnableWindow(list, FALSE);
    EXPECT_FALSE(ControlInput::SelectListViewRow(list, 0));
    EnableWindow(list, TRUE);
    ShowWindow(list, SW_HIDE);
    EXPECT_FALSE(ControlInput::SelectListViewRow(list, 0));
    EXPECT_TRUE(parent.notices.empty());
}

TEST_F(ListViewTest, HeadersWithoutSortButtonsTakeNoClicks) {
    HWND plain = parent.MakeChild("SysListView32", LVS_REPORT | LVS_NOSORTHEADER, 1006);
    std::string heading = "url";
    LVCOLUMN column;
    column.mask = LVCF_TEXT;
    column.pszText = heading.data();
    ListView_InsertColumn(plain, 0, &column);
    EXPECT_FALSE(ControlInput::ClickListColumn(plain, 0));
    AddColumns({"url"});
    EXPECT_TRUE(ControlInput::ClickListColumn(list, 0));
    ASSERT_EQ(1u, parent.notices.size());
    EXPECT_EQ(LVN_COLUMNCLICK, parent.notices[0].code);
    EXPECT_EQ(-1, parent.notices[0].item);
}

TEST_F(ListViewTest, CheckBoxesStartClearAndATickIsAStateChangeTheParentCanRefuse) {
    AddColumns({"filename"});
    AddRow({"before.mp3"});
    EXPECT_EQ(-1, ListView_GetCheckState(list, 0));  // no check boxes yet
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    EXPECT_EQ(LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES, ListView_GetExtendedListViewStyle(list));
    AddRow({"after.mp3"});
    EXPECT_EQ(FALSE, ListView_GetCheckState(list, 0));
    EXPECT_EQ(FALSE, ListView_GetCheckState(list, 1));
    parent.notices.clear();

    ASSERT_TRUE(ControlInput::TickListViewRow(list, 1, true));
    EXPECT_EQ(TRUE, ListView_GetCheckState(list, 1));
    ASSERT_EQ((std::vector<UINT>{LVN_ITEMCHANGING, LVN_ITEMCHANGED}), parent.Codes());
    EXPECT_EQ(INDEXTOSTATEIMAGEMASK(1), parent.notices[1].oldState);
    EXPECT_EQ(INDEXTOSTATEIMAGEMASK(2), parent.notices[1].newState);

    parent.notices.clear();
    EXPECT_TRUE(ControlInput::TickListViewRow(list, 1, true));  // already ticked: no click
    EXPECT_TRUE(parent.notices.empty());

    parent.onNotify = [](NMHDR* header) { return LRESULT{header->code == LVN_ITEMCHANGING}; };
    EXPECT_FALSE(ControlInput::TickListViewRow(list, 1, false));
    EXPECT_EQ(TRUE, ListView_GetCheckState(list, 1));
    parent.onNotify = nullptr;

    ListView_SetCheckState(list, 0, true);  // "Select All" checks rows from code
    EXPECT_EQ(TRUE, ListView_GetCheckState(list, 0));
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    EXPECT_EQ(-1, ListView_GetCheckState(list, 0));
    EXPECT_FALSE(ControlInput::TickListViewRow(list, 0, true));
}

TEST_F(ListViewTest, RowsKeepTheirTextsImagesAndDataThroughInsertsFindsAndDeletes) {
    AddColumns({"filename", "state"});
    AddRow({"b.mp3", "new / exists"});
    LVITEM first;
    first.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    std::string text = "a.mp3";
    first.pszText = text.data();
    first.lParam = 77;
    first.iImage = 3;
    ASSERT_EQ(0, ListView_InsertItem(list, &first));
    LVITEM past;
    past.iItem = 99;
    EXPECT_EQ(2, ListView_InsertItem(list, &past));  // past the end appends
    past.iSubItem = 1;
    EXPECT_EQ(-1, ListView_InsertItem(list, &past));  // a sub-item is no row

    char small[4];
    LVITEM read;
    read.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    read.pszText = small;
    read.cchTextMax = sizeof small;
    ASSERT_TRUE(ListView_GetItem(list, &read));
    EXPECT_STREQ("a.m", small);  // cut to the buffer, NUL-ended
    EXPECT_EQ(77, read.lParam);
    EXPECT_EQ(3, read.iImage);
    EXPECT_EQ("new / exists", ListViewText(list, 1, 1));
    EXPECT_EQ("", ListViewText(list, 1, 5));

    LVFINDINFO find;
    find.flags = LVFI_STRING;
    find.psz = "B.MP3";
    EXPECT_EQ(1, ListView_FindItem(list, -1, &find));
    EXPECT_EQ(-1, ListView_FindItem(list, 1, &find));
    find.flags = LVFI_PARAM;
    find.lParam = 77;
    EXPECT_EQ(0, ListView_FindItem(list, -1, &find));

    EXPECT_TRUE(ListView_DeleteItem(list, 0));
    EXPECT_FALSE(ListView_DeleteItem(list, 5));
    EXPECT_EQ("b.mp3", ListViewText(list, 0, 0));
    parent.notices.clear();
    EXPECT_TRUE(ListView_DeleteAllItems(list));
    EXPECT_EQ(0, ListView_GetItemCount(list));
    EXPECT_EQ((std::vector<UINT>{LVN_DELETEALLITEMS, LVN_DELETEITEM, LVN_DELETEITEM}),
              parent.Codes());
}

TEST_F(ListViewTest, ColumnsReadBackAndSizeToTheirContentsOrHeadings) {
    AddColumns({"filename", "a long heading text"});
    AddRow({"a much longer file name.mp3", "x"});
    char heading[32];
    LVCOLUMN column;
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = heading;
    column.cchTextMax = sizeof heading;
    ASSERT_TRUE(SendMessage(list, LVM_GETCOLUMN, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ("a long heading text", heading);
    EXPECT_EQ(300, column.cx);

    ListView_SetColumnWidth(list, 0, static_cast<int>(LVSCW_AUTOSIZE));
    const int contents = ListView_GetColumnWidth(list, 0);
    ListView_SetColumnWidth(list, 1, static_cast<int>(LVSCW_AUTOSIZE));
    const int narrow = ListView_GetColumnWidth(list, 1);
    EXPECT_GT(contents, narrow);
    EXPECT_LT(contents, 300);
    // The last column with its heading fills the rest of the 300-pixel client width.
    ListView_SetColumnWidth(list, 1, static_cast<int>(LVSCW_AUTOSIZE_USEHEADER));
    EXPECT_EQ(300 - contents, ListView_GetColumnWidth(list, 1));
    ListView_SetColumnWidth(list, 0, static_cast<int>(LVSCW_AUTOSIZE_USEHEADER));
    EXPECT_EQ(contents, ListView_GetColumnWidth(list, 0));  // the contents are wider
}

// The widths a list keeps once sized to its contents follow every change of its rows: after
// each step the column is as wide as a list just made with the same rows would make it.
TEST_F(ListViewTest, SizingToContentsFollowsRowsThatComeGoAndChangeTheirTexts) {
    AddColumns({"name", "state"});
    const std::string wide = "a rather long name for a row.mp3";
    AddRow({"short.mp3", "new / exists"});
    AddRow({"mid-length name.mp3", "downloaded"});
    ListView_SetColumnWidth(list, 0, static_cast<int>(LVSCW_AUTOSIZE));
    ListView_SetColumnWidth(list, 1, static_cast<int>(LVSCW_AUTOSIZE));

    const std::vector<std::function<void()>> steps = {
        [&] {
            AddRow({wide, "x"});
        },
        [&] {
            AddRow({wide, "y"});
        },
        [&] { ListView_DeleteItem(list, 2); },                    // one of the two widest
        [&] { ListView_SetItemText(list, 2, 0, "narrow.mp3"); },  // the other one
        [&] { ListView_SetItemText(list, 0, 1, "cannot locate, and more"); },
        [&] { ListView_SetItemText(list, 0, 1, ""); },
        [&] { ListView_DeleteAllItems(list); },
        [&] { AddRow({"after all went.mp3"}); },
    };
    for (std::size_t step = 0; step < steps.size(); ++step) {
        steps[step]();
        ControlParent fresh;
        HWND copy = fresh.MakeChild("SysListView32", LVS_REPORT, kListId);
        for (const char* heading : {"name", "state"}) {
            std::string text = heading;
            LVCOLUMN column;
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = text.data();
            column.cx = 300;
            ListView_InsertColumn(copy, 9, &column);
        }
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            std::string name = ListViewText(list, row, 0);
            LVITEM item;
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = name.data();
            ListView_InsertItem(copy, &item);
            ListView_SetItemText(copy, row, 1, ListViewText(list, row, 1).c_str());
        }
        for (int column = 0; column < 2; ++column) {
            ListView_SetColumnWidth(list, column, static_cast<int>(LVSCW_AUTOSIZE));
            ListView_SetColumnWidth(copy, column, static_cast<int>(LVSCW_AUTOSIZE));
            EXPECT_EQ(ListView_GetColumnWidth(list, column), ListView_GetColumnWidth(copy, column))
                << "step " << step << ", column " << column;
        }
    }
}

}  // namespace
