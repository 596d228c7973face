// The window model: windows of registered classes in a parent and child tree, each with
// its style bits, rectangle, text, control id and icons, and the calls that read and
// change them. This is the one truth of what every window holds; a presentation (see
// Presentation.h) may show it, but nothing here draws.
//
// A window belongs to the thread that created it (see Window.h). The calls that read the
// model (IsWindowVisible, GetWindowText, GetClientRect, GetWindow...) are safe on any
// thread. The calls that change it or send its handler messages (CreateWindowEx,
// DestroyWindow, ShowWindow, EnableWindow, SetFocus, SetWindowPos, MoveWindow,
// SetWindowLong) run on the window's own thread and fail (FALSE, null or 0) elsewhere;
// SetWindowText sends WM_SETTEXT and so works from any thread. A child is always made
// on its parent's thread. Every call accepts a dead or never valid handle and fails
// cleanly.
//
// Coordinates: a child's rectangle is kept in its parent's client coordinates, a
// top-level window's in screen coordinates. Frames are fixed widths (see
// AdjustWindowRectEx), so a window's client area is the same everywhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"
#include "platform/window/Window.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"

using LONG_PTR = std::intptr_t;
struct HMENU__;
using HMENU = HMENU__*;
struct HICON__;
using HICON = HICON__*;

// What WM_CREATE carries (as lParam) for a window made by CreateWindowEx.
struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HMENU hMenu = nullptr;  // a child's control id, as CreateWindowEx took it
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    DWORD style = 0;
    const char* lpszName = "";
    const char* lpszClass = "";
    DWORD dwExStyle = 0;
};

// A child's control id in the place of CreateWindowEx's menu argument.
inline HMENU ControlIdMenu(int id) {
    return reinterpret_cast<HMENU>(static_cast<UINT_PTR>(static_cast<unsigned>(id)));
}

// ---- Window classes ------------------------------------------------------------------

// Makes the handler of each new window of a class; the window owns it and deletes it
// after WM_NCDESTROY.
using WindowHandlerFactory = std::function<std::unique_ptr<WindowHandler>()>;

// Registers a class for the whole process. Names compare ignoring ASCII case. FALSE when
// the name is empty, the factory is empty or the name is taken. Any thread. The
// platform's own classes ("BUTTON", "EDIT", "STATIC", "LISTBOX", the dialog class
// "#32770") are there from the start.
BOOL RegisterWindowClass(std::string_view className, WindowHandlerFactory factory);
// FALSE when no such class is registered. Windows of the class live on.
BOOL UnregisterWindowClass(std::string_view className);
// A new handler of a registered class, null for an unknown one. A superclass wraps the
// handler of its base class with it and hands it the messages it leaves alone.
std::unique_ptr<WindowHandler> MakeClassHandler(std::string_view className);

// The class name the window was made with, as registered ("" for a dead handle and for
// a message window).
std::string GetClassName(HWND hwnd);

// Records that windows of className are a superclass of baseClassName: made with a
// handler of their own that hands what it leaves alone to MakeClassHandler(baseClass).
// The screen shows them as their base's control. Any thread; the record stays for the
// process. FALSE for an empty name or a class already recorded with another base.
BOOL RegisterSuperclass(std::string_view className, std::string_view baseClassName);
// The control a window is shown as: its class's base when the class is a recorded
// superclass, else its own class name.
std::string GetControlClassName(HWND hwnd);

// ---- Creating and destroying ---------------------------------------------------------

// Creates a window of a registered class on the calling thread. With WS_CHILD, parent is
// required and is the parent (on this thread), and menuOrId the control id
// (ControlIdMenu); without it, parent is the owner and menuOrId the window's menu.
// The window gets WM_CREATE (an answer of -1 refuses it: the window is destroyed again
// and null returned), then WM_SIZE and WM_MOVE; with WS_VISIBLE it is shown.
// x, y, width and height in the parent's client coordinates (screen for a top-level
// window); CW_USEDEFAULT gives a top-level window a fixed default place and size, and a
// child 0. Null for an unknown class or a parent that is dead or of another thread.
HWND CreateWindowEx(DWORD exStyle, std::string_view className, std::string_view windowName,
                    DWORD style, int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                    void* createParams = nullptr);

// The same for a handler the caller keeps (a window object that outlives or deletes
// itself with its window, on WM_NCDESTROY at the earliest). className only names the
// window (GetClassName); it need not be registered.
HWND CreateWindowForHandler(WindowHandler* handler, DWORD exStyle, std::string_view className,
                            std::string_view windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menuOrId, void* createParams = nullptr);

// DestroyWindow (declared in Window.h) destroys, in this order: the windows the window
// owns; then it sends WM_DESTROY to the window and then to its children, each before
// its own children; then WM_NCDESTROY to the children before the window; the handles
// end after their WM_NCDESTROY. A focus inside the destroyed tree goes (to no window).

// Replaces the window's handler (own thread only) and returns the one it had, which the
// new handler calls for the messages it leaves alone; null for a dead handle. An owned
// handler stays owned and is deleted with the window; the replacing one is the caller's.
WindowHandler* SubclassWindow(HWND hwnd, WindowHandler* handler);

// ---- The tree ------------------------------------------------------------------------

