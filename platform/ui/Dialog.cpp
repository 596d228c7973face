#include "platform/ui/Dialog.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <vector>

#include "platform/gdi/GdiIcons.h"
#include "platform/thread/Thread.h"
#include "platform/trace/Trace.h"
#include "platform/ui/MessageBox.h"
#include "platform/window/MessageLoop.h"

namespace {

constexpr UINT kCaretBlinkTimer = 0x0118;
// The model's screen, where a centred dialog without an owner goes.
constexpr RECT kDialogScreen{0, 0, 1280, 1024};

// The icon an icon control of a template names by number ("128"); 0 for other controls.
int IconNumberOf(const DialogControlTemplate& control) {
    if (control.className != "STATIC" || (control.style & SS_TYPEMASK) != SS_ICON ||
        control.text.empty() || control.text.size() > 5)
        return 0;
    int number = 0;
    for (const char c : control.text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return 0;
        number = number * 10 + (c - '0');
    }
    return number <= 65535 ? number : 0;
}

bool IsDialogWindow(HWND hwnd) {
    const std::string name = GetClassName(hwnd);
    return name == kDialogClassName;
}

// The dialog that holds the window (the window itself when it is one).
HWND DialogOf(HWND hwnd) {
    for (HWND at = hwnd; at != nullptr; at = GetParent(at)) {
        if (IsDialogWindow(at))
            return at;
        if (!(GetWindowLong(at, GWL_STYLE) & WS_CHILD))
            break;
    }
    return hwnd;
}

// The first visible, enabled control with WS_TABSTOP.
HWND FirstTabStop(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const DWORD style = static_cast<DWORD>(GetWindowLong(child, GWL_STYLE));
        if ((style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE))
            return child;
    }
    return nullptr;
}

// Gives a control the focus as the dialog manager does: an edit's text gets selected.
void FocusControl(HWND control) {
    SetFocus(control);
    if (SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessage(control, EM_SETSEL, 0, -1);
}

void WakeModalLoop() {
    PostThreadMessage(GetCurrentThreadId(), WM_NULL, 0, 0);
}

}  // namespace

void RegisterDialogClass() {
    RegisterWindowClass(kDialogClassName, [] { return std::make_unique<CDialog>(); });
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> stops;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const DWORD style = static_cast<DWORD>(GetWindowLong(child, GWL_STYLE));
        if ((style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE) ||
            child == control)
            stops.push_back(child);
    }
    const auto at = std::find(stops.begin(), stops.end(), control);
    if (at == stops.end()) {
        // From no control (or one that is not the dialog's): the first or the last stop.
        if (stops.empty())
            return nullptr;
        return previous ? stops.back() : stops.front();
    }
    const size_t index = static_cast<size_t>(at - stops.begin());
    const size_t count = stops.size();
    for (size_t step = 1; step < count; ++step) {
        const HWND next = stops[previous ? (index + count - step) % count : (index + step) % count];
        if (next != control)
            return next;
    }
    return nullptr;
}

