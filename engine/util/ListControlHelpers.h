// The utility library's list-view, tree-view and combo-box helpers. Each runs on the
// control's thread (or sends to it) and fails cleanly on a dead or other window.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/ListView.h"
#include "platform/ui/TreeView.h"

// Inserts an item as the last child of parent (TVI_ROOT or null: the top level) with
// text, data, image and selected image image, cChildren children and, when bold,
// TVIS_BOLD. The new item, null on failure.
HTREEITEM InsertTreeItem(HWND tree, std::string_view text, LPARAM data, HTREEITEM parent,
                         int children, bool bold, int image = 0);

// subItem above 0: sets that sub-item's text of row index and answers index (-1 on
// failure). subItem 0: inserts a new row at index with text and data, and with image when
// it is not negative; answers the new row (-1 on failure).
int InsertListItem(HWND list, int index, int subItem, std::string_view text, int image,
                   LPARAM data);
// Appends a column after the last one; its index, -1 on failure.
int AddListColumn(HWND list, std::string_view heading, int width);
// Sizes a column, or every column, to its contents (LVSCW_AUTOSIZE), or to the wider of
// its heading and contents (LVSCW_AUTOSIZE_USEHEADER) when useHeading.
void AutoSizeColumn(HWND list, int column);
void AutoSizeColumns(HWND list, bool useHeading);
// The first selected row, -1 when none; selecting a row (LVIS_SELECTED).
int GetSelectedListItem(HWND list);
void SelectListItem(HWND list, int index);
// The first row whose text in the column equals text ignoring case, -1 when none.
int FindListItem(HWND list, std::string_view text, int column);

// Depth first below parent (null: the whole tree): the first item with TVIS_SELECTED,
// null when none.
HTREEITEM FindSelectedTreeItem(HWND tree, HTREEITEM parent);
// Depth first below parent: the first item whose text equals text when text is not
// empty, else the first whose item data is data (data must not be 0). Null when none.
HTREEITEM FindTreeItem(HWND tree, std::string_view text, LPARAM data, HTREEITEM parent);
// Finds the item as FindTreeItem does; unless it is already the selected item below
// parent, gives it TVIS_SELECTED and takes it from the item that had it. The item, null
// when none was found.
HTREEITEM SelectTreeItem(HWND tree, std::string_view text, LPARAM data, HTREEITEM parent);

// The combo box's selected index (CB_GETCURSEL).
int GetComboSelection(HWND combo);
