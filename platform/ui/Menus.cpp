#include "platform/ui/Menus.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiText.h"
#include "platform/thread/Thread.h"
#include "platform/ui/CommonControlsInternal.h"
#include "platform/window/MessageLoop.h"

namespace {

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;
constexpr int kFrame = 3;
constexpr int kTextItemHeight = 19;
constexpr int kSeparatorHeight = 9;
constexpr int kTextLeft = 20;

struct Item {
    UINT flags = 0;  // MF_ kind and state bits
    UINT_PTR id = 0;
    HMENU sub = nullptr;  // owned, with MF_POPUP
    std::string text;
    ULONG_PTR data = 0;  // an owner-drawn item's data
};

struct Menu {
    std::vector<Item> items;
};

struct MenuTable {
    std::mutex mutex;
    std::map<HMENU, Menu> menus;
    std::map<HWND, HMENU> systemMenus;
    std::uintptr_t lastHandle = 0;  // handles count up and are never given twice
};

MenuTable& Menus() {
    static auto* table = new MenuTable;  // lives for the process, as the windows' table
    return *table;
}

// Lookups below run with the table's mutex held.
Menu* FindMenu(HMENU menu) {
    auto found = Menus().menus.find(menu);
    return found == Menus().menus.end() ? nullptr : &found->second;
}

struct Place {
    Menu* menu = nullptr;
    std::size_t index = 0;
};

std::optional<Place> FindItem(HMENU handle, UINT item, UINT flags, int depth = 0) {
    Menu* menu = FindMenu(handle);
    if (menu == nullptr || depth > 64)
        return std::nullopt;
    if (flags & MF_BYPOSITION) {
        if (item >= menu->items.size())
            return std::nullopt;
        return Place{menu, item};
    }
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        const Item& candidate = menu->items[i];
        if (!(candidate.flags & (MF_POPUP | MF_SEPARATOR)) && candidate.id == item)
            return Place{menu, i};
    }
    for (const Item& candidate : menu->items) {
        if (candidate.flags & MF_POPUP) {
            if (auto inside = FindItem(candidate.sub, item, flags, depth + 1))
                return inside;
        }
    }
    return std::nullopt;
}

