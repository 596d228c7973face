// The utility library's window and list-box helpers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/window/WindowTree.h"

struct HICON__;
using HICON = HICON__*;

// A minimised dialog program's WM_PAINT: the client area in the dialog's colour with
// the icon in its middle, at ((width - icon width + 1) / 2, (height - icon height + 1) / 2).
void PaintIconCentred(HWND window, HICON icon);

// Whether the window's class is "Edit", ignoring case.
bool IsEditWindow(HWND window);
// The window's text, "" for no window; and that text read with StringToInt.
std::string WindowTextOf(HWND window);
int WindowIntOf(HWND window);

// Adds every text of the array as a row.
void FillListBox(HWND listBox, const std::vector<std::string>& texts);
// Removes the row that is exactly text, when there is one.
void RemoveListBoxString(HWND listBox, std::string_view text);
// Adds a non-empty text unless a row is exactly that text; answers the row of the text
// (-1 for an empty text).
int AddListBoxString(HWND listBox, std::string_view text);
// The selected row's text, "" when none is selected.
std::string GetListBoxSelection(HWND listBox);
