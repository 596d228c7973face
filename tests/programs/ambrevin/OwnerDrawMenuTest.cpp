#include "programs/ambrevin/OwnerDrawMenu.h"

#include <gtest/gtest.h>

#include "platform/registry/Registry.h"
#include "platform/ui/Menus.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

TEST(OwnerDrawMenu, MeasuresItemsByTheirStyle) {
    struct Case {
        const char* what;
        MenuMeasureInput in;
        MenuItemMeasure expected;
    };
    MenuMeasureInput classic;
    classic.textWidth = 50;
    classic.textHeight = 14;
    MenuMeasureInput xp = classic;
    xp.xpStyle = true;
    MenuMeasureInput separator;
    separator.separator = true;
    MenuMeasureInput tallBar = separator;
    tallBar.menuBarHeight = 40;
    MenuMeasureInput old = classic;
    old.versionClass = kVersion9xOld;
    old.singleLineWidth = 40;
    old.averageCharWidth = 6;
    const Case cases[] = {
        {"classic: icon x 2 + 1", classic, {50 + 33, 19}},
        {"xp: icon + gap 7 + 8", xp, {50 + 16 + 7 + 8, 22}},
        {"separator: half the icon and gap", separator, {0, 9}},  // max(19/2, 19/2)
        {"separator: half a tall bar", tallBar, {0, 20}},
        {"version class 0: single line + 3 + 3 average widths", old, {40 + 3 + 18 + 33, 19}},
    };
    for (const Case& c : cases) {
        const MenuItemMeasure size = MeasureMenuItemSize(c.in);
        EXPECT_EQ(size.width, c.expected.width) << c.what;
        EXPECT_EQ(size.height, c.expected.height) << c.what;
    }
}

TEST(OwnerDrawMenu, ShortcutsFindTheFirstItemWithThePrefixedCharacter) {
    const std::vector<std::wstring> items = {L"&Open", L"Save &As", L"S&ave", L"E&xit"};
    struct Case {
        wchar_t pressed;
        LRESULT expected;
    };
    const Case cases[] = {
        {L'o', (2 << 16) | 0},
        {L'O', (2 << 16) | 0},
        {L'a', (2 << 16) | 1},
        {L'X', (2 << 16) | 3},
        {L's', 0},
        {L'&', 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindMenuShortcut(items, c.pressed), c.expected) << static_cast<char>(c.pressed);
    EXPECT_EQ(FindMenuShortcut({}, L'a'), 0);
}

TEST(OwnerDrawMenu, TheShortcutIsAnsweredOnlyForALiveMenuOfThisClass) {
    HMENU handle = nullptr;
    HMENU subHandle = nullptr;
    {
        OwnerDrawMenu menu;
        EXPECT_EQ(menu.GetSafeHmenu(), nullptr);
        EXPECT_EQ(menu.OnMenuChar(L'a', nullptr), 0);  // nothing in it yet
        ASSERT_TRUE(menu.AppendItem("&Alpha", 11));
        OwnerDrawMenu* sub = menu.AppendPopup("&More");
        ASSERT_NE(sub, nullptr);
        ASSERT_TRUE(sub->AppendItem("x", 21));
        ASSERT_TRUE(sub->AppendItem("&Beta", 22));
        handle = menu.GetSafeHmenu();
        subHandle = sub->GetSafeHmenu();
        EXPECT_TRUE(OwnerDrawMenu::IsMenu(handle));
        EXPECT_TRUE(OwnerDrawMenu::IsMenu(subHandle));
        EXPECT_EQ(::GetSubMenu(handle, 1), subHandle);
        EXPECT_EQ(menu.OnMenuChar(L'a', handle), (2 << 16) | 0);
        EXPECT_EQ(menu.OnMenuChar(L'm', handle), (2 << 16) | 1);
        EXPECT_EQ(menu.OnMenuChar(L'b', subHandle), (2 << 16) | 1);
        HMENU plain = CreatePopupMenu();  // a menu of no OwnerDrawMenu
        AppendMenu(plain, MF_STRING, 31, "&Alpha");
        EXPECT_EQ(menu.OnMenuChar(L'a', plain), 0);
        DestroyMenu(plain);
        EXPECT_EQ(menu.GetSubMenu(1), sub);
        EXPECT_EQ(menu.GetSubMenu(0), nullptr);
        EXPECT_EQ(menu.GetSubMenu(2), nullptr);
    }
    EXPECT_FALSE(OwnerDrawMenu::IsMenu(handle));
    EXPECT_FALSE(OwnerDrawMenu::IsMenu(subHandle));
    EXPECT_FALSE(::IsMenu(handle)) << "the menu is destroyed with its object";
    EXPECT_FALSE(::IsMenu(subHandle));
}

TEST(OwnerDrawMenu, TheThemeIsClassicOnlyForTheClassicThemeFile) {
    ScopedRegistryStore store;
    EXPECT_FALSE(ReadThemeIsClassic());  // no key
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", &key),
        ERROR_SUCCESS);
    EXPECT_FALSE(ReadThemeIsClassic());  // no value
    struct Case {
        std::string value;
        bool classic;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme", true},
        {"c:\\themes\\WINDOWS CLASSIC.THEME", true},
        {"c:\\themes\\Windows Classic.theme.bak", false},
        {"c:\\themes\\Luna.theme", false},
        {"", false},
    };
    for (const Case& c : cases) {
        const std::string data = c.value + '\0';
        ASSERT_EQ(RegSetValueEx(key, "", REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        EXPECT_EQ(ReadThemeIsClassic(), c.classic) << c.value;
    }
    RegCloseKey(key);
}

TEST(OwnerDrawMenu, VersionClassesAndTheFlatStyle) {
    struct Case {
        bool readable, nt;
        int major, minor;
        int expected;
    };
    const Case cases[] = {
        {true, false, 3, 95, kVersion9xOld},  {true, false, 4, 0, kVersion9x},
        {true, false, 4, 10, kVersion98},     {true, false, 4, 90, kVersionMe},
        {true, true, 4, 0, kVersionNt4},      {true, true, 5, 0, kVersion2000},
        {true, true, 5, 1, kVersionXp},       {true, true, 6, 0, kVersionUnknown},
        {false, true, 0, 0, kVersionUnknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionClassOf(c.readable, c.nt, c.major, c.minor), c.expected)
            << c.major << "." << c.minor;
    EXPECT_TRUE(XpStyleInForce(kVersionXp, false));
    EXPECT_FALSE(XpStyleInForce(kVersionXp, true));
    EXPECT_FALSE(XpStyleInForce(kVersion2000, false));
    EXPECT_EQ(CurrentVersionClass(), kVersionUnknown);
}

TEST(OwnerDrawMenu, LighteningMovesEachChannelTowardsWhite) {
    EXPECT_EQ(LightenColor(RGB(0, 100, 255), 0.5), RGB(127, 177, 255));
    EXPECT_EQ(LightenColor(RGB(10, 20, 30), 1.0), RGB(255, 255, 255));
    EXPECT_EQ(LightenColor(RGB(10, 20, 30), 0.0), RGB(10, 20, 30));
    EXPECT_EQ(LightenColor(RGB(10, 20, 30), 1.5), RGB(10, 20, 30));
}

}  // namespace
