// Dialogs: a window object base (CWnd), thin wrappers of the simple controls, the dialog
// base class CDialog (modal with its own loop, or modeless), data exchange between a
// dialog's fields and its controls, and the keyboard's Enter and Esc in a dialog.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/resource/Resource.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/window/WindowTree.h"

// Dialog styles (the low bits of a dialog's GWL_STYLE).
constexpr DWORD DS_ABSALIGN = 0x01;
constexpr DWORD DS_SYSMODAL = 0x02;
constexpr DWORD DS_3DLOOK = 0x04;
constexpr DWORD DS_FIXEDSYS = 0x08;
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_NOIDLEMSG = 0x100;
constexpr DWORD DS_SETFOREGROUND = 0x200;
constexpr DWORD DS_CONTROL = 0x400;
constexpr DWORD DS_CENTER = 0x800;

// The dialog class's messages: the default push button's id.
constexpr UINT DM_GETDEFID = WM_USER + 0;  // answers MAKELONG(id, DC_HASDEFID), or 0
constexpr UINT DM_SETDEFID = WM_USER + 1;  // wParam the id
constexpr WORD DC_HASDEFID = 0x534B;

// The class name of every dialog window.
constexpr const char* kDialogClassName = "#32770";

// The module whose DIALOG resources CDialog loads: the program's own module
// (ProgramModule) until a module names itself (a shared library that shows its own dialogs does so
// before making them). Process-wide; any thread.
HMODULE GetResourceModule();
void SetResourceModule(HMODULE module);

// The keyboard in a dialog, as the dialog manager handles it: Enter goes to the focused
// control when it wants it (a multi-line edit with ES_WANTRETURN), else clicks the
// focused push button or the default button (DM_GETDEFID, else IDOK) through WM_COMMAND
// with BN_CLICKED; Esc sends WM_COMMAND IDCANCEL; Tab (with shift: Shift+Tab) moves the
// focus to the next (previous) tab stop, unless the focus asks for it (DLGC_WANTTAB);
// other keys go to the focus as WM_KEYDOWN (with WM_CHAR for Space and Backspace),
// then WM_KEYUP: Space on a focused button clicks it. dialog is the dialog or
// any window in it. FALSE when it is no live window.
BOOL DialogKey(HWND dialog, WPARAM virtualKey, bool shift = false);
// The tab stop after control (before it, with previous) among the dialog's visible,
// enabled children with WS_TABSTOP, in their order (the template's), wrapping round;
// from no control, the first (the last). Null when the dialog has none.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);

// A window object: a handle and the calls on it, as the system's classes hold their
// windows and controls.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // Binds the object to an existing window (DDX_Control does it for a dialog's control).
    // A class that must see the window's messages (an owner-drawn button) overrides it
    // and subclasses the window. False when it is bound already or the window is dead.
    virtual bool SubclassWindow(HWND hwnd);
    HWND Detach();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    std::string GetWindowText() const;
    void SetWindowText(std::string_view text) const;
    BOOL ShowWindow(int command) const;
    BOOL EnableWindow(BOOL enable = TRUE) const;
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const;
    BOOL MoveWindow(const RECT& rect, BOOL repaint = TRUE) const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) const;
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(RECT* rect) const;
    void Invalidate(BOOL erase = TRUE) const;
    HWND SetFocus() const;
    HWND GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    HICON SetIcon(HICON icon, BOOL big) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) const;
    BOOL KillTimer(UINT_PTR id) const;
};

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int check) const;
};

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) const;
    void ReplaceSel(std::string_view text) const;
    void LimitText(int limit = 0) const;
    BOOL SetReadOnly(BOOL readOnly = TRUE) const;
};

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON icon) const;
    HICON GetIcon() const;
};

class CListBox : public CWnd {
public:
    int AddString(std::string_view text) const;
    int InsertString(int row, std::string_view text) const;
    int DeleteString(int row) const;
    void ResetContent() const;
    int GetCount() const;
    std::string GetText(int row) const;
    int GetTextLen(int row) const;
    int GetCurSel() const;
    int SetCurSel(int row) const;
    LPARAM GetItemData(int row) const;
    int SetItemData(int row, LPARAM data) const;
    int FindString(int after, std::string_view prefix) const;
    int FindStringExact(int after, std::string_view text) const;
    int SelectString(int after, std::string_view prefix) const;
};

