#include "programs/ambrevin/OwnerDrawMenu.h"

#include <algorithm>
#include <mutex>

#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiText.h"
#include "platform/gdi/SystemMetrics.h"
#include "platform/registry/Registry.h"

namespace {

// The handles of every live OwnerDrawMenu.
std::mutex registryMutex;
std::vector<HMENU>& MenuRegistry() {
    static std::vector<HMENU> menus;
    return menus;
}

wchar_t LowerWide(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring LowerWide(std::wstring text) {
    for (wchar_t& c : text)
        c = LowerWide(c);
    return text;
}

void FillWith(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

int VersionClassOf(bool readable, bool nt, int major, int minor) {
    if (!readable)
        return kVersionUnknown;
    if (!nt) {
        if (major < 4)
            return kVersion9xOld;
        if (major == 4 && minor == 10)
            return kVersion98;
        if (major == 4 && minor == 90)
            return kVersionMe;
        return kVersion9x;
    }
    if (major == 4)
        return kVersionNt4;
    if (major == 5 && minor == 0)
        return kVersion2000;
    if (major == 5 && minor == 1)
        return kVersionXp;
    return kVersionUnknown;
}

int CurrentVersionClass() {
    return kVersionUnknown;
}

bool ReadThemeIsClassic() {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ,
                     &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    std::string value;
    const LONG read = RegQueryValueBytes(key, "", &type, &value);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return false;
    value = value.substr(0, std::min<size_t>(value.size(), 260));
    value = value.substr(0, value.find('\0'));
    const std::string ending = "windows classic.theme";
    if (value.size() < ending.size())
        return false;
    for (size_t i = 0; i < ending.size(); ++i) {
        char c = value[value.size() - ending.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != ending[i])
            return false;
    }
    return true;
}

bool ThemeIsClassic() {
    static const bool classic = ReadThemeIsClassic();
    return classic;
}

bool XpStyleInForce(int versionClass, bool classicTheme) {
    return versionClass == kVersionXp && !classicTheme;
}

COLORREF LightenColor(COLORREF colour, double factor) {
    if (!(factor > 0.0 && factor <= 1.0))
        return colour;
    auto lighten = [factor](int c) { return static_cast<BYTE>(c + factor * (255 - c)); };
    return RGB(lighten(GetRValue(colour)), lighten(GetGValue(colour)), lighten(GetBValue(colour)));
}

MenuItemMeasure MeasureMenuItemSize(const MenuMeasureInput& in) {
    const int gap = in.xpStyle ? 7 : 4;
    MenuItemMeasure size;
    if (in.separator) {
        size.width = 0;
        size.height = std::max(in.menuBarHeight / 2, (in.iconHeight + gap) / 2);
        return size;
    }
    const int text = in.versionClass == kVersion9xOld
                         ? in.singleLineWidth + 3 + 3 * in.averageCharWidth
                         : in.textWidth;
    size.width = text + (in.xpStyle ? in.iconWidth + gap + 8 : in.iconWidth * 2 + 1);
    size.height = std::max({in.textHeight, in.iconHeight + gap, in.menuBarHeight});
    return size;
}

LRESULT FindMenuShortcut(const std::vector<std::wstring>& itemTexts, wchar_t pressed) {
    const std::wstring pair{L'&', LowerWide(pressed)};
    for (size_t i = 0; i < itemTexts.size(); ++i) {
        if (LowerWide(itemTexts[i]).find(pair) != std::wstring::npos)
            return static_cast<LRESULT>((2u << 16) | (static_cast<unsigned>(i) & 0xFFFFu));
    }
    return 0;
}

OwnerDrawMenu::OwnerDrawMenu() = default;

OwnerDrawMenu::~OwnerDrawMenu() {
    DestroyMenu();
}

void OwnerDrawMenu::Attach(HMENU menu) {
    DestroyMenu();
    menu_ = menu;
    if (menu_ != nullptr) {
        std::lock_guard<std::mutex> lock(registryMutex);
        MenuRegistry().push_back(menu_);
    }
}

void OwnerDrawMenu::DestroyMenu() {
    if (menu_ != nullptr) {
        std::lock_guard<std::mutex> lock(registryMutex);
        auto& menus = MenuRegistry();
        menus.erase(std::remove(menus.begin(), menus.end(), menu_), menus.end());
        menu_ = nullptr;
    }
    subMenus_.clear();
    itemTexts_.clear();
}

bool OwnerDrawMenu::IsMenu(HMENU menu) {
    if (menu == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(registryMutex);
    const auto& menus = MenuRegistry();
    return std::find(menus.begin(), menus.end(), menu) != menus.end();
}

OwnerDrawMenu* OwnerDrawMenu::GetSubMenu(size_t position) const {
    return position < subMenus_.size() ? subMenus_[position].get() : nullptr;
}

const OwnerDrawMenu* OwnerDrawMenu::FindMenu(HMENU menu) const {
    if (menu == nullptr)
        return nullptr;
    if (menu == menu_)
        return this;
    for (const auto& sub : subMenus_) {
        if (const OwnerDrawMenu* found = sub->FindMenu(menu))
            return found;
    }
    return nullptr;
}

LRESULT OwnerDrawMenu::OnMenuChar(wchar_t pressed, HMENU menu) const {
    if (!IsMenu(menu))
        return 0;
    const OwnerDrawMenu* owner = FindMenu(menu);
    return owner != nullptr ? FindMenuShortcut(owner->itemTexts_, pressed) : 0;
}

MenuItemMeasure OwnerDrawMenu::MeasureItem(HDC dc, const std::wstring& text, bool separator) const {
    MenuMeasureInput in;
    in.separator = separator;
    in.versionClass = CurrentVersionClass();
    in.xpStyle = XpStyleInForce(in.versionClass, ThemeIsClassic());
    in.iconWidth = iconWidth_;
    in.iconHeight = iconHeight_;
    in.menuBarHeight = GetSystemMetrics(SM_CYMENU);
    if (!separator) {
        NONCLIENTMETRICS metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        HFONT font = CreateFontIndirect(&metrics.lfMenuFont);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        TEXTMETRIC tm{};
        GetTextMetrics(dc, &tm);
        in.textWidth = extent.cx;
        in.textHeight = extent.cy;
        in.singleLineWidth = extent.cx;
        in.averageCharWidth = tm.tmAveCharWidth;
        in.characters = static_cast<int>(text.size());
        SelectObject(dc, old);
        DeleteObject(font);
    }
    return MeasureMenuItemSize(in);
}

void OwnerDrawMenu::DrawItem(HDC dc, const RECT& rect, const std::wstring& text, bool selected,
                             bool separator) const {
    const bool xp = XpStyleInForce(CurrentVersionClass(), ThemeIsClassic()) &&
                    (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) == 0;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    if (!xp) {
        FillWith(dc, rect, GetSysColor(COLOR_MENU));
        if (separator) {
            RECT line{rect.left, (rect.top + rect.bottom) / 2, rect.right, rect.bottom};
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        } else {
            RECT textRect{rect.left + iconWidth_ + 8, rect.top, rect.right, rect.bottom};
            if (selected)
                FillWith(dc, rect, GetSysColor(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
            DrawTextW(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        }
    } else {
        const int gap = 7;
        FillWith(dc, rect, GetSysColor(COLOR_WINDOW));
        const RECT column{rect.left, rect.top, rect.left + gap + iconWidth_, rect.bottom};
        FillWith(dc, column, GetSysColor(COLOR_BTNFACE));
        if (separator) {
            RECT line{column.right, (rect.top + rect.bottom) / 2, rect.right, rect.bottom};
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        } else {
            if (selected) {
                FillWith(dc, rect, LightenColor(GetSysColor(COLOR_HIGHLIGHT), 0.7));
                HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));
                FrameRect(dc, &rect, frame);
                DeleteObject(frame);
            }
            RECT textRect{column.right + 8, rect.top, rect.right, rect.bottom};
            SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
            DrawTextW(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        }
    }
    SetBkMode(dc, oldMode);
}
