// The list view's handler: its columns and rows live here, on the control's thread.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "platform/gdi/GdiText.h"
#include "platform/ui/CommonControlsInternal.h"
#include "platform/ui/ListView.h"
#include "platform/window/Presentation.h"

namespace {

constexpr int kTextPadding = 12;  // around a measured text in its column
constexpr int kCheckBoxWidth = 18;

struct Column {
    std::string text;
    int width = 0;
    int format = LVCFMT_LEFT;
    int subItem = 0;
};

struct Row {
    std::vector<std::string> texts;  // by sub-item
    int image = 0;
    LPARAM data = 0;
    UINT state = 0;

    const std::string& Text(int subItem) const {
        static const std::string empty;
        return subItem >= 0 && static_cast<std::size_t>(subItem) < texts.size()
                   ? texts[static_cast<std::size_t>(subItem)]
                   : empty;
    }
    void SetText(int subItem, const char* text) {
        if (texts.size() <= static_cast<std::size_t>(subItem))
            texts.resize(static_cast<std::size_t>(subItem) + 1);
        texts[static_cast<std::size_t>(subItem)] = text ? text : "";
    }
};

class ListViewControl final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        hwnd_ = hwnd;
        switch (message) {
            case LVM_GETITEMCOUNT:
                return static_cast<LRESULT>(rows_.size());
            case LVM_INSERTITEM:
                return InsertRow(reinterpret_cast<const LVITEM*>(lParam));
            case LVM_SETITEM:
                return SetRow(reinterpret_cast<const LVITEM*>(lParam));
            case LVM_GETITEM:
                return GetRow(reinterpret_cast<LVITEM*>(lParam));
            case LVM_SETITEMTEXT:
                return SetRowText(static_cast<int>(wParam),
                                  reinterpret_cast<const LVITEM*>(lParam));
            case LVM_GETITEMTEXT:
                return GetRowText(static_cast<int>(wParam), reinterpret_cast<LVITEM*>(lParam));
            case LVM_DELETEITEM:
                return DeleteRow(static_cast<int>(wParam));
            case LVM_DELETEALLITEMS:
                return DeleteAllRows();
            case LVM_SETITEMSTATE:
                return SetItemStateMessage(static_cast<int>(wParam),
                                           reinterpret_cast<const LVITEM*>(lParam));
            case LVM_GETITEMSTATE: {
                const int row = static_cast<int>(wParam);
                return HasRow(row) ? static_cast<LRESULT>(RowAt(row).state & lParam) : 0;
            }
            case LVM_GETNEXTITEM:
                return NextRow(static_cast<int>(wParam), lParam);
            case LVM_GETSELECTEDCOUNT:
                return std::count_if(rows_.begin(), rows_.end(),
                                     [](const Row& row) { return row.state & LVIS_SELECTED; });
            case LVM_FINDITEM:
                return FindRow(static_cast<int>(wParam),
                               reinterpret_cast<const LVFINDINFO*>(lParam));
            case LVM_INSERTCOLUMN:
                return InsertColumn(static_cast<int>(wParam),
                                    reinterpret_cast<const LVCOLUMN*>(lParam));
            case LVM_SETCOLUMN:
                return SetColumn(static_cast<int>(wParam),
                                 reinterpret_cast<const LVCOLUMN*>(lParam));
            case LVM_GETCOLUMN:
                return GetColumn(static_cast<int>(wParam), reinterpret_cast<LVCOLUMN*>(lParam));
            case LVM_DELETECOLUMN:
                return DeleteColumn(static_cast<int>(wParam));
            case LVM_GETCOLUMNWIDTH:
                return HasColumn(static_cast<int>(wParam)) ? columns_[wParam].width : 0;
            case LVM_SETCOLUMNWIDTH:
                return SetColumnWidth(static_cast<int>(wParam), lParam);
            case LVM_SORTITEMS:
                return Sort(reinterpret_cast<PFNLVCOMPARE>(lParam), static_cast<LPARAM>(wParam));
            case LVM_SETEXTENDEDLISTVIEWSTYLE:
                return SetExtendedStyle(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
            case LVM_GETEXTENDEDLISTVIEWSTYLE:
                return extendedStyle_;
            case LVM_SETIMAGELIST:
                return SetImageList(wParam, reinterpret_cast<HIMAGELIST>(lParam));
            case LVM_GETIMAGELIST:
                return wParam <= LVSIL_STATE ? reinterpret_cast<LRESULT>(images_[wParam]) : 0;
            case UIM_LISTVIEW_CLICKROW:
                return ClickRow(static_cast<int>(wParam), lParam != 0);
            case UIM_LISTVIEW_TICKROW:
                return TickRow(static_cast<int>(wParam), lParam != 0);
            case UIM_LISTVIEW_CLICKCOLUMN:
                return ClickColumn(static_cast<int>(wParam));
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    bool HasRow(int row) const { return row >= 0 && static_cast<std::size_t>(row) < rows_.size(); }
    bool HasColumn(int column) const {
        return column >= 0 && static_cast<std::size_t>(column) < columns_.size();
    }
    Row& RowAt(int row) { return rows_[static_cast<std::size_t>(row)]; }
    bool Checkable() const { return (extendedStyle_ & LVS_EX_CHECKBOXES) != 0; }
    void Changed(UINT message) { PresentControlContent(hwnd_, message); }

    LRESULT NotifyRow(UINT code, int row, UINT newState = 0, UINT oldState = 0, UINT changed = 0) {
        NMLISTVIEW nm;
        nm.hdr.code = code;
        nm.iItem = row;
        nm.uNewState = newState;
        nm.uOldState = oldState;
        nm.uChanged = changed;
        nm.lParam = HasRow(row) ? RowAt(row).data : 0;
        return NotifyParent(hwnd_, &nm.hdr);
    }

    // The room a row's text takes in its column.
    static int MeasuredWidth(const std::string& text) {
        static const int empty = TextWidth("") + kTextPadding;
        return text.empty() ? empty : TextWidth(text) + kTextPadding;
    }

    // The widest text of a sub-item over every row, with its padding (0 with no rows).
    // Measured over the rows once, then kept as texts come and go (each new text is
    // measured, each one that goes counted out), so a list sized to its contents after
    // each new row measures that row's texts alone.
    int WidestText(int subItem) {
        if (subItem < 0)
            return 0;
        const auto at = static_cast<std::size_t>(subItem);
        if (widths_.size() <= at)
            widths_.resize(at + 1);
        TextWidths& widths = widths_[at];
        if (!widths.known) {
            widths.counts.clear();
            for (const Row& row : rows_)
                ++widths.counts[MeasuredWidth(row.Text(subItem))];
            widths.known = true;
        }
        return widths.counts.empty() ? 0 : widths.counts.rbegin()->first;
    }

    // A row's text of a sub-item joins or leaves the widths kept for it.
    void TextAdded(int subItem, const std::string& text) {
        TextWidths& widths = widths_[static_cast<std::size_t>(subItem)];
        if (widths.known)
            ++widths.counts[MeasuredWidth(text)];
    }
    void TextRemoved(int subItem, const std::string& text) {
        TextWidths& widths = widths_[static_cast<std::size_t>(subItem)];
        if (!widths.known)
            return;
        const auto found = widths.counts.find(MeasuredWidth(text));
        if (found != widths.counts.end() && --found->second == 0)
            widths.counts.erase(found);
    }

    void SetText(Row& row, int subItem, const char* text) {
        const bool kept = static_cast<std::size_t>(subItem) < widths_.size();
        if (kept)
            TextRemoved(subItem, row.Text(subItem));
        row.SetText(subItem, text);
        if (kept)
            TextAdded(subItem, row.Text(subItem));
    }

    LRESULT InsertRow(const LVITEM* item) {
        if (item == nullptr || item->iSubItem != 0 || item->iItem < 0)
            return -1;
        Row row;
        if (item->mask & LVIF_TEXT)
            row.SetText(0, item->pszText);
        if (item->mask & LVIF_IMAGE)
            row.image = item->iImage;
        if (item->mask & LVIF_PARAM)
            row.data = item->lParam;
        if (item->mask & LVIF_STATE)
            row.state = item->state & item->stateMask;
        if (Checkable() && (row.state & LVIS_STATEIMAGEMASK) == 0)
            row.state |= INDEXTOSTATEIMAGEMASK(1);
        const int at = std::min(item->iItem, static_cast<int>(rows_.size()));
        for (std::size_t subItem = 0; subItem < widths_.size(); ++subItem)
            TextAdded(static_cast<int>(subItem), row.Text(static_cast<int>(subItem)));
        rows_.insert(rows_.begin() + at, std::move(row));
        Changed(LVM_INSERTITEM);
        NotifyRow(LVN_INSERTITEM, at);
        return at;
    }

    LRESULT SetRow(const LVITEM* item) {
        if (item == nullptr || !HasRow(item->iItem) || item->iSubItem < 0)
            return FALSE;
        Row& row = RowAt(item->iItem);
        if (item->mask & LVIF_TEXT)
            SetText(row, item->iSubItem, item->pszText);
        if (item->iSubItem == 0) {
            if (item->mask & LVIF_IMAGE)
                row.image = item->iImage;
            if (item->mask & LVIF_PARAM)
                row.data = item->lParam;
        }
        Changed(LVM_SETITEM);
        if (item->iSubItem == 0 && (item->mask & LVIF_STATE))
            return SetState(item->iItem, item->state, item->stateMask);
        return TRUE;
    }

    static int CopyText(const std::string& text, char* buffer, int size) {
        if (buffer == nullptr || size <= 0)
            return 0;
        const int count = std::min(static_cast<int>(text.size()), size - 1);
        std::memcpy(buffer, text.data(), static_cast<std::size_t>(count));
        buffer[count] = '\0';
        return count;
    }

    LRESULT GetRow(LVITEM* item) {
        if (item == nullptr || !HasRow(item->iItem) || item->iSubItem < 0)
            return FALSE;
        const Row& row = RowAt(item->iItem);
        if (item->mask & LVIF_TEXT)
            CopyText(row.Text(item->iSubItem), item->pszText, item->cchTextMax);
        if (item->mask & LVIF_IMAGE)
            item->iImage = row.image;
        if (item->mask & LVIF_PARAM)
            item->lParam = row.data;
        if (item->mask & LVIF_STATE)
            item->state = row.state & item->stateMask;
        return TRUE;
    }

    LRESULT SetRowText(int row, const LVITEM* item) {
        if (item == nullptr || !HasRow(row) || item->iSubItem < 0)
            return FALSE;
        SetText(RowAt(row), item->iSubItem, item->pszText);
        Changed(LVM_SETITEMTEXT);
        return TRUE;
    }

    LRESULT GetRowText(int row, LVITEM* item) {
        if (item == nullptr || !HasRow(row) || item->iSubItem < 0)
            return 0;
        return CopyText(RowAt(row).Text(item->iSubItem), item->pszText, item->cchTextMax);
    }

    LRESULT DeleteRow(int row) {
        if (!HasRow(row))
            return FALSE;
        NotifyRow(LVN_DELETEITEM, row);
        if (!HasRow(row))
            return FALSE;  // the parent changed the rows meanwhile
        for (std::size_t subItem = 0; subItem < widths_.size(); ++subItem)
            TextRemoved(static_cast<int>(subItem), RowAt(row).Text(static_cast<int>(subItem)));
        rows_.erase(rows_.begin() + row);
        Changed(LVM_DELETEITEM);
        return TRUE;
    }

    LRESULT DeleteAllRows() {
        if (rows_.empty())
            return TRUE;
        if (NotifyRow(LVN_DELETEALLITEMS, -1) == 0) {
            for (int row = 0; HasRow(row); ++row)
                NotifyRow(LVN_DELETEITEM, row);
        }
        rows_.clear();
        for (TextWidths& widths : widths_)
            widths.counts.clear();
        Changed(LVM_DELETEALLITEMS);
        return TRUE;
    }

    // Gives one row a new state, telling the parent before and after; selecting or
    // focusing a row takes the focus from the others (and, with LVS_SINGLESEL, the
    // selection).
    LRESULT SetState(int row, UINT state, UINT mask) {
        if (!HasRow(row))
            return FALSE;
        const UINT old = RowAt(row).state;
        const UINT wanted = (old & ~mask) | (state & mask);
        const UINT gained = wanted & ~old;
        if (gained & LVIS_FOCUSED)
            ClearOthers(row, LVIS_FOCUSED);
        if ((gained & LVIS_SELECTED) && (GetWindowLong(hwnd_, GWL_STYLE) & LVS_SINGLESEL))
            ClearOthers(row, LVIS_SELECTED);
        if (!HasRow(row))
            return FALSE;
        const UINT before = RowAt(row).state;
        const UINT after = (before & ~mask) | (state & mask);
        if (after == before)
            return TRUE;
        if (NotifyRow(LVN_ITEMCHANGING, row, after, before, LVIF_STATE) != 0)
            return FALSE;
        if (!HasRow(row))
            return FALSE;
        RowAt(row).state = after;
        Changed(LVM_SETITEMSTATE);
        NotifyRow(LVN_ITEMCHANGED, row, after, before, LVIF_STATE);
        return TRUE;
    }

    void ClearOthers(int keep, UINT bit) {
        for (int other = 0; HasRow(other); ++other) {
            if (other != keep && (RowAt(other).state & bit))
                SetState(other, 0, bit);
        }
    }

    LRESULT SetItemStateMessage(int row, const LVITEM* item) {
        if (item == nullptr)
            return FALSE;
        if (row != -1)
            return SetState(row, item->state, item->stateMask);
        for (int each = 0; HasRow(each); ++each)
            SetState(each, item->state, item->stateMask);
        return TRUE;
    }

    LRESULT NextRow(int start, LPARAM flags) {
        const UINT wanted = static_cast<UINT>(flags) & (LVIS_SELECTED | LVIS_FOCUSED);
        for (int row = std::max(start + 1, 0); HasRow(row); ++row) {
            if ((RowAt(row).state & wanted) == wanted)
                return row;
        }
        return -1;
    }

    static bool EqualIgnoringCase(const std::string& text, const char* wanted, bool prefix) {
        const std::size_t length = std::strlen(wanted);
        if (prefix ? text.size() < length : text.size() != length)
            return false;
        for (std::size_t i = 0; i < length; ++i) {
            if (FoldAscii(text[i]) != FoldAscii(wanted[i]))
                return false;
        }
        return true;
    }

    LRESULT FindRow(int start, const LVFINDINFO* find) {
        if (find == nullptr)
            return -1;
        for (int row = std::max(start + 1, 0); HasRow(row); ++row) {
            const Row& candidate = RowAt(row);
            if (find->flags & LVFI_PARAM) {
                if (candidate.data == find->lParam)
                    return row;
            } else if (find->psz != nullptr &&
                       EqualIgnoringCase(candidate.Text(0), find->psz,
                                         (find->flags & LVFI_PARTIAL) != 0)) {
                return row;
            }
        }
        return -1;
    }

    LRESULT InsertColumn(int at, const LVCOLUMN* info) {
        if (info == nullptr || at < 0)
            return -1;
        Column column;
        column.subItem =
            (info->mask & LVCF_SUBITEM) ? info->iSubItem : static_cast<int>(columns_.size());
        if (info->mask & LVCF_TEXT)
            column.text = info->pszText ? info->pszText : "";
        if (info->mask & LVCF_WIDTH)
            column.width = std::max(info->cx, 0);
        if (info->mask & LVCF_FMT)
            column.format = info->fmt;
        at = std::min(at, static_cast<int>(columns_.size()));
        columns_.insert(columns_.begin() + at, std::move(column));
        Changed(LVM_INSERTCOLUMN);
        return at;
    }

    LRESULT SetColumn(int at, const LVCOLUMN* info) {
        if (info == nullptr || !HasColumn(at))
            return FALSE;
        Column& column = columns_[static_cast<std::size_t>(at)];
        if (info->mask & LVCF_TEXT)
            column.text = info->pszText ? info->pszText : "";
        if (info->mask & LVCF_WIDTH)
            column.width = std::max(info->cx, 0);
        if (info->mask & LVCF_FMT)
            column.format = info->fmt;
        if (info->mask & LVCF_SUBITEM)
            column.subItem = info->iSubItem;
        Changed(LVM_SETCOLUMN);
        return TRUE;
    }

    LRESULT GetColumn(int at, LVCOLUMN* info) {
        if (info == nullptr || !HasColumn(at))
            return FALSE;
        const Column& column = columns_[static_cast<std::size_t>(at)];
        if (info->mask & LVCF_TEXT)
            CopyText(column.text, info->pszText, info->cchTextMax);
        if (info->mask & LVCF_WIDTH)
            info->cx = column.width;
        if (info->mask & LVCF_FMT)
            info->fmt = column.format;
        if (info->mask & LVCF_SUBITEM)
            info->iSubItem = column.subItem;
        return TRUE;
    }

    LRESULT DeleteColumn(int at) {
        if (!HasColumn(at))
            return FALSE;
        columns_.erase(columns_.begin() + at);
        Changed(LVM_DELETECOLUMN);
        return TRUE;
    }

    LRESULT SetColumnWidth(int at, LPARAM width) {
        if (!HasColumn(at))
            return FALSE;
        Column& column = columns_[static_cast<std::size_t>(at)];
        if (width >= 0) {
            column.width = static_cast<int>(width);
        } else if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
            int widest = WidestText(column.subItem);
            if (at == 0 && Checkable())
                widest += kCheckBoxWidth;
            if (width == LVSCW_AUTOSIZE_USEHEADER) {
                widest = std::max(widest, TextWidth(column.text) + kTextPadding);
                if (static_cast<std::size_t>(at) + 1 == columns_.size()) {
                    RECT client;
                    GetClientRect(hwnd_, &client);
                    int others = 0;
                    for (int i = 0; i < at; ++i)
                        others += columns_[static_cast<std::size_t>(i)].width;
                    widest = std::max(widest, static_cast<int>(client.right) - others);
                }
            }
            column.width = widest;
        } else {
            return FALSE;
        }
        Changed(LVM_SETCOLUMNWIDTH);
        return TRUE;
    }

    // Sorts the rows by the callback, keeping equal rows in their order. The rows stay in
    // place while the callback runs, so it may read them; a sort whose callback changed
    // the number of rows is dropped.
    LRESULT Sort(PFNLVCOMPARE compare, LPARAM sortData) {
        if (compare == nullptr)
            return FALSE;
        std::vector<LPARAM> data;
        for (const Row& row : rows_)
            data.push_back(row.data);
        std::vector<std::size_t> order(rows_.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return compare(data[a], data[b], sortData) < 0;
        });
        if (order.size() != rows_.size())
            return FALSE;
        std::vector<Row> sorted;
        sorted.reserve(rows_.size());
        for (std::size_t index : order)
            sorted.push_back(std::move(rows_[index]));
        rows_ = std::move(sorted);
        Changed(LVM_SORTITEMS);
        return TRUE;
    }

