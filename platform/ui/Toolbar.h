// The toolbar ("ToolbarWindow32"): a row of buttons, each with an image from the
// toolbar's image list, a text from its string list, a command id and a state. A click
// on a button sends WM_COMMAND (MAKEWPARAM(id, BN_CLICKED = 0), the toolbar) to the
// toolbar's parent (or the window given by TB_SETPARENT). Text is UTF-8; every message
// runs on the control's thread.
//
// Sizes: a button is TB_SETBUTTONSIZE's size (kDefaultButtonWidth x kDefaultButtonHeight
// at first); an autosize button (BTNS_AUTOSIZE) is as wide as its image and text need:
// image width + 8, and with a text shown (TBSTYLE_LIST with BTNS_SHOWTEXT, or any text
// without TBSTYLE_LIST) + the text width + 6. Buttons sit side by side from the left.
#pragma once

#include <string>

#include "platform/ui/CommonControls.h"
#include "platform/ui/ImageList.h"

constexpr int kDefaultButtonWidth = 24;
constexpr int kDefaultButtonHeight = 22;

// Common control styles.
constexpr DWORD CCS_TOP = 0x0001;
constexpr DWORD CCS_NORESIZE = 0x0004;
constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
constexpr DWORD CCS_NODIVIDER = 0x0040;

// Toolbar styles.
constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;  // hovering a button shows its tip
constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
constexpr DWORD TBSTYLE_FLAT = 0x0800;
constexpr DWORD TBSTYLE_LIST = 0x1000;
constexpr DWORD TBSTYLE_CUSTOMERASE = 0x2000;
constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

constexpr DWORD TBSTYLE_EX_MIXEDBUTTONS = 0x0008;

// Button styles (TBBUTTON::fsStyle).
constexpr BYTE BTNS_BUTTON = 0x00;
constexpr BYTE BTNS_SEP = 0x01;
constexpr BYTE BTNS_CHECK = 0x02;  // a click toggles TBSTATE_CHECKED
constexpr BYTE BTNS_AUTOSIZE = 0x10;
constexpr BYTE BTNS_SHOWTEXT = 0x40;

// Button states (TBBUTTON::fsState).
constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;

// iString: the index of a string added with TB_ADDSTRING (or -1 for none).
struct TBBUTTON {
    int iBitmap = 0;
    int idCommand = 0;
    BYTE fsState = 0;
    BYTE fsStyle = 0;
    BYTE bReserved[6] = {};
    DWORD_PTR dwData = 0;
    INT_PTR iString = -1;
};

constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;  // wParam the id, lParam TRUE to enable
constexpr UINT TB_CHECKBUTTON = WM_USER + 2;   // wParam the id, lParam TRUE to check
constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
constexpr UINT TB_SETSTATE = WM_USER + 17;      // wParam the id, lParam the TBSTATE_ bits
constexpr UINT TB_GETSTATE = WM_USER + 18;      // wParam the id; -1 for none
constexpr UINT TB_ADDBUTTONS = WM_USER + 20;    // wParam the count, lParam TBBUTTON*
constexpr UINT TB_INSERTBUTTON = WM_USER + 21;  // wParam where, lParam TBBUTTON*
constexpr UINT TB_DELETEBUTTON = WM_USER + 22;  // wParam the index
constexpr UINT TB_GETBUTTON = WM_USER + 23;     // wParam the index, lParam TBBUTTON*
constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;  // wParam the id; -1 for none
// lParam: NUL-separated texts ending with an empty one (wParam must be 0); answers the
// index of the first, -1 on failure.
constexpr UINT TB_ADDSTRING = WM_USER + 28;
constexpr UINT TB_GETITEMRECT = WM_USER + 29;  // wParam the index, lParam RECT*
// wParam sizeof(TBBUTTON). The toolbar reads its buttons in that size only: any other
// size makes TB_ADDBUTTONS and TB_INSERTBUTTON fail, as their arrays could not be read.
constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;  // lParam MAKELPARAM(width, height)
constexpr UINT TB_AUTOSIZE = WM_USER + 33;       // lays the buttons out again
constexpr UINT TB_SETPARENT = WM_USER + 37;      // wParam the window for WM_COMMAND and tips
constexpr UINT TB_GETBUTTONTEXT = WM_USER + 45;  // wParam the id, lParam a buffer or null
constexpr UINT TB_SETIMAGELIST = WM_USER + 48;   // lParam the list (not owned)
constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;  // MAKELPARAM(width, height)
constexpr UINT TB_SETMAXTEXTROWS = WM_USER + 60;
constexpr UINT TB_SETEXTENDEDSTYLE = WM_USER + 84;  // answers the old extended style
constexpr UINT TB_GETEXTENDEDSTYLE = WM_USER + 85;

// Tooltips: the toolbar asks its parent for a button's tip with TTN_GETDISPINFO
// (NMTTDISPINFO, hdr.idFrom the button's command id). The parent points lpszText at its
// text or copies it into szText; when it gives nothing, the tip is the button's text.
constexpr UINT TTN_FIRST = static_cast<UINT>(-520);
constexpr UINT TTN_GETDISPINFO = TTN_FIRST - 0;
constexpr UINT TTN_NEEDTEXT = TTN_GETDISPINFO;
struct NMTTDISPINFO {
    NMHDR hdr;
    const char* lpszText = nullptr;
    char szText[80] = {};
    void* hinst = nullptr;
    UINT uFlags = 0;
    LPARAM lParam = 0;
};

// A button's text ("" for none), by command id.
std::string ToolbarButtonText(HWND toolbar, int commandId);
