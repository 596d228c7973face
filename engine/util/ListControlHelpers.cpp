#include "engine/util/ListControlHelpers.h"

#include <string>

#include "engine/util/StringUtilities.h"

namespace {

constexpr UINT CB_GETCURSEL = 0x0147;

int ColumnCount(HWND list) {
    LVCOLUMN column;
    column.mask = LVCF_WIDTH;
    int count = 0;
    while (SendMessage(list, LVM_GETCOLUMN, static_cast<WPARAM>(count),
                       reinterpret_cast<LPARAM>(&column)) != 0)
        ++count;
    return count;
}

UINT TreeItemState(HWND tree, HTREEITEM item) {
    TVITEM query;
    query.mask = TVIF_STATE;
    query.hItem = item;
    query.stateMask = 0xFFFFFFFFu;
    return TreeView_GetItem(tree, &query) ? query.state : 0;
}

LPARAM TreeItemData(HWND tree, HTREEITEM item) {
    TVITEM query;
    query.mask = TVIF_PARAM;
    query.hItem = item;
    return TreeView_GetItem(tree, &query) ? query.lParam : 0;
}

void SetTreeItemState(HWND tree, HTREEITEM item, UINT state, UINT mask) {
    TVITEM change;
    change.mask = TVIF_STATE;
    change.hItem = item;
    change.state = state;
    change.stateMask = mask;
    TreeView_SetItem(tree, &change);
}

// The first child of parent (null: the top level).
HTREEITEM FirstBelow(HWND tree, HTREEITEM parent) {
    return parent == nullptr ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent);
}

template <typename Match>
HTREEITEM FindBelow(HWND tree, HTREEITEM parent, Match match, int depth = 0) {
    if (depth > 256)
        return nullptr;
    for (HTREEITEM item = FirstBelow(tree, parent); item != nullptr;
         item = TreeView_GetNextSibling(tree, item)) {
        if (match(item))
            return item;
        if (HTREEITEM found = FindBelow(tree, item, match, depth + 1))
            return found;
    }
    return nullptr;
}

}  // namespace

HTREEITEM InsertTreeItem(HWND tree, std::string_view text, LPARAM data, HTREEITEM parent,
                         int children, bool bold, int image) {
    std::string copy(text);
    TVINSERTSTRUCT insert;
    insert.hParent = parent == nullptr ? TVI_ROOT : parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = copy.data();
    insert.item.lParam = data;
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.cChildren = children;
    if (bold) {
        insert.item.mask |= TVIF_STATE;
        insert.item.state = TVIS_BOLD;
        insert.item.stateMask = TVIS_BOLD;
    }
    return TreeView_InsertItem(tree, &insert);
}

int InsertListItem(HWND list, int index, int subItem, std::string_view text, int image,
                   LPARAM data) {
    std::string copy(text);
    if (subItem > 0)
        return ListView_SetItemText(list, index, subItem, copy.c_str()) ? index : -1;
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = copy.data();
    item.lParam = data;
    if (image >= 0) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    return ListView_InsertItem(list, &item);
}

int AddListColumn(HWND list, std::string_view heading, int width) {
    std::string copy(heading);
    LVCOLUMN column;
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = copy.data();
    column.cx = width;
    return ListView_InsertColumn(list, ColumnCount(list), &column);
}

void AutoSizeColumn(HWND list, int column) {
    ListView_SetColumnWidth(list, column, static_cast<int>(LVSCW_AUTOSIZE));
}

void AutoSizeColumns(HWND list, bool useHeading) {
    const int count = ColumnCount(list);
    for (int column = 0; column < count; ++column)
        ListView_SetColumnWidth(
            list, column, static_cast<int>(useHeading ? LVSCW_AUTOSIZE_USEHEADER : LVSCW_AUTOSIZE));
}

int GetSelectedListItem(HWND list) {
    return ListView_GetNextItem(list, -1, LVNI_SELECTED);
}

void SelectListItem(HWND list, int index) {
    ListView_SetItemState(list, index, LVIS_SELECTED, LVIS_SELECTED);
}

int FindListItem(HWND list, std::string_view text, int column) {
    const int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row) {
        if (StringMatch(ListViewText(list, row, column), text, true, false))
            return row;
    }
    return -1;
}

HTREEITEM FindSelectedTreeItem(HWND tree, HTREEITEM parent) {
    return FindBelow(tree, parent,
                     [tree](HTREEITEM item) { return TreeItemState(tree, item) & TVIS_SELECTED; });
}

HTREEITEM FindTreeItem(HWND tree, std::string_view text, LPARAM data, HTREEITEM parent) {
    if (text.empty() && data == 0)
        return nullptr;
    return FindBelow(tree, parent, [&](HTREEITEM item) {
        return text.empty() ? TreeItemData(tree, item) == data : TreeViewText(tree, item) == text;
    });
}

HTREEITEM SelectTreeItem(HWND tree, std::string_view text, LPARAM data, HTREEITEM parent) {
    HTREEITEM item = FindTreeItem(tree, text, data, parent);
    if (item == nullptr)
        return nullptr;
    HTREEITEM old = FindSelectedTreeItem(tree, parent);
    if (old != item) {
        SetTreeItemState(tree, item, TVIS_SELECTED, TVIS_SELECTED);
        if (old != nullptr)
            SetTreeItemState(tree, old, 0, TVIS_SELECTED);
    }
    return item;
}

int GetComboSelection(HWND combo) {
    return static_cast<int>(SendMessage(combo, CB_GETCURSEL, 0, 0));
}
