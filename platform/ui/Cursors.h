// The mouse cursor: the shared cursors of the system by id (LoadCursor) and the one
// cursor shown (SetCursor). The model keeps the cursor set last, for the process, and
// tells an installed presenter (a screen) of every change; without one nothing else
// happens. The process starts with the arrow.
//
// Safe on any thread. None throws.
#pragma once

#include "platform/base/Types.h"

struct HCURSOR__;
using HCURSOR = HCURSOR__*;

// WM_SETCURSOR: sent to the window under the pointer; wParam that window, lParam the hit
// area (low word) and the mouse message (high word). A TRUE answer means the window set
// the cursor.
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr WORD HTCLIENT = 1;

// The shared cursors.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_HAND = 32649;

// The shared cursor of that id (the same handle on every call); null for an id that
// names none. instance is taken and not looked at: the programs have no cursor
// resources of their own.
HCURSOR LoadCursor(const void* instance, int id);
// Shows cursor (null: none) and answers the one shown before.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The shared cursors are never destroyed: TRUE for one of them and does nothing, FALSE
// for any other handle.
BOOL DestroyCursor(HCURSOR cursor);

// A screen that shows the cursor: told, on the thread that set it, of each cursor that
// SetCursor shows (also when it is the one shown already). Installed once at start-up,
// or by a test for its scope (null: none).
class CursorPresenter {
public:
    virtual ~CursorPresenter() = default;
    virtual void CursorSet(HCURSOR cursor) = 0;
};
void SetCursorPresenter(CursorPresenter* presenter);
