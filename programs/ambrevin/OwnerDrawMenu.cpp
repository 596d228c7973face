#include "programs/ambrevin/OwnerDrawMenu.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiText.h"
#include "platform/gdi/SystemMetrics.h"
#include "platform/registry/Registry.h"
#include "platform/ui/Menus.h"

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

void FrameWith(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A one-pixel frame: topLeft on the top and left sides, bottomRight on the others.
void Frame3d(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    FillWith(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    FillWith(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    FillWith(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    FillWith(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

// UTF-8 as code points, one per wchar_t; a byte that starts no sequence stands for itself
// as U+FFFD.
std::wstring WideFromUtf8(std::string_view text) {
    std::wstring wide;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 0;
        char32_t point = length == 1   ? lead
                         : length == 2 ? lead & 0x1F
                         : length == 3 ? lead & 0x0F
                                       : lead & 0x07;
        bool whole = length > 0 && i + static_cast<size_t>(length) <= text.size();
        for (int k = 1; whole && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            whole = (next & 0xC0) == 0x80;
            point = (point << 6) | (next & 0x3F);
        }
        if (!whole || point > 0x10FFFF) {
            wide += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        wide += static_cast<wchar_t>(point);
        i += static_cast<size_t>(length);
    }
    return wide;
}

// The image list program-wide and the command ids whose images it holds, by index.
struct SharedImageTable {
    std::mutex mutex;
    HIMAGELIST list = nullptr;
    std::vector<UINT> commands;
};

SharedImageTable& SharedImageState() {
    static auto* table = new SharedImageTable;  // lives for the process
    return *table;
}

// A list of one image: a copy of icon at width x height.
HIMAGELIST ImageListOfIcon(HICON icon, int width, int height) {
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 1, 0);
    if (list != nullptr && ImageList_AddIcon(list, icon) != 0) {
        ImageList_Destroy(list);
        return nullptr;
    }
    return list;
}

constexpr int kFlatGap = 7;
constexpr int kCheckBox = 16;

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

OwnerDrawMenuItem::OwnerDrawMenuItem(std::wstring text, UINT commandId, bool separator)
    : text_(std::move(text)), commandId_(commandId), separator_(separator) {}

OwnerDrawMenuItem::~OwnerDrawMenuItem() {
    SetImages(nullptr);
}

void OwnerDrawMenuItem::SetImages(HIMAGELIST images) {
    if (images_ != nullptr && images_ != images)
        ImageList_Destroy(images_);
    images_ = images;
}

OwnerDrawMenu::OwnerDrawMenu() = default;

OwnerDrawMenu::~OwnerDrawMenu() {
    DestroyMenu();
}

bool OwnerDrawMenu::EnsureMenu() {
    if (menu_ != nullptr)
        return true;
    menu_ = ::CreatePopupMenu();
    if (menu_ == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(registryMutex);
    try {
        MenuRegistry().push_back(menu_);
    } catch (const std::bad_alloc&) {
        ::DestroyMenu(menu_);
        menu_ = nullptr;
        return false;
    }
    return true;
}

void OwnerDrawMenu::DestroyMenu() {
    if (menu_ != nullptr) {
        std::lock_guard<std::mutex> lock(registryMutex);
        auto& menus = MenuRegistry();
        menus.erase(std::remove(menus.begin(), menus.end(), menu_), menus.end());
    }
    // Each sub-menu leaves the registry and destroys its own menu as it goes.
    subMenus_.clear();
    if (menu_ != nullptr)
        ::DestroyMenu(menu_);
    menu_ = nullptr;
    items_.clear();
    SetCheckMarkImages(nullptr, -1, -1, false);
}

bool OwnerDrawMenu::AppendData(std::unique_ptr<OwnerDrawMenuItem> item, UINT flags, UINT_PTR id) {
    if (!EnsureMenu())
        return false;
    try {
        items_.reserve(items_.size() + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!::AppendMenu(menu_, flags | MF_OWNERDRAW, id, reinterpret_cast<const char*>(item.get())))
        return false;
    items_.push_back(std::move(item));
    return true;
}

bool OwnerDrawMenu::AppendItem(std::string_view text, UINT commandId, UINT flags, HICON icon) {
    auto item = std::make_unique<OwnerDrawMenuItem>(WideFromUtf8(text), commandId, false);
    if (icon != nullptr) {
        HIMAGELIST images = ImageListOfIcon(icon, iconWidth_, iconHeight_);
        if (images == nullptr)
            return false;
        item->SetImages(images);
    }
    const UINT state = flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED);
    return AppendData(std::move(item), MF_STRING | state, commandId);
}

bool OwnerDrawMenu::AppendSeparator() {
    return AppendData(std::make_unique<OwnerDrawMenuItem>(std::wstring(), 0, true), MF_SEPARATOR,
                      0);
}

OwnerDrawMenu* OwnerDrawMenu::AppendPopup(std::string_view text) {
    auto sub = std::make_unique<OwnerDrawMenu>();
    if (!sub->EnsureMenu())
        return nullptr;
    try {
        subMenus_.reserve(subMenus_.size() + 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto item = std::make_unique<OwnerDrawMenuItem>(WideFromUtf8(text), 0, false);
    if (!AppendData(std::move(item), MF_POPUP, reinterpret_cast<UINT_PTR>(sub->menu_)))
        return nullptr;
    subMenus_.push_back(std::move(sub));
    return subMenus_.back().get();
}

const OwnerDrawMenuItem* OwnerDrawMenu::ItemAt(size_t position) const {
    return position < items_.size() ? items_[position].get() : nullptr;
}

std::vector<std::wstring> OwnerDrawMenu::ItemTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& item : items_)
        texts.push_back(item->Text());
    return texts;
}

bool OwnerDrawMenu::IsMenu(HMENU menu) {
    if (menu == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(registryMutex);
    const auto& menus = MenuRegistry();
    return std::find(menus.begin(), menus.end(), menu) != menus.end();
}

OwnerDrawMenu* OwnerDrawMenu::GetSubMenu(size_t position) const {
    if (menu_ == nullptr || position >= items_.size())
        return nullptr;
    const HMENU handle = ::GetSubMenu(menu_, static_cast<int>(position));
    for (const auto& sub : subMenus_) {
        if (handle != nullptr && sub->menu_ == handle)
            return sub.get();
    }
    return nullptr;
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

const OwnerDrawMenu* OwnerDrawMenu::FindMenuOfItem(ULONG_PTR itemData) const {
    if (itemData == 0)
        return nullptr;
    for (const auto& item : items_) {
        if (reinterpret_cast<ULONG_PTR>(item.get()) == itemData)
            return IsMenu(menu_) ? this : nullptr;
    }
    for (const auto& sub : subMenus_) {
        if (const OwnerDrawMenu* found = sub->FindMenuOfItem(itemData))
            return found;
    }
    return nullptr;
}

LRESULT OwnerDrawMenu::OnMenuChar(wchar_t pressed, HMENU menu) const {
    if (!IsMenu(menu))
        return 0;
    const OwnerDrawMenu* owner = FindMenu(menu);
    return owner != nullptr ? FindMenuShortcut(owner->ItemTexts(), pressed) : 0;
}

BOOL OwnerDrawMenu::MeasureItem(MEASUREITEMSTRUCT* measure) const {
    if (measure == nullptr || measure->CtlType != ODT_MENU)
        return FALSE;
    const OwnerDrawMenu* owner = FindMenuOfItem(measure->itemData);
    if (owner == nullptr)
        return FALSE;
    const auto* item = reinterpret_cast<const OwnerDrawMenuItem*>(measure->itemData);
    MenuMeasureInput in;
    in.separator = item->IsSeparator();
    in.versionClass = CurrentVersionClass();
    in.xpStyle = XpStyleInForce(in.versionClass, ThemeIsClassic());
    in.iconWidth = owner->iconWidth_;
    in.iconHeight = owner->iconHeight_;
    in.menuBarHeight = GetSystemMetrics(SM_CYMENU);
    if (!in.separator) {
        NONCLIENTMETRICS metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HFONT font = CreateFontIndirect(&metrics.lfMenuFont);
        HGDIOBJ old = SelectObject(dc, font);
        const std::wstring& text = item->Text();
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
        DeleteDC(dc);
    }
    const MenuItemMeasure size = MeasureMenuItemSize(in);
    measure->itemWidth = static_cast<UINT>(size.width);
    measure->itemHeight = static_cast<UINT>(size.height);
    return TRUE;
}

BOOL OwnerDrawMenu::DrawItem(const DRAWITEMSTRUCT& draw) const {
    if (draw.CtlType != ODT_MENU || draw.hDC == nullptr)
        return FALSE;
    const OwnerDrawMenu* owner = FindMenuOfItem(draw.itemData);
    if (owner == nullptr)
        return FALSE;
    const bool xpInForce = XpStyleInForce(CurrentVersionClass(), ThemeIsClassic());
    const bool palette = (GetDeviceCaps(draw.hDC, RASTERCAPS) & RC_PALETTE) != 0;
    owner->DrawItemInStyle(draw, xpInForce && !palette, xpInForce);
    return TRUE;
}

void OwnerDrawMenu::DrawItemInStyle(const DRAWITEMSTRUCT& draw, bool xpLook, bool xpInForce) const {
    const OwnerDrawMenu* owner = FindMenuOfItem(draw.itemData);
    if (owner == nullptr || draw.hDC == nullptr)
        return;
    const auto& item = *reinterpret_cast<const OwnerDrawMenuItem*>(draw.itemData);
    const int oldMode = SetBkMode(draw.hDC, TRANSPARENT);
    if (xpLook)
        owner->DrawFlat(draw, item, xpInForce);
    else
        owner->DrawClassic(draw, item, xpInForce);
    SetBkMode(draw.hDC, oldMode);
}

bool OwnerDrawMenu::ImageOf(const OwnerDrawMenuItem& item, HIMAGELIST* list, int* index) const {
    if (item.Images() != nullptr && ImageList_GetImageCount(item.Images()) > 0) {
        *list = item.Images();
        *index = 0;
        return true;
    }
    const int shared = SharedImageIndex(item.CommandId());
    if (item.IsSeparator() || shared < 0)
        return false;
    *list = SharedImages();
    *index = shared;
    return true;
}

void OwnerDrawMenu::DrawCheckMark(HDC dc, const RECT& box, bool selected, COLORREF colour) const {
    const int image = selected ? selectedCheck_ : unselectedCheck_;
    int width = 0;
    int height = 0;
    if (checkImages_ != nullptr && image >= 0 && image < ImageList_GetImageCount(checkImages_) &&
        ImageList_GetIconSize(checkImages_, &width, &height)) {
        ImageList_Draw(checkImages_, image, dc, (box.left + box.right - width) / 2,
                       (box.top + box.bottom - height) / 2, ILD_TRANSPARENT);
        return;
    }
    // A tick, two pixels thick, in the middle of the box.
    const int x = (box.left + box.right) / 2 - 3;
    const int y = (box.top + box.bottom) / 2 - 1;
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    for (int row = 0; row < 2; ++row) {
        MoveToEx(dc, x, y + row, nullptr);
        LineTo(dc, x + 2, y + row + 2);
        LineTo(dc, x + 7, y + row - 3);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void OwnerDrawMenu::DrawClassic(const DRAWITEMSTRUCT& draw, const OwnerDrawMenuItem& item,
                                bool xpInForce) const {
    HDC dc = draw.hDC;
    const RECT& r = draw.rcItem;
    const COLORREF background = GetSysColor(xpInForce ? COLOR_3DFACE : COLOR_MENU);
    FillWith(dc, r, background);
    if (item.IsSeparator()) {
        RECT line{r.left, (r.top + r.bottom) / 2, r.right, r.bottom};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const bool checked = (draw.itemState & ODS_CHECKED) != 0;
    const bool disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const int f = std::max(0, (r.bottom - r.top - iconHeight_ - 4) / 2);
    const RECT box{r.left, r.top + f, r.left + iconWidth_ + 4, r.top + f + iconHeight_ + 4};
    HIMAGELIST images = nullptr;
    int image = -1;
    const bool hasImage = ImageOf(item, &images, &image);

    if (selected) {
        RECT bar = r;
        if (hasImage || checked)
            bar.left = r.left + iconWidth_ + 5;
        FillWith(dc, bar, GetSysColor(COLOR_HIGHLIGHT));
    }
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (hasImage) {
        if (checked)
            Frame3d(dc, box, shadow, light);
        else if (selected)
            Frame3d(dc, box, light, shadow);
        ImageList_Draw(images, image, dc, r.left + 2, r.top + f + 2, ILD_TRANSPARENT);
    } else if (checked) {
        FillWith(dc, box, LightenColor(background, 0.6));
        Frame3d(dc, box, shadow, light);
        DrawCheckMark(dc, box, selected, GetSysColor(COLOR_MENUTEXT));
    }
    const int colour = disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    SetTextColor(dc, GetSysColor(colour));
    RECT textRect{r.left + iconWidth_ + 8, r.top, r.right, r.bottom};
    DrawTextW(dc, item.Text().c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

void OwnerDrawMenu::DrawFlat(const DRAWITEMSTRUCT& draw, const OwnerDrawMenuItem& item,
                             bool xpInForce) const {
    HDC dc = draw.hDC;
    const RECT& r = draw.rcItem;
    FillWith(dc, r, GetSysColor(COLOR_WINDOW));
    const RECT column{r.left, r.top, r.left + kFlatGap + iconWidth_, r.bottom};
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    FillWith(dc, column, xpInForce ? face : LightenColor(face, 0.25));
    if (item.IsSeparator()) {
        RECT line{column.right, (r.top + r.bottom) / 2, r.right, r.bottom};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const bool checked = (draw.itemState & ODS_CHECKED) != 0;
    const bool disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    if (selected) {
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        FillWith(dc, r, LightenColor(highlight, xpInForce ? 0.7 : 0.85));
        FrameWith(dc, r, highlight);
    }
    const int middleX = (column.left + column.right) / 2;
    const int middleY = (r.top + r.bottom) / 2;
    HIMAGELIST images = nullptr;
    int image = -1;
    if (ImageOf(item, &images, &image)) {
        ImageList_Draw(images, image, dc, middleX - iconWidth_ / 2, middleY - iconHeight_ / 2,
                       ILD_TRANSPARENT);
    } else if (checked) {
        const RECT box{middleX - kCheckBox / 2, middleY - kCheckBox / 2, middleX + kCheckBox / 2,
                       middleY + kCheckBox / 2};
        DrawCheckMark(dc, box, selected, GetSysColor(COLOR_MENUTEXT));
    }
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    RECT textRect{column.right + 8, r.top, r.right, r.bottom};
    DrawTextW(dc, item.Text().c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

void OwnerDrawMenu::SetCheckMarkImages(HIMAGELIST list, int selectedIndex, int unselectedIndex,
                                       bool shared) {
    if (checkImages_ != nullptr && checkImages_ != list && !checkImagesShared_)
        ImageList_Destroy(checkImages_);
    checkImages_ = list;
    checkImagesShared_ = shared;
    selectedCheck_ = selectedIndex;
    unselectedCheck_ = unselectedIndex;
}

int OwnerDrawMenu::AddSharedImage(UINT commandId, HICON icon) {
    if (icon == nullptr)
        return -1;
    SharedImageTable& table = SharedImageState();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (table.list == nullptr) {
        table.list = ImageList_Create(16, 15, ILC_COLOR32 | ILC_MASK, 0, 1);
        if (table.list == nullptr)
            return -1;
    }
    const auto held = std::find(table.commands.begin(), table.commands.end(), commandId);
    if (held != table.commands.end())
        return ImageList_ReplaceIcon(table.list, static_cast<int>(held - table.commands.begin()),
                                     icon);
    try {
        table.commands.reserve(table.commands.size() + 1);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    const int index = ImageList_AddIcon(table.list, icon);
    if (index >= 0)
        table.commands.push_back(commandId);
    return index;
}

int OwnerDrawMenu::SharedImageIndex(UINT commandId) {
    SharedImageTable& table = SharedImageState();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto held = std::find(table.commands.begin(), table.commands.end(), commandId);
    return held == table.commands.end() ? -1 : static_cast<int>(held - table.commands.begin());
}

HIMAGELIST OwnerDrawMenu::SharedImages() {
    SharedImageTable& table = SharedImageState();
    std::lock_guard<std::mutex> lock(table.mutex);
    return table.list;
}