BOOL DialogKey(HWND window, WPARAM virtualKey, bool shift) {
    if (!IsWindow(window))
        return FALSE;
    HWND dialog = DialogOf(window);
    HWND focus = GetFocus();
    if (focus != dialog && !IsChild(dialog, focus))
        focus = nullptr;
    const LRESULT code = focus ? SendMessage(focus, WM_GETDLGCODE, virtualKey, 0) : 0;
    if ((virtualKey == VK_RETURN || virtualKey == VK_ESCAPE) && (code & DLGC_WANTALLKEYS)) {
        SendMessage(focus, WM_KEYDOWN, virtualKey, 0);
        SendMessage(focus, WM_CHAR, virtualKey, 0);
        return TRUE;
    }
    if (virtualKey == VK_RETURN) {
        int id = IDOK;
        HWND button = nullptr;
        if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
            button = focus;
            id = GetDlgCtrlID(focus);
        } else {
            const auto answer = static_cast<std::uintptr_t>(SendMessage(dialog, DM_GETDEFID, 0, 0));
            if (HIWORD(answer) == DC_HASDEFID)
                id = LOWORD(answer);
            button = GetDlgItem(dialog, id);
        }
        if (button != nullptr && !IsWindowEnabled(button))
            return TRUE;  // a disabled default button does nothing
        SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                    reinterpret_cast<LPARAM>(button));
        return TRUE;
    }
    if (virtualKey == VK_ESCAPE) {
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel != nullptr && !IsWindowEnabled(cancel))
            return TRUE;
        SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    reinterpret_cast<LPARAM>(cancel));
        return TRUE;
    }
    // Tab leaves even a multi-line edit that takes Enter (DLGC_WANTALLKEYS); only a
    // control that asks for Tab keeps it.
    if (virtualKey == VK_TAB && !(code & DLGC_WANTTAB)) {
        // The focus may be deeper than the dialog's own children (a browser control's
        // window): the step counts from the child of the dialog that holds it.
        HWND from = focus;
        while (from != nullptr && GetParent(from) != dialog)
            from = GetParent(from);
        if (HWND next = GetNextDlgTabItem(dialog, from, shift ? TRUE : FALSE))
            FocusControl(next);
        return TRUE;
    }
    if (focus != nullptr) {
        SendMessage(focus, WM_KEYDOWN, virtualKey, 0);
        if ((virtualKey == VK_SPACE || virtualKey == VK_BACK) && IsWindow(focus))
            SendMessage(focus, WM_CHAR, virtualKey, 0);
        if (IsWindow(focus))
            SendMessage(focus, WM_KEYUP, virtualKey, 0);
    }
    return TRUE;
}

// ---- Data exchange ----

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = GetDlgItem(m_pDlgWnd->m_hWnd, id);
    if (control == nullptr) {
        Trace("window", "data exchange: dialog %p has no control %d",
              static_cast<void*>(m_pDlgWnd->m_hWnd), id);
        failed_ = true;
        return nullptr;
    }
    last_ = control;
    return control;
}

void CDataExchange::Fail(std::string_view message) {
    failed_ = true;
    MessageBox(m_pDlgWnd->m_hWnd, message, GetWindowText(m_pDlgWnd->m_hWnd),
               MB_OK | MB_ICONEXCLAMATION);
    if (last_ != nullptr)
        FocusControl(last_);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    if (dx->Failed())
        return;
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr)
        return;
    if (dx->m_bSaveAndValidate)
        value = GetWindowText(control);
    else
        SetWindowText(control, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    if (dx->Failed())
        return;
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr)
        return;
    if (!dx->m_bSaveAndValidate) {
        SetWindowText(control, std::to_string(value));
        return;
    }
    const std::string text = GetWindowText(control);
    size_t pos = 0;
    auto blank = [&](size_t at) {
        return at < text.size() && (text[at] == ' ' || text[at] == '\t');
    };
    while (blank(pos))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    long long number = 0;
    size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && number <= INT_MAX) {
        number = number * 10 + (text[pos++] - '0');
        ++digits;
    }
    while (blank(pos))
        ++pos;
    if (negative)
        number = -number;
    if (digits == 0 || pos != text.size() || number > INT_MAX || number < INT_MIN) {
        dx->Fail("Please enter an integer.");
        return;
    }
    value = static_cast<int>(number);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    if (dx->Failed())
        return;
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr)
        return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(SendMessage(control, BM_GETCHECK, 0, 0));
    else
        SendMessage(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_LBString(CDataExchange* dx, int id, std::string& value) {
    if (dx->Failed())
        return;
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr)
        return;
    if (dx->m_bSaveAndValidate) {
        const auto row = static_cast<int>(SendMessage(control, LB_GETCURSEL, 0, 0));
        value = row >= 0 ? ListBoxText(control, row) : std::string();
        return;
    }
    // An empty value selects nothing (every row starts with "").
    if (value.empty() || SendMessage(control, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(value.c_str())) == LB_ERR)
        SendMessage(control, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->Failed() || control.m_hWnd != nullptr)
        return;
    if (HWND hwnd = dx->PrepareCtrl(id))
        control.SubclassWindow(hwnd);
}

// ---- CDialog ----

CDialog::CDialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

