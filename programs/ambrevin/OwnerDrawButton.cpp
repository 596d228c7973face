#include "programs/ambrevin/OwnerDrawButton.h"

#include <algorithm>

#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiText.h"
#include "platform/shell/Shell.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ToolTip.h"
#include "platform/ui/WindowSurface.h"
#include "platform/window/WindowMessages.h"
#include "platform/window/WindowStyles.h"
#include "platform/window/WindowTree.h"

ButtonBase::~ButtonBase() = default;

namespace {

constexpr UINT kCancelMode = 0x001F;        // WM_CANCELMODE
constexpr WPARAM kLeftButtonDown = 0x0001;  // MK_LBUTTON
constexpr int kToolTipWidth = 400;
constexpr LRESULT kPushButtonCodes = DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON;

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

// A one-pixel 3-D frame: topLeft on the top and left sides, bottomRight on the others.
void Draw3dRect(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    const RECT top{r.left, r.top, r.right - 1, r.top + 1};
    const RECT left{r.left, r.top, r.left + 1, r.bottom - 1};
    const RECT right{r.right - 1, r.top, r.right, r.bottom};
    const RECT bottom{r.left, r.bottom - 1, r.right, r.bottom};
    FillWith(dc, top, topLeft);
    FillWith(dc, left, topLeft);
    FillWith(dc, right, bottomRight);
    FillWith(dc, bottom, bottomRight);
}

}  // namespace

OwnerDrawButton::OwnerDrawButton() {
    SetDefaultColors(false);
}

OwnerDrawButton::~OwnerDrawButton() {
    // A window that outlives the object goes back to its own handler.
    if (m_hWnd != nullptr && hook_.previous != nullptr && IsWindow(m_hWnd))
        ::SubclassWindow(m_hWnd, hook_.previous);
    DropBackgroundCopy();
    if (tooltip_ != nullptr && IsWindow(tooltip_))
        ::DestroyWindow(tooltip_);
    SetHoverCursor(nullptr);
    menu_.DestroyMenu();
}

void OwnerDrawButton::SetHoverCursor(HCURSOR cursor) {
    if (hoverCursor_ != nullptr && hoverCursor_ != cursor)
        DestroyCursor(hoverCursor_);
    hoverCursor_ = cursor;
}

void OwnerDrawButton::SetTransparent(bool on, bool repaint) {
    transparent_ = on;
    if (!on)
        DropBackgroundCopy();
    if (repaint)
        Repaint();
}

void OwnerDrawButton::DropBackgroundCopy() {
    if (backgroundDc_ == nullptr)
        return;
    SelectObject(backgroundDc_, previousBitmap_);
    DeleteObject(backgroundBitmap_);
    DeleteDC(backgroundDc_);
    backgroundDc_ = nullptr;
    backgroundBitmap_ = nullptr;
    previousBitmap_ = nullptr;
}

void OwnerDrawButton::DrawBackgroundCopy(HDC dc, const RECT& rect) {
    const HWND parent = m_hWnd != nullptr ? ::GetParent(m_hWnd) : nullptr;
    if (parent == nullptr)
        return;
    RECT client{};
    GetClientRect(&client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (backgroundDc_ == nullptr) {
        // The button's place in the parent's client area, copied once.
        RECT place{};
        GetWindowRect(&place);
        POINT corner{place.left, place.top};
        ::ScreenToClient(parent, &corner);
        HDC parentDc = GetDC(parent);
        if (parentDc == nullptr)
            return;
        backgroundDc_ = CreateCompatibleDC(parentDc);
        backgroundBitmap_ = CreateCompatibleBitmap(parentDc, width, height);
        if (backgroundDc_ == nullptr || backgroundBitmap_ == nullptr) {
            if (backgroundBitmap_ != nullptr)
                DeleteObject(backgroundBitmap_);
            if (backgroundDc_ != nullptr)
                DeleteDC(backgroundDc_);
            backgroundDc_ = nullptr;
            backgroundBitmap_ = nullptr;
            ReleaseDC(parent, parentDc);
            return;
        }
        previousBitmap_ = SelectObject(backgroundDc_, backgroundBitmap_);
        BitBlt(backgroundDc_, 0, 0, width, height, parentDc, corner.x, corner.y, SRCCOPY);
        ReleaseDC(parent, parentDc);
    }
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, backgroundDc_,
           rect.left - client.left, rect.top - client.top, SRCCOPY);
}