// A child's parent; a popup's (WS_POPUP) owner; null for other top-level windows.
HWND GetParent(HWND hwnd);
// GW_CHILD: the first child (the top of its children's order; children made later come
// after the earlier ones). GW_HWNDNEXT / GW_HWNDPREV: the next and previous sibling
// (for top-level windows, the next and previous in the screen's order, topmost windows
// first). GW_HWNDFIRST / GW_HWNDLAST: the first and last sibling. GW_OWNER: the owner of
// a top-level window. Null when there is none.
HWND GetWindow(HWND hwnd, UINT command);
// Whether child is a descendant of parent.
BOOL IsChild(HWND parent, HWND child);
// The first direct child of dialog with that control id, null when there is none.
HWND GetDlgItem(HWND dialog, int id);
// A child's control id (0 for a top-level window).
int GetDlgCtrlID(HWND hwnd);
// The top-level window of the screen's order that comes first (a topmost one when any).
HWND GetTopWindow(HWND hwnd);

// ---- Styles, ids and user data -------------------------------------------------------

// GWL_STYLE, GWL_EXSTYLE, GWL_ID and GWLP_USERDATA; 0 for a dead handle or another index.
LONG GetWindowLong(HWND hwnd, int index);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
// Sets one of them and returns its old value (0 on failure). A style change tells the
// presentation; WS_VISIBLE and WS_DISABLED set this way send no messages (ShowWindow and
// EnableWindow do).
LONG SetWindowLong(HWND hwnd, int index, LONG value);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);

// ---- Text ----------------------------------------------------------------------------

// Sends WM_SETTEXT; the default handling keeps the text. FALSE for a dead handle.
BOOL SetWindowText(HWND hwnd, std::string_view text);
// The window's text as it holds it ("" for a dead handle).
std::string GetWindowText(HWND hwnd);
// Copies at most maxCount - 1 chars and a NUL; answers the number copied.
int GetWindowText(HWND hwnd, char* buffer, int maxCount);
int GetWindowTextLength(HWND hwnd);

// ---- Showing, enabling and focus -----------------------------------------------------

// SW_HIDE, SW_SHOW..., SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE. Sends WM_SHOWWINDOW on a
// change of visibility and WM_SIZE on minimising, maximising and restoring. Answers
// whether the window was visible before.
BOOL ShowWindow(HWND hwnd, int command);
// Whether the window and all its ancestors have WS_VISIBLE.
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// Sends WM_ENABLE on a change; disabling the focus window (or an ancestor of it) takes
// the focus away. Answers whether the window was disabled before.
BOOL EnableWindow(HWND hwnd, BOOL enable);
// Whether the window itself is enabled (its ancestors are not asked).
BOOL IsWindowEnabled(HWND hwnd);
// Moves the calling thread's focus to a live, enabled window of this thread (null:
// nowhere): WM_KILLFOCUS to the old one (wParam the new), then WM_SETFOCUS to the new
// one (wParam the old). Answers the window that had the focus, null on failure.
HWND SetFocus(HWND hwnd);
// The calling thread's focus window, null when none.
HWND GetFocus();

// ---- Rectangles and positions --------------------------------------------------------

// The window's rectangle in screen coordinates.
BOOL GetWindowRect(HWND hwnd, RECT* rect);
// The client area: left and top 0, right and bottom its width and height.
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
// Converts points from the client coordinates of one window to those of another (null:
// the screen). Answers FALSE for a dead handle.
BOOL MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL MapWindowRect(HWND from, HWND to, RECT* rect);
// Grows a client rectangle into the window rectangle of that style: frames of 4 pixels
// (WS_THICKFRAME), 3 (WS_DLGFRAME or WS_EX_DLGMODALFRAME) or 1 (WS_BORDER alone), a
// client edge of 2 (WS_EX_CLIENTEDGE) or a static edge of 1, and a caption of 19
// (WS_CAPTION). There are no menu bars in the model.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);

// Moves and sizes the window (x, y as for CreateWindowEx): WM_MOVE when it moved and
// WM_SIZE on every call. repaint is taken and ignored (nothing is drawn).
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
// Places the window: SWP_NOMOVE, SWP_NOSIZE, SWP_NOZORDER, SWP_SHOWWINDOW,
// SWP_HIDEWINDOW. insertAfter: HWND_TOP, HWND_BOTTOM, a sibling, or for top-level
// windows HWND_TOPMOST (the window keeps WS_EX_TOPMOST and stays above every window
// without it until HWND_NOTOPMOST or HWND_BOTTOM) and HWND_NOTOPMOST. WM_SIZE whenever
// SWP_NOSIZE is not given.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);

// Marks the client area (all of it: rect is taken and ignored) as to be painted again
// and tells the presentation. UpdateWindow sends WM_PAINT to a window so marked;
// ValidateRect (and the drawing layer's BeginPaint) clears the mark.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL UpdateWindow(HWND hwnd);
// Whether the window is marked to be painted.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);

// ---- Controls and their parents ------------------------------------------------------

// The header of every WM_NOTIFY.
struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// What a control sends its parent: WM_COMMAND (MAKEWPARAM(id, code), the control) and
// WM_NOTIFY (id, the header, with hwndFrom and idFrom filled in here). Both answer the
// parent's answer; 0 when the control has no parent.
LRESULT NotifyParentCommand(HWND control, WORD code);
LRESULT NotifyParent(HWND control, NMHDR* header);

// Sends a message to the dialog's control of that id (0 when there is none).
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemText(HWND dialog, int id, std::string_view text);
std::string GetDlgItemText(HWND dialog, int id);
