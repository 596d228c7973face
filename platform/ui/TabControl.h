// The tab control ("SysTabControl32"): a row of tabs, one of them selected, over a
// display area where the dialog shows the selected tab's windows. Text is UTF-8; every
// message runs on the control's thread.
//
// The tab row is kTabRowHeight pixels at the top (at the bottom with TCS_BOTTOM); the
// display area is the rest, kTabMargin pixels inside the control's other edges.
#pragma once

#include "platform/ui/CommonControls.h"
#include "platform/ui/ImageList.h"

constexpr int kTabRowHeight = 22;
constexpr int kTabMargin = 4;

constexpr DWORD TCS_BOTTOM = 0x0002;

constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_GETITEM = TCM_FIRST + 5;     // wParam the tab, lParam TCITEM*
constexpr UINT TCM_SETITEM = TCM_FIRST + 6;     // wParam the tab, lParam TCITEM*
constexpr UINT TCM_INSERTITEM = TCM_FIRST + 7;  // wParam where, lParam TCITEM*; answers it or -1
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;  // -1 when none is selected
// wParam the tab; answers the tab selected before (-1 for none or on failure). Sends no
// notification.
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
// wParam FALSE: lParam (RECT*, in the control's parent's coordinates or the control's own)
// goes from the control's rectangle to its display area; TRUE: the other way.
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;

constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_PARAM = 0x0008;

struct TCITEM {
    UINT mask = 0;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
};

// Notifications (WM_NOTIFY with an NMHDR) of a person's switch to another tab:
// TCN_SELCHANGING first (a TRUE answer keeps the old tab), then the selection moves,
// then TCN_SELCHANGE.
constexpr UINT TCN_FIRST = static_cast<UINT>(-550);
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

inline int TabCtrl_InsertItem(HWND tabs, int at, const TCITEM* item) {
    return static_cast<int>(
        SendMessage(tabs, TCM_INSERTITEM, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(item)));
}
inline int TabCtrl_GetCurSel(HWND tabs) {
    return static_cast<int>(SendMessage(tabs, TCM_GETCURSEL, 0, 0));
}
inline int TabCtrl_SetCurSel(HWND tabs, int tab) {
    return static_cast<int>(SendMessage(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0));
}
inline int TabCtrl_GetItemCount(HWND tabs) {
    return static_cast<int>(SendMessage(tabs, TCM_GETITEMCOUNT, 0, 0));
}
inline BOOL TabCtrl_DeleteItem(HWND tabs, int tab) {
    return static_cast<BOOL>(SendMessage(tabs, TCM_DELETEITEM, static_cast<WPARAM>(tab), 0));
}
inline void TabCtrl_AdjustRect(HWND tabs, BOOL larger, RECT* rect) {
    SendMessage(tabs, TCM_ADJUSTRECT, static_cast<WPARAM>(larger), reinterpret_cast<LPARAM>(rect));
}