CDialog::CDialog(DialogTemplate dialogTemplate, HWND parent)
    : templateId_(dialogTemplate.id), parent_(parent), template_(std::move(dialogTemplate)) {}

CDialog::~CDialog() {
    // A dialog object that goes first takes its window with it, so no message reaches
    // a handler that no longer exists.
    if (m_hWnd != nullptr && IsWindow(m_hWnd) && GetWindowThreadId(m_hWnd) == GetCurrentThreadId())
        ::DestroyWindow(m_hWnd);
}

HWND CDialog::MakeWindow(HWND parent, bool modal) {
    if (m_hWnd != nullptr && IsWindow(m_hWnd))
        return nullptr;  // one window at a time
    m_hWnd = nullptr;
    if (!template_ || template_->id != templateId_)
        template_ = LoadDialogTemplate(GetResourceModule(), templateId_);
    if (!template_)
        return nullptr;
    const DialogTemplate& dialog = *template_;
    const DWORD style = dialog.style;
    const RECT client = DialogUnitsToPixels(dialog.units);
    RECT frame = MakeRect(0, 0, client.Width(), client.Height());
    AdjustWindowRectEx(&frame, style, FALSE, dialog.exStyle);
    POINT place{client.left, client.top};
    if (style & DS_CENTER) {
        RECT area = kDialogScreen;
        if (parent != nullptr)
            ::GetWindowRect(parent, &area);
        place = POINT{area.left + (area.Width() - frame.Width()) / 2,
                      area.top + (area.Height() - frame.Height()) / 2};
        if (style & WS_CHILD)
            ::ScreenToClient(parent, &place);
    } else if (parent != nullptr && !(style & WS_CHILD) && !(style & DS_ABSALIGN)) {
        ::ClientToScreen(parent, &place);  // a popup's place counts from its owner's client area
    }
    ended_ = false;
    modal_ = modal;
    endCode_ = 0;
    defaultId_ = 0;
    HWND hwnd = CreateWindowForHandler(this, dialog.exStyle, kDialogClassName, dialog.caption,
                                       style & ~WS_VISIBLE, place.x, place.y, frame.Width(),
                                       frame.Height(), parent, nullptr);
    if (hwnd == nullptr)
        return nullptr;
    m_hWnd = hwnd;
    for (const DialogControlTemplate& control : dialog.controls) {
        const RECT pixels = DialogUnitsToPixels(control.units);
        // An icon control's text names its icon: the control shows the icon, no text.
        const int icon = IconNumberOf(control);
        HWND made = CreateWindowEx(control.exStyle, control.className,
                                   icon > 0 ? std::string() : control.text, control.style,
                                   pixels.left, pixels.top, pixels.Width(), pixels.Height(), hwnd,
                                   ControlIdMenu(control.id));
        if (made == nullptr) {
            Trace("window", "dialog %d: control %d of class %s cannot be made", dialog.id,
                  control.id, control.className.c_str());
            ::DestroyWindow(hwnd);
            return nullptr;
        }
        if (icon > 0)
            ::SendMessage(made, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIcon(GetResourceModule(), icon)), 0);
    }
    HWND first = FirstTabStop(hwnd);
    const LRESULT focus = ::SendMessage(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0);
    if (!IsWindow(hwnd))
        return nullptr;
    if (focus && first != nullptr && IsWindow(first))
        FocusControl(first);
    // The size messages the dialog posted itself while it started (to lay itself out
    // once) are served now, so that it shows its layout from its first frame. A few at
    // most: a layout that keeps posting more is served by the loop as before.
    MSG posted;
    for (int i = 0; i < 8 && IsWindow(hwnd) && TakePostedMessage(&posted, hwnd, WM_SIZE); ++i)
        DispatchMessage(&posted);
    if (!IsWindow(hwnd))
        return nullptr;
    if ((modal || (style & WS_VISIBLE)) && !ended_)
        ::ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

