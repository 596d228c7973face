// The tree view's handler: its items live here, on the control's thread.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/ui/CommonControlsInternal.h"
#include "platform/ui/TreeView.h"
#include "platform/window/Presentation.h"

namespace {

struct Item {
    std::string text;
    int image = 0;
    int selectedImage = 0;
    LPARAM data = 0;
    UINT state = 0;
    HTREEITEM parent = nullptr;  // null at the top level
    std::vector<HTREEITEM> children;
};

class TreeViewControl final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        hwnd_ = hwnd;
        const auto handle = reinterpret_cast<HTREEITEM>(lParam);
        switch (message) {
            case TVM_INSERTITEM:
                return reinterpret_cast<LRESULT>(
                    Insert(reinterpret_cast<const TVINSERTSTRUCT*>(lParam)));
            case TVM_DELETEITEM:
                return Delete(handle);
            case TVM_EXPAND:
                return Expand(handle, wParam);
            case TVM_GETCOUNT:
                return static_cast<LRESULT>(items_.size());
            case TVM_SETIMAGELIST: {
                if (wParam != TVSIL_NORMAL)
                    return 0;
                HIMAGELIST old = images_;
                images_ = reinterpret_cast<HIMAGELIST>(lParam);
                PresentControlContent(hwnd_, message);
                return reinterpret_cast<LRESULT>(old);
            }
            case TVM_GETIMAGELIST:
                return wParam == TVSIL_NORMAL ? reinterpret_cast<LRESULT>(images_) : 0;
            case TVM_GETNEXTITEM:
                return reinterpret_cast<LRESULT>(Next(handle, wParam));
            case TVM_GETITEM:
                return Get(reinterpret_cast<TVITEM*>(lParam));
            case TVM_SETITEM:
                return Set(reinterpret_cast<const TVITEM*>(lParam));
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    Item* Find(HTREEITEM handle) {
        const auto found = items_.find(handle);
        return found == items_.end() ? nullptr : &found->second;
    }

    std::vector<HTREEITEM>* SiblingsOf(HTREEITEM parent) {
        if (parent == nullptr)
            return &roots_;
        Item* item = Find(parent);
        return item ? &item->children : nullptr;
    }

    static void Fill(Item& item, const TVITEM& from) {
        if (from.mask & TVIF_TEXT)
            item.text = from.pszText ? from.pszText : "";
        if (from.mask & TVIF_IMAGE)
            item.image = from.iImage;
        if (from.mask & TVIF_SELECTEDIMAGE)
            item.selectedImage = from.iSelectedImage;
        if (from.mask & TVIF_PARAM)
            item.data = from.lParam;
        if (from.mask & TVIF_STATE)
            item.state = (item.state & ~from.stateMask) | (from.state & from.stateMask);
    }

    HTREEITEM Insert(const TVINSERTSTRUCT* insert) {
        if (insert == nullptr)
            return nullptr;
        const HTREEITEM parent = insert->hParent == TVI_ROOT ? nullptr : insert->hParent;
        std::vector<HTREEITEM>* siblings = SiblingsOf(parent);
        if (siblings == nullptr)
            return nullptr;
        auto at = siblings->end();
        if (insert->hInsertAfter == TVI_FIRST) {
            at = siblings->begin();
        } else if (insert->hInsertAfter != TVI_LAST && insert->hInsertAfter != nullptr) {
            at = std::find(siblings->begin(), siblings->end(), insert->hInsertAfter);
            if (at == siblings->end())
                return nullptr;
            ++at;
        }
        const auto handle = reinterpret_cast<HTREEITEM>(++lastHandle_);
        Item item;
        Fill(item, insert->item);
        item.parent = parent;
        siblings->insert(at, handle);
        items_.emplace(handle, std::move(item));
        PresentControlContent(hwnd_, TVM_INSERTITEM);
        return handle;
    }

    void Forget(HTREEITEM handle) {
        Item* item = Find(handle);
        if (item == nullptr)
            return;
        const std::vector<HTREEITEM> children = item->children;
        for (HTREEITEM child : children)
            Forget(child);
        items_.erase(handle);
    }

    LRESULT Delete(HTREEITEM handle) {
        if (handle == TVI_ROOT || handle == nullptr) {
            items_.clear();
            roots_.clear();
        } else {
            Item* item = Find(handle);
            if (item == nullptr)
                return FALSE;
            std::erase(*SiblingsOf(item->parent), handle);
            Forget(handle);
        }
        PresentControlContent(hwnd_, TVM_DELETEITEM);
        return TRUE;
    }

    LRESULT Expand(HTREEITEM handle, WPARAM action) {
        Item* item = Find(handle);
        if (item == nullptr)
            return FALSE;
        switch (action & TVE_TOGGLE) {
            case TVE_EXPAND:
                item->state |= TVIS_EXPANDED;
                break;
            case TVE_COLLAPSE:
                item->state &= ~TVIS_EXPANDED;
                break;
            case TVE_TOGGLE:
                item->state ^= TVIS_EXPANDED;
                break;
            default:
                return FALSE;
        }
        PresentControlContent(hwnd_, TVM_EXPAND);
        return TRUE;
    }

    HTREEITEM Next(HTREEITEM handle, WPARAM relation) {
        if (relation == TVGN_ROOT)
            return roots_.empty() ? nullptr : roots_.front();
        if (relation == TVGN_CHILD && (handle == nullptr || handle == TVI_ROOT))
            return roots_.empty() ? nullptr : roots_.front();
        Item* item = Find(handle);
        if (item == nullptr)
            return nullptr;
        switch (relation) {
            case TVGN_CHILD:
                return item->children.empty() ? nullptr : item->children.front();
            case TVGN_PARENT:
                return item->parent;
            case TVGN_NEXT:
            case TVGN_PREVIOUS: {
                const std::vector<HTREEITEM>& siblings = *SiblingsOf(item->parent);
                const auto at = std::find(siblings.begin(), siblings.end(), handle);
                if (relation == TVGN_NEXT)
                    return at + 1 == siblings.end() ? nullptr : *(at + 1);
                return at == siblings.begin() ? nullptr : *(at - 1);
            }
            default:
                return nullptr;
        }
    }

    LRESULT Get(TVITEM* out) {
        if (out == nullptr)
            return FALSE;
        const Item* item = Find(out->hItem);
        if (item == nullptr)
            return FALSE;
        if ((out->mask & TVIF_TEXT) && out->pszText != nullptr && out->cchTextMax > 0) {
            const auto count =
                std::min(item->text.size(), static_cast<std::size_t>(out->cchTextMax - 1));
            std::memcpy(out->pszText, item->text.data(), count);
            out->pszText[count] = '\0';
        }
        if (out->mask & TVIF_IMAGE)
            out->iImage = item->image;
        if (out->mask & TVIF_SELECTEDIMAGE)
            out->iSelectedImage = item->selectedImage;
        if (out->mask & TVIF_PARAM)
            out->lParam = item->data;
        if (out->mask & TVIF_STATE)
            out->state = item->state & out->stateMask;
        if (out->mask & TVIF_CHILDREN)
            out->cChildren = static_cast<int>(item->children.size());
        return TRUE;
    }

    LRESULT Set(const TVITEM* in) {
        if (in == nullptr)
            return FALSE;
        Item* item = Find(in->hItem);
        if (item == nullptr)
            return FALSE;
        Fill(*item, *in);
        PresentControlContent(hwnd_, TVM_SETITEM);
        return TRUE;
    }

    HWND hwnd_ = nullptr;
    std::map<HTREEITEM, Item> items_;
    std::vector<HTREEITEM> roots_;
    std::uintptr_t lastHandle_ = 0;  // handles count up and are never given twice
    HIMAGELIST images_ = nullptr;    // not owned, as on the platform
};

}  // namespace

std::unique_ptr<WindowHandler> MakeTreeViewControl() {
    return std::make_unique<TreeViewControl>();
}

std::string TreeViewText(HWND tree, HTREEITEM item) {
    std::string text(4096, '\0');
    TVITEM query;
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text.data();
    query.cchTextMax = static_cast<int>(text.size());
    if (!TreeView_GetItem(tree, &query))
        return std::string();
    text.resize(std::strlen(text.c_str()));
    return text;
}
