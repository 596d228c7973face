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

// The keys that change part of an edit's text: the bytes from start to end (the
// selection the person made, or the caret where they are equal) are selected
// (EM_SETSEL) and the text typed over them, one character at a time (WM_CHAR; a CR LF
// or a lone LF is one Enter); with no text a non-empty range goes with one Backspace.
// Each change sends EN_CHANGE. The edit keeps what it refuses (read-only, ES_NUMBER, its
// limit). Positions count bytes of the edit's UTF-8 text.
bool ReplaceText(HWND edit, size_t start, size_t end, std::string_view text);
// The caret moved, or the person selected text (EM_SETSEL; start may be after end).
bool SelectText(HWND edit, size_t start, size_t end);

// A click on a control gives it the focus (SetFocus), as it does a control of any kind.
bool Focus(HWND control);

// Selects a list-box row as a click does (LBN_SELCHANGE), or double-clicks it
// (LBN_SELCHANGE then LBN_DBLCLK). False for a row that is not there.
bool SelectListRow(HWND listBox, int row);
bool DoubleClickListRow(HWND listBox, int row);

// Enter and Esc in the dialog that holds window (see DialogKey): Enter clicks the focused
// push button or the default button, Esc is IDCANCEL.
bool PressEnter(HWND window);
bool PressEscape(HWND window);
// Tab and Shift+Tab (backwards) in the dialog that holds window (see DialogKey): the focus
// goes to the next or previous tab stop.
bool PressTab(HWND window, bool backwards);

// Space on the focused control, held down (WM_KEYDOWN, then WM_CHAR) and let go
// (WM_KEYUP): a button is drawn pushed meanwhile and clicks when it is let go (a button
// that lost the focus meanwhile does not). PressSpace answers false when the control does
// not have the focus; ReleaseSpace goes to any live window of this thread.
bool PressSpace(HWND focus);
bool ReleaseSpace(HWND focus);

// Resizes a window as dragging its frame does (its top-left stays).
bool ResizeWindow(HWND window, int width, int height);
// Closes a window with its close box: WM_SYSCOMMAND SC_CLOSE, then WM_CLOSE.
bool CloseWindow(HWND window);

// Added with the controls they act on: a menu item (ChooseMenuItem), a toolbar button
// (ClickToolbarButton), a list-view column header (ClickListColumn), a list-view row
// (SelectListViewRow, DoubleClickListViewRow) and a tab (SelectTab). Each sends its
// control the UIM_ message of Controls.h that stands for the gesture.

}  // namespace UserInput