    LRESULT SetExtendedStyle(DWORD mask, DWORD styles) {
        const DWORD old = extendedStyle_;
        if (mask == 0)
            mask = 0xFFFFFFFFu;
        extendedStyle_ = (old & ~mask) | (styles & mask);
        const bool checkable = Checkable();
        if (checkable != ((old & LVS_EX_CHECKBOXES) != 0)) {
            for (Row& row : rows_) {
                row.state &= ~LVIS_STATEIMAGEMASK;
                if (checkable)
                    row.state |= INDEXTOSTATEIMAGEMASK(1);
            }
        }
        Changed(LVM_SETEXTENDEDLISTVIEWSTYLE);
        return old;
    }

    LRESULT SetImageList(WPARAM which, HIMAGELIST list) {
        if (which > LVSIL_STATE)
            return 0;
        HIMAGELIST old = images_[which];
        images_[which] = list;
        Changed(LVM_SETIMAGELIST);
        return reinterpret_cast<LRESULT>(old);
    }

    LRESULT ClickRow(int row, bool doubleClick) {
        if (!HasRow(row))
            return FALSE;
        for (int other = 0; HasRow(other); ++other) {
            if (other != row && (RowAt(other).state & LVIS_SELECTED))
                SetState(other, 0, LVIS_SELECTED);
        }
        SetState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        NotifyActivate(NM_CLICK, row);
        if (doubleClick)
            NotifyActivate(NM_DBLCLK, row);
        return TRUE;
    }