void OwnerDrawButton::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr)
        return;
    if (tooltip_ == nullptr || !IsWindow(tooltip_)) {
        tooltip_ = ::CreateWindowEx(0, TOOLTIPS_CLASS, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                    m_hWnd, nullptr);
        if (tooltip_ == nullptr)
            return;
        ::SendMessage(tooltip_, TTM_ACTIVATE, FALSE, 0);
        ::SendMessage(tooltip_, TTM_SETMAXTIPWIDTH, 0, kToolTipWidth);
    }
    MSG relayed;
    relayed.hwnd = m_hWnd;
    relayed.message = message;
    relayed.wParam = wParam;
    relayed.lParam = lParam;
    ::SendMessage(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void OwnerDrawButton::ShowDropDownMenu() {
    const HMENU popup = ::GetSubMenu(menu_.GetSafeHmenu(), 0);
    if (popup == nullptr || m_hWnd == nullptr)
        return;
    RECT place{};
    GetWindowRect(&place);
    menuShown_ = true;
    Repaint();
    const HWND self = m_hWnd;
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                         place.left, place.bottom, 0, self, nullptr));
    if (!IsWindow(self))
        return;  // the button went while its menu was open
    menuShown_ = false;
    Repaint();
    if (command != 0 && menuCommandWindow_ != nullptr)
        ::PostMessage(menuCommandWindow_, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), 0);
}

bool OwnerDrawButton::SubclassWindow(HWND hwnd) {
    if (!CWnd::SubclassWindow(hwnd))
        return false;
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const DWORD type = style & BS_TYPEMASK;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)
        checkBoxMode_ = true;
    if (type == BS_DEFPUSHBUTTON)
        isDefault_ = true;
    hook_.previous = ::SubclassWindow(hwnd, &hook_);
    SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>((style & ~BS_TYPEMASK) | BS_OWNERDRAW));
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Repaint();
    return true;
}

BOOL OwnerDrawButton::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    if (m_hWnd == nullptr || draw.hwndItem != m_hWnd || draw.CtlType != ODT_BUTTON)
        return FALSE;
    ButtonDrawState state;
    state.selected = (draw.itemState & ODS_SELECTED) != 0;
    state.focused = (draw.itemState & ODS_FOCUS) != 0;
    state.disabled = (draw.itemState & ODS_DISABLED) != 0;
    Draw(draw.hDC, draw.rcItem, state, GetWindowText());
    return TRUE;
}

void OwnerDrawButton::PassFocusOn() {
    const HWND focus = ::GetFocus();
    if (focus != nullptr && focus != m_hWnd)
        return;  // the focus is elsewhere: it stays where the person put it
    const HWND parent = ::GetParent(m_hWnd);
    if (parent == nullptr)
        return;
    // The next enabled, visible tab stop after the button, wrapping round; else the parent.
    HWND next = ::GetWindow(m_hWnd, GW_HWNDNEXT);
    for (int round = 0; round < 2; ++round) {
        for (; next != nullptr; next = ::GetWindow(next, GW_HWNDNEXT)) {
            if (next == m_hWnd)
                break;
            const DWORD style = static_cast<DWORD>(GetWindowLong(next, GWL_STYLE));
            if ((style & WS_TABSTOP) != 0 && ::IsWindowVisible(next) && ::IsWindowEnabled(next)) {
                ::SetFocus(next);
                return;
            }
        }
        if (next == m_hWnd)
            break;
        next = ::GetWindow(parent, GW_CHILD);
    }
    ::SetFocus(parent);
}

