// The owner-drawn popup menu of the page image finder's buttons: items carry their own
// text and an optional icon, drawn in a classic style or in a flat style for a themed
// desktop. The button holds one as its drop-down menu; what it relies on is the
// ownership registry, the measuring, the keyboard-shortcut search and sub-menu access.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
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

class OwnerDrawMenu {
public:
    OwnerDrawMenu();
    virtual ~OwnerDrawMenu();
    OwnerDrawMenu(const OwnerDrawMenu&) = delete;
    OwnerDrawMenu& operator=(const OwnerDrawMenu&) = delete;

    // The menu's handle (null: no menu was loaded into it) and whether a handle is one
    // of a live OwnerDrawMenu.
    HMENU GetSafeHmenu() const { return menu_; }
    static bool IsMenu(HMENU menu);
    // Gives the object a menu handle (registered while the object holds it).
    void Attach(HMENU menu);
    virtual void DestroyMenu();

    // Item texts, in position order (what the shortcut search reads).
    const std::vector<std::wstring>& ItemTexts() const { return itemTexts_; }
    void SetItemTexts(std::vector<std::wstring> texts) { itemTexts_ = std::move(texts); }
    // The sub-menu at a position; null when none.
    OwnerDrawMenu* GetSubMenu(size_t position) const;
    void AddSubMenu(std::unique_ptr<OwnerDrawMenu> menu) { subMenus_.push_back(std::move(menu)); }

    // This menu or the sub-menu (at any depth) of that handle; null when none is.
    const OwnerDrawMenu* FindMenu(HMENU menu) const;
    // The menu-character message for menu: the shortcut search among its items when menu
    // is this menu or one of its sub-menus and a live OwnerDrawMenu, else 0.
    LRESULT OnMenuChar(wchar_t pressed, HMENU menu) const;
    // Measures an item of this menu with text in the system's menu font on dc.
    MenuItemMeasure MeasureItem(HDC dc, const std::wstring& text, bool separator) const;
    // Draws an item: the classic style unless the flat style is in force.
    void DrawItem(HDC dc, const RECT& rect, const std::wstring& text, bool selected,
                  bool separator) const;

    int IconWidth() const { return iconWidth_; }
    int IconHeight() const { return iconHeight_; }
    COLORREF BitmapBackground() const { return bitmapBackground_; }

private:
    std::vector<std::wstring> itemTexts_;
    std::vector<std::unique_ptr<OwnerDrawMenu>> subMenus_;
    int iconWidth_ = 16;
    int iconHeight_ = 15;
    COLORREF bitmapBackground_ = RGB(192, 192, 192);
    HMENU menu_ = nullptr;
};

// The class of the system this runs on (it cannot be read here: kVersionUnknown).
int CurrentVersionClass();