HMENU NewMenu() {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    try {
        const auto handle = reinterpret_cast<HMENU>(++table.lastHandle);
        table.menus.emplace(handle, Menu{});
        return handle;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void Destroy(HMENU handle, int depth = 0) {
    auto found = Menus().menus.find(handle);
    if (found == Menus().menus.end() || depth > 64)
        return;
    const std::vector<Item> items = std::move(found->second.items);
    Menus().menus.erase(found);
    for (const Item& item : items) {
        if (item.flags & MF_POPUP)
            Destroy(item.sub, depth + 1);
    }
}

// An item from the arguments of AppendMenu and its kin; false for a bad sub-menu.
bool MakeItem(UINT flags, UINT_PTR id, const char* newItem, Item* item) {
    item->flags = flags & ~MF_BYPOSITION;
    if (flags & MF_POPUP) {
        item->sub = reinterpret_cast<HMENU>(id);
        if (FindMenu(item->sub) == nullptr)
            return false;
    } else {
        item->id = id;
    }
    if (flags & MF_OWNERDRAW)
        item->data = reinterpret_cast<ULONG_PTR>(newItem);
    else if (!(flags & MF_SEPARATOR) && newItem != nullptr)
        item->text = newItem;
    return true;
}

void FillSystemMenu(HMENU menu) {
    AppendMenu(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenu(menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenu(menu, MF_STRING, SC_SIZE, "&Size");
    AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenu(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close");
}

// ---- The shown menu ------------------------------------------------------------------

struct ShownState {
    ShownMenu info;
    std::unique_ptr<DrawingSurface> surface;
    std::vector<RECT> itemRects;
    int highlighted = -1;
    bool ended = false;
    UINT_PTR chosen = 0;
};

thread_local std::unique_ptr<ShownState> shownMenu;

std::atomic<MenuPresenter*> menuPresenter{nullptr};

std::vector<Item> ItemsOf(HMENU handle) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    const Menu* menu = FindMenu(handle);
    return menu ? menu->items : std::vector<Item>();
}

UINT DrawStateOf(const Item& item, bool selected) {
    UINT state = selected ? ODS_SELECTED : 0;
    if (item.flags & MF_GRAYED)
        state |= ODS_GRAYED;
    if (item.flags & MF_DISABLED)
        state |= ODS_DISABLED;
    if (item.flags & MF_CHECKED)
        state |= ODS_CHECKED;
    return state;
}

void DrawItem(ShownState& shown, const std::vector<Item>& items, int position, UINT action) {
    const Item& item = items[static_cast<std::size_t>(position)];
    const RECT rect = shown.itemRects[static_cast<std::size_t>(position)];
    HDC dc = shown.surface->Dc();
    const bool selected = position == shown.highlighted;
    if (item.flags & MF_OWNERDRAW) {
        DRAWITEMSTRUCT draw;
        draw.CtlType = ODT_MENU;
        draw.itemID = static_cast<UINT>(item.id);
        draw.itemAction = action;
        draw.itemState = DrawStateOf(item, selected);
        draw.hwndItem = reinterpret_cast<HWND>(shown.info.menu);
        draw.hDC = dc;
        draw.rcItem = rect;
        draw.itemData = item.data;
        SendMessage(shown.info.owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        return;
    }
    RECT fill = rect;
    FillRect(dc, &fill, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (item.flags & MF_SEPARATOR) {
        RECT line{rect.left, rect.top + kSeparatorHeight / 2 - 1, rect.right,
                  rect.top + kSeparatorHeight / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const int colour = (item.flags & (MF_GRAYED | MF_DISABLED)) ? COLOR_GRAYTEXT
                       : selected                               ? COLOR_HIGHLIGHTTEXT
                                                                : COLOR_MENUTEXT;
    SetTextColor(dc, GetSysColor(colour));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT text{rect.left + kTextLeft, rect.top, rect.right, rect.bottom};
    DrawText(dc, item.text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
    if (item.flags & MF_CHECKED) {
        RECT mark{rect.left + 6, rect.top + 6, rect.left + 13, rect.top + 13};
        FillRect(dc, &mark, GetSysColorBrush(colour));
    }
    SelectObject(dc, oldFont);
}

// Measures the items and draws the whole menu on a new surface.
void Present(ShownState& shown) {
    const std::vector<Item> items = ItemsOf(shown.info.menu);
    std::vector<SIZE> sizes;
    int width = 0;
    int height = 0;
    for (const Item& item : items) {
        SIZE size;
        if (item.flags & MF_OWNERDRAW) {
            MEASUREITEMSTRUCT measure;
            measure.CtlType = ODT_MENU;
            measure.itemID = static_cast<UINT>(item.id);
            measure.itemData = item.data;
            SendMessage(shown.info.owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
            size = SIZE{static_cast<LONG>(std::min<UINT>(measure.itemWidth, 4096)),
                        static_cast<LONG>(std::min<UINT>(measure.itemHeight, 4096))};
        } else if (item.flags & MF_SEPARATOR) {
            size = SIZE{0, kSeparatorHeight};
        } else {
            size = SIZE{kTextLeft + TextWidth(item.text) + kTextLeft, kTextItemHeight};
        }
        width = std::max(width, static_cast<int>(size.cx));
        height += size.cy;
        sizes.push_back(size);
    }
    shown.surface = std::make_unique<DrawingSurface>(width + 2 * kFrame, height + 2 * kFrame);
    shown.info.surface = shown.surface.get();
    HDC dc = shown.surface->Dc();
    RECT whole{0, 0, shown.surface->Width(), shown.surface->Height()};
    DrawEdge(dc, &whole, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    int top = kFrame;
    for (const SIZE& size : sizes) {
        shown.itemRects.push_back(RECT{kFrame, top, kFrame + width, top + size.cy});
        top += size.cy;
    }
    for (std::size_t i = 0; i < items.size() && shownMenu; ++i)
        DrawItem(shown, items, static_cast<int>(i), ODA_DRAWENTIRE);
}

ShownState* OpenMenu() {
    return shownMenu && shownMenu->info.open && !shownMenu->ended ? shownMenu.get() : nullptr;
}

bool Usable(const Item& item) {
    return !(item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED));
}

// Ends the shown menu with the choice of a usable item.
bool Choose(ShownState& shown, const Item& item) {
    if (!Usable(item) || (item.flags & MF_POPUP))
        return false;
    shown.chosen = item.id;
    shown.ended = true;
    return true;
}

template <typename Match>
bool ChooseWhere(Match match) {
    ShownState* shown = OpenMenu();
    if (shown == nullptr)
        return false;
    // Breadth of one level at a time: the shown menu, then each sub-menu as it is opened.
    std::vector<std::pair<HMENU, int>> pending{{shown->info.menu, -1}};
    for (std::size_t next = 0; next < pending.size() && next < 256; ++next) {
        const auto [menu, positionInParent] = pending[next];
        // a sub-menu's items are found after it is opened (WM_INITMENUPOPUP)
        if (positionInParent >= 0 && !(shown->info.flags & TPM_NONOTIFY)) {
            SendMessage(shown->info.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                        MAKELPARAM(static_cast<WORD>(positionInParent), FALSE));
            if (OpenMenu() != shown)
                return false;
        }
        const std::vector<Item> items = ItemsOf(menu);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (match(items[i]))
                return Choose(*shown, items[i]);
        }
        for (std::size_t i = 0; i < items.size(); ++i) {
            if ((items[i].flags & MF_POPUP) && Usable(items[i]))
                pending.emplace_back(items[i].sub, static_cast<int>(i));
        }
    }
    return false;
}

std::string WithoutAmpersands(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

bool Highlight(ShownState& shown, int position) {
    const std::vector<Item> items = ItemsOf(shown.info.menu);
    if (position < 0 || static_cast<std::size_t>(position) >= items.size() ||
        items.size() != shown.itemRects.size() ||
        (items[static_cast<std::size_t>(position)].flags & MF_SEPARATOR))
        return false;
    const int old = shown.highlighted;
    shown.highlighted = position;
    if (old >= 0 && old != position && static_cast<std::size_t>(old) < items.size())
        DrawItem(shown, items, old, ODA_SELECT);
    if (OpenMenu() == &shown)
        DrawItem(shown, items, position, ODA_SELECT);
    if (MenuPresenter* presenter = menuPresenter.load(); presenter && OpenMenu() == &shown)
        presenter->MenuRedrawn();
    return true;
}

}  // namespace

HMENU CreateMenu() {
    return NewMenu();
}

HMENU CreatePopupMenu() {
    return NewMenu();
}

BOOL DestroyMenu(HMENU menu) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    if (FindMenu(menu) == nullptr)
        return FALSE;
    Destroy(menu);
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    return FindMenu(menu) != nullptr;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* newItem) {
    return InsertMenu(menu, 0xFFFFFFFFu, flags | MF_BYPOSITION, id, newItem);
}

BOOL InsertMenu(HMENU handle, UINT position, UINT flags, UINT_PTR id, const char* newItem) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    Item item;
    if (FindMenu(handle) == nullptr || !MakeItem(flags, id, newItem, &item))
        return FALSE;
    Menu* menu = FindMenu(handle);
    std::size_t at = menu->items.size();
    if (auto place = FindItem(handle, position, flags)) {
        menu = place->menu;
        at = place->index;
    } else if (!(flags & MF_BYPOSITION)) {
        return FALSE;
    }
    try {
        menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return TRUE;
}

BOOL ModifyMenu(HMENU handle, UINT position, UINT flags, UINT_PTR id, const char* newItem) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    auto place = FindItem(handle, position, flags);
    Item item;
    if (!place || !MakeItem(flags, id, newItem, &item))
        return FALSE;
    Item& old = place->menu->items[place->index];
    const HMENU oldSub = (old.flags & MF_POPUP) ? old.sub : nullptr;
    old = std::move(item);
    if (oldSub != nullptr && oldSub != old.sub)
        Destroy(oldSub);
    return TRUE;
}

namespace {

BOOL Remove(HMENU handle, UINT position, UINT flags, bool destroySub) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    auto place = FindItem(handle, position, flags);
    if (!place)
        return FALSE;
    const Item item = place->menu->items[place->index];
    place->menu->items.erase(place->menu->items.begin() +
                             static_cast<std::ptrdiff_t>(place->index));
    if (destroySub && (item.flags & MF_POPUP))
        Destroy(item.sub);
    return TRUE;
}

}  // namespace

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    return Remove(menu, position, flags, true);
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    return Remove(menu, position, flags, false);
}

int GetMenuItemCount(HMENU handle) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    const Menu* menu = FindMenu(handle);
    return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU handle, int position) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    auto place = FindItem(handle, static_cast<UINT>(position), MF_BYPOSITION);
    if (position < 0 || !place || (place->menu->items[place->index].flags & MF_POPUP))
        return 0xFFFFFFFFu;
    return static_cast<UINT>(place->menu->items[place->index].id);
}

UINT GetMenuState(HMENU handle, UINT item, UINT flags) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    auto place = FindItem(handle, item, flags);
    if (!place)
        return 0xFFFFFFFFu;
    const Item& found = place->menu->items[place->index];
    UINT state = found.flags & (kStateBits | MF_POPUP | MF_SEPARATOR | MF_OWNERDRAW);
    if (found.flags & MF_POPUP) {
        const Menu* sub = FindMenu(found.sub);
        state = (state & 0xFF) | (static_cast<UINT>(sub ? sub->items.size() : 0) << 8);
    }
    return state;
}

int GetMenuString(HMENU handle, UINT item, char* buffer, int maxCount, UINT flags) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    auto place = FindItem(handle, item, flags);
    if (!place)
        return 0;
    const std::string& text = place->menu->items[place->index].text;
    if (buffer == nullptr)
        return static_cast<int>(text.size());
    if (maxCount <= 0)
        return 0;
    const int count = std::min(static_cast<int>(text.size()), maxCount - 1);
    std::memcpy(buffer, text.data(), static_cast<std::size_t>(count));
    buffer[count] = '\0';
    return count;
}

std::string GetMenuText(HMENU menu, UINT item, UINT flags) {
    const int length = GetMenuString(menu, item, nullptr, 0, flags);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetMenuString(menu, item, text.data(), static_cast<int>(text.size()), flags)));
    return text;
}

