// CWnd and the simple controls' wrappers: each call is the message or window call it
// names, on the bound window.
#include <atomic>

#include "platform/ui/Dialog.h"
#include "platform/window/Timer.h"

namespace {

std::atomic<HMODULE> resourceModule{nullptr};

}  // namespace

HMODULE GetResourceModule() {
    HMODULE module = resourceModule.load();
    return module ? module : ProgramModule();
}

void SetResourceModule(HMODULE module) {
    resourceModule.store(module);
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (m_hWnd != nullptr || !IsWindow(hwnd))
        return false;
    m_hWnd = hwnd;
    return true;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    return hwnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}
std::string CWnd::GetWindowText() const {
    return ::GetWindowText(m_hWnd);
}
void CWnd::SetWindowText(std::string_view text) const {
    ::SetWindowText(m_hWnd, text);
}
BOOL CWnd::ShowWindow(int command) const {
    return ::ShowWindow(m_hWnd, command);
}
BOOL CWnd::EnableWindow(BOOL enable) const {
    return ::EnableWindow(m_hWnd, enable);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}
BOOL CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) const {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
BOOL CWnd::MoveWindow(const RECT& rect, BOOL repaint) const {
    return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}
BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) const {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
}
void CWnd::GetClientRect(RECT* rect) const {
    ::GetClientRect(m_hWnd, rect);
}
void CWnd::GetWindowRect(RECT* rect) const {
    ::GetWindowRect(m_hWnd, rect);
}
void CWnd::ScreenToClient(RECT* rect) const {
    ::MapWindowRect(nullptr, m_hWnd, rect);
}
void CWnd::ClientToScreen(RECT* rect) const {
    ::MapWindowRect(m_hWnd, nullptr, rect);
}
void CWnd::Invalidate(BOOL erase) const {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}
HWND CWnd::SetFocus() const {
    return ::SetFocus(m_hWnd);
}
HWND CWnd::GetDlgItem(int id) const {
    return ::GetDlgItem(m_hWnd, id);
}
int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
HICON CWnd::SetIcon(HICON icon, BOOL big) const {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs) const {
    return ::SetTimer(m_hWnd, id, elapseMs);
}
BOOL CWnd::KillTimer(UINT_PTR id) const {
    return ::KillTimer(m_hWnd, id);
}

int CButton::GetCheck() const {
    return static_cast<int>(SendMessage(BM_GETCHECK));
}
void CButton::SetCheck(int check) const {
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
}

void CEdit::SetSel(int start, int end) const {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(static_cast<INT_PTR>(start)), end);
}
void CEdit::ReplaceSel(std::string_view text) const {
    const std::string copy(text);
    SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(copy.c_str()));
}
void CEdit::LimitText(int limit) const {
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(limit < 0 ? 0 : limit));
}
BOOL CEdit::SetReadOnly(BOOL readOnly) const {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE));
}

HICON CStatic::SetIcon(HICON icon) const {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
}
HICON CStatic::GetIcon() const {
    return reinterpret_cast<HICON>(SendMessage(STM_GETICON));
}

namespace {

LPARAM TextArg(const std::string& text) {
    return reinterpret_cast<LPARAM>(text.c_str());
}

WPARAM RowArg(int row) {
    return static_cast<WPARAM>(static_cast<INT_PTR>(row));
}

}  // namespace

int CListBox::AddString(std::string_view text) const {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, TextArg(std::string(text))));
}
int CListBox::InsertString(int row, std::string_view text) const {
    return static_cast<int>(SendMessage(LB_INSERTSTRING, RowArg(row), TextArg(std::string(text))));
}
int CListBox::DeleteString(int row) const {
    return static_cast<int>(SendMessage(LB_DELETESTRING, RowArg(row)));
}
void CListBox::ResetContent() const {
    SendMessage(LB_RESETCONTENT);
}
int CListBox::GetCount() const {
    return static_cast<int>(SendMessage(LB_GETCOUNT));
}
std::string CListBox::GetText(int row) const {
    return ListBoxText(m_hWnd, row);
}
int CListBox::GetTextLen(int row) const {
    return static_cast<int>(SendMessage(LB_GETTEXTLEN, RowArg(row)));
}
int CListBox::GetCurSel() const {
    return static_cast<int>(SendMessage(LB_GETCURSEL));
}
int CListBox::SetCurSel(int row) const {
    return static_cast<int>(SendMessage(LB_SETCURSEL, RowArg(row)));
}
LPARAM CListBox::GetItemData(int row) const {
    return SendMessage(LB_GETITEMDATA, RowArg(row));
}
int CListBox::SetItemData(int row, LPARAM data) const {
    return static_cast<int>(SendMessage(LB_SETITEMDATA, RowArg(row), data));
}
int CListBox::FindString(int after, std::string_view prefix) const {
    return static_cast<int>(
        SendMessage(LB_FINDSTRING, RowArg(after), TextArg(std::string(prefix))));
}
int CListBox::FindStringExact(int after, std::string_view text) const {
    return static_cast<int>(
        SendMessage(LB_FINDSTRINGEXACT, RowArg(after), TextArg(std::string(text))));
}
int CListBox::SelectString(int after, std::string_view prefix) const {
    return static_cast<int>(
        SendMessage(LB_SELECTSTRING, RowArg(after), TextArg(std::string(prefix))));
}
