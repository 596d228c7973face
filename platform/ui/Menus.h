// Menus: popup menus of items (texts, separators, sub-menus and owner-drawn items with
// their item data), a window's system menu, and TrackPopupMenu, which shows a popup menu
// for its owner window until a person chooses from it (platform/ui/ControlInput.h) or
// dismisses it. Text is UTF-8; "&" marks the next character as the item's key.
//
// Menu handles are never given to a second menu, so a stale handle is harmless: every
// call fails cleanly on it. The menu calls are safe on any thread; TrackPopupMenu and the
// system menu's messages run on the owner window's thread. None throws.
#pragma once

#include <string>

#include "platform/gdi/DrawingSurface.h"
#include "platform/ui/CommonControls.h"

// Sent to the owner before a popup menu shows: wParam the menu, lParam MAKELPARAM(its
// position in its parent menu, TRUE for a system menu).
constexpr UINT WM_INITMENUPOPUP = 0x0117;

// Item flags (AppendMenu, InsertMenu, ModifyMenu) and states (GetMenuState).
constexpr UINT MF_BYCOMMAND =
    0x0000;  // the item is named by its command id (searched in sub-menus too)
constexpr UINT MF_BYPOSITION = 0x0400;  // the item is named by its position
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;  // the id argument is the sub-menu's HMENU
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_OWNERDRAW = 0x0100;  // the text argument is the item data, as a pointer
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;

// A new empty menu (CreateMenu: a menu bar's; CreatePopupMenu: a popup's). Null when out
// of memory.
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and the sub-menus its items hold. FALSE for a dead handle.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// Adds an item at the end: flags MF_STRING (text), MF_SEPARATOR, MF_POPUP (id is the
// sub-menu, which the menu then owns), MF_OWNERDRAW (newItem is the item data), with
// MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_DEFAULT. FALSE for a dead handle or a sub-menu
// that is not a menu.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* newItem);
// Inserts before the item named by position and MF_BYPOSITION or MF_BYCOMMAND; a
// position past the end (or -1) appends.
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, const char* newItem);
// Replaces the named item.
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, const char* newItem);
// Removes the named item; DeleteMenu also destroys its sub-menu, RemoveMenu leaves it.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);

// The number of items, -1 for a dead handle.
int GetMenuItemCount(HMENU menu);
// The command id of the item at position: 0 for a separator, 0xFFFFFFFF for a sub-menu
// or no item.
UINT GetMenuItemID(HMENU menu, int position);
// The item's MF_ state bits (a sub-menu's also carry its item count in the high byte);
// 0xFFFFFFFF when there is no such item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// Copies the item's text into buffer (at most maxCount - 1 chars and a NUL); answers the
// length copied, or with buffer null the text's length; 0 when there is no such item.
int GetMenuString(HMENU menu, UINT item, char* buffer, int maxCount, UINT flags);
std::string GetMenuText(HMENU menu, UINT item, UINT flags);
// Sets or clears MF_CHECKED, MF_GRAYED and MF_DISABLED; each answers the item's old
// state of those bits, 0xFFFFFFFF when there is no such item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
// The sub-menu at position, null when that item has none.
HMENU GetSubMenu(HMENU menu, int position);

// The window's system menu, made on the first call with "&Restore" (SC_RESTORE),
// "&Move", "&Size", "Mi&nimize", "Ma&ximize", a separator and "&Close" (SC_CLOSE); the
// window keeps it, with what the program appends, and it goes with the window. revert
// TRUE puts the standard menu back and answers null. Null for a dead window.
HMENU GetSystemMenu(HWND window, BOOL revert);

// TrackPopupMenu flags. The position flags are kept and not looked at.
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// Shows a popup menu at (x, y) (screen) for owner, which must be a window of the calling
// thread: WM_INITMENUPOPUP (menu, MAKELPARAM(0, FALSE)), then WM_MEASUREITEM for each
// owner-drawn item, then the menu is drawn on its surface (WM_DRAWITEM for owner-drawn
// items, see GetShownMenu). Then it serves the thread's messages (a modal loop, as a
// dialog's) until a person chooses an item or dismisses the menu, the owner dies, or a
// WM_QUIT comes (posted again). With TPM_RETURNCMD it answers the chosen command (0 for
// none) and sends nothing; otherwise the owner gets WM_COMMAND (the id, notification 0,
// lParam 0) and it answers TRUE. FALSE (0) when the menu or owner is bad or another menu
// is open on the thread.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* rect);

// WM_MENUCHAR answers (high word; the low word is an item position for MNC_EXECUTE and
// MNC_SELECT).
constexpr LRESULT MNC_IGNORE = 0;
constexpr LRESULT MNC_CLOSE = 1;
constexpr LRESULT MNC_EXECUTE = 2;
constexpr LRESULT MNC_SELECT = 3;

// The menu shown last on the calling thread: what the screen shows of it and what tests
// read. surface holds its drawing: a 3-pixel raised frame, then the items top-down, each
// as wide as the widest: a text item 19 pixels high (its text 20 pixels from the left),
// a separator 9, an owner-drawn item as WM_MEASUREITEM answered.
struct ShownMenu {
    HMENU menu = nullptr;
    HWND owner = nullptr;
    POINT at;
    UINT flags = 0;
    bool open = false;  // still shown, waiting for a choice
    const DrawingSurface* surface = nullptr;
};
// FALSE when no menu was shown on this thread. The surface stays until the next menu.
BOOL GetShownMenu(ShownMenu* shown);
// The rectangle of the shown menu's item at position on its surface; FALSE for none.
BOOL GetShownMenuItemRect(int position, RECT* rect);

// A screen that shows the popup menus: told, on the owner's thread, when a menu is shown
// (its surface drawn), drawn again (an item highlighted) and closed; it reads the menu
// with GetShownMenu and answers with the calls of ControlInput.h. It must not send the
// owner messages from inside these calls. Installed once at start-up (null: none).
class MenuPresenter {
public:
    virtual ~MenuPresenter() = default;
    virtual void MenuShown() = 0;
    virtual void MenuRedrawn() = 0;
    virtual void MenuClosed() = 0;
};
void SetMenuPresenter(MenuPresenter* presenter);
