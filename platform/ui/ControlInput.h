// What a person does to the common controls and menus, as calls: tests drive windows
// through these, and a screen's input handlers turn real clicks into the same calls.
// Each acts through the messages the real control sends (a row click selects the row
// with LVN_ITEMCHANGING / LVN_ITEMCHANGED, then NM_CLICK), so the code above sees no
// difference. Every call runs on the window's thread and answers false when the window
// is dead, hidden or disabled, or the thing asked for is not there or not usable, as a
// person could not do it either. The simple controls' calls are in UserInput.h.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

namespace ControlInput {

// List view: clicks a row (the selection moves to it alone, then NM_CLICK), or
// double-clicks it (the same, then NM_DBLCLK).
bool SelectListViewRow(HWND listView, int row);
bool DoubleClickListViewRow(HWND listView, int row);
// Ticks (checked true) or clears a row's check box (LVS_EX_CHECKBOXES), clicking it only
// when it differs.
bool TickListViewRow(HWND listView, int row, bool checked);
// Clicks a column header (LVN_COLUMNCLICK); false with LVS_NOSORTHEADER.
bool ClickListColumn(HWND listView, int column);

// Tab control: clicks a tab (TCN_SELCHANGING, then TCN_SELCHANGE); a click on the
// selected tab changes nothing and answers true; false when the parent keeps the old tab.
bool SelectTab(HWND tabControl, int tab);

// Toolbar: clicks the enabled, shown button of that command id (WM_COMMAND to the
// owner); hovers over it and answers the tip shown ("" when none or with no tooltips).
bool ClickToolbarButton(HWND toolbar, int commandId);
std::string HoverToolbarButton(HWND toolbar, int commandId);

// The popup menu shown on the calling thread (TrackPopupMenu): choose an enabled item by
// command id or by its text (with or without its "&"; items of sub-menus too, opening
// the sub-menu first), move the pointer onto an item (it is drawn selected), press a
// key (an item marked with "&key" is chosen; else the owner's WM_MENUCHAR answer is
// followed), or dismiss the menu (Esc, a click elsewhere).
bool ChooseMenuItem(unsigned commandId);
bool ChooseMenuItemByText(std::string_view text);
bool HighlightMenuItem(unsigned commandId);
bool PressMenuKey(char key);
bool DismissMenu();
// Opens the window's system menu (WS_SYSMENU; WM_INITMENUPOPUP with TRUE) and chooses an
// enabled item: WM_SYSCOMMAND with its id (the About item the programs append too).
bool ChooseSystemMenuItem(HWND window, unsigned commandId);

// The pointer: moves over a visible window of this thread to (x, y) in its client area
// (WM_MOUSEMOVE; the window it leaves gets the WM_MOUSELEAVE it asked for), or away from
// every window. While the left button is held (PressMouse) the moves go to the window it
// was pressed on, with MK_LBUTTON, at points in that window's client coordinates (they
// may lie outside it).
bool MoveMouseOver(HWND window, int x, int y);
bool MoveMouseAway();
// The left button pressed on a visible, enabled window at (x, y) of its client area
// (WM_LBUTTONDOWN with MK_LBUTTON), and released again (WM_LBUTTONUP, to the window it
// was pressed on, at a point of that window's client coordinates). A press and release
// on a push button is its click.
bool PressMouse(HWND window, int x, int y);
bool ReleaseMouse(int x, int y);

}  // namespace ControlInput