LRESULT OwnerDrawButton::WindowHook::Default(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    return previous != nullptr ? previous->WindowProc(hwnd, message, wParam, lParam)
                               : DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT OwnerDrawButton::WindowHook::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE: {
            button_.RelayToToolTip(message, wParam, lParam);
            const LRESULT result = Default(hwnd, message, wParam, lParam);
            POINT at{};
            GetCursorPos(&at);
            const bool onThis = WindowFromPoint(at) == hwnd;
            // The window model keeps no active window: the dialog counts as active (the
            // button tracks the mouse in an inactive dialog too).
            if (button_.OnMouseMove((wParam & kLeftButtonDown) != 0, onThis, true)) {
                TRACKMOUSEEVENT track;
                track.dwFlags = TME_LEAVE;
                track.hwndTrack = hwnd;
                TrackMouseEvent(&track);
            }
            return result;
        }
        case WM_MOUSELEAVE:
            button_.CancelHover();
            return 0;
        case kCancelMode:
        case WM_KILLFOCUS: {
            const LRESULT result = Default(hwnd, message, wParam, lParam);
            button_.CancelHover();
            return result;
        }
        case WM_ENABLE: {
            const LRESULT result = Default(hwnd, message, wParam, lParam);
            if (wParam == FALSE) {
                button_.PassFocusOn();
                button_.CancelHover();
            }
            return result;
        }
        case WM_GETDLGCODE: {
            const LRESULT code = Default(hwnd, message, wParam, lParam) & ~kPushButtonCodes;
            return code | (button_.isDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        }
        case BM_SETSTYLE:
            button_.OnSetStyle(static_cast<DWORD>(wParam));
            return Default(hwnd, message,
                           (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            button_.RelayToToolTip(message, wParam, lParam);
            return Default(hwnd, message, wParam, lParam);
        case WM_LBUTTONDBLCLK:
            button_.RelayToToolTip(WM_LBUTTONDOWN, wParam, lParam);
            return Default(hwnd, WM_LBUTTONDOWN, wParam, lParam);
        case WM_ACTIVATE: {
            const LRESULT result = Default(hwnd, message, wParam, lParam);
            if (LOWORD(wParam) == WA_INACTIVE)
                button_.CancelHover();
            return result;
        }
        case WM_SETCURSOR:
            if (button_.hoverCursor_ != nullptr) {
                SetCursor(button_.hoverCursor_);
                return TRUE;
            }
            return Default(hwnd, message, wParam, lParam);
        case kReflectedColorRequest:
            return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
        case WM_DESTROY: {
            // The tooltip popup is owned by the button's top window; it goes with the button.
            const LRESULT result = Default(hwnd, message, wParam, lParam);
            if (button_.tooltip_ != nullptr && IsWindow(button_.tooltip_))
                ::DestroyWindow(button_.tooltip_);
            button_.tooltip_ = nullptr;
            return result;
        }
        case WM_SYSCOLORCHANGE: {
            const LRESULT result = Default(hwnd, message, wParam, lParam);
            button_.DropBackgroundCopy();
            return result;
        }
        case WM_MENUCHAR: {
            const HMENU menu = reinterpret_cast<HMENU>(lParam);
            if (button_.menu_.FindMenu(menu) != nullptr)
                return button_.menu_.OnMenuChar(static_cast<wchar_t>(LOWORD(wParam)), menu);
            return Default(hwnd, message, wParam, lParam);
        }
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure != nullptr && button_.menu_.MeasureItem(measure))
                return TRUE;
            return Default(hwnd, message, wParam, lParam);
        }
        case WM_DRAWITEM: {
            // The drop-down menu's items (the button owns the shown menu).
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (draw != nullptr && button_.menu_.DrawItem(*draw))
                return TRUE;
            return Default(hwnd, message, wParam, lParam);
        }
        default:
            return Default(hwnd, message, wParam, lParam);
    }
}

DWORD OwnerDrawButton::OffsetColor(int index, int offset, bool repaint) {
    if (index < 0 || index >= kColorCount)
        return kInvalidIndex;
    if (offset < -255 || offset > 255)
        return kBadParameter;
    const COLORREF colour = colors_[index];
    const int r = GetRValue(colour);
    const int g = GetGValue(colour);
    const int b = GetBValue(colour);
    if (offset > 0)
        offset = std::min(offset, 255 - std::max({r, g, b}));
    else
        offset = std::max(offset, -std::min({r, g, b}));
    colors_[index] = RGB(static_cast<BYTE>(r + offset), static_cast<BYTE>(g + offset),
                         static_cast<BYTE>(b + offset));
    if (repaint)
        Repaint();
    return kOk;
}

DWORD OwnerDrawButton::SetDefaultColors(bool repaint) {
    for (int i = 0; i < kColorCount; i += 2) {
        colors_[i] = GetSysColor(COLOR_BTNFACE);
        colors_[i + 1] = GetSysColor(COLOR_BTNTEXT);
    }
    if (repaint)
        Repaint();
    return kOk;
}

COLORREF OwnerDrawButton::Color(int index) const {
    return index >= 0 && index < kColorCount ? colors_[index] : CLR_INVALID;
}

void OwnerDrawButton::SetURL(std::string_view url) {
    url_ = std::string(url.substr(0, std::min(url.size(), kMaxUrlBytes)));
}

void OwnerDrawButton::SetCheck(int check, bool repaint) {
    if (!checkBoxMode_)
        return;
    checked_ = check == 1 || check == 2;
    if (repaint)
        Repaint();
}

