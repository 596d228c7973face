// What the common controls (list view, tab control, tree view, toolbar), the menus and
// the owner-drawn controls share: the notification codes every control sends, the
// owner-draw records of WM_MEASUREITEM and WM_DRAWITEM, and the messages that stand for
// what a person does to these controls (sent by platform/ui/ControlInput.h and by a
// screen's input handlers, never by the system code).
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/Gdi.h"
#include "platform/window/WindowTree.h"

using ULONG_PTR = std::uintptr_t;

// Notification codes every common control sends in WM_NOTIFY (NMHDR::code).
constexpr UINT NM_CLICK = static_cast<UINT>(-2);
constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);

// ---- Owner drawing ---------------------------------------------------------------------

constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_BUTTON = 4;

// What to draw (DRAWITEMSTRUCT::itemAction).
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;

// The item's state (DRAWITEMSTRUCT::itemState).
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_GRAYED = 0x0002;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_CHECKED = 0x0008;
constexpr UINT ODS_FOCUS = 0x0010;
constexpr UINT ODS_DEFAULT = 0x0020;
constexpr UINT ODS_HOTLIGHT = 0x0040;

// WM_MEASUREITEM's lParam (wParam: the control id, 0 for a menu). The owner fills in
// itemWidth and itemHeight.
struct MEASUREITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    ULONG_PTR itemData = 0;
};

// WM_DRAWITEM's lParam (wParam: the control id, 0 for a menu). hDC draws on the
// control's surface (a menu's: the open menu's surface); rcItem is the item's rectangle
// on it. For a menu item hwndItem is the menu handle.
struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    RECT rcItem;
    ULONG_PTR itemData = 0;
};

// ---- What a person does (sent to the control; answers TRUE when it happened) ------------
// wParam the row; lParam TRUE for a double click.
constexpr UINT UIM_LISTVIEW_CLICKROW = 0x03A0;
// wParam the row; lParam TRUE to tick, FALSE to clear its check box.
constexpr UINT UIM_LISTVIEW_TICKROW = 0x03A1;
// wParam the column.
constexpr UINT UIM_LISTVIEW_CLICKCOLUMN = 0x03A2;
// wParam the tab.
constexpr UINT UIM_TAB_CLICK = 0x03A3;
// wParam the button's command id.
constexpr UINT UIM_TOOLBAR_CLICK = 0x03A4;
// wParam the button's command id; lParam a std::string* that receives the tip shown.
constexpr UINT UIM_TOOLBAR_HOVER = 0x03A5;

// Registers "SysListView32", "SysTabControl32", "SysTreeView32" and "ToolbarWindow32";
// called from the platform's standard class registration.
void RegisterCommonControlClasses();
