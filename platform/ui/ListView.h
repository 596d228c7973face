// The list view ("SysListView32") in report mode: columns, rows of sub-item texts with
// an image index and item data, selection and focus, check boxes, sorting through a
// compare callback, and the notifications it sends its parent. Text is UTF-8; every
// message runs on the control's thread (send it from any thread).
//
// Rows are numbered from 0 in their shown order; a row's item data (lParam) stays with it
// through inserts, deletes and sorts. Only report mode is kept: the view styles other
// than LVS_REPORT are taken and shown the same way.
#pragma once

#include <string>

#include "platform/ui/CommonControls.h"
#include "platform/ui/ImageList.h"

// Styles (GWL_STYLE, low word).
constexpr DWORD LVS_ICON = 0x0000;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SMALLICON = 0x0002;
constexpr DWORD LVS_LIST = 0x0003;
constexpr DWORD LVS_TYPEMASK = 0x0003;
constexpr DWORD LVS_SINGLESEL = 0x0004;  // selecting a row clears the others
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;  // column headers are not buttons (no clicks)

// Extended list-view styles (LVM_SETEXTENDEDLISTVIEWSTYLE, not GWL_EXSTYLE).
constexpr DWORD LVS_EX_GRIDLINES = 0x0001;
constexpr DWORD LVS_EX_CHECKBOXES = 0x0004;  // every row gets a check box (state image 1 or 2)
constexpr DWORD LVS_EX_TRACKSELECT = 0x0008;
constexpr DWORD LVS_EX_HEADERDRAGDROP = 0x0010;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x0020;

constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;  // wParam LVSIL_*, lParam the list
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_GETITEM = LVM_FIRST + 5;     // lParam LVITEM*; TRUE when the row exists
constexpr UINT LVM_SETITEM = LVM_FIRST + 6;     // lParam LVITEM*
constexpr UINT LVM_INSERTITEM = LVM_FIRST + 7;  // lParam LVITEM*; answers the new row or -1
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;  // wParam the row
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
// wParam the row to start after (-1: from the first), lParam LVNI_*: the next row
// holding all the asked states (LVNI_ALL: the next row), -1 when none.
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
// wParam the row to start after (-1: from the first), lParam LVFINDINFO*; -1 when none.
constexpr UINT LVM_FINDITEM = LVM_FIRST + 13;
constexpr UINT LVM_GETCOLUMN = LVM_FIRST + 25;     // wParam the column, lParam LVCOLUMN*
constexpr UINT LVM_SETCOLUMN = LVM_FIRST + 26;     // wParam the column, lParam LVCOLUMN*
constexpr UINT LVM_INSERTCOLUMN = LVM_FIRST + 27;  // answers the new column's index, -1
constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
// wParam the column, lParam the width in pixels or LVSCW_AUTOSIZE(_USEHEADER).
constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
// wParam the row (-1: every row), lParam LVITEM* (state and stateMask).
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;  // wParam the row, lParam the mask
// wParam the row, lParam LVITEM* (iSubItem, pszText, cchTextMax); answers the length.
constexpr UINT LVM_GETITEMTEXT = LVM_FIRST + 45;
constexpr UINT LVM_SETITEMTEXT = LVM_FIRST + 46;  // wParam the row, lParam LVITEM*
// wParam a value handed to the callback, lParam the PFNLVCOMPARE. A stable sort.
constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
// wParam the styles to change (0: all), lParam their new values; answers the old styles.
constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;

constexpr WPARAM LVSIL_NORMAL = 0;
constexpr WPARAM LVSIL_SMALL = 1;
constexpr WPARAM LVSIL_STATE = 2;

constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;

constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT index) {
    return index << 12;
}

constexpr LPARAM LVNI_ALL = 0x0000;
constexpr LPARAM LVNI_FOCUSED = 0x0001;
constexpr LPARAM LVNI_SELECTED = 0x0002;

// A row or one of its sub-items (iSubItem 0 is the row itself). pszText: the text to
// set, or the buffer of cchTextMax chars (with the NUL) to copy it into.
struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
};

constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
constexpr int LVCFMT_JUSTIFYMASK = 0x0003;

struct LVCOLUMN {
    UINT mask = 0;
    int fmt = LVCFMT_LEFT;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
};

// LVM_SETCOLUMNWIDTH: the widest text of the column's rows; the wider of that and the
// header text (and the last column also fills what is left of the client width).
constexpr LPARAM LVSCW_AUTOSIZE = -1;
constexpr LPARAM LVSCW_AUTOSIZE_USEHEADER = -2;

