// The owner-drawn popup menu of the page image finder's buttons: every item is an
// owner-drawn menu item whose item data carries its own text and, optionally, its own
// image; items without one show the image the shared image list holds for their command.
// Items are drawn in a classic style or in a flat style for a themed desktop. The button
// holds one as its drop-down menu and forwards the menu's measuring, drawing and
// keyboard-shortcut messages to it.
//
// Threading: a menu is built, shown and destroyed on its owner window's thread; the
// ownership registry and the shared image list are safe on any thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/ImageList.h"
#include "platform/window/WindowTree.h"

// The system families the menu tells apart; kVersionUnknown is the class taken when
// the version cannot be read (as an NT-family system).
enum WindowsVersionClass {
    kVersion9xOld = 0,
    kVersionUnknown = 1,
    kVersion9x = 2,
    kVersion98 = 3,
    kVersionMe = 4,
    kVersionNt4 = 5,
    kVersion2000 = 6,
    kVersionXp = 7,
};

// The class of a system version: nt tells the family; readable false when the version
// could not be read.
int VersionClassOf(bool readable, bool nt, int major, int minor);

// Whether the current theme (HKEY_CURRENT_USER "Software\Microsoft\Plus!\Themes\Current",
// default value) ends with "Windows Classic.theme", ignoring case; a missing key or value
// is not classic. ThemeIsClassic reads it once per run, ReadThemeIsClassic each time.
bool ReadThemeIsClassic();
bool ThemeIsClassic();

// The flat style is in force for version class 7 with a theme that is not classic.
bool XpStyleInForce(int versionClass, bool classicTheme);

// Each of red, green and blue becomes c + factor x (255 - c), truncated, for
// 0 < factor <= 1; otherwise the colour as it is.
COLORREF LightenColor(COLORREF colour, double factor);

// What an item measures, in pixels.
struct MenuItemMeasure {
    int width = 0;
    int height = 0;
};

// The measuring rules. textWidth is the extent of the item's text in the menu font;
// for version class 0, singleLineWidth (a single-line measurement), averageCharWidth and
// the character count are used instead.
struct MenuMeasureInput {
    bool separator = false;
    bool xpStyle = false;
    int versionClass = kVersionUnknown;
    int iconWidth = 16;
    int iconHeight = 15;
    int menuBarHeight = 19;
    int textWidth = 0;
    int textHeight = 0;
    int singleLineWidth = 0;
    int averageCharWidth = 0;
    int characters = 0;
};
MenuItemMeasure MeasureMenuItemSize(const MenuMeasureInput& input);

// The keyboard shortcut among item texts: the pressed character lower-cased after "&";
// the first item whose lower-cased text holds that pair gives MAKELRESULT(its position,
// 2) (execute it); none gives 0.
LRESULT FindMenuShortcut(const std::vector<std::wstring>& itemTexts, wchar_t pressed);

// The item data of one menu item: its text (one code point per wchar_t) and its own
// image list, which it owns.
class OwnerDrawMenuItem {
public:
    OwnerDrawMenuItem(std::wstring text, UINT commandId, bool separator);
    ~OwnerDrawMenuItem();
    OwnerDrawMenuItem(const OwnerDrawMenuItem&) = delete;
    OwnerDrawMenuItem& operator=(const OwnerDrawMenuItem&) = delete;

    const std::wstring& Text() const { return text_; }
    void SetText(std::wstring_view text) { text_ = std::wstring(text); }
    UINT CommandId() const { return commandId_; }
    bool IsSeparator() const { return separator_; }
    // The item's own image list (null: none; its image is image 0). Replacing it deletes
    // the one before.
    HIMAGELIST Images() const { return images_; }
    void SetImages(HIMAGELIST images);

private:
    std::wstring text_;
    UINT commandId_;
    bool separator_;
    HIMAGELIST images_ = nullptr;
};

class OwnerDrawMenu {
public:
    OwnerDrawMenu();
    virtual ~OwnerDrawMenu();
    OwnerDrawMenu(const OwnerDrawMenu&) = delete;
    OwnerDrawMenu& operator=(const OwnerDrawMenu&) = delete;

    // The menu's handle: null until the first item is appended.
    HMENU GetSafeHmenu() const { return menu_; }
    // Whether a handle is one of a live OwnerDrawMenu.
    static bool IsMenu(HMENU menu);
    // Frees the items and sub-menus, the check-mark images unless they are shared, and
    // destroys the menu; the object is empty again.
    virtual void DestroyMenu();