namespace {

DWORD ChangeBits(HMENU handle, UINT item, UINT flags, UINT bits, UINT wanted) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    auto place = FindItem(handle, item, flags);
    if (!place)
        return 0xFFFFFFFFu;
    Item& found = place->menu->items[place->index];
    const DWORD old = found.flags & bits;
    found.flags = (found.flags & ~bits) | (wanted & bits);
    return old;
}

}  // namespace

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    return ChangeBits(menu, item, check & MF_BYPOSITION, MF_CHECKED, check);
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    return static_cast<BOOL>(
        ChangeBits(menu, item, enable & MF_BYPOSITION, MF_GRAYED | MF_DISABLED, enable));
}

HMENU GetSubMenu(HMENU handle, int position) {
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    auto place = FindItem(handle, static_cast<UINT>(position), MF_BYPOSITION);
    if (position < 0 || !place || !(place->menu->items[place->index].flags & MF_POPUP))
        return nullptr;
    return place->menu->items[place->index].sub;
}

HMENU GetSystemMenu(HWND window, BOOL revert) {
    if (!IsWindow(window))
        return nullptr;
    std::vector<HMENU> ended;
    HMENU menu = nullptr;
    {
        MenuTable& table = Menus();
        std::lock_guard<std::mutex> guard(table.mutex);
        // The menus of windows that ended go now (handles are never reused).
        for (auto it = table.systemMenus.begin(); it != table.systemMenus.end();) {
            if (!IsWindow(it->first) || (revert && it->first == window)) {
                Destroy(it->second);
                it = table.systemMenus.erase(it);
            } else {
                ++it;
            }
        }
        if (revert)
            return nullptr;
        auto found = table.systemMenus.find(window);
        if (found != table.systemMenus.end())
            return found->second;
    }
    menu = NewMenu();
    if (menu == nullptr)
        return nullptr;
    FillSystemMenu(menu);
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.mutex);
    const auto [place, added] = table.systemMenus.emplace(window, menu);
    if (!added)
        Destroy(menu);  // another thread made it first
    return place->second;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (!IsMenu(menu) || !IsWindow(owner) || GetWindowThreadId(owner) != GetCurrentThreadId() ||
        OpenMenu() != nullptr)
        return FALSE;
    shownMenu = std::make_unique<ShownState>();
    ShownState* shown = shownMenu.get();
    shown->info = ShownMenu{menu, owner, POINT{x, y}, flags, true, nullptr};
    if (!(flags & TPM_NONOTIFY))
        SendMessage(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
    if (shownMenu.get() == shown && IsMenu(menu) && IsWindow(owner))
        Present(*shown);
    MenuPresenter* presenter = menuPresenter.load();
    if (presenter && shownMenu.get() == shown && shown->surface)
        presenter->MenuShown();
    while (shownMenu.get() == shown && !shown->ended && IsWindow(owner) && IsMenu(menu)) {
        MSG msg;
        if (!GetMessage(&msg)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        DispatchMessage(&msg);
    }
    if (presenter)
        presenter->MenuClosed();
    if (shownMenu.get() != shown)
        return FALSE;
    shown->info.open = false;
    const UINT_PTR chosen = shown->chosen;
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen != 0 && IsWindow(owner))
        SendMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    return TRUE;
}