// LVM_FINDITEM: by item data (LVFI_PARAM), or by the row's text: equal ignoring ASCII
// case, or beginning with psz with LVFI_PARTIAL.
constexpr UINT LVFI_PARAM = 0x0001;
constexpr UINT LVFI_STRING = 0x0002;
constexpr UINT LVFI_PARTIAL = 0x0008;
struct LVFINDINFO {
    UINT flags = 0;
    const char* psz = nullptr;
    LPARAM lParam = 0;
};

// Answers below 0 when the row of the first item data goes before the second's, 0 when
// either order will do, above 0 otherwise. Runs inside LVM_SORTITEMS, on the control's
// thread; it may read the control (the rows stay where they were until the sort ends).
using PFNLVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM sortData);

// Notifications (WM_NOTIFY to the parent).
constexpr UINT LVN_FIRST = static_cast<UINT>(-100);
// Before a row's state changes (NMLISTVIEW); a TRUE answer keeps the old state.
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;
// After a row's state changed (NMLISTVIEW: uChanged LVIF_STATE, old and new state).
constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
constexpr UINT LVN_INSERTITEM = LVN_FIRST - 2;
constexpr UINT LVN_DELETEITEM = LVN_FIRST - 3;
constexpr UINT LVN_DELETEALLITEMS = LVN_FIRST - 4;
// A column header was clicked (NMLISTVIEW: iItem -1, iSubItem the column).
constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
};

// NM_CLICK and NM_DBLCLK of a list view: the row (iItem, -1 below the last row) and
// the column clicked.
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
    UINT uKeyFlags = 0;
};

// ---- The usual calls, as the platform's macros give them -------------------------------

inline int ListView_GetItemCount(HWND list) {
    return static_cast<int>(SendMessage(list, LVM_GETITEMCOUNT, 0, 0));
}
inline int ListView_InsertItem(HWND list, const LVITEM* item) {
    return static_cast<int>(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_SetItem(HWND list, const LVITEM* item) {
    return static_cast<BOOL>(SendMessage(list, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_GetItem(HWND list, LVITEM* item) {
    return static_cast<BOOL>(SendMessage(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_DeleteItem(HWND list, int row) {
    return static_cast<BOOL>(SendMessage(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0));
}
inline BOOL ListView_DeleteAllItems(HWND list) {
    return static_cast<BOOL>(SendMessage(list, LVM_DELETEALLITEMS, 0, 0));
}
inline int ListView_InsertColumn(HWND list, int column, const LVCOLUMN* info) {
    return static_cast<int>(SendMessage(list, LVM_INSERTCOLUMN, static_cast<WPARAM>(column),
                                        reinterpret_cast<LPARAM>(info)));
}
inline BOOL ListView_SetColumnWidth(HWND list, int column, int width) {
    return static_cast<BOOL>(
        SendMessage(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width));
}
inline int ListView_GetColumnWidth(HWND list, int column) {
    return static_cast<int>(SendMessage(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}
inline int ListView_GetNextItem(HWND list, int start, LPARAM flags) {
    return static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
}
inline BOOL ListView_SetItemState(HWND list, int row, UINT state, UINT mask) {
    LVITEM item;
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(SendMessage(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                                         reinterpret_cast<LPARAM>(&item)));
}
inline UINT ListView_GetItemState(HWND list, int row, UINT mask) {
    return static_cast<UINT>(SendMessage(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
}
// TRUE when the row's box is ticked, FALSE when not, -1 without a check box.
inline BOOL ListView_GetCheckState(HWND list, int row) {
    return static_cast<BOOL>((ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) >> 12)) - 1;
}
inline BOOL ListView_SetCheckState(HWND list, int row, bool checked) {
    return ListView_SetItemState(list, row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1),
                                 LVIS_STATEIMAGEMASK);
}
inline BOOL ListView_SetItemText(HWND list, int row, int subItem, const char* text) {
    LVITEM item;
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(list, LVM_SETITEMTEXT, static_cast<WPARAM>(row),
                                         reinterpret_cast<LPARAM>(&item)));
}
inline BOOL ListView_SortItems(HWND list, PFNLVCOMPARE compare, LPARAM sortData) {
    return static_cast<BOOL>(SendMessage(list, LVM_SORTITEMS, static_cast<WPARAM>(sortData),
                                         reinterpret_cast<LPARAM>(compare)));
}
inline DWORD ListView_SetExtendedListViewStyle(HWND list, DWORD styles) {
    return static_cast<DWORD>(SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, styles));
}
inline DWORD ListView_GetExtendedListViewStyle(HWND list) {
    return static_cast<DWORD>(SendMessage(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}
inline int ListView_FindItem(HWND list, int start, const LVFINDINFO* find) {
    return static_cast<int>(SendMessage(list, LVM_FINDITEM, static_cast<WPARAM>(start),
                                        reinterpret_cast<LPARAM>(find)));
}

// The text of a row's sub-item ("" for none); for code and tests that want a string.
std::string ListViewText(HWND list, int row, int subItem);
