// What a person does, as calls: tests drive windows through these, and a screen's input
// handlers turn real clicks and keys into the same calls. Each acts through the messages
// the real control would get and send (a click is BM_CLICK, which sends BN_CLICKED to
// the parent), so the code above sees no difference. Every call runs on the window's
// thread and answers false when the window is dead, hidden or disabled, or is not the
// kind of control the call is for, as a person could not do it either.
#pragma once

#include <string_view>

#include "platform/base/Types.h"

namespace UserInput {

// Clicks a button: a push button sends BN_CLICKED; a check box toggles and an auto radio
// button checks itself (and clears its group) before it does.
bool ClickButton(HWND button);

// Ticks (checked true) or clears a check box, clicking it only when it differs.
bool TickBox(HWND checkBox, bool checked);

// Focuses the edit, selects its whole text (replaceAll) or puts the caret at its end,
// and types the text, one character at a time (WM_CHAR; each change sends EN_CHANGE).
// A read-only edit takes nothing.
bool TypeText(HWND edit, std::string_view text, bool replaceAll = true);

// Selects a list-box row as a click does (LBN_SELCHANGE), or double-clicks it
// (LBN_SELCHANGE then LBN_DBLCLK). False for a row that is not there.
bool SelectListRow(HWND listBox, int row);
bool DoubleClickListRow(HWND listBox, int row);

// Enter and Esc in the dialog that holds window (see DialogKey): Enter clicks the focused
// push button or the default button, Esc is IDCANCEL.
bool PressEnter(HWND window);
bool PressEscape(HWND window);

// Resizes a window as dragging its frame does (its top-left stays).
bool ResizeWindow(HWND window, int width, int height);
// Closes a window with its close box: WM_SYSCOMMAND SC_CLOSE, then WM_CLOSE.
bool CloseWindow(HWND window);

// Added with the controls they act on: a menu item (ChooseMenuItem), a toolbar button
// (ClickToolbarButton), a list-view column header (ClickListColumn), a list-view row
// (SelectListViewRow, DoubleClickListViewRow) and a tab (SelectTab). Each sends its
// control the UIM_ message of Controls.h that stands for the gesture.

}  // namespace UserInput
