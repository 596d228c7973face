// The tab control's handler: its tabs and selection live here, on the control's thread.
#include "platform/ui/TabControl.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ui/CommonControlsInternal.h"
#include "platform/window/Presentation.h"

namespace {

struct Tab {
    std::string text;
    int image = -1;
    LPARAM data = 0;
};

class TabControl final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        hwnd_ = hwnd;
        const int tab = static_cast<int>(wParam);
        switch (message) {
            case TCM_GETITEMCOUNT:
                return static_cast<LRESULT>(tabs_.size());
            case TCM_INSERTITEM:
                return Insert(tab, reinterpret_cast<const TCITEM*>(lParam));
            case TCM_SETITEM:
                return Set(tab, reinterpret_cast<const TCITEM*>(lParam));
            case TCM_GETITEM:
                return Get(tab, reinterpret_cast<TCITEM*>(lParam));
            case TCM_DELETEITEM:
                return Delete(tab);
            case TCM_DELETEALLITEMS:
                tabs_.clear();
                selected_ = -1;
                PresentControlContent(hwnd_, message);
                return TRUE;
            case TCM_GETCURSEL:
                return selected_;
            case TCM_SETCURSEL: {
                if (!HasTab(tab))
                    return -1;
                const int old = selected_;
                selected_ = tab;
                PresentControlContent(hwnd_, message);
                return old;
            }
            case TCM_ADJUSTRECT:
                AdjustRect(wParam != 0, reinterpret_cast<RECT*>(lParam));
                return 0;
            case UIM_TAB_CLICK:
                return Click(tab);
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    bool HasTab(int tab) const { return tab >= 0 && static_cast<std::size_t>(tab) < tabs_.size(); }

    static void Fill(Tab& tab, const TCITEM& item) {
        if (item.mask & TCIF_TEXT)
            tab.text = item.pszText ? item.pszText : "";
        if (item.mask & TCIF_IMAGE)
            tab.image = item.iImage;
        if (item.mask & TCIF_PARAM)
            tab.data = item.lParam;
    }

    LRESULT Insert(int at, const TCITEM* item) {
        if (item == nullptr || at < 0)
            return -1;
        Tab tab;
        Fill(tab, *item);
        at = std::min(at, static_cast<int>(tabs_.size()));
        tabs_.insert(tabs_.begin() + at, std::move(tab));
        if (selected_ == -1)
            selected_ = 0;  // the first tab of an empty control is selected
        else if (at <= selected_)
            ++selected_;
        PresentControlContent(hwnd_, TCM_INSERTITEM);
        return at;
    }

    LRESULT Set(int at, const TCITEM* item) {
        if (item == nullptr || !HasTab(at))
            return FALSE;
        Fill(tabs_[static_cast<std::size_t>(at)], *item);
        PresentControlContent(hwnd_, TCM_SETITEM);
        return TRUE;
    }

    LRESULT Get(int at, TCITEM* item) {
        if (item == nullptr || !HasTab(at))
            return FALSE;
        const Tab& tab = tabs_[static_cast<std::size_t>(at)];
        if ((item->mask & TCIF_TEXT) && item->pszText != nullptr && item->cchTextMax > 0) {
            const auto count =
                std::min(tab.text.size(), static_cast<std::size_t>(item->cchTextMax - 1));
            std::memcpy(item->pszText, tab.text.data(), count);
            item->pszText[count] = '\0';
        }
        if (item->mask & TCIF_IMAGE)
            item->iImage = tab.image;
        if (item->mask & TCIF_PARAM)
            item->lParam = tab.data;
        return TRUE;
    }

    // Deleting the selected tab leaves none selected; a later tab's index moves down.
    LRESULT Delete(int at) {
        if (!HasTab(at))
            return FALSE;
        tabs_.erase(tabs_.begin() + at);
        if (at == selected_)
            selected_ = -1;
        else if (at < selected_)
            --selected_;
        PresentControlContent(hwnd_, TCM_DELETEITEM);
        return TRUE;
    }

    void AdjustRect(bool larger, RECT* rect) const {
        if (rect == nullptr)
            return;
        const bool bottom = (GetWindowLong(hwnd_, GWL_STYLE) & TCS_BOTTOM) != 0;
        const int sign = larger ? -1 : 1;
        rect->left += sign * kTabMargin;
        rect->right -= sign * kTabMargin;
        rect->top += sign * (bottom ? kTabMargin : kTabRowHeight);
        rect->bottom -= sign * (bottom ? kTabRowHeight : kTabMargin);
    }

    LRESULT Click(int tab) {
        if (!HasTab(tab))
            return FALSE;
        if (tab == selected_)
            return TRUE;  // a click on the selected tab changes nothing
        NMHDR changing;
        changing.code = TCN_SELCHANGING;
        if (NotifyParent(hwnd_, &changing) != 0 || !HasTab(tab))
            return FALSE;
        selected_ = tab;
        PresentControlContent(hwnd_, TCM_SETCURSEL);
        NMHDR change;
        change.code = TCN_SELCHANGE;
        NotifyParent(hwnd_, &change);
        return TRUE;
    }

    HWND hwnd_ = nullptr;
    std::vector<Tab> tabs_;
    int selected_ = -1;
};

}  // namespace

std::unique_ptr<WindowHandler> MakeTabControl() {
    return std::make_unique<TabControl>();
}