class CDialog;

// One run of data exchange: into the controls (save false) or out of them into the
// fields (save true). A failed check ends the run: the user is told (message box), the
// control gets the focus and UpdateData answers FALSE.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;

    // The control of that id, null when there is none (the run then fails).
    HWND PrepareCtrl(int id);
    // Reports the failure on the control last prepared.
    void Fail(std::string_view message);
    bool Failed() const { return failed_; }

private:
    HWND last_ = nullptr;
    bool failed_ = false;
};

// Text: the control's window text.
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// A whole number: written in decimal; read back allowing blanks around an optional sign
// and digits, else "Please enter an integer." and the run fails.
void DDX_Text(CDataExchange* dx, int id, int& value);
// A check box's BST_ state.
void DDX_Check(CDataExchange* dx, int id, int& value);
// A list box's selected row text ("" when none); written by selecting the first row that
// starts with the value (ignoring case), or none.
void DDX_LBString(CDataExchange* dx, int id, std::string& value);
// Binds a window object to the control (once; later runs leave it bound).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// A dialog from a template. The object is the dialog window's handler; it lives at least
// as long as the window (a dialog that deletes itself does so in PostNcDestroy).
// Derived classes override WindowProc for their messages and pass the others to
// CDialog::WindowProc.
class CDialog : public CWnd, public WindowHandler {
public:
    explicit CDialog(int templateId = 0, HWND parent = nullptr);
    // A dialog from a template in memory (tests, and dialogs built in code).
    explicit CDialog(DialogTemplate dialogTemplate, HWND parent = nullptr);
    ~CDialog() override;

    // Makes the dialog, runs it until EndDialog and destroys it; answers the code given to
    // EndDialog, -1 when the dialog could not be made or a WM_QUIT ended the loop (the
    // quit is posted again for the outer loop). The owner is disabled meanwhile.
    virtual INT_PTR DoModal();
    // Makes the dialog modeless (shown when its template says WS_VISIBLE). templateId 0
    // keeps the one given at construction. False when it cannot be made.
    virtual bool Create(int templateId = 0, HWND parent = nullptr);
    // Ends the dialog with that code: a modal dialog's loop ends, a modeless dialog is
    // hidden (DestroyWindow ends it).
    void EndDialog(int result);
    BOOL DestroyWindow();
    // The code given to the last EndDialog.
    int GetEndCode() const { return endCode_; }
    // Whether the dialog has ended since its window was made: EndDialog, or a modal
    // dialog's window went. A modal loop of a derived class ends on it.
    bool HasEnded() const { return ended_; }

    // Exchanges data with the controls; FALSE when a check failed.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Handles the dialog's messages: WM_INITDIALOG (OnInitDialog), WM_COMMAND (OnCommand,
    // then IDOK and IDCANCEL to OnOK and OnCancel), WM_CLOSE (as IDCANCEL), DM_GETDEFID
    // and DM_SETDEFID, WM_NCDESTROY (PostNcDestroy); the rest to DefWindowProc.
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The modal loop: GetMessage and DispatchMessage until the dialog ends, so posted
    // messages, messages sent from other threads and timers of the thread are all served
    // meanwhile. Idle: WM_ENTERIDLE to the owner once per idle phase, WM_KICKIDLE to the
    // dialog (count rising) until it answers 0. A dialog class may run its own.
    virtual int RunModalLoop();

protected:
    // Default: UpdateData(FALSE); TRUE (the first tab-stop control gets the focus).
    virtual BOOL OnInitDialog();
    // Default: UpdateData(TRUE), and EndDialog(IDOK) when it succeeded.
    virtual void OnOK();
    // Default: EndDialog(IDCANCEL).
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    // A command from a control or the keyboard; TRUE when handled (OnOK and OnCancel then
    // are not called).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // After the window has ended: m_hWnd is null. The default does nothing.
    virtual void PostNcDestroy();

    int templateId_ = 0;
    HWND parent_ = nullptr;

private:
    HWND MakeWindow(HWND parent, bool modal);

    std::optional<DialogTemplate> template_;
    bool ended_ = false;
    bool modal_ = false;
    int endCode_ = 0;
    int defaultId_ = 0;
};
