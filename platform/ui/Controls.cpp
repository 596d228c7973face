#include "platform/ui/Controls.h"

#include "platform/gdi/GdiIcons.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/WindowSurface.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/window/Presentation.h"

namespace {

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
}

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Fold(x) == Fold(y); });
}

bool LessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
    });
}

const char* TextParam(LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    return text ? text : "";
}

// ---- Button ----

class ButtonControl : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        const DWORD type = StyleOf(hwnd) & BS_TYPEMASK;
        switch (message) {
            case BM_GETCHECK:
                return static_cast<LRESULT>(check_);
            case BM_SETCHECK:
                SetCheck(hwnd, wParam);
                return 0;
            case BM_GETSTATE:
                return static_cast<LRESULT>(check_ | (pushed_ ? BST_PUSHED : 0) |
                                            (GetFocus() == hwnd ? BST_FOCUS : 0));
            case BM_SETSTATE:
                if ((wParam != 0) != pushed_) {
                    pushed_ = wParam != 0;
                    InvalidateRect(hwnd, nullptr, FALSE);
                    UpdateWindow(hwnd);
                }
                return 0;
            case WM_PAINT:
                if (type != BS_OWNERDRAW)
                    return DefWindowProc(hwnd, message, wParam, lParam);
                DrawOwnerDrawnControl(hwnd, ODT_BUTTON, ODA_DRAWENTIRE,
                                      OwnerDrawState(hwnd, pushed_ ? ODS_SELECTED : 0));
                return 0;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case WM_ENABLE:
                // A button that loses the focus or is disabled while held comes up
                // unclicked.
                if (message != WM_SETFOCUS && (tracking_ || spaceHeld_)) {
                    tracking_ = false;
                    spaceHeld_ = false;
                    SendMessage(hwnd, BM_SETSTATE, FALSE, 0);
                }
                // An owner-drawn button's focus and disabled looks are its parent's
                // drawing: it is drawn again.
                if (type == BS_OWNERDRAW)
                    InvalidateRect(hwnd, nullptr, FALSE);
                return DefWindowProc(hwnd, message, wParam, lParam);
            // The left button: pressed on the button it takes the focus and holds the
            // button down while the pointer stays on it; released on it, it clicks.
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                if (!IsWindowEnabled(hwnd) || type == BS_GROUPBOX || spaceHeld_)
                    return 0;
                SetFocus(hwnd);
                tracking_ = true;
                SendMessage(hwnd, BM_SETSTATE, TRUE, 0);
                return 0;
            case WM_MOUSEMOVE:
                if (tracking_ && (wParam & MK_LBUTTON)) {
                    const BOOL inside = HoldsPoint(hwnd, lParam);
                    if (inside != (pushed_ ? TRUE : FALSE))
                        SendMessage(hwnd, BM_SETSTATE, static_cast<WPARAM>(inside), 0);
                }
                return DefWindowProc(hwnd, message, wParam, lParam);
            // Space on the focused button: held down it is drawn pushed, let go it
            // clicks (unless the left button holds it meanwhile).
            case WM_KEYDOWN:
                if (wParam != VK_SPACE || !IsWindowEnabled(hwnd) || type == BS_GROUPBOX ||
                    tracking_ || spaceHeld_)
                    return DefWindowProc(hwnd, message, wParam, lParam);
                spaceHeld_ = true;
                SendMessage(hwnd, BM_SETSTATE, TRUE, 0);
                return 0;
            case WM_KEYUP:
                if (wParam != VK_SPACE || !spaceHeld_)
                    return DefWindowProc(hwnd, message, wParam, lParam);
                spaceHeld_ = false;
                SendMessage(hwnd, BM_SETSTATE, FALSE, 0);
                if (IsWindowEnabled(hwnd))
                    SendMessage(hwnd, BM_CLICK, 0, 0);
                return 0;
            case WM_LBUTTONUP: {
                if (!tracking_)
                    return 0;
                tracking_ = false;
                const bool click = HoldsPoint(hwnd, lParam) != FALSE;
                SendMessage(hwnd, BM_SETSTATE, FALSE, 0);
                if (click && IsWindowEnabled(hwnd))
                    SendMessage(hwnd, BM_CLICK, 0, 0);
                return 0;
            }
            case BM_SETSTYLE:
                SetWindowLong(hwnd, GWL_STYLE,
                              static_cast<LONG>((StyleOf(hwnd) & ~BS_TYPEMASK) |
                                                (static_cast<DWORD>(wParam) & BS_TYPEMASK)));
                return 0;
            case BM_CLICK:
                if (!IsWindowEnabled(hwnd))
                    return 0;
                if (type == BS_AUTOCHECKBOX) {
                    SetCheck(hwnd, check_ == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
                } else if (type == BS_AUTO3STATE) {
                    SetCheck(hwnd, (check_ + 1) % 3);
                } else if (type == BS_AUTORADIOBUTTON) {
                    CheckInGroup(hwnd);
                }
                NotifyParentCommand(hwnd, BN_CLICKED);
                return 0;
            case WM_GETDLGCODE:
                if (type == BS_DEFPUSHBUTTON)
                    return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
                if (type == BS_PUSHBUTTON || type == BS_OWNERDRAW)
                    return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
                if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
                    return DLGC_BUTTON | DLGC_RADIOBUTTON;
                if (type == BS_GROUPBOX)
                    return DLGC_STATIC;
                return DLGC_BUTTON;
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    void SetCheck(HWND hwnd, WPARAM state) {
        if (state > BST_INDETERMINATE)
            state = BST_CHECKED;
        if (state == check_)
            return;
        check_ = state;
        PresentControlContent(hwnd, BM_SETCHECK);
    }

    // An auto radio button checks itself and clears the other auto radio buttons of its
    // group: the siblings from the last WS_GROUP at or before it to the next WS_GROUP.
    void CheckInGroup(HWND hwnd) {
        HWND start = hwnd;
        while (!(StyleOf(start) & WS_GROUP)) {
            HWND previous = GetWindow(start, GW_HWNDPREV);
            if (previous == nullptr)
                break;
            start = previous;
        }
        for (HWND sibling = start; sibling != nullptr; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
            if (sibling != start && (StyleOf(sibling) & WS_GROUP))
                break;
            if (sibling != hwnd && (StyleOf(sibling) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
                EqualNoCase(GetClassName(sibling), "BUTTON"))
                SendMessage(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        SetCheck(hwnd, BST_CHECKED);
    }

    // Whether a mouse message's point (lParam, client coordinates) is on the button.
    static BOOL HoldsPoint(HWND hwnd, LPARAM lParam) {
        const int x = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        const int y = static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        RECT client;
        GetClientRect(hwnd, &client);
        return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
    }

    WPARAM check_ = BST_UNCHECKED;
    bool pushed_ = false;
    bool tracking_ = false;   // the left button went down on the button and is held
    bool spaceHeld_ = false;  // Space went down on the button and is held
};

// ---- Edit ----

class EditControl : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_SETTEXT: {
                const LRESULT result = DefWindowProc(hwnd, message, wParam, lParam);
                start_ = end_ = 0;
                modified_ = false;
                NotifyParentCommand(hwnd, EN_CHANGE);
                return result;
            }
            case EM_GETSEL: {
                Clamp(hwnd);
                if (auto* start = reinterpret_cast<DWORD*>(wParam))
                    *start = static_cast<DWORD>(start_);
                if (auto* end = reinterpret_cast<DWORD*>(lParam))
                    *end = static_cast<DWORD>(end_);
                return static_cast<LRESULT>(
                    MAKELPARAM(static_cast<WORD>(start_), static_cast<WORD>(end_)));
            }
            case EM_SETSEL: {
                const size_t length = GetWindowText(hwnd).size();
                const auto start = static_cast<LPARAM>(static_cast<INT_PTR>(wParam));
                if (start < 0) {
                    start_ = end_ = std::min(end_, length);
                } else {
                    start_ = std::min(static_cast<size_t>(start), length);
                    end_ = lParam < 0 ? length : std::min(static_cast<size_t>(lParam), length);
                    if (end_ < start_)
                        std::swap(start_, end_);
                }
                PresentControlContent(hwnd, EM_SETSEL);
                return 0;
            }
            case EM_REPLACESEL:
                Replace(hwnd, TextParam(lParam), false);
                return 0;
            case EM_LIMITTEXT:
                limit_ = wParam == 0 ? kNoLimit : static_cast<size_t>(wParam);
                return 0;
            case EM_GETLIMITTEXT:
                return static_cast<LRESULT>(limit_);
            case EM_GETMODIFY:
                return modified_ ? TRUE : FALSE;
            case EM_SETMODIFY:
                modified_ = wParam != 0;
                return 0;
            case EM_SETREADONLY: {
                const DWORD style = StyleOf(hwnd);
                SetWindowLong(
                    hwnd, GWL_STYLE,
                    static_cast<LONG>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
                return TRUE;
            }
            case WM_CHAR:
                Type(hwnd, static_cast<char32_t>(wParam));
                return 0;
            case WM_GETDLGCODE: {
                LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
                if ((StyleOf(hwnd) & (ES_MULTILINE | ES_WANTRETURN)) ==
                    (ES_MULTILINE | ES_WANTRETURN))
                    code |= DLGC_WANTALLKEYS;
                return code;
            }
            case WM_SETFOCUS:
                NotifyParentCommand(hwnd, EN_SETFOCUS);
                return 0;
            case WM_KILLFOCUS:
                NotifyParentCommand(hwnd, EN_KILLFOCUS);
                return 0;
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    static constexpr size_t kNoLimit = 0x7FFFFFFE;

    void Clamp(HWND hwnd) {
        const size_t length = GetWindowText(hwnd).size();
        start_ = std::min(start_, length);
        end_ = std::min(end_, length);
    }

    // A typed character: as the keyboard gives it to an edit.
    void Type(HWND hwnd, char32_t c) {
        const DWORD style = StyleOf(hwnd);
        if (style & ES_READONLY)
            return;
        if (c == VK_BACK) {
            Clamp(hwnd);
            if (start_ == end_ && start_ > 0) {
                const std::string text = GetWindowText(hwnd);
                size_t from = start_ - 1;
                while (from > 0 && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80)
                    --from;
                start_ = from;
            }
            Replace(hwnd, "", true);
            return;
        }
        if (c == '\r' || c == '\n') {
            if (style & ES_MULTILINE)
                Replace(hwnd, "\r\n", true);
            return;
        }
        if (c < 0x20 && c != '\t')
            return;
        if ((style & ES_NUMBER) && (c < '0' || c > '9'))
            return;
        std::string bytes;
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
        Replace(hwnd, bytes, true);
    }

    // Puts text in place of the selection; typing keeps to the limit.
    void Replace(HWND hwnd, std::string_view insert, bool typed) {
        Clamp(hwnd);
        std::string text = GetWindowText(hwnd);
        if (typed && text.size() - (end_ - start_) + insert.size() > limit_) {
            NotifyParentCommand(hwnd, EN_MAXTEXT);
            return;
        }
        text.replace(start_, end_ - start_, insert);
        start_ = end_ = start_ + insert.size();
        DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        modified_ = true;
        PresentControlContent(hwnd, EM_REPLACESEL);
        NotifyParentCommand(hwnd, EN_CHANGE);
    }

    size_t start_ = 0;
    size_t end_ = 0;
    size_t limit_ = kNoLimit;
    bool modified_ = false;
};

// ---- Static ----

class StaticControl : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case STM_SETICON:
                return SetIcon(hwnd, reinterpret_cast<HICON>(wParam));
            case STM_SETIMAGE:
                return wParam == IMAGE_ICON ? SetIcon(hwnd, reinterpret_cast<HICON>(lParam)) : 0;
            case STM_GETICON:
            case STM_GETIMAGE:
                return reinterpret_cast<LRESULT>(icon_);
            case WM_LBUTTONDOWN:
                if (StyleOf(hwnd) & SS_NOTIFY)
                    NotifyParentCommand(hwnd, STN_CLICKED);
                return 0;
            case WM_GETDLGCODE:
                return DLGC_STATIC;
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    LRESULT SetIcon(HWND hwnd, HICON icon) {
        const HICON old = icon_;
        icon_ = icon;
        // An icon control takes the icon's size, as a template's ICON line expects.
        int width = 0;
        int height = 0;
        std::vector<DWORD> pixels;
        if ((StyleOf(hwnd) & SS_TYPEMASK) == SS_ICON &&
            GetIconPixels(icon, &width, &height, &pixels))
            SetWindowPos(hwnd, nullptr, 0, 0, width, height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PresentControlContent(hwnd, STM_SETICON);
        return reinterpret_cast<LRESULT>(old);
    }

    HICON icon_ = nullptr;
};

// ---- List box ----

class ListBoxControl : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        const int count = static_cast<int>(rows_.size());
        const auto row = static_cast<int>(static_cast<INT_PTR>(wParam));
        switch (message) {
            case LB_ADDSTRING: {
                const std::string text = TextParam(lParam);
                auto at = rows_.end();
                if (StyleOf(hwnd) & LBS_SORT) {
                    at = std::upper_bound(rows_.begin(), rows_.end(), text,
                                          [](const std::string& value, const Row& r) {
                                              return LessNoCase(value, r.text);
                                          });
                }
                return Insert(hwnd, static_cast<int>(at - rows_.begin()), text);
            }
            case LB_INSERTSTRING:
                if (row > count || row < -1)
                    return LB_ERR;
                return Insert(hwnd, row == -1 ? count : row, TextParam(lParam));
            case LB_DELETESTRING:
                if (row < 0 || row >= count)
                    return LB_ERR;
                rows_.erase(rows_.begin() + row);
                if (selected_ == row)
                    selected_ = -1;
                else if (selected_ > row)
                    --selected_;
                PresentControlContent(hwnd, message);
                return count - 1;
            case LB_RESETCONTENT:
                rows_.clear();
                selected_ = -1;
                PresentControlContent(hwnd, message);
                return 0;
            case LB_GETCOUNT:
                return count;
            case LB_GETTEXT:
                if (row < 0 || row >= count || lParam == 0)
                    return LB_ERR;
                std::copy(rows_[row].text.begin(), rows_[row].text.end(),
                          reinterpret_cast<char*>(lParam));
                reinterpret_cast<char*>(lParam)[rows_[row].text.size()] = '\0';
                return static_cast<LRESULT>(rows_[row].text.size());
            case LB_GETTEXTLEN:
                return row < 0 || row >= count ? LB_ERR
                                               : static_cast<LRESULT>(rows_[row].text.size());
            case LB_GETITEMDATA:
                return row < 0 || row >= count ? LB_ERR : rows_[row].data;
            case LB_SETITEMDATA:
                if (row < 0 || row >= count)
                    return LB_ERR;
                rows_[row].data = lParam;
                return TRUE;
            case LB_GETCURSEL:
                return selected_;
            case LB_SETCURSEL:
                Select(hwnd, row >= 0 && row < count ? row : -1);
                return row >= 0 && row < count ? row : LB_ERR;
            case LB_FINDSTRING:
            case LB_FINDSTRINGEXACT:
                return Find(row, TextParam(lParam), message == LB_FINDSTRINGEXACT);
            case LB_SELECTSTRING: {
                const LRESULT found = Find(row, TextParam(lParam), false);
                if (found != LB_ERR)
                    Select(hwnd, static_cast<int>(found));
                return found;
            }
            case UIM_SELECTITEM:
                if (row < 0 || row >= count || !IsWindowEnabled(hwnd))
                    return LB_ERR;
                Select(hwnd, row);
                if (StyleOf(hwnd) & LBS_NOTIFY) {
                    NotifyParentCommand(hwnd, LBN_SELCHANGE);
                    if (lParam)
                        NotifyParentCommand(hwnd, LBN_DBLCLK);
                }
                return row;
            case WM_GETDLGCODE:
                return DLGC_WANTARROWS | DLGC_WANTCHARS;
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    struct Row {
        std::string text;
        LPARAM data = 0;
    };

    LRESULT Insert(HWND hwnd, int at, std::string text) {
        rows_.insert(rows_.begin() + at, Row{std::move(text), 0});
        if (selected_ >= at)
            ++selected_;
        PresentControlContent(hwnd, LB_INSERTSTRING);
        return at;
    }

    void Select(HWND hwnd, int row) {
        if (row == selected_)
            return;
        selected_ = row;
        PresentControlContent(hwnd, LB_SETCURSEL);
    }

    // Searches the rows after `after` (all rows for -1), wrapping round to the start.
    LRESULT Find(int after, std::string_view text, bool exact) const {
        const int count = static_cast<int>(rows_.size());
        if (count == 0)
            return LB_ERR;
        const int first = after < 0 || after >= count ? 0 : after + 1;
        for (int i = 0; i < count; ++i) {
            const int row = (first + i) % count;
            const std::string& candidate = rows_[row].text;
            const bool hit =
                exact ? EqualNoCase(candidate, text)
                      : candidate.size() >= text.size() &&
                            EqualNoCase(std::string_view(candidate).substr(0, text.size()), text);
            if (hit)
                return row;
        }
        return LB_ERR;
    }

    std::vector<Row> rows_;
    int selected_ = -1;
};

}  // namespace

// Defined by the dialogs (the dialog class "#32770").
void RegisterDialogClass();

void RegisterStandardWindowClasses() {
    RegisterWindowClass("BUTTON", [] { return std::make_unique<ButtonControl>(); });
    RegisterWindowClass("EDIT", [] { return std::make_unique<EditControl>(); });
    RegisterWindowClass("STATIC", [] { return std::make_unique<StaticControl>(); });
    RegisterWindowClass("LISTBOX", [] { return std::make_unique<ListBoxControl>(); });
    RegisterDialogClass();
    RegisterCommonControlClasses();  // list view, tab control, tree view, toolbar
}

std::string ListBoxText(HWND listBox, int row) {
    const LRESULT length = SendMessage(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessage(listBox, LB_GETTEXT, static_cast<WPARAM>(row),
                                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}