void OwnerDrawButton::SetFlat(bool flat, bool repaint) {
    flat_ = flat;
    if (repaint)
        Repaint();
}

bool OwnerDrawButton::OnMouseMove(bool leftButtonDown, bool cursorOnThis, bool dialogActive) {
    if ((leftButtonDown && !mouseOver_) || !flat_)
        return false;
    if (!cursorOnThis) {
        CancelHover();
        return false;
    }
    if ((dialogActive || alwaysTrack_) && !mouseOver_) {
        mouseOver_ = true;
        Repaint();
        return true;
    }
    return false;
}

void OwnerDrawButton::CancelHover() {
    if (flat_ && mouseOver_) {
        mouseOver_ = false;
        Repaint();
    }
}

void OwnerDrawButton::OnSetStyle(DWORD style) {
    const DWORD type = style & 0x0F;
    if (type == 0 || type == 1)
        isDefault_ = type == 1;
}

void OwnerDrawButton::OnClicked() {
    if (m_hWnd != nullptr)
        SetFocus();
    if (checkBoxMode_) {
        checked_ = !checked_;
        Repaint();
    } else if (menu_.GetSafeHmenu() != nullptr) {
        ShowDropDownMenu();
    } else if (!url_.empty()) {
        ShellOpen(url_);
    }
}

void OwnerDrawButton::Repaint() {
    if (m_hWnd != nullptr)
        Invalidate();
}

void OwnerDrawButton::OnDrawBackground(HDC dc, const RECT& rect) {
    const int index = (mouseOver_ || pressed_) ? kBackgroundIn
                      : focused_               ? kBackgroundFocus
                                               : kBackgroundOut;
    FillWith(dc, rect, colors_[index]);
}

void OwnerDrawButton::OnDrawBorder(HDC dc, const RECT& rect) {
    if (pressed_)
        Draw3dRect(dc, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else
        Draw3dRect(dc, rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

void OwnerDrawButton::Draw(HDC dc, RECT rect, const ButtonDrawState& state,
                           const std::string& text) {
    pressed_ = checkBoxMode_ ? (state.selected || checked_) : (state.selected || menuShown_);
    focused_ = state.focused;
    disabled_ = state.disabled;
    const int oldMode = SetBkMode(dc, TRANSPARENT);

    if (!flat_ && (focused_ || isDefault_)) {
        FrameWith(dc, rect, RGB(0, 0, 0));
        rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }

    if (transparent_)
        DrawBackgroundCopy(dc, rect);
    else
        OnDrawBackground(dc, rect);

    if (pressed_) {
        if (!flat_)
            FrameWith(dc, rect, GetSysColor(COLOR_BTNSHADOW));
        else if (drawBorder_)
            OnDrawBorder(dc, rect);
    } else if (!flat_) {
        RECT edge = rect;
        DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    } else {
        if (mouseOver_ && drawBorder_)
            OnDrawBorder(dc, rect);
        if (alwaysDrawBorder_)
            OnDrawBorder(dc, rect);
    }

    if (!text.empty()) {
        RECT measured = rect;
        DrawText(dc, text.c_str(), -1, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
        const int width = measured.right - measured.left;
        const int height = measured.bottom - measured.top;
        RECT place{rect.left + (rect.right - rect.left - width) / 2,
                   rect.top + (rect.bottom - rect.top - height) / 2, 0, 0};
        place.right = place.left + width;
        place.bottom = place.top + height;
        if (pressed_ && !checkBoxMode_)
            place = RECT{place.left + 1, place.top + 1, place.right + 1, place.bottom + 1};
        if (disabled_) {
            RECT shadow{place.left + 1, place.top + 1, place.right + 1, place.bottom + 1};
            SetTextColor(dc, GetSysColor(COLOR_3DHIGHLIGHT));
            DrawText(dc, text.c_str(), -1, &shadow, DT_WORDBREAK | DT_CENTER);
            SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
        } else {
            // Hover and pressed use the hover colours; a focused button its own; the
            // rest the normal ones.
            const int index = (mouseOver_ || pressed_) ? kForegroundIn
                              : focused_               ? kForegroundFocus
                                                       : kForegroundOut;
            SetTextColor(dc, colors_[index]);
            SetBkColor(dc, colors_[index - 1]);
        }
        DrawText(dc, text.c_str(), -1, &place, DT_WORDBREAK | DT_CENTER);
    }

    if (focused_ && (!flat_ || drawFlatFocus_)) {
        RECT focus{rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3};
        DrawFocusRect(dc, &focus);
    }
    SetBkMode(dc, oldMode);
}