void SetMenuPresenter(MenuPresenter* presenter) {
    menuPresenter.store(presenter);
}

BOOL GetShownMenu(ShownMenu* shown) {
    if (!shownMenu || shown == nullptr)
        return FALSE;
    *shown = shownMenu->info;
    return TRUE;
}

BOOL GetShownMenuItemRect(int position, RECT* rect) {
    if (!shownMenu || rect == nullptr || position < 0 ||
        static_cast<std::size_t>(position) >= shownMenu->itemRects.size())
        return FALSE;
    *rect = shownMenu->itemRects[static_cast<std::size_t>(position)];
    return TRUE;
}

bool ChooseShownMenuItem(unsigned id) {
    return ChooseWhere([id](const Item& item) {
        return !(item.flags & (MF_POPUP | MF_SEPARATOR)) && item.id == id;
    });
}

bool ChooseShownMenuItemByText(std::string_view text) {
    return ChooseWhere([text](const Item& item) {
        return !(item.flags & (MF_SEPARATOR | MF_OWNERDRAW)) &&
               (item.text == text || WithoutAmpersands(item.text) == text);
    });
}

bool HighlightShownMenuItem(unsigned id) {
    ShownState* shown = OpenMenu();
    if (shown == nullptr)
        return false;
    const std::vector<Item> items = ItemsOf(shown->info.menu);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!(items[i].flags & (MF_POPUP | MF_SEPARATOR)) && items[i].id == id)
            return Highlight(*shown, static_cast<int>(i));
    }
    return false;
}

