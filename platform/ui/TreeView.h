// The tree view ("SysTreeView32"): items in a tree, each with text, an image and a
// selected image from the control's image list, item data and a state (selected, bold,
// expanded). Text is UTF-8; every message runs on the control's thread.
//
// An item's handle is never given to a second item, so a stale handle is harmless:
// every message fails cleanly on it.
#pragma once

#include <string>

#include "platform/ui/CommonControls.h"
#include "platform/ui/ImageList.h"

struct TREEITEM__;
using HTREEITEM = TREEITEM__*;

inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(-0x10000);
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(-0x0FFFF);
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(-0x0FFFE);

constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;

constexpr UINT TV_FIRST = 0x1100;
// lParam TVINSERTSTRUCT*; answers the new item, null on failure.
constexpr UINT TVM_INSERTITEM = TV_FIRST + 0;
// lParam the item (TVI_ROOT: every item); the item goes with everything below it.
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
constexpr UINT TVM_EXPAND = TV_FIRST + 2;  // wParam TVE_*, lParam the item
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;  // wParam TVSIL_NORMAL, lParam the list
// wParam TVGN_*, lParam the item the relation starts from; null when there is none.
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr UINT TVM_GETITEM = TV_FIRST + 12;  // lParam TVITEM* (hItem names the item)
constexpr UINT TVM_SETITEM = TV_FIRST + 13;  // lParam TVITEM*

constexpr WPARAM TVE_COLLAPSE = 0x0001;
constexpr WPARAM TVE_EXPAND = 0x0002;
constexpr WPARAM TVE_TOGGLE = 0x0003;

constexpr WPARAM TVSIL_NORMAL = 0;

constexpr WPARAM TVGN_ROOT = 0x0000;      // the first top-level item
constexpr WPARAM TVGN_NEXT = 0x0001;      // the next sibling
constexpr WPARAM TVGN_PREVIOUS = 0x0002;  // the previous sibling
constexpr WPARAM TVGN_PARENT = 0x0003;    // null for a top-level item
constexpr WPARAM TVGN_CHILD = 0x0004;     // the first child

constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;

constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_BOLD = 0x0010;
constexpr UINT TVIS_EXPANDED = 0x0020;

// pszText: the text to set, or the buffer of cchTextMax chars to copy it into.
// cChildren (TVM_GETITEM): the number of children.
struct TVITEM {
    UINT mask = 0;
    HTREEITEM hItem = nullptr;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};

// Where the new item goes: the last (TVI_LAST) or first (TVI_FIRST) child of hParent
// (TVI_ROOT or null: the top level), or after a child of it.
struct TVINSERTSTRUCT {
    HTREEITEM hParent = nullptr;
    HTREEITEM hInsertAfter = nullptr;
    TVITEM item;
};

inline HTREEITEM TreeView_InsertItem(HWND tree, const TVINSERTSTRUCT* insert) {
    return reinterpret_cast<HTREEITEM>(
        SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(insert)));
}
inline HTREEITEM TreeView_GetNextItem(HWND tree, HTREEITEM item, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessage(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}
inline HTREEITEM TreeView_GetRoot(HWND tree) {
    return TreeView_GetNextItem(tree, nullptr, TVGN_ROOT);
}
inline HTREEITEM TreeView_GetChild(HWND tree, HTREEITEM item) {
    return TreeView_GetNextItem(tree, item, TVGN_CHILD);
}
inline HTREEITEM TreeView_GetNextSibling(HWND tree, HTREEITEM item) {
    return TreeView_GetNextItem(tree, item, TVGN_NEXT);
}
inline BOOL TreeView_Expand(HWND tree, HTREEITEM item, WPARAM action) {
    return static_cast<BOOL>(SendMessage(tree, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_GetItem(HWND tree, TVITEM* item) {
    return static_cast<BOOL>(SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_SetItem(HWND tree, const TVITEM* item) {
    return static_cast<BOOL>(SendMessage(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL TreeView_DeleteItem(HWND tree, HTREEITEM item) {
    return static_cast<BOOL>(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline HIMAGELIST TreeView_SetImageList(HWND tree, HIMAGELIST list, WPARAM which) {
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(tree, TVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
}
inline UINT TreeView_GetCount(HWND tree) {
    return static_cast<UINT>(SendMessage(tree, TVM_GETCOUNT, 0, 0));
}

// An item's text ("" for none); for code and tests that want a string.
std::string TreeViewText(HWND tree, HTREEITEM item);