INT_PTR CDialog::DoModal() {
    HWND hwnd = MakeWindow(parent_, true);
    if (hwnd == nullptr)
        return -1;
    // The owner is the top-level window that holds the parent given (a band's dialog is
    // given a child window of the browser's frame): that window is disabled meanwhile.
    const HWND owner =
        (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD) ? parent_ : GetWindow(hwnd, GW_OWNER);
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);
    const int result = ended_ ? endCode_ : RunModalLoop();
    ended_ = true;  // however the loop ended, the window's end wakes no loop
    if (disableOwner && IsWindow(owner))
        ::EnableWindow(owner, TRUE);
    ::DestroyWindow(hwnd);  // the object may be gone after this (PostNcDestroy)
    return result;
}

int CDialog::RunModalLoop() {
    HWND hwnd = m_hWnd;
    bool idle = true;
    LPARAM idleCount = 0;
    MSG msg;
    while (!ended_) {
        if (idle && !PeekMessage(&msg, PM_NOREMOVE)) {
            if (ended_)
                break;
            if (HWND owner = GetWindow(hwnd, GW_OWNER))
                ::SendMessage(owner, WM_ENTERIDLE, 0, reinterpret_cast<LPARAM>(hwnd));
            while (!ended_ && IsWindow(hwnd) &&
                   ::SendMessage(hwnd, WM_KICKIDLE, 0, idleCount++) != 0) {
            }
            idle = false;
            continue;
        }
        if (ended_)
            break;
        if (!GetMessage(&msg)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return -1;
        }
        if (msg.message != WM_KICKIDLE)
            DispatchMessage(&msg);
        if (!IsWindow(hwnd))
            return -1;  // destroyed under the loop
        if (msg.message != WM_PAINT && msg.message != kCaretBlinkTimer &&
            msg.message != WM_MOUSEMOVE)
            idle = true;
    }
    return endCode_;
}

bool CDialog::Create(int templateId, HWND parent) {
    if (templateId != 0)
        templateId_ = templateId;
    if (parent != nullptr)
        parent_ = parent;
    return MakeWindow(parent_, false) != nullptr;
}

void CDialog::EndDialog(int result) {
    ended_ = true;
    endCode_ = result;
    if (modal_)
        WakeModalLoop();  // a loop waiting in GetMessage looks again
    else
        ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialog::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (m_hWnd == nullptr)
        return FALSE;
    CDataExchange dx(this, saveAndValidate != FALSE);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

LRESULT CDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr && message != WM_NCDESTROY)
        m_hWnd = hwnd;
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            if (OnCommand(wParam, lParam))
                return 0;
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == IDOK)
                    OnOK();
                else if (LOWORD(wParam) == IDCANCEL)
                    OnCancel();
            }
            return 0;
        case WM_CLOSE: {
            HWND cancel = ::GetDlgItem(hwnd, IDCANCEL);
            if (cancel == nullptr || ::IsWindowEnabled(cancel))
                ::SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                              reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case DM_GETDEFID: {
            int id = defaultId_;
            for (HWND child = GetWindow(hwnd, GW_CHILD); id == 0 && child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if (::SendMessage(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
                    id = ::GetDlgCtrlID(child);
            }
            return id ? static_cast<LRESULT>(MAKELPARAM(static_cast<WORD>(id), DC_HASDEFID)) : 0;
        }
        case DM_SETDEFID:
            for (HWND child = GetWindow(hwnd, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                const LRESULT code = ::SendMessage(child, WM_GETDLGCODE, 0, 0);
                const bool wanted = ::GetDlgCtrlID(child) == static_cast<int>(wParam);
                if ((code & DLGC_DEFPUSHBUTTON) && !wanted)
                    ::SendMessage(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
                else if ((code & DLGC_UNDEFPUSHBUTTON) && wanted)
                    ::SendMessage(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
            }
            defaultId_ = static_cast<int>(wParam);
            return TRUE;
        case WM_NCDESTROY: {
            const LRESULT result = DefWindowProc(hwnd, message, wParam, lParam);
            m_hWnd = nullptr;
            if (modal_ && !ended_) {
                ended_ = true;
                endCode_ = -1;
                WakeModalLoop();
            }
            PostNcDestroy();  // may delete this
            return result;
        }
        default:
            return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}

void CDialog::PostNcDestroy() {}
