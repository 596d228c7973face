// The platform's simple controls, window classes "BUTTON", "EDIT", "STATIC" and
// "LISTBOX": their styles, messages and the notifications they send their parent
// (WM_COMMAND with the control id and the code). Each keeps its content in its own
// handler; the window text (a button's or static's caption, an edit's whole text) is the
// window's text in the model. Positions in an edit count bytes of its UTF-8 text.
#pragma once

#include <string>

#include "platform/base/Types.h"
#include "platform/window/WindowTree.h"

// ---- Buttons ("BUTTON") --------------------------------------------------------------
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_CHECKBOX = 0x2;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_RADIOBUTTON = 0x4;
constexpr DWORD BS_3STATE = 0x5;
constexpr DWORD BS_AUTO3STATE = 0x6;
constexpr DWORD BS_GROUPBOX = 0x7;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD BS_OWNERDRAW = 0xB;
constexpr DWORD BS_TYPEMASK = 0xF;

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;  // wParam BST_*
constexpr UINT BM_GETSTATE = 0x00F2;
// wParam TRUE holds the button down, FALSE lets it up; an owner-drawn button is drawn
// again (ODS_SELECTED while held).
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;  // wParam the new BS_* type
// As a click of the mouse: an auto check box toggles, an auto radio button checks itself
// and clears the others of its group, then BN_CLICKED goes to the parent. A disabled
// button ignores it.
constexpr UINT BM_CLICK = 0x00F5;

constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;
constexpr WPARAM BST_INDETERMINATE = 2;
// BM_GETSTATE's further bits: the button is held down (BM_SETSTATE), it has the focus.
constexpr WPARAM BST_PUSHED = 0x0004;
constexpr WPARAM BST_FOCUS = 0x0008;

constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_DOUBLECLICKED = 5;

// ---- Edits ("EDIT") ------------------------------------------------------------------
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

// wParam, lParam: DWORD* for the start and the end (either may be null); answers
// MAKELONG(start, end).
constexpr UINT EM_GETSEL = 0x00B0;
// wParam start, lParam end; a start of -1 removes the selection, an end of -1 is the end.
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
// lParam: const char*; replaces the selection (also in a read-only edit) and sends
// EN_CHANGE.
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_LIMITTEXT = 0x00C5;  // wParam: the most bytes typed; 0: no limit
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_SETREADONLY = 0x00CF;  // wParam: TRUE for read-only
constexpr UINT EM_GETLIMITTEXT = 0x00D5;

constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_MAXTEXT = 0x0501;

// ---- Statics ("STATIC") --------------------------------------------------------------
constexpr DWORD SS_LEFT = 0x00;
constexpr DWORD SS_CENTER = 0x01;
constexpr DWORD SS_RIGHT = 0x02;
constexpr DWORD SS_ICON = 0x03;
constexpr DWORD SS_BLACKRECT = 0x04;
constexpr DWORD SS_GRAYRECT = 0x05;
constexpr DWORD SS_WHITERECT = 0x06;
constexpr DWORD SS_BLACKFRAME = 0x07;
constexpr DWORD SS_ETCHEDHORZ = 0x10;
constexpr DWORD SS_ETCHEDVERT = 0x11;
constexpr DWORD SS_ETCHEDFRAME = 0x12;
constexpr DWORD SS_TYPEMASK = 0x1F;
constexpr DWORD SS_NOTIFY = 0x0100;
constexpr DWORD SS_CENTERIMAGE = 0x0200;
constexpr DWORD SS_SUNKEN = 0x1000;

constexpr UINT STM_SETICON = 0x0170;  // wParam HICON; answers the old one
constexpr UINT STM_GETICON = 0x0171;
constexpr UINT STM_SETIMAGE = 0x0172;  // wParam IMAGE_ICON, lParam HICON
constexpr UINT STM_GETIMAGE = 0x0173;
constexpr WPARAM IMAGE_ICON = 1;

constexpr WORD STN_CLICKED = 0;

// ---- List boxes ("LISTBOX") ----------------------------------------------------------
constexpr DWORD LBS_NOTIFY = 0x0001;  // without it a list box sends no notification
constexpr DWORD LBS_SORT = 0x0002;    // LB_ADDSTRING keeps the rows sorted, ignoring case
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;

constexpr UINT LB_ADDSTRING = 0x0180;     // lParam const char*; answers the row
constexpr UINT LB_INSERTSTRING = 0x0181;  // wParam the row (-1: last), lParam the text
constexpr UINT LB_DELETESTRING = 0x0182;  // answers the rows left
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;  // wParam the row, -1 for none; sends nothing
constexpr UINT LB_GETCURSEL = 0x0188;
// lParam: a buffer of at least LB_GETTEXTLEN + 1 chars; answers the length.
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
// wParam the row to search after (-1: all), lParam the prefix; selects the row found.
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_FINDSTRING = 0x018F;  // the first row that starts with lParam, ignoring case
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;  // the first row equal to lParam, ignoring case
constexpr LRESULT LB_ERR = -1;

constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;

// ---- What the dialog manager asks a control (WM_GETDLGCODE) --------------------------
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// ---- What a person does to a control -------------------------------------------------
// The controls act on these as on the mouse gestures they stand for; platform/ui/
// UserInput.h and a screen's input handlers send them. Later controls add theirs here
// (a list-view row, a column header, a tab, a toolbar button, a menu item).
//
// Selects a row as a click on it does (wParam the row; lParam TRUE for a double click):
// a list box selects it, then sends LBN_SELCHANGE (and LBN_DBLCLK) when it has
// LBS_NOTIFY. Answers the row, LB_ERR for a row that is not there.
constexpr UINT UIM_SELECTITEM = 0x0390;

// Reads a list box row ("" when there is none).
std::string ListBoxText(HWND listBox, int row);