    void NotifyActivate(UINT code, int row) {
        NMITEMACTIVATE nm;
        nm.hdr.code = code;
        nm.iItem = row;
        nm.lParam = HasRow(row) ? RowAt(row).data : 0;
        NotifyParent(hwnd_, &nm.hdr);
    }

    LRESULT TickRow(int row, bool checked) {
        if (!HasRow(row) || !Checkable())
            return FALSE;
        return SetState(row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
    }

    LRESULT ClickColumn(int column) {
        if (!HasColumn(column) || (GetWindowLong(hwnd_, GWL_STYLE) & LVS_NOSORTHEADER))
            return FALSE;
        NMLISTVIEW nm;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iItem = -1;
        nm.iSubItem = column;
        NotifyParent(hwnd_, &nm.hdr);
        return TRUE;
    }

    // How many rows' texts of one sub-item take each width, once measured (WidestText).
    struct TextWidths {
        bool known = false;
        std::map<int, int> counts;
    };

    HWND hwnd_ = nullptr;
    std::vector<Column> columns_;
    std::vector<Row> rows_;
    std::vector<TextWidths> widths_;  // by sub-item
    DWORD extendedStyle_ = 0;
    HIMAGELIST images_[3] = {};  // not owned, as on the platform
};

}  // namespace

std::unique_ptr<WindowHandler> MakeListViewControl() {
    return std::make_unique<ListViewControl>();
}

std::string ListViewText(HWND list, int row, int subItem) {
    LVITEM item;
    item.iSubItem = subItem;
    std::string text(1024, '\0');
    for (;;) {
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length = static_cast<std::size_t>(SendMessage(
            list, LVM_GETITEMTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 4);
    }
}