    // Appends an owner-drawn item: text (UTF-8, "&" marks its key), command id, the MF_
    // state flags (MF_CHECKED, MF_GRAYED, MF_DISABLED), and its own image, a copy of icon
    // at the icon size (null: none). False when the item cannot be added.
    bool AppendItem(std::string_view text, UINT commandId, UINT flags = 0, HICON icon = nullptr);
    bool AppendSeparator();
    // Appends a sub-menu of this class under text; the new menu, owned by this one, or
    // null when it cannot be added.
    OwnerDrawMenu* AppendPopup(std::string_view text);

    // The item data at a position (null: none).
    const OwnerDrawMenuItem* ItemAt(size_t position) const;
    size_t ItemCount() const { return items_.size(); }
    // The item texts, in position order (what the shortcut search reads).
    std::vector<std::wstring> ItemTexts() const;
    // The sub-menu of the item at a position; null when that item has none.
    OwnerDrawMenu* GetSubMenu(size_t position) const;

    // This menu or the sub-menu (at any depth) of that handle; null when none is.
    const OwnerDrawMenu* FindMenu(HMENU menu) const;
    // This menu or the sub-menu (at any depth) whose items include that item data; null
    // when none does.
    const OwnerDrawMenu* FindMenuOfItem(ULONG_PTR itemData) const;
    // The menu-character message for menu: the shortcut search among its items when menu
    // is this menu or one of its sub-menus and a live OwnerDrawMenu, else 0.
    LRESULT OnMenuChar(wchar_t pressed, HMENU menu) const;

    // WM_MEASUREITEM of one of this menu's items (by its item data), measured in the
    // system's menu font. FALSE, leaving the record as it was, for any other item.
    virtual BOOL MeasureItem(MEASUREITEMSTRUCT* measure) const;
    // WM_DRAWITEM of one of this menu's items: the classic style, unless the flat style
    // is in force and the display has no palette. FALSE for any other item.
    virtual BOOL DrawItem(const DRAWITEMSTRUCT& draw) const;
    // Draws an item in the flat style (xpLook) or the classic one; xpInForce says whether
    // the flat style is in force, which changes a few colours.
    void DrawItemInStyle(const DRAWITEMSTRUCT& draw, bool xpLook, bool xpInForce) const;

    // The check marks' images: list (this menu owns it unless shared) and the images for
    // a highlighted and for another checked item (-1: a drawn mark). Replacing them
    // deletes the list before unless it was shared.
    void SetCheckMarkImages(HIMAGELIST list, int selectedIndex, int unselectedIndex, bool shared);
    HIMAGELIST CheckMarkImages() const { return checkImages_; }

    // The image list all menus share, with the command ids whose images it holds.
    // AddSharedImage adds (or for an id it holds, replaces) the image of a command, a copy
    // of icon at the icon size, and answers its index; -1 when it cannot.
    static int AddSharedImage(UINT commandId, HICON icon);
    // The index of the command's image in the shared list; -1 when it holds none.
    static int SharedImageIndex(UINT commandId);
    static HIMAGELIST SharedImages();

    int IconWidth() const { return iconWidth_; }
    int IconHeight() const { return iconHeight_; }
    COLORREF BitmapBackground() const { return bitmapBackground_; }

private:
    bool EnsureMenu();
    bool AppendData(std::unique_ptr<OwnerDrawMenuItem> item, UINT flags, UINT_PTR id);
    // The image an item shows: its own, else the shared one of its command.
    bool ImageOf(const OwnerDrawMenuItem& item, HIMAGELIST* list, int* index) const;
    void DrawCheckMark(HDC dc, const RECT& box, bool selected, COLORREF colour) const;
    void DrawClassic(const DRAWITEMSTRUCT& draw, const OwnerDrawMenuItem& item,
                     bool xpInForce) const;
    void DrawFlat(const DRAWITEMSTRUCT& draw, const OwnerDrawMenuItem& item, bool xpInForce) const;

    std::vector<std::unique_ptr<OwnerDrawMenuItem>> items_;  // in position order
    std::vector<std::unique_ptr<OwnerDrawMenu>> subMenus_;
    int iconWidth_ = 16;
    int iconHeight_ = 15;
    COLORREF bitmapBackground_ = RGB(192, 192, 192);
    HIMAGELIST checkImages_ = nullptr;
    bool checkImagesShared_ = false;
    int selectedCheck_ = -1;
    int unselectedCheck_ = -1;
    HMENU menu_ = nullptr;
};

// The class of the system this runs on (it cannot be read here: kVersionUnknown).
int CurrentVersionClass();