// A key pressed in the shown menu: an item whose text marks that key with "&" is chosen;
// otherwise the owner is asked with WM_MENUCHAR and its answer is followed.
bool PressShownMenuKey(char key) {
    ShownState* shown = OpenMenu();
    if (shown == nullptr)
        return false;
    const std::string mnemonic = std::string("&") + FoldAscii(key);
    const std::vector<Item> items = ItemsOf(shown->info.menu);
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::string folded = items[i].text;
        for (char& c : folded)
            c = FoldAscii(c);
        if (!(items[i].flags & MF_OWNERDRAW) && folded.find(mnemonic) != std::string::npos)
            return Choose(*shown, items[i]);
    }
    const LRESULT answer = SendMessage(
        shown->info.owner, WM_MENUCHAR,
        MAKEWPARAM(static_cast<WORD>(static_cast<unsigned char>(key)), static_cast<WORD>(MF_POPUP)),
        reinterpret_cast<LPARAM>(shown->info.menu));
    if (OpenMenu() != shown)
        return false;
    const int position = LOWORD(static_cast<std::uintptr_t>(answer));
    const std::vector<Item> now = ItemsOf(shown->info.menu);
    switch (HIWORD(static_cast<std::uintptr_t>(answer))) {
        case MNC_CLOSE:
            shown->ended = true;
            return true;
        case MNC_EXECUTE:
            return static_cast<std::size_t>(position) < now.size() &&
                   Choose(*shown, now[static_cast<std::size_t>(position)]);
        case MNC_SELECT:
            return Highlight(*shown, position);
        default:
            return false;
    }
}

bool DismissShownMenu() {
    ShownState* shown = OpenMenu();
    if (shown == nullptr)
        return false;
    shown->ended = true;
    return true;
}

bool ChooseSystemMenuItem(HWND window, unsigned id) {
    if (!(GetWindowLong(window, GWL_STYLE) & WS_SYSMENU))
        return false;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr)
        return false;
    SendMessage(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
    if (state == 0xFFFFFFFFu || (state & (MF_GRAYED | MF_DISABLED | MF_POPUP | MF_SEPARATOR)))
        return false;
    SendMessage(window, WM_SYSCOMMAND, id, 0);
    return true;
}
