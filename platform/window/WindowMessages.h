// Message numbers and flags that the platform itself defines. The system's own
// messages live at WM_USER and above.
#pragma once

#include "platform/base/Types.h"

constexpr UINT WM_NULL = 0x0000;
// Sent by CreateWindowEx and CreateMessageWindow before they return; a handler answer of
// -1 refuses the window. lParam: the CREATESTRUCT of CreateWindowEx (0 for a message
// window).
constexpr UINT WM_CREATE = 0x0001;
// Sent by DestroyWindow while the handle is still valid: first to the window, then to
// its children, each before its own children.
constexpr UINT WM_DESTROY = 0x0002;
// After a move: lParam the new top-left of the client area (low word x, high word y).
constexpr UINT WM_MOVE = 0x0003;
// After every resize and once after WM_CREATE: wParam SIZE_*, lParam the client width
// (low word) and height (high word).
constexpr UINT WM_SIZE = 0x0005;
// wParam: WA_* (low word); lParam: the other window.
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;   // wParam: the window that lost the focus
constexpr UINT WM_KILLFOCUS = 0x0008;  // wParam: the window that gets it
constexpr UINT WM_ENABLE = 0x000A;     // wParam: TRUE when enabled
constexpr UINT WM_SETTEXT = 0x000C;    // lParam: const char* (UTF-8, NUL-ended)
// wParam: the buffer's size in chars (with the NUL); lParam: char*. Answers the
// number of chars copied, without the NUL.
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
// The default handling destroys the window.
constexpr UINT WM_CLOSE = 0x0010;
// Ends a message loop: GetMessage returns FALSE; wParam is the exit code.
constexpr UINT WM_QUIT = 0x0012;
// The system colours changed: a window that keeps drawings in them takes them again.
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;  // wParam: TRUE when shown
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
// The icon to show while a minimised window is dragged; the default answers the
// window's big icon.
constexpr UINT WM_QUERYDRAGICON = 0x0037;
// From a control to its parent: wParam the control id, lParam the NMHDR*.
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_GETICON = 0x007F;  // wParam: ICON_SMALL or ICON_BIG
// wParam: ICON_SMALL or ICON_BIG, lParam: the HICON; answers the previous icon.
constexpr UINT WM_SETICON = 0x0080;
// The last message a window gets, after the WM_DESTROY of all its children.
constexpr UINT WM_NCDESTROY = 0x0082;
// A control answers which keys it wants (DLGC_*).
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
// Sent to a dialog after its controls exist: wParam the control to get the focus.
// A TRUE answer lets the dialog give that control the focus.
constexpr UINT WM_INITDIALOG = 0x0110;
// wParam: low word the command or control id, high word the notification code;
// lParam: the control (0 for a menu or accelerator).
constexpr UINT WM_COMMAND = 0x0111;
// wParam: SC_* (the low 4 bits are the platform's own); the default handling closes on
// SC_CLOSE and minimises, maximises or restores.
constexpr UINT WM_SYSCOMMAND = 0x0112;
// A timer's tick: wParam is the timer id, lParam 0.
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MENUCHAR = 0x0120;
// To the owner of a modal dialog while the dialog's loop has nothing to do.
constexpr UINT WM_ENTERIDLE = 0x0121;
// A button asks its parent for the brush of its background: wParam its device context,
// lParam the button; answers an HBRUSH.
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
// The key state of a mouse message's wParam: the left button is down.
constexpr WPARAM MK_LBUTTON = 0x0001;
// To a modal dialog while its loop is idle; wParam the idle count.
constexpr UINT WM_KICKIDLE = 0x036A;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// SendMessageTimeout flags: the caller serves what is sent to its own thread while it waits.
constexpr UINT SMTO_NORMAL = 0x0000;

// PeekMessage: whether the message found is taken off the queue.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// The shortest timer period; shorter requests are raised to it.
constexpr UINT USER_TIMER_MINIMUM = 0x000A;

// WM_ACTIVATE states.
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SETICON and WM_GETICON.
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

// WM_SYSCOMMAND commands (the low 4 bits of wParam are not part of the command).
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;

// Virtual keys of WM_KEYDOWN that dialogs and controls look at.
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;

constexpr WORD LOWORD(std::uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
    return static_cast<WPARAM>(low) | (static_cast<WPARAM>(high) << 16);
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
